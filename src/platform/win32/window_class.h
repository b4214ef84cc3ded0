#pragma once
// A window class the form windows are made from, registered for the binding's life.
#include <windows.h>

namespace platform::win32 {

class WindowClass {
 public:
  // `extraBytes`: what each window of the class keeps beside its own data; a dialog's are the
  // dialog manager's (DLGWINDOWEXTRA).
  WindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, int extraBytes);
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;
  ~WindowClass();

  [[nodiscard]] HINSTANCE instance() const { return instance_; }
  [[nodiscard]] const wchar_t* name() const { return name_; }
  // Whether the window is a form window of this class.
  [[nodiscard]] bool Owns(HWND window) const;

 private:
  HINSTANCE instance_;
  const wchar_t* name_;
  ATOM atom_;
};

}  // namespace platform::win32
