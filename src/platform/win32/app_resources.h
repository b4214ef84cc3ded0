#pragma once
// The application's texts and version as the program's own resources hold them (res/identity.h
// is their one source, built into the version information and the string table).
#include <windows.h>

#include <cstdint>
#include <string>

namespace platform::win32 {

struct ResourceIdentity {
  std::string title;  // string 1: the saver's name in the system's list
  std::string companyName;
  std::string legalCopyright;
  std::int16_t major = 0;
  std::int16_t minor = 0;
  std::int16_t revision = 0;
};

// Reads what is there; a missing resource leaves its fields empty or zero.
ResourceIdentity ReadResourceIdentity(HMODULE module);

}  // namespace platform::win32
