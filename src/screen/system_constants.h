#pragma once
// Values of the system calls the show window makes.
#include <cstdint>

#include "platform/system_calls.h"

namespace screen {

inline constexpr std::uint32_t SPI_SETSCREENSAVEACTIVE = 17;
inline constexpr platform::Handle HWND_TOP = 0;
inline constexpr platform::Handle HWND_TOPMOST = -1;
inline constexpr std::uint32_t SWP_NOSIZE = 0x1;
inline constexpr std::uint32_t SWP_NOMOVE = 0x2;
inline constexpr std::uint32_t SWP_SHOWWINDOW = 0x40;
inline constexpr std::uint32_t SWP_HIDEWINDOW = 0x80;

}  // namespace screen
