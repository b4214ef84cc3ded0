#pragma once
// The seam between a form and the native window a binding makes for it. The form tells its
// window what to be; the window reports input, ticks and close requests in client pixels, and
// asks the form what to paint.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixels.h"
#include "platform/system_calls.h"

namespace platform {

struct PixelPoint {
  int x = 0;
  int y = 0;
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  [[nodiscard]] bool Contains(PixelPoint p) const {
    return p.x >= left && p.x < left + width && p.y >= top && p.y < top + height;
  }
};

enum class BorderStyle { None = 0, FixedSingle = 1, FixedDialog = 3 };
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// How the native window is made; fixed for the window's life.
struct WindowSpec {
  std::string caption;
  BorderStyle border = BorderStyle::FixedSingle;
  bool showInTaskbar = true;
  bool controlBox = true;  // system menu and close button
  bool minButton = false;
  bool maxButton = false;
};

// What the window paints, front to back: the background, then each visible picture scaled to
// its rectangle.
struct Scene {
  struct Picture {
    PixelRect rect;
    const Bitmap* bitmap = nullptr;
  };
  std::uint32_t backColor = 0;  // 0x00BBGGRR
  std::vector<Picture> pictures;
};

// Mouse buttons and shift state as the events deliver them.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
enum ShiftState : int { kShiftMask = 1, kCtrlMask = 2, kAltMask = 4 };

class WindowEvents {
 public:
  virtual void OnKeyDown(int keyCode, int shift) = 0;
  virtual void OnMouseDown(int button, int shift, PixelPoint at) = 0;
  virtual void OnMouseMove(int button, int shift, PixelPoint at) = 0;
  // The user or the system asked the window to close (title bar, Alt+F4, end of session).
  virtual void OnCloseRequest() = 0;
  virtual void OnTimer(int timerId) = 0;
  [[nodiscard]] virtual Scene DescribeScene() const = 0;

 protected:
  ~WindowEvents() = default;
};

class WindowPeer {
 public:
  virtual ~WindowPeer() = default;  // destroys the native window

  [[nodiscard]] virtual Handle handle() const = 0;
  [[nodiscard]] virtual int Dpi() const = 0;
  [[nodiscard]] virtual PixelSize ClientSize() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Outer size: frame and title bar included (the same as the client size without a border).
  virtual void SetOuterSize(PixelSize size) = 0;
  // Makes the window visible in the given state.
  virtual void Show(WindowState state) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void Invalidate() = 0;
  // Repaints what is invalid now, without waiting for the message loop.
  virtual void UpdateNow() = 0;
  // Throws RunTimeError(InvalidProcedureCall) when the window cannot take the focus.
  virtual void SetFocus() = 0;
  virtual void StartTimer(int timerId, unsigned milliseconds) = 0;
  virtual void StopTimer(int timerId) = 0;
};

}  // namespace platform
