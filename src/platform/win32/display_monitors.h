#pragma once
// The monitors as the system has them now.
#include <vector>

#include "platform/binding.h"

namespace platform::win32 {

// The primary one first. The manifest makes the process aware of each monitor's DPI, so the
// rectangles are physical pixels and each DPI is the monitor's own.
std::vector<Monitor> DisplayMonitors();

}  // namespace platform::win32
