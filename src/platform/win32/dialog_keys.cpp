#include "platform/win32/dialog_keys.h"

#include "platform/win32/win32_window.h"

namespace platform::win32 {

bool DeliverToDialog(MSG& message, const WindowClass& forms) {
  if (message.hwnd == nullptr) return false;
  HWND form = GetAncestor(message.hwnd, GA_ROOT);
  Win32Window* window = Win32Window::FromHandle(forms, form);
  if (window == nullptr || !window->HasControls()) return false;
  if (message.message == WM_KEYDOWN) {
    switch (message.wParam) {
      case VK_RETURN:
      case VK_ESCAPE:
        window->PressDialogKey(message.wParam == VK_RETURN ? DialogKey::Enter : DialogKey::Escape);
        return true;
      case VK_LEFT:
      case VK_UP:
      case VK_RIGHT:
      case VK_DOWN: {
        // Only buttons take the focus, and between them the arrows move as Tab and Shift+Tab
        // do. The system's group navigation would stop at the labels.
        HWND focus = GetFocus();
        HWND next = GetNextDlgTabItem(form, IsChild(form, focus) ? focus : nullptr,
                                      message.wParam == VK_LEFT || message.wParam == VK_UP);
        if (next != nullptr) SetFocus(next);
        return true;
      }
      default:
        break;
    }
  }
  // An access key that no control claims goes on to the window, which opens its menu with it.
  return IsDialogMessageW(form, &message) != FALSE;
}

}  // namespace platform::win32
