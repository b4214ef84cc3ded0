#pragma once
// The portable code speaks UTF-8; Windows' W functions speak UTF-16. Conversions happen only at
// the Win32 calls.
#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view utf16);

}  // namespace platform::win32
