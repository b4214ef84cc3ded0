#pragma once
// The seam between a form and the native window a binding makes for it. The form tells its
// window what to be; the window reports input, ticks and close requests in client pixels, and
// asks the form what to paint.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/pictures/pixels.h"
#include "platform/system_calls.h"

namespace platform {

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
enum class WindowState { Normal = 0, Maximized = 2 };

// How the native window is made; fixed for the window's life.
struct WindowSpec {
  std::string caption;
  BorderStyle border = BorderStyle::FixedSingle;
  bool showInTaskbar = true;
  bool controlBox = true;    // system menu and close button; never a minimize or maximize button
  bool programIcon = false;  // the title bar and task bar show the program's icon
  // The window this one stays above and goes with; an owned window has no task-bar button.
  Handle owner = 0;
  // Stays above every window that is not topmost, is never activated and shows no pointer: a
  // black stand-in over a monitor that a full-screen form does not cover itself.
  bool cover = false;
  // Has controls: the system's dialog manager moves the focus between them and turns Enter and
  // Esc into the form's dialog keys.
  bool dialog = false;
};

// A font asked for by name; where the face is missing, the system's font mapper picks the
// nearest one of the character set.
struct FontSpec {
  std::string face;
  int points = 9;
  int weight = 400;
  int charset = 1;  // DEFAULT_CHARSET
};

// A native child control. Buttons take the focus (in the order they were added) and report
// their clicks; labels show text, wrapping at their width and breaking at CR LF; an icon shows
// the program's icon at 32 x 32.
struct ControlSpec {
  enum class Kind { Button, Label, Icon };
  Kind kind = Kind::Label;
  int id = 0;
  std::string text;  // "&" marks the access key
  PixelRect rect;
  bool isDefault = false;  // drawn as the default button
  std::optional<FontSpec> font;
  std::optional<std::uint32_t> foreColor;  // 0x00BBGGRR; the system's text colour otherwise
};

// A menu of the menu bar, or an item of one; "&" marks the access key.
struct MenuSpec {
  int id = 0;
  std::string text;
  std::vector<MenuSpec> items;
};

enum class DialogKey { Enter, Escape };

// What the window paints, front to back: the background, then each visible picture scaled to
// its rectangle.
struct Scene {
  struct Picture {
    PixelRect rect;
    const Bitmap* bitmap = nullptr;
  };
  struct Line {
    PixelPoint from;
    PixelPoint to;            // included
    std::uint32_t color = 0;  // 0x00BBGGRR
    int width = 1;
  };
  std::uint32_t backColor = 0;  // 0x00BBGGRR, or 0x800000nn for system colour nn
  std::vector<Picture> pictures;
  std::vector<Line> lines;
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
  // A button was clicked or a menu item chosen.
  virtual void OnCommand(int controlId) = 0;
  // Enter or Esc was pressed in a window with buttons; the form decides which button it presses.
  virtual void OnDialogKey(DialogKey key) = 0;
  // The window's DPI changed, with its monitor's scale or by a move to another monitor. The
  // system suggests `suggested`, the outer place at the new DPI, but has not moved the window:
  // the form places itself and lays itself out again.
  virtual void OnDpiChanged(const PixelRect& suggested) = 0;
  // Monitors were added, removed, re-arranged or given another resolution.
  virtual void OnDisplayChanged() = 0;
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
  // The client area's top-left corner on the virtual screen.
  [[nodiscard]] virtual PixelPoint ClientOrigin() const = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // Outer size: frame and title bar included (the same as the client size without a border).
  virtual void SetOuterSize(PixelSize size) = 0;
  // Client size: the area inside the frame, title bar and menu bar.
  virtual void SetClientSize(PixelSize size) = 0;
  // Outer place and size on the virtual screen.
  virtual void Place(const PixelRect& rect) = 0;
  // Outer place: the primary monitor's full rectangle as it is now, task bar included, where a
  // maximized window without a frame belongs.
  virtual void CoverPrimaryMonitor() = 0;
  // Makes the window visible in the given state.
  virtual void Show(WindowState state) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual void Invalidate() = 0;
  // Repaints what is invalid now, without waiting for the message loop.
  virtual void UpdateNow() = 0;
  // Throws RunTimeError(InvalidProcedureCall) when the window cannot take the focus.
  virtual void SetFocus() = 0;
  virtual void StartTimer(int timerId, unsigned milliseconds) = 0;

  // Children, added in tab order, and the menu bar.
  virtual void AddControl(const ControlSpec& control) = 0;
  virtual void SetControlText(int controlId, const std::string& text) = 0;
  // Moves a child and renews its font, after the window's DPI changed.
  virtual void PlaceControl(const ControlSpec& control) = 0;
  virtual void FocusControl(int controlId) = 0;
  // The child that has the focus, or -1.
  [[nodiscard]] virtual int FocusedControl() const = 0;
  virtual void SetMenu(const std::vector<MenuSpec>& menus) = 0;
};

}  // namespace platform
