#pragma once
// The running processes, as a snapshot of the moment.
#include <windows.h>
// after <windows.h>, which it needs
#include <tlhelp32.h>

#include <functional>
#include <string_view>

namespace probe {

// Calls `visit` with each running process until it returns false.
void ForEachProcess(const std::function<bool(const PROCESSENTRY32W&)>& visit);
// The id of the first process of that image name (compared without case), 0 when none runs.
DWORD ProcessOf(std::wstring_view imageName);

}  // namespace probe
