#pragma once
// What a running process holds that Win32 will not count for another process under Wine
// (GetGuiResources and GetProcessHandleCount answer 0 there).
#include <string_view>

namespace probe {

// Two lines for the first process of that image name: "gdi<TAB>N", the GDI objects in its handle
// table, and "handles<TAB>N", its kernel handles; nothing when no such process runs or it cannot
// be read.
void AnswerResources(std::wstring_view imageName);

}  // namespace probe
