#pragma once
// A form's native window: made hidden, painted from the form's scene, and turning native input,
// ticks and close requests into the form's events.
#include <windows.h>

#include <cstddef>

#include "platform/win32/window_class.h"
#include "platform/window_peer.h"

namespace platform::win32 {

class Win32Window final : public WindowPeer {
 public:
  // The procedure of the window class: finds the window object stored at WM_NCCREATE and lets
  // nothing escape into the window system.
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam,
                                    LPARAM lParam) noexcept;

  // `openWindows` counts the binding's live windows; this window is one of them until it is
  // destroyed.
  Win32Window(const WindowClass& windowClass, const WindowSpec& spec, WindowEvents& events,
              std::size_t& openWindows);
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;
  ~Win32Window() override;

  [[nodiscard]] Handle handle() const override;
  [[nodiscard]] int Dpi() const override;
  [[nodiscard]] PixelSize ClientSize() const override;
  void SetCaption(const std::string& caption) override;
  void SetOuterSize(PixelSize size) override;
  void Show(WindowState state) override;
  void SetEnabled(bool enabled) override;
  void Invalidate() override;
  void UpdateNow() override;
  void SetFocus() override;
  void StartTimer(int timerId, unsigned milliseconds) override;
  void StopTimer(int timerId) override;

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Paint();
  void CoverMonitor();
  void CentreOnScreen();

  HWND hwnd_ = nullptr;
  WindowEvents& events_;
  BorderStyle border_;
  bool placed_ = false;  // a dialog is centred once, the first time it is shown
  std::size_t& openWindows_;
};

}  // namespace platform::win32
