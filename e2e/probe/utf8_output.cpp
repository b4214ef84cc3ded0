#include "utf8_output.h"

#include <windows.h>

#include <string>

namespace probe {

namespace {

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int wide_length = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), wide_length, out.data(), length, nullptr, nullptr);
  return out;
}

}  // namespace

void WriteLine(std::initializer_list<std::wstring_view> fields) {
  std::wstring line;
  for (const std::wstring_view field : fields) {
    if (!line.empty()) line += L'\t';
    line += field;
  }
  line += L'\n';
  const std::string bytes = ToUtf8(line);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

}  // namespace probe
