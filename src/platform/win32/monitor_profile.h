#pragma once
// The colour profile the system associates with the primary monitor, where the show's pictures
// are.
#include <cstdint>
#include <optional>
#include <vector>

namespace platform::win32 {

// The profile file's bytes; nothing where the monitor has none, or its file is missing,
// unreadable or larger than any profile may be. Where Windows manages colours itself (automatic
// colour management, HDR) it names no profile, or sRGB's.
std::optional<std::vector<std::uint8_t>> PrimaryMonitorProfile();

}  // namespace platform::win32
