#pragma once
// The system's own numbers for the arguments and results of the system calls, under the
// system's names, each written once for the windows and the in-memory system. The Win32 binding
// checks every number against <windows.h>, which defines the same names as macros: this header
// is never included after it.
#include <cstdint>

#include "platform/system_calls.h"

// Type, name and value of each number that <windows.h> also defines.
#define PLATFORM_SYSTEM_NUMBERS(NUMBER)                                                 \
  NUMBER(std::uint32_t, SPI_SETSCREENSAVEACTIVE, 17)                                    \
  NUMBER(std::uint32_t, SWP_NOSIZE, 0x1)                                                \
  NUMBER(std::uint32_t, SWP_NOMOVE, 0x2)                                                \
  NUMBER(std::uint32_t, SWP_SHOWWINDOW, 0x40)                                           \
  NUMBER(std::uint32_t, SWP_HIDEWINDOW, 0x80)                                           \
  NUMBER(int, SW_SHOWNORMAL, 1) /* a started program's window: normal place, focused */ \
  NUMBER(std::uint32_t, KEY_QUERY_VALUE, 0x1)                                           \
  NUMBER(std::uint32_t, REG_SZ, 1)                                                      \
  NUMBER(std::uint32_t, REG_DWORD, 4)                                                   \
  NUMBER(std::int32_t, ERROR_SUCCESS, 0)                                                \
  NUMBER(std::int32_t, ERROR_FILE_NOT_FOUND, 2)                                         \
  NUMBER(std::int32_t, ERROR_INVALID_HANDLE, 6)                                         \
  NUMBER(std::int32_t, ERROR_MORE_DATA, 234)                                            \
  NUMBER(int, SHIFTJIS_CHARSET, 128)

namespace platform::system_values {

#define PLATFORM_DECLARE_NUMBER(type, name, value) inline constexpr type name = value;
PLATFORM_SYSTEM_NUMBERS(PLATFORM_DECLARE_NUMBER)
#undef PLATFORM_DECLARE_NUMBER

// <windows.h> makes these by casting the same integers to handle types, which no constant
// expression can read back; the binding passes handles through as these integers.
inline constexpr Handle HWND_TOP = 0;
inline constexpr Handle HWND_TOPMOST = -1;
inline constexpr Handle HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(0x80000002U);

}  // namespace platform::system_values
