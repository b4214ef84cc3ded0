#pragma once
// A form's native window: made hidden, painted from the form's scene, and turning native input,
// ticks and close requests into the form's events.
#include <windows.h>

#include <cstddef>

#include "platform/win32/child_controls.h"
#include "platform/win32/handles.h"
#include "platform/win32/window_class.h"
#include "platform/window_peer.h"

namespace platform::win32 {

class Win32Window final : public WindowPeer {
 public:
  // The procedures of the two window classes: each finds the window object stored at
  // WM_NCCREATE and lets nothing escape into the window system. What a form leaves alone goes on
  // to the system's default handling; what a form with controls leaves alone goes on to the
  // dialog manager, which runs its focus, its default button and its keyboard.
  static LRESULT CALLBACK FormProcedure(HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam) noexcept;
  static LRESULT CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam) noexcept;

  // `windowClass` is the dialog class when `design.dialog` says so. `openWindows` counts the
  // binding's live windows; this window is one of them until it is destroyed.
  Win32Window(const WindowClass& windowClass, const WindowSpec& design, WindowEvents& events,
              std::size_t& openWindows);
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;
  ~Win32Window() override;

  [[nodiscard]] Handle handle() const override;
  [[nodiscard]] int Dpi() const override;
  [[nodiscard]] PixelSize ClientSize() const override;
  [[nodiscard]] PixelPoint ClientOrigin() const override;
  void SetCaption(const std::string& caption) override;
  void SetOuterSize(PixelSize size) override;
  void Show(WindowState state) override;
  void SetEnabled(bool enabled) override;
  void Invalidate() override;
  void UpdateNow() override;
  void SetFocus() override;
  void StartTimer(int timerId, unsigned milliseconds) override;
  void SetClientSize(PixelSize size) override;
  void Place(const PixelRect& rect) override;
  void CoverPrimaryMonitor() override;
  void AddControl(const ControlSpec& control) override;
  void SetControlText(int controlId, const std::string& text) override;
  void PlaceControl(const ControlSpec& control) override;
  void FocusControl(int controlId) override;
  [[nodiscard]] int FocusedControl() const override;
  void SetMenu(const std::vector<MenuSpec>& menus) override;

 private:
  static LRESULT Route(WNDPROC fallback, HWND window, UINT message, WPARAM wParam,
                       LPARAM lParam) noexcept;
  LRESULT HandleMessage(WNDPROC fallback, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT HandleCommand(WPARAM wParam);
  void TakeProgramIcon();
  void Paint();
  void CentreOnScreen();

  HWND hwnd_ = nullptr;
  HINSTANCE instance_;
  WindowEvents& events_;
  BorderStyle border_;
  bool cover_;
  bool placed_ = false;  // a dialog is centred once, the first time it is shown
  std::size_t& openWindows_;
  // Members below outlive the native window, which the destructor's body destroys: its
  // children draw with the fonts and the title bar shows the icons up to the end.
  ChildControls controls_;
  UniqueIcon bigIcon_;
  UniqueIcon smallIcon_;
};

}  // namespace platform::win32
