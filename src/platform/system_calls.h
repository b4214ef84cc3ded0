#pragma once
// The operating system's functions that the windows call by name, with their argument orders
// and values. The Win32 binding calls the real functions; the in-memory binding records every
// call and simulates its effect. Handles are carried as integers. Text, in the arguments and in a
// text value read, is UTF-8 here as everywhere in the program; the Win32 binding converts it
// from and to the system's ANSI code page at the A function.
#include <cstdint>

namespace platform {

using Handle = std::intptr_t;

class SystemCalls {
 public:
  virtual ~SystemCalls() = default;

  // user32
  virtual std::int32_t SystemParametersInfoA(std::uint32_t uiAction, std::uint32_t uiParam,
                                             void* pvParam, std::uint32_t fWinIni) = 0;
  virtual std::int32_t ShowCursor(std::int32_t bShow) = 0;
  virtual Handle FindWindowA(const char* lpClassName, const char* lpWindowName) = 0;
  virtual std::int32_t SetWindowPos(Handle hWnd, Handle hWndInsertAfter, std::int32_t X,
                                    std::int32_t Y, std::int32_t cx, std::int32_t cy,
                                    std::uint32_t uFlags) = 0;
  // imm32
  virtual Handle ImmAssociateContext(Handle hWnd, Handle hIMC) = 0;
  // advapi32
  virtual std::int32_t RegOpenKeyExA(Handle hKey, const char* lpSubKey, std::uint32_t ulOptions,
                                     std::uint32_t samDesired, Handle* phkResult) = 0;
  virtual std::int32_t RegQueryValueExA(Handle hKey, const char* lpValueName,
                                        std::uint32_t* lpReserved, std::uint32_t* lpType,
                                        std::uint8_t* lpData, std::uint32_t* lpcbData) = 0;
  virtual std::int32_t RegCloseKey(Handle hKey) = 0;
};

}  // namespace platform
