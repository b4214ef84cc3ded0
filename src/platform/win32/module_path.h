#pragma once
// The application's folder and name from the module's path. Pure text functions, without
// <windows.h>, so they can be tested on any host.
#include <string>
#include <string_view>

namespace platform::win32 {

// The folder of a file path: no trailing backslash, except at a drive's root ("D:\").
inline std::wstring FolderOf(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  std::wstring folder(slash == std::wstring_view::npos ? std::wstring_view{}
                                                       : path.substr(0, slash));
  if (!folder.empty() && folder.back() == L':') folder.push_back(L'\\');
  return folder;
}

// The file name of a path without its extension.
inline std::wstring_view NameWithoutExtension(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  std::wstring_view name = slash == std::wstring_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = name.find_last_of(L'.');
  return dot == std::wstring_view::npos ? name : name.substr(0, dot);
}

}  // namespace platform::win32
