#include "platform/win32/crash_restore.h"

#include <atomic>
#include <cstdlib>
#include <exception>

#include "platform/win32/handles.h"

namespace platform::win32 {
namespace {

// An exception filter and a terminate handler take no argument, so what they put back lives
// here, for the process, and is taken by whichever thread crashes first.
std::atomic<HWND> hiddenWindow{nullptr};
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
std::terminate_handler previousTerminate = nullptr;

// Stack kept for the filter on the thread that hid the window, should it overflow its stack.
constexpr ULONG kStackForFilter = 64 * 1024;
constexpr DWORD kShowTimeoutMs = 5000;

DWORD WINAPI ShowAgain(void* window) {
  SetWindowPos(static_cast<HWND>(window), nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW);
  return 0;
}

// On a thread of its own: the crashed one may be short of stack, and the call waits for the
// window's program to answer. A thread that cannot start in time (the crash came while the loader
// lock was held, say) leaves it to a request that the window's own thread carries out, which
// never waits.
void ShowHiddenWindow() {
  HWND window = hiddenWindow.exchange(nullptr);
  if (window == nullptr) return;
  const UniqueHandle thread(CreateThread(nullptr, 0, ShowAgain, window, 0, nullptr));
  if (!thread || WaitForSingleObject(thread.get(), kShowTimeoutMs) != WAIT_OBJECT_0) {
    SetWindowPos(window, nullptr, 0, 0, 0, 0, SWP_SHOWWINDOW | SWP_ASYNCWINDOWPOS);
  }
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* exception) {
  ShowHiddenWindow();
  // The crash goes on as it would have: to an earlier filter, or to the system's report.
  return previousFilter != nullptr ? previousFilter(exception) : EXCEPTION_CONTINUE_SEARCH;
}

void OnTerminate() {
  ShowHiddenWindow();
  if (previousTerminate != nullptr) previousTerminate();
  std::abort();
}

}  // namespace

void RestoreOnCrash(HWND window) {
  HWND none = nullptr;
  // One window at a time: a second one hidden meanwhile is left to its own unload.
  if (window == nullptr || !hiddenWindow.compare_exchange_strong(none, window)) return;
  ULONG stack = kStackForFilter;
  SetThreadStackGuarantee(&stack);
  previousFilter = SetUnhandledExceptionFilter(OnUnhandledException);
  previousTerminate = std::set_terminate(OnTerminate);
}

void ForgetOnCrash(HWND window) {
  HWND expected = window;
  if (window == nullptr || !hiddenWindow.compare_exchange_strong(expected, nullptr)) return;
  SetUnhandledExceptionFilter(previousFilter);
  std::set_terminate(previousTerminate);
}

}  // namespace platform::win32
