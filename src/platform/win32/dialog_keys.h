#pragma once
// The keyboard of the forms that have controls, as the message loops deliver it: Enter and Esc
// go to the form, which presses its default or cancel button; Tab, the arrows and the access
// keys move between the controls as in a dialog. The other forms get every key as it comes.
#include <windows.h>

#include "platform/win32/window_class.h"

namespace platform::win32 {

// Returns whether the message was delivered; if not, the loop translates and dispatches it.
bool DeliverToDialog(MSG& message, const WindowClass& forms);

}  // namespace platform::win32
