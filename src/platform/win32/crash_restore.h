#pragma once
// A window of another program that this process has hidden (the task bar, during the show) is
// shown again should the process crash before it shows it itself: an unhandled exception on any
// thread, or a stack overflow. Nothing is installed while no such window is hidden.
#include <windows.h>

namespace platform::win32 {

// After `window` was hidden by SetWindowPos(window, 0, 0, 0, 0, 0, SWP_HIDEWINDOW).
void RestoreOnCrash(HWND window);
// After it was shown again: a crash from now on changes nothing.
void ForgetOnCrash(HWND window);

}  // namespace platform::win32
