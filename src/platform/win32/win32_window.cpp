#include "platform/win32/win32_window.h"

#include <algorithm>
#include <utility>

#include "platform/run_time_error.h"
#include "platform/win32/handles.h"
#include "platform/win32/menu_bar.h"
#include "platform/win32/program_icon.h"
#include "platform/win32/scene_painter.h"
#include "platform/win32/utf16.h"

namespace platform::win32 {
namespace {

struct Styles {
  DWORD style = 0;
  DWORD exStyle = 0;
  HWND owner = nullptr;
};

Styles StylesFor(const WindowSpec& design) {
  Styles styles;
  if (design.cover) {
    styles.style = WS_POPUP;
    styles.exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    return styles;
  }
  if (design.border == BorderStyle::None) {
    styles.style = WS_POPUP | WS_CLIPCHILDREN;
    if (!design.showInTaskbar) styles.exStyle |= WS_EX_TOOLWINDOW;
    return styles;
  }
  styles.style = WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN;
  if (design.border == BorderStyle::FixedDialog) styles.exStyle |= WS_EX_DLGMODALFRAME;
  if (design.controlBox) styles.style |= WS_SYSMENU;
  // An owned window has no task-bar button; without an owner a tool window keeps it off.
  styles.owner = reinterpret_cast<HWND>(design.owner);
  if (!design.showInTaskbar && styles.owner == nullptr) styles.exStyle |= WS_EX_TOOLWINDOW;
  return styles;
}

int CurrentShift() {
  int shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= kShiftMask;
  if (GetKeyState(VK_CONTROL) < 0) shift |= kCtrlMask;
  if (GetKeyState(VK_MENU) < 0) shift |= kAltMask;
  return shift;
}

int ButtonsHeld(WPARAM wParam) {
  int buttons = 0;
  if ((wParam & MK_LBUTTON) != 0) buttons |= kLeftButton;
  if ((wParam & MK_RBUTTON) != 0) buttons |= kRightButton;
  if ((wParam & MK_MBUTTON) != 0) buttons |= kMiddleButton;
  return buttons;
}

// Client coordinates are signed 16-bit halves: a captured pointer left of the window is negative.
PixelPoint PointOf(LPARAM lParam) {
  return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}

RECT PrimaryMonitorRect(bool workArea) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
  return workArea ? info.rcWork : info.rcMonitor;
}

// Timer id 0 is a valid form timer but an awkward native one; the native ids are shifted by one.
UINT_PTR NativeTimerId(int timerId) { return static_cast<UINT_PTR>(timerId) + 1; }

}  // namespace

LRESULT CALLBACK Win32Window::FormProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) noexcept {
  return Route(DefWindowProcW, window, message, wParam, lParam);
}

LRESULT CALLBACK Win32Window::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) noexcept {
  return Route(DefDlgProcW, window, message, wParam, lParam);
}

LRESULT Win32Window::Route(WNDPROC fallback, HWND window, UINT message, WPARAM wParam,
                           LPARAM lParam) noexcept {
  try {
    if (message == WM_NCCREATE) {
      auto* created =
          static_cast<Win32Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
      created->hwnd_ = window;
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    }
    auto* self = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return fallback(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
      // Destroyed from outside (with its owner, say): the object lives on without a window. The
      // dialog manager frees its own data here too.
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      return fallback(window, message, wParam, lParam);
    }
    return self->HandleMessage(fallback, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

// An event may unload the form, which destroys this object before the event returns: after
// calling into events_, a case touches no member any more. `fallback`, the window class's own
// default procedure, answers what the form leaves alone.
LRESULT Win32Window::HandleMessage(WNDPROC fallback, UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND window = hwnd_;
  switch (message) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything; erasing first would flicker
    case WM_PAINT:
      Paint();
      return 0;
    case WM_KEYDOWN:
      events_.OnKeyDown(static_cast<int>(wParam), CurrentShift());
      return 0;
    case WM_SYSKEYDOWN:
      events_.OnKeyDown(static_cast<int>(wParam), CurrentShift());
      // Alt+F4 and the system menu still work when the key left the window standing.
      return IsWindow(window) ? fallback(window, message, wParam, lParam) : 0;
    case WM_LBUTTONDOWN:
      events_.OnMouseDown(kLeftButton, CurrentShift(), PointOf(lParam));
      return 0;
    case WM_RBUTTONDOWN:
      events_.OnMouseDown(kRightButton, CurrentShift(), PointOf(lParam));
      return 0;
    case WM_MBUTTONDOWN:
      events_.OnMouseDown(kMiddleButton, CurrentShift(), PointOf(lParam));
      return 0;
    case WM_XBUTTONDOWN:
      // The side buttons have no number of their own in the form's events.
      events_.OnMouseDown(0, CurrentShift(), PointOf(lParam));
      return TRUE;
    case WM_MOUSEMOVE:
      events_.OnMouseMove(ButtonsHeld(wParam), CurrentShift(), PointOf(lParam));
      return 0;
    case WM_COMMAND:
      return HandleCommand(wParam);
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(controls_.ColorStatic(reinterpret_cast<HDC>(wParam),
                                                             reinterpret_cast<HWND>(lParam),
                                                             events_.DescribeScene().backColor));
    case WM_TIMER:
      events_.OnTimer(static_cast<int>(wParam) - 1);
      return 0;
    case WM_CLOSE:
      // The form decides: its unload destroys the window, or ends the program.
      events_.OnCloseRequest();
      return 0;
    case WM_ENDSESSION:
      if (wParam != FALSE) events_.OnCloseRequest();
      return 0;
    case WM_GETMINMAXINFO: {
      fallback(window, message, wParam, lParam);
      if (border_ == BorderStyle::None) {
        // Maximized, a window without a frame covers its whole monitor, task bar included. The
        // system takes these values for the primary monitor and carries them over to others.
        const RECT primary = PrimaryMonitorRect(false);
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMaxPosition = {primary.left, primary.top};
        limits->ptMaxSize = {primary.right - primary.left, primary.bottom - primary.top};
        limits->ptMaxTrackSize.x = std::max(limits->ptMaxTrackSize.x, limits->ptMaxSize.x);
        limits->ptMaxTrackSize.y = std::max(limits->ptMaxTrackSize.y, limits->ptMaxSize.y);
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (!cover_ || LOWORD(lParam) != HTCLIENT) return fallback(window, message, wParam, lParam);
      SetCursor(nullptr);
      return TRUE;
    case WM_MOUSEACTIVATE:
      // A click on a cover leaves the activation, and so the keyboard, where it was.
      return cover_ ? MA_NOACTIVATE : fallback(window, message, wParam, lParam);
    case WM_DISPLAYCHANGE:
      events_.OnDisplayChanged();
      return 0;
    case WM_DPICHANGED: {
      // A cover keeps its monitor's rectangle, in physical pixels at any DPI.
      if (cover_) return 0;
      const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
      if (bigIcon_) TakeProgramIcon();
      events_.OnDpiChanged({suggested.left, suggested.top, suggested.right - suggested.left,
                            suggested.bottom - suggested.top});
      return 0;
    }
    default:
      return fallback(window, message, wParam, lParam);
  }
}

// From a button, the menu bar (the forms have no accelerators) or the dialog manager, which turns
// Esc, and Enter where no button stands for it, into IDCANCEL and IDOK; the form decides which
// button they press. No control of a form has either id.
LRESULT Win32Window::HandleCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  if (id == IDOK || id == IDCANCEL) {
    events_.OnDialogKey(id == IDOK ? DialogKey::Enter : DialogKey::Escape);
  } else if (HIWORD(wParam) == BN_CLICKED) {
    events_.OnCommand(id);
  }
  return 0;
}

Win32Window::Win32Window(const WindowClass& windowClass, const WindowSpec& design,
                         WindowEvents& events, std::size_t& openWindows)
    : instance_(windowClass.instance()),
      events_(events),
      border_(design.border),
      cover_(design.cover),
      openWindows_(openWindows) {
  const Styles styles = StylesFor(design);
  const std::wstring caption = ToWide(design.caption);
  // A pop-up cannot take the default place; the form sizes it before it is shown.
  const int place = design.border == BorderStyle::None ? 0 : CW_USEDEFAULT;
  CreateWindowExW(styles.exStyle, windowClass.name(), caption.c_str(), styles.style, place, place,
                  place, place, styles.owner, nullptr, windowClass.instance(), this);
  if (hwnd_ == nullptr) throw RunTimeError(ErrorCode::OutOfMemory, "CreateWindowExW failed");
  ++openWindows_;
  if (design.programIcon) TakeProgramIcon();
}

// Loaded at the sizes of the window's DPI, so the title bar and the task bar need not scale.
void Win32Window::TakeProgramIcon() {
  const auto dpi = static_cast<UINT>(Dpi());
  UniqueIcon big = LoadProgramIcon(instance_, GetSystemMetricsForDpi(SM_CXICON, dpi));
  UniqueIcon small = LoadProgramIcon(instance_, GetSystemMetricsForDpi(SM_CXSMICON, dpi));
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big.get()));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small.get()));
  bigIcon_ = std::move(big);
  smallIcon_ = std::move(small);
}

Win32Window::~Win32Window() {
  --openWindows_;
  if (hwnd_ == nullptr) return;
  // Messages sent while the window goes away must not reach the form that is unloading it.
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

Handle Win32Window::handle() const { return reinterpret_cast<Handle>(hwnd_); }

int Win32Window::Dpi() const {
  const UINT dpi = hwnd_ != nullptr ? GetDpiForWindow(hwnd_) : 0;
  return dpi != 0 ? static_cast<int>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

PixelSize Win32Window::ClientSize() const {
  RECT client{};
  if (hwnd_ != nullptr) GetClientRect(hwnd_, &client);
  return {client.right - client.left, client.bottom - client.top};
}

PixelPoint Win32Window::ClientOrigin() const {
  POINT origin{0, 0};
  if (hwnd_ != nullptr) ClientToScreen(hwnd_, &origin);
  return {origin.x, origin.y};
}

void Win32Window::Place(const PixelRect& rect) {
  SetWindowPos(hwnd_, nullptr, rect.left, rect.top, rect.width, rect.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::SetCaption(const std::string& caption) {
  SetWindowTextW(hwnd_, ToWide(caption).c_str());
}

void Win32Window::SetOuterSize(PixelSize size) {
  SetWindowPos(hwnd_, nullptr, 0, 0, size.width, size.height,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::SetClientSize(PixelSize size) {
  RECT outer{0, 0, size.width, size.height};
  AdjustWindowRectExForDpi(
      &outer, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), GetMenu(hwnd_) != nullptr,
      static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)), static_cast<UINT>(Dpi()));
  SetOuterSize({outer.right - outer.left, outer.bottom - outer.top});
}

void Win32Window::Show(WindowState state) {
  switch (state) {
    case WindowState::Maximized:
      ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
      if (border_ == BorderStyle::None) CoverPrimaryMonitor();
      break;
    case WindowState::Normal:
      if (border_ != BorderStyle::None && !placed_) CentreOnScreen();
      placed_ = true;
      ShowWindow(hwnd_, cover_ ? SW_SHOWNOACTIVATE : SW_SHOWNORMAL);
      break;
  }
}

// Whatever the system made of the maximized size (a work area beside a task bar, another
// monitor's layout), a frameless maximized window ends up on the primary monitor's full
// rectangle. The primary one by name: after the monitors changed, the window may lie mostly on
// another.
void Win32Window::CoverPrimaryMonitor() {
  const RECT monitor = PrimaryMonitorRect(false);
  RECT now{};
  GetWindowRect(hwnd_, &now);
  if (EqualRect(&now, &monitor)) return;
  SetWindowPos(hwnd_, nullptr, monitor.left, monitor.top, monitor.right - monitor.left,
               monitor.bottom - monitor.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::CentreOnScreen() {
  const RECT work = PrimaryMonitorRect(true);
  RECT outer{};
  GetWindowRect(hwnd_, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::SetEnabled(bool enabled) {
  EnableWindow(hwnd_, enabled ? TRUE : FALSE);
  // A modal form that closed while this one was still disabled left the program without an
  // active window, since the system could not give the activation back to its owner then.
  if (enabled && GetActiveWindow() == nullptr && IsWindowVisible(hwnd_)) {
    SetForegroundWindow(hwnd_);
  }
}

void Win32Window::Invalidate() { InvalidateRect(hwnd_, nullptr, FALSE); }

void Win32Window::UpdateNow() { UpdateWindow(hwnd_); }

void Win32Window::SetFocus() {
  if (hwnd_ == nullptr || !IsWindowVisible(hwnd_) || !IsWindowEnabled(hwnd_)) {
    throw RunTimeError(ErrorCode::InvalidProcedureCall, "the window cannot take the focus");
  }
  // SetFocus returns the previous focus, which may be null on success; the outcome is read back.
  ::SetFocus(hwnd_);
  if (GetFocus() != hwnd_) {
    throw RunTimeError(ErrorCode::InvalidProcedureCall, "the window did not take the focus");
  }
}

void Win32Window::StartTimer(int timerId, unsigned milliseconds) {
  if (SetTimer(hwnd_, NativeTimerId(timerId), milliseconds, nullptr) == 0) {
    throw RunTimeError(ErrorCode::OutOfMemory, "SetTimer failed");
  }
}

void Win32Window::AddControl(const ControlSpec& control) {
  controls_.Add(hwnd_, instance_, control, Dpi());
}

void Win32Window::SetControlText(int controlId, const std::string& text) {
  controls_.SetText(controlId, text);
}

void Win32Window::PlaceControl(const ControlSpec& control) { controls_.Place(control, Dpi()); }

// Through the dialog manager, which also draws the button with the focus as the one Enter presses.
void Win32Window::FocusControl(int controlId) {
  HWND child = controls_.Find(controlId);
  if (child != nullptr) SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(child), TRUE);
}

int Win32Window::FocusedControl() const {
  HWND focus = GetFocus();
  if (focus == nullptr || hwnd_ == nullptr || !IsChild(hwnd_, focus)) return -1;
  return GetDlgCtrlID(focus);
}

// The form's inner size is its own: the menu bar takes its room from the frame, not from it.
void Win32Window::SetMenu(const std::vector<MenuSpec>& menus) {
  const PixelSize client = ClientSize();
  UniqueMenu bar = menus.empty() ? UniqueMenu() : MakeMenuBar(menus);
  HMENU previous = GetMenu(hwnd_);
  if (!::SetMenu(hwnd_, bar.get())) return;
  (void)bar.Detach();  // the window destroys its menu with itself
  const UniqueMenu replaced(previous);
  SetClientSize(client);
}

void Win32Window::Paint() {
  const PaintScope paint(hwnd_);
  RECT client{};
  GetClientRect(hwnd_, &client);
  PaintScene(paint.dc(), {client.right - client.left, client.bottom - client.top},
             events_.DescribeScene());
}

}  // namespace platform::win32
