#include "screen/form1.h"

#include "platform/run_time_error.h"
#include "platform/system_values.h"
#include "screen/picture_cycle.h"
#include "start/module1.h"

using platform::Integer;
using platform::OnErrorExit;
using platform::Single;
using namespace platform::system_values;  // the system calls' numbers

namespace {

platform::FormDesign Form1Design() {
  platform::FormDesign design;
  design.window.caption = "Form1";
  design.window.border = platform::BorderStyle::None;
  design.window.showInTaskbar = false;
  design.window.controlBox = false;
  design.windowState = platform::WindowState::Maximized;
  design.scaleMode = platform::ScaleMode::Pixels;
  design.backColor = 0;
  return design;
}

}  // namespace

Form1::Form1(platform::Runtime& runtime, Module1& module)
    : Form(runtime, Form1Design()),
      Image1(*this),
      Timer1(*this, static_cast<unsigned>(screen::kPicturePeriod.count())),
      module_(module) {
  Image1.MouseDown = [this](Integer b, Integer s, Single x, Single y) {
    Image1_MouseDown(b, s, x, y);
  };
  Image1.MouseMove = [this](Integer b, Integer s, Single x, Single y) {
    Image1_MouseMove(b, s, x, y);
  };
  Timer1.Tick = [this] { Timer1_Timer(); };
}

void Form1::Form_Load() {
  OnErrorExit([&] {
    auto& system = runtime_.System();
    SetWidth(Screen.Width);
    SetHeight(Screen.Height);
    SetBackColor(0);
    char empty[1] = "";
    system.SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, static_cast<std::uint32_t>(-1), empty, 0);
    system.ShowCursor(0);
    SavedImeContext = system.ImmAssociateContext(hWnd(), 0);
    TaskbarWindow = system.FindWindowA("Shell_traywnd", "");
    system.SetWindowPos(TaskbarWindow, HWND_TOP, 0, 0, 0, 0, SWP_HIDEWINDOW);
    system.SetWindowPos(hWnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE);
    Refresh();
    PictureNumber = 1;
    PictureCount = 50;
    ShowNextPicture();
    FirstMove = true;
  });
}

void Form1::Form_Unload(Integer& /*Cancel*/) {
  OnErrorExit([&] {
    auto& system = runtime_.System();
    system.ShowCursor(-1);
    system.ImmAssociateContext(hWnd(), SavedImeContext);
    system.SetWindowPos(TaskbarWindow, HWND_TOP, 0, 0, 0, 0, SWP_SHOWWINDOW);
    module_.SaveSettings();
    runtime_.End();
  });
}

void Form1::Form_KeyDown(Integer /*KeyCode*/, Integer /*Shift*/) {
  OnErrorExit([&] { Unload(); });
}

void Form1::Form_MouseDown(Integer /*Button*/, Integer /*Shift*/, Single /*X*/, Single /*Y*/) {
  OnErrorExit([&] { Unload(); });
}

void Form1::Image1_MouseDown(Integer /*Button*/, Integer /*Shift*/, Single /*X*/, Single /*Y*/) {
  OnErrorExit([&] { Unload(); });
}

void Form1::Form_MouseMove(Integer /*Button*/, Integer /*Shift*/, Single X, Single Y) {
  OnErrorExit([&] { TrackMouse(X, Y); });
}

void Form1::Image1_MouseMove(Integer /*Button*/, Integer /*Shift*/, Single X, Single Y) {
  OnErrorExit([&] { TrackMouse(X, Y); });
}

// The first move after each picture only records where the pointer is; the show ends when a
// later move leaves the 5-pixel band around that place in both directions at once. Positions
// over the picture and over the black part are compared as they come, in their own origins.
void Form1::TrackMouse(Single X, Single Y) {
  if (FirstMove) {
    FirstMove = false;
    LastMouseX = X;
    LastMouseY = Y;
    return;
  }
  const Single left = platform::ToSingle(double{LastMouseX} - 5);
  const Single right = platform::ToSingle(double{LastMouseX} + 5);
  const Single top = platform::ToSingle(double{LastMouseY} - 5);
  const Single bottom = platform::ToSingle(double{LastMouseY} + 5);
  const bool xInside = left <= X && X <= right;
  const bool yInside = top <= Y && Y <= bottom;
  if (!xInside && !yInside) Unload();
}
