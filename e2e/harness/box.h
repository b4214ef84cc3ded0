#pragma once
// A rectangle on the screen in pixels, as measured in screenshots or reported by the probe.
#include <cstdlib>
#include <ostream>

namespace e2e {

struct Box {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  bool operator==(const Box&) const = default;
};

// Equal within a pixel on each edge: resampling may blur one edge row or column.
inline bool NearlyEqual(const Box& a, const Box& b) {
  return std::abs(a.left - b.left) <= 1 && std::abs(a.top - b.top) <= 1 &&
         std::abs(a.left + a.width - b.left - b.width) <= 1 &&
         std::abs(a.top + a.height - b.top - b.height) <= 1;
}

inline std::ostream& operator<<(std::ostream& out, const Box& box) {
  return out << box.width << "x" << box.height << " at (" << box.left << ", " << box.top << ")";
}

}  // namespace e2e
