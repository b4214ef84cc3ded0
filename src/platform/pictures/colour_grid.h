#pragma once
// A colour conversion sampled on a grid and applied by tetrahedral interpolation: the system's
// colour engine converts the grid's few thousand colours once a picture, and the picture's
// pixels take a few table lookups each instead of the engine's full arithmetic.
#include <cstdint>
#include <span>
#include <vector>

#include "platform/pictures/pixels.h"

namespace platform {

class ColourGrid {
 public:
  // Levels a channel: the grid lcms2 itself samples conversions on.
  static constexpr int kLevels = 33;

  // The colours to be converted, as opaque BGRA pixels: blue fastest, red slowest.
  static std::vector<std::uint32_t> Samples();
  // `converted`: Samples(), converted, in their order.
  explicit ColourGrid(std::vector<std::uint32_t> converted);

  // Converts premultiplied pixels in place: each keeps its alpha, and no colour exceeds it.
  void Apply(std::span<std::uint32_t> pixels) const;

 private:
  std::vector<std::uint32_t> grid_;
};

}  // namespace platform
