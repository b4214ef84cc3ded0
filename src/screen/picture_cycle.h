#pragma once
// How long each picture stays on the screen. The show's timer and the tests that wait for the
// next picture take it from here; it needs nothing of the platform, so host programs include it.
#include <chrono>

namespace screen {

inline constexpr std::chrono::milliseconds kPicturePeriod = std::chrono::seconds(20);

}  // namespace screen
