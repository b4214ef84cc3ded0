#include "platform/cover.h"

namespace platform {
namespace {

WindowSpec CoverWindow() {
  WindowSpec window;
  window.border = BorderStyle::None;
  window.showInTaskbar = false;
  window.controlBox = false;
  window.cover = true;
  return window;
}

}  // namespace

Cover::Cover(Binding& binding, WindowEvents& form, const WindowPeer& formWindow,
             const PixelRect& monitor)
    : form_(form), formWindow_(formWindow), window_(binding.MakeWindow(CoverWindow(), *this)) {
  window_->Place(monitor);
  window_->Show(WindowState::Normal);
}

Cover::~Cover() = default;

PixelPoint Cover::OnForm(PixelPoint at) const {
  const PixelPoint cover = window_->ClientOrigin();
  const PixelPoint form = formWindow_.ClientOrigin();
  return {at.x + cover.x - form.x, at.y + cover.y - form.y};
}

void Cover::OnKeyDown(int keyCode, int shift) { form_.OnKeyDown(keyCode, shift); }

void Cover::OnMouseDown(int button, int shift, PixelPoint at) {
  form_.OnMouseDown(button, shift, OnForm(at));
}

void Cover::OnMouseMove(int button, int shift, PixelPoint at) {
  form_.OnMouseMove(button, shift, OnForm(at));
}

void Cover::OnCloseRequest() { form_.OnCloseRequest(); }

}  // namespace platform
