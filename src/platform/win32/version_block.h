#pragma once
// The program's version information, read from the bytes of its own version resource without
// the system's version library (which would be one more DLL loaded from wherever the program
// lies). Every length in the block is checked against the bytes that hold it, so a damaged block
// yields what it holds up to the damage. Without <windows.h>, so it is tested on any host.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace platform::win32 {

struct VersionInfo {
  // Of the file version.
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t revision = 0;
  // From the first string table.
  std::u16string companyName;
  std::u16string legalCopyright;
};

VersionInfo ReadVersionInfo(std::span<const std::byte> block);

}  // namespace platform::win32
