#include "platform/runtime.h"

#include <algorithm>
#include <exception>

#include "platform/form.h"

namespace platform {
namespace {

// In the primary monitor's own DPI: a form's window there converts twips to pixels with the
// same, so a form as large as the screen is exactly as large as the monitor.
ScreenObject ScreenInTwips(const std::vector<Monitor>& monitors) {
  if (monitors.empty()) return {};
  const Monitor& primary = monitors.front();
  const double twipsPerPixel = kTwipsPerInch / primary.dpi;
  return {ToSingle(primary.rect.width * twipsPerPixel),
          ToSingle(primary.rect.height * twipsPerPixel)};
}

}  // namespace

Runtime::Runtime(Binding& binding)
    : App(binding.ReadApp()), Screen(ScreenInTwips(binding.Monitors())), binding_(binding) {}

void Runtime::MsgBox(const std::string& prompt, const std::string& title) {
  binding_.ShowMessage(prompt, title);
}

std::shared_ptr<Picture> Runtime::LoadPicture(const std::string& path) {
  return std::make_shared<Picture>(binding_.OpenPicture(path));
}

void Runtime::End() {
  binding_.End();
  // The compiler cannot see through the virtual call that End never returns.
  std::terminate();
}

void Runtime::FormLoaded(Form& form) { loaded_.push_back(&form); }

void Runtime::FormUnloaded(Form& form) {
  std::erase(loaded_, &form);
  if (loaded_.empty()) binding_.Quit();
}

void Runtime::RunModal(Form& form) {
  // The other windows take no input while the modal one is open.
  std::vector<Form*> disabled;
  for (Form* other : loaded_) {
    if (other != &form) {
      other->EnableInput(false);
      disabled.push_back(other);
    }
  }
  // The window may also go without the form unloading it, with its owner say: the loop ends
  // then too, and the form is unloaded, so that the program never lives on without a window.
  binding_.RunModal([&form] { return !form.Loaded() || form.hWnd() == 0; });
  if (form.Loaded() && form.hWnd() == 0) form.Unload();
  for (Form* other : disabled) {
    if (std::find(loaded_.begin(), loaded_.end(), other) != loaded_.end()) other->EnableInput(true);
  }
}

}  // namespace platform
