#pragma once
// A colour conversion sampled on a grid and applied by tetrahedral interpolation: the system's
// colour engine converts the grid's few thousand colours once, and the picture's pixels take a
// few table lookups each instead of the engine's full arithmetic.
//
// The grid's 33 levels a channel cut the colour cube into 32 × 32 × 32 cells, each about eight
// levels wide; a cell's diagonal from its darkest corner to its brightest cuts it into six
// tetrahedra, and a colour is weighted from the four corners of the one it lies in.
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
  // `converted`: Samples(), converted, in their order. Throws std::invalid_argument for any
  // other count.
  explicit ColourGrid(const std::vector<std::uint32_t>& converted);

  // Converts premultiplied pixels in place: each keeps its alpha, and no colour exceeds it.
  // Eight at a time, each exactly as Convert converts it.
  void Apply(std::span<std::uint32_t> pixels) const;
  // One pixel, by the plain arithmetic of the interpolation.
  [[nodiscard]] std::uint32_t Convert(std::uint32_t pixel) const;

 private:
  // Each converted colour's blue, green and red in 16-bit lanes, as they are weighted.
  std::vector<std::uint64_t> grid_;
};

}  // namespace platform
