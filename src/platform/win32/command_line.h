#pragma once
// The command line as the start routine sees it. A pure text function, without <windows.h>, so
// it can be tested on any host.
#include <string_view>

namespace platform::win32 {

// The text after the program's name. The name ends at its closing quote when it starts with a
// quote, otherwise at the first blank (space or tab). Exactly one separating blank is dropped; a
// further blank belongs to the arguments, so "prog  /c" gives " /c".
inline std::wstring_view ArgumentsAfterProgramName(std::wstring_view commandLine) {
  std::size_t end = 0;
  if (!commandLine.empty() && commandLine.front() == L'"') {
    const std::size_t closing = commandLine.find(L'"', 1);
    end = closing == std::wstring_view::npos ? commandLine.size() : closing + 1;
  } else {
    end = commandLine.find_first_of(L" \t");
    if (end == std::wstring_view::npos) end = commandLine.size();
  }
  std::wstring_view rest = commandLine.substr(end);
  if (!rest.empty() && (rest.front() == L' ' || rest.front() == L'\t')) rest.remove_prefix(1);
  return rest;
}

}  // namespace platform::win32
