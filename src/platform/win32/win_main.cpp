// The program's entry: the binding, the run-time and the start routine, then the message loop
// for as long as a form is open.
#include <windows.h>

#include "platform/runtime.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_binding.h"
#include "start/module1.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  try {
    const platform::win32::ComApartment com;
    platform::win32::Win32Binding binding;
    platform::Runtime runtime(binding);
    Module1 module(runtime);
    module.Main();
    // Main returns with a form open (show, settings) or with none (preview, or a form that
    // already closed); only the former keeps the program alive.
    if (!binding.ShouldRunMessageLoop()) return 0;
    return binding.RunMessageLoop();
  } catch (...) {
    // Main and the handlers contain their own errors; what is left is the binding failing to
    // start (no window class), and then there is nothing to show.
    return 1;
  }
}
