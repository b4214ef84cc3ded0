#pragma once
// Paths in the form Windows opens at any length. A pure text function, without <windows.h>, so
// it can be tested on any host.
#include <algorithm>
#include <string>
#include <string_view>

namespace platform::win32 {

// An absolute drive path ("D:\…") or UNC path ("\\server\share\…") in its extended-length form
// ("\\?\D:\…", "\\?\UNC\server\share\…"), which is not limited to MAX_PATH characters. The system
// takes such a path as it is, so forward slashes become backslashes here. Anything else (a
// relative path, a device path, one already in that form) is left as it is.
inline std::wstring ExtendedLengthPath(std::wstring_view path) {
  auto withBackslashes = [](std::wstring_view text) {
    std::wstring out(text);
    std::replace(out.begin(), out.end(), L'/', L'\\');
    return out;
  };
  auto slash = [](wchar_t c) { return c == L'\\' || c == L'/'; };
  const bool drive = path.size() >= 3 && path[1] == L':' && slash(path[2]) &&
                     ((path[0] >= L'A' && path[0] <= L'Z') || (path[0] >= L'a' && path[0] <= L'z'));
  if (drive) return L"\\\\?\\" + withBackslashes(path);
  const bool unc = path.size() >= 3 && slash(path[0]) && slash(path[1]) && path[2] != L'?' &&
                   path[2] != L'.' && !slash(path[2]);
  if (unc) return L"\\\\?\\UNC\\" + withBackslashes(path.substr(2));
  return std::wstring(path);
}

}  // namespace platform::win32
