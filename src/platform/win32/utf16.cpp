#include "platform/win32/utf16.h"

#include <windows.h>

#include <limits>
#include <stdexcept>

namespace platform::win32 {
namespace {

int CheckedLength(std::size_t size) {
  if (size > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    throw std::length_error("text too long to convert");
  }
  return static_cast<int>(size);
}

// Invalid sequences become U+FFFD rather than failing: a caption with a stray byte is still
// worth showing.
std::wstring Widen(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = CheckedLength(text.size());
  const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
  return wide;
}

std::string Narrow(UINT codePage, std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int length = CheckedLength(utf16.size());
  const int needed =
      WideCharToMultiByte(codePage, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(needed), '\0');
  WideCharToMultiByte(codePage, 0, utf16.data(), length, text.data(), needed, nullptr, nullptr);
  return text;
}

}  // namespace

std::wstring ToWide(std::string_view utf8) { return Widen(CP_UTF8, utf8); }
std::string ToUtf8(std::wstring_view utf16) { return Narrow(CP_UTF8, utf16); }
std::string Utf8ToAnsi(std::string_view utf8) { return Narrow(CP_ACP, Widen(CP_UTF8, utf8)); }
std::string AnsiToUtf8(std::string_view ansi) { return Narrow(CP_UTF8, Widen(CP_ACP, ansi)); }

}  // namespace platform::win32
