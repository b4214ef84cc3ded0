#pragma once
// The portable code speaks UTF-8; Windows' W functions speak UTF-16 and its A functions the
// ANSI code page. Conversions happen only at the Win32 calls.
#include <string>
#include <string_view>

namespace platform::win32 {

std::wstring ToWide(std::string_view utf8);
std::string ToUtf8(std::wstring_view utf16);
// The system's ANSI code page, which the registry's A functions use.
std::string Utf8ToAnsi(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);

}  // namespace platform::win32
