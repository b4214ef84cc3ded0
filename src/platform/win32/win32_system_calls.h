#pragma once
// The system calls the windows name, passed to the real user32, imm32 and advapi32 functions
// with exactly the arguments given.
#include "platform/system_calls.h"

namespace platform::win32 {

class Win32SystemCalls final : public SystemCalls {
 public:
  std::int32_t SystemParametersInfoA(std::uint32_t uiAction, std::uint32_t uiParam, void* pvParam,
                                     std::uint32_t fWinIni) override;
  std::int32_t ShowCursor(std::int32_t bShow) override;
  Handle FindWindowA(const char* lpClassName, const char* lpWindowName) override;
  std::int32_t SetWindowPos(Handle hWnd, Handle hWndInsertAfter, std::int32_t X, std::int32_t Y,
                            std::int32_t cx, std::int32_t cy, std::uint32_t uFlags) override;
  Handle ImmAssociateContext(Handle hWnd, Handle hIMC) override;
  std::int32_t RegOpenKeyExA(Handle hKey, const char* lpSubKey, std::uint32_t ulOptions,
                             std::uint32_t samDesired, Handle* phkResult) override;
  std::int32_t RegQueryValueExA(Handle hKey, const char* lpValueName, std::uint32_t* lpReserved,
                                std::uint32_t* lpType, std::uint8_t* lpData,
                                std::uint32_t* lpcbData) override;
  std::int32_t RegCloseKey(Handle hKey) override;
};

}  // namespace platform::win32
