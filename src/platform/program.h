#pragma once
// The program that stands on the platform. The binding's start-up makes the binding and hands it
// over; the program runs its start routine and then the binding's message loop.
#include <functional>

#include "platform/binding.h"

namespace platform {

// Defined by the program (with its start routine), not by the platform, so that the platform
// never includes what stands on it. `messageLoop` delivers events for as long as a window is
// open and returns the program's exit code.
int RunProgram(Binding& binding, const std::function<int()>& messageLoop);

}  // namespace platform
