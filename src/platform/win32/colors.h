#pragma once
// The forms' colours as GDI takes them.
#include <windows.h>

#include <cstdint>

namespace platform::win32 {

// Colours with the top bit set name a system colour by its index, as the form's default
// background (0x8000000F, the button face) does.
inline COLORREF ToColorRef(std::uint32_t color) {
  if ((color & 0x80000000u) != 0) return GetSysColor(static_cast<int>(color & 0xFFu));
  return static_cast<COLORREF>(color & 0x00FFFFFFu);
}

}  // namespace platform::win32
