// The slide show proper: one numbered picture per tick, fitted to the screen and centred.
#include "platform/run_time_error.h"
#include "platform/system_values.h"
#include "platform/text.h"
#include "screen/form1.h"

using platform::OnErrorExit;
using platform::Single;
using platform::ToSingle;
using namespace platform::system_values;  // the system calls' numbers

namespace {

// Aspect ratios are compared as the single-precision values they round to.
Single Aspect(double width, double height) { return ToSingle(platform::Divide(width, height)); }

}  // namespace

void Form1::ShowNextPicture() {
  OnErrorExit([&] {
    SetAutoRedraw(true);
    // Hidden until it is placed, so no intermediate size or position is ever drawn.
    Image1.SetVisible(false);
    Image1.SetStretch(false);

    std::string fileName = App.Path;
    fileName += platform::Right(App.Path, 1) == "\\" ? "QMAR52" : "\\QMAR52";
    fileName += platform::FormatTwoDigits(PictureNumber) + ".DAT";

    // The number moves on even when this picture then fails, so the next tick tries the next.
    const platform::Integer next = platform::AddInteger(PictureNumber, 1);
    PictureNumber = next > PictureCount ? platform::Integer{1} : next;

    Image1.SetPicture(runtime_.LoadPicture(fileName));

    const double SW = ScaleWidth();
    const double SH = ScaleHeight();
    const double H = Image1.Height();
    const double W = Image1.Width();
    const double R = platform::Divide(W, H);
    FitPictureToScreen(SW, SH, R);

    Image1.SetVisible(true);
    FirstMove = true;
  });
}

// A picture smaller than the screen in both directions keeps its natural size; any other is
// scaled with its proportions kept until it fills the width or the height. Either way it is
// centred. The centring uses the size as the element stores it after the assignment.
void Form1::FitPictureToScreen(double SW, double SH, double R) {
  const auto fillWidth = [&] {
    Image1.SetStretch(true);
    Image1.SetWidth(SW);
    Image1.SetHeight(platform::Divide(SW, R));
    Image1.SetLeft(0);
    Image1.SetTop((SH - Image1.Height()) / 2);
  };
  const auto fillHeight = [&] {
    Image1.SetStretch(true);
    Image1.SetHeight(SH);
    Image1.SetWidth(SH * R);
    Image1.SetLeft((SW - Image1.Width()) / 2);
    Image1.SetTop(0);
  };

  const Single screenWidth = ToSingle(SW);
  const Single screenHeight = ToSingle(SH);
  if (screenWidth > Image1.Width() && screenHeight > Image1.Height()) {
    Image1.SetStretch(false);
    Image1.SetLeft((SW - Image1.Width()) / 2);
    Image1.SetTop((SH - Image1.Height()) / 2);
    return;
  }
  const Single screenAspect = Aspect(SW, SH);
  const Single pictureAspect = Aspect(Image1.Width(), Image1.Height());
  if (Image1.Width() > Image1.Height()) {
    if (screenAspect < pictureAspect) {
      fillWidth();
    } else {
      fillHeight();
    }
  } else if (screenAspect > pictureAspect) {
    fillHeight();
  } else {
    fillWidth();
  }
}

void Form1::Timer1_Timer() {
  OnErrorExit([&] {
    runtime_.System().SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // Keeps key presses coming to this window.
    SetFocus();
    ShowNextPicture();
  });
}
