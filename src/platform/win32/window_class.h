#pragma once
// The one window class every form window is made from, registered for the binding's life.
#include <windows.h>

namespace platform::win32 {

class WindowClass {
 public:
  WindowClass(HINSTANCE instance, WNDPROC procedure);
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;
  ~WindowClass();

  [[nodiscard]] HINSTANCE instance() const { return instance_; }
  [[nodiscard]] const wchar_t* name() const;
  // Whether the window is a form window of this class.
  [[nodiscard]] bool Owns(HWND window) const;

 private:
  HINSTANCE instance_;
  ATOM atom_;
};

}  // namespace platform::win32
