#include "platform/win32/window_class.h"

#include "platform/run_time_error.h"

namespace platform::win32 {

WindowClass::WindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, int extraBytes)
    : instance_(instance), name_(name) {
  WNDCLASSEXW description{};
  description.cbSize = sizeof(description);
  // No CS_DBLCLKS: a second click is a second button-down, like the first. No CS_HREDRAW or
  // CS_VREDRAW and no background brush: every paint covers the whole client area itself.
  description.lpfnWndProc = procedure;
  description.cbWndExtra = extraBytes;
  description.hInstance = instance;
  description.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  description.lpszClassName = name;
  atom_ = RegisterClassExW(&description);
  if (atom_ == 0) throw RunTimeError(ErrorCode::OutOfMemory, "RegisterClassExW failed");
}

WindowClass::~WindowClass() { UnregisterClassW(MAKEINTATOM(atom_), instance_); }

bool WindowClass::Owns(HWND window) const {
  return window != nullptr && GetClassLongPtrW(window, GCW_ATOM) == atom_;
}

}  // namespace platform::win32
