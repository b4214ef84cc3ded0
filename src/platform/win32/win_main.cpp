// The program's start-up on Windows: the library search restricted, COM, the binding, then the
// program.
#include <windows.h>

#include "platform/program.h"
#include "platform/win32/com_apartment.h"
#include "platform/win32/win32_binding.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Before anything loads a library: what the program, COM or the system's own DLLs load from
  // here on comes from the system folder, never from the folder the saver lies in or was
  // started from.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  try {
    const platform::win32::ComApartment com;
    platform::win32::Win32Binding binding;
    return platform::RunProgram(binding, [&binding] { return binding.RunMessageLoop(); });
  } catch (...) {
    // Main and the handlers contain their own errors; what is left is the binding failing to
    // start (no window class), and then there is nothing to show.
    return 1;
  }
}
