#pragma once
// Makes a running program crash the way a fault inside it would: from a thread of its own.

#include <string_view>

namespace probe {

// Starts a thread at address 0 in the first process of that image name, where it faults at
// once. Writes "started", or "failed" when there is no such process or no thread could be made.
void StartFaultingThread(std::wstring_view imageName);

}  // namespace probe
