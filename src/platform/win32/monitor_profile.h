#pragma once
// The colour profile the system associates with the primary monitor, where the show's pictures
// are.
#include <cstdint>
#include <optional>
#include <vector>

namespace platform::win32 {

// A monitor's profile larger than this is ignored. It may weigh far more than a picture's: a
// profile made by measuring the panel holds its lookup tables, 1.6 MB each at the 65 levels a
// channel that calibration tools offer, and up to six of them (three intents, both ways).
inline constexpr std::uint64_t kMaxMonitorProfileBytes = 16 << 20;

// The profile file's bytes; nothing where the monitor has none, or its file is missing,
// unreadable or larger than kMaxMonitorProfileBytes. Where Windows manages colours itself
// (automatic colour management, HDR) it names no profile, or sRGB's.
std::optional<std::vector<std::uint8_t>> PrimaryMonitorProfile();

}  // namespace platform::win32
