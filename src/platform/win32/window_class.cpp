#include "platform/win32/window_class.h"

#include "platform/run_time_error.h"

namespace platform::win32 {
namespace {

constexpr wchar_t kClassName[] = L"SlideShowForm";

}  // namespace

WindowClass::WindowClass(HINSTANCE instance, WNDPROC procedure) : instance_(instance) {
  WNDCLASSEXW description{};
  description.cbSize = sizeof(description);
  // No CS_DBLCLKS: a second click is a second button-down, like the first. No CS_HREDRAW or
  // CS_VREDRAW and no background brush: every paint covers the whole client area itself.
  description.lpfnWndProc = procedure;
  description.hInstance = instance;
  description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  description.lpszClassName = kClassName;
  atom_ = RegisterClassExW(&description);
  if (atom_ == 0) throw RunTimeError(ErrorCode::OutOfMemory, "RegisterClassExW failed");
}

WindowClass::~WindowClass() { UnregisterClassW(MAKEINTATOM(atom_), instance_); }

const wchar_t* WindowClass::name() const { return kClassName; }

bool WindowClass::Owns(HWND window) const {
  return window != nullptr && GetClassLongPtrW(window, GCW_ATOM) == atom_;
}

}  // namespace platform::win32
