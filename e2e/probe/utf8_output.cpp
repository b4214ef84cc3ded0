#include "utf8_output.h"

#include <windows.h>

#include <string>

#include "platform/win32/utf16.h"

namespace probe {

void WriteLine(std::initializer_list<std::wstring_view> fields) {
  std::wstring line;
  for (const std::wstring_view field : fields) {
    if (!line.empty()) line += L'\t';
    line += field;
  }
  line += L'\n';
  const std::string bytes = platform::win32::ToUtf8(line);
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), static_cast<DWORD>(bytes.size()),
            &written, nullptr);
}

}  // namespace probe
