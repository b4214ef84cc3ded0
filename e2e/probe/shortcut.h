#pragma once
// Where a shortcut (.lnk) leads, as the shell reads it.
#include <string>

namespace probe {

// Two lines: the target's path, then its arguments. False when the shortcut cannot be read.
bool AnswerShortcut(const std::wstring& path);

}  // namespace probe
