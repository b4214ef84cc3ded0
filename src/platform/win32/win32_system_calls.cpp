#include "platform/win32/win32_system_calls.h"

#include <windows.h>
// imm.h needs the types <windows.h> declares.
#include <imm.h>

#include <cstring>
#include <optional>
#include <string>

#include "platform/win32/crash_restore.h"
#include "platform/win32/utf16.h"

namespace platform::win32 {
namespace {

HWND ToHwnd(Handle handle) { return reinterpret_cast<HWND>(handle); }

bool OfAnotherProcess(HWND window) {
  DWORD process = 0;
  return GetWindowThreadProcessId(window, &process) != 0 && process != GetCurrentProcessId();
}

// The predefined registry roots are 32-bit values with the top bit set, sign-extended to pointer
// width (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 on x64). A root that reached us zero-extended,
// as 0x80000002, is widened the same way; no real key handle has such a value.
HKEY ToHkey(Handle handle) {
  if (handle >= 0x80000000LL && handle <= 0xFFFFFFFFLL) {
    handle = static_cast<Handle>(static_cast<std::int32_t>(static_cast<std::uint32_t>(handle)));
  }
  return reinterpret_cast<HKEY>(handle);
}

// A text argument in the system's ANSI code page; null stays null.
class AnsiArgument {
 public:
  explicit AnsiArgument(const char* utf8) {
    if (utf8 != nullptr) text_ = Utf8ToAnsi(utf8);
  }
  [[nodiscard]] const char* get() const { return text_ ? text_->c_str() : nullptr; }

 private:
  std::optional<std::string> text_;
};

// A text value read is handed back in UTF-8, where it fits the caller's buffer in that form too.
LONG TextToUtf8(DWORD type, std::uint8_t* data, DWORD capacity, DWORD& size) {
  if (type != REG_SZ && type != REG_EXPAND_SZ) return ERROR_SUCCESS;
  const std::string text = AnsiToUtf8({reinterpret_cast<const char*>(data), size});
  if (text.size() > capacity) return ERROR_MORE_DATA;
  std::memcpy(data, text.data(), text.size());
  size = static_cast<DWORD>(text.size());
  return ERROR_SUCCESS;
}

}  // namespace

std::int32_t Win32SystemCalls::SystemParametersInfoA(std::uint32_t uiAction, std::uint32_t uiParam,
                                                     void* pvParam, std::uint32_t fWinIni) {
  return ::SystemParametersInfoA(uiAction, uiParam, pvParam, fWinIni);
}

std::int32_t Win32SystemCalls::ShowCursor(std::int32_t bShow) { return ::ShowCursor(bShow); }

Handle Win32SystemCalls::FindWindowA(const char* lpClassName, const char* lpWindowName) {
  return reinterpret_cast<Handle>(
      ::FindWindowA(AnsiArgument(lpClassName).get(), AnsiArgument(lpWindowName).get()));
}

// Another program's window that is hidden here is shown again if this process crashes first.
std::int32_t Win32SystemCalls::SetWindowPos(Handle hWnd, Handle hWndInsertAfter, std::int32_t X,
                                            std::int32_t Y, std::int32_t cx, std::int32_t cy,
                                            std::uint32_t uFlags) {
  const HWND window = ToHwnd(hWnd);
  const bool hides = (uFlags & SWP_HIDEWINDOW) != 0 && OfAnotherProcess(window);
  if (hides) RestoreOnCrash(window);
  const BOOL done = ::SetWindowPos(window, ToHwnd(hWndInsertAfter), X, Y, cx, cy, uFlags);
  const bool nothingHidden = hides && done == FALSE;
  const bool shownAgain = (uFlags & SWP_SHOWWINDOW) != 0 && done != FALSE;
  if (nothingHidden || shownAgain) ForgetOnCrash(window);
  return done;
}

Handle Win32SystemCalls::ImmAssociateContext(Handle hWnd, Handle hIMC) {
  return reinterpret_cast<Handle>(
      ::ImmAssociateContext(ToHwnd(hWnd), reinterpret_cast<HIMC>(hIMC)));
}

std::int32_t Win32SystemCalls::RegOpenKeyExA(Handle hKey, const char* lpSubKey,
                                             std::uint32_t ulOptions, std::uint32_t samDesired,
                                             Handle* phkResult) {
  HKEY opened = nullptr;
  const LONG result = ::RegOpenKeyExA(ToHkey(hKey), AnsiArgument(lpSubKey).get(), ulOptions,
                                      samDesired, phkResult != nullptr ? &opened : nullptr);
  if (phkResult != nullptr) *phkResult = reinterpret_cast<Handle>(opened);
  return result;
}

// DWORD is unsigned long on Windows, a different type from std::uint32_t of the same size; the
// values are copied through DWORDs rather than aliased.
std::int32_t Win32SystemCalls::RegQueryValueExA(Handle hKey, const char* lpValueName,
                                                std::uint32_t* lpReserved, std::uint32_t* lpType,
                                                std::uint8_t* lpData, std::uint32_t* lpcbData) {
  DWORD reserved = lpReserved != nullptr ? *lpReserved : 0;
  DWORD type = 0;
  const DWORD capacity = lpcbData != nullptr ? *lpcbData : 0;
  DWORD size = capacity;
  LONG result = ::RegQueryValueExA(ToHkey(hKey), AnsiArgument(lpValueName).get(),
                                   lpReserved != nullptr ? &reserved : nullptr, &type, lpData,
                                   lpcbData != nullptr ? &size : nullptr);
  if (result == ERROR_SUCCESS && lpData != nullptr)
    result = TextToUtf8(type, lpData, capacity, size);
  if (lpType != nullptr) *lpType = type;
  if (lpcbData != nullptr) *lpcbData = size;
  return result;
}

std::int32_t Win32SystemCalls::RegCloseKey(Handle hKey) { return ::RegCloseKey(ToHkey(hKey)); }

}  // namespace platform::win32
