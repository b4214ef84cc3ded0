#pragma once
// The probe's answers go to stdout as UTF-8 lines whatever the console code page is, so the
// host side can compare Japanese texts byte for byte.
#include <initializer_list>
#include <string_view>

namespace probe {

// Writes the pieces joined by tabs, then a newline.
void WriteLine(std::initializer_list<std::wstring_view> fields);

}  // namespace probe
