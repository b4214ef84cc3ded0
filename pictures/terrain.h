#pragma once
// Ranges of hills seen edge-on, the building block of the landscapes, night skies and seascapes:
// each range is a skyline (the height of its top edge in every column) painted from far to near,
// with mist settling in the valleys and, optionally, its reflection in still water.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "color.h"
#include "draw.h"
#include "image.h"

namespace pictures {

// The top edge of a range: in pixels from the top of the picture, one value per column.
using Skyline = std::vector<double>;

struct RangeShape {
  double base = 0.5;        // mean height of the top edge, as a fraction of the picture's height
  double amplitude = 0.1;   // how far peaks rise above it, same unit
  double wavelength = 0.5;  // typical distance between peaks, as a fraction of the height
  bool jagged = false;      // sharp eroded crests rather than rolling hills
  std::uint32_t seed = 0;
};

Skyline MakeSkyline(const RangeShape& shape, int width, int height);

// Stands conifers along the ground line: `density` trees per tree width on average (above 1
// they crowd into a forest edge), `tree_height` in pixels, varied by up to half either way.
void DrawPines(Image& image, const Skyline& ground, double density, double tree_height,
               Color colour, std::uint32_t seed);

// Paints every pixel below the skyline with colour_at(x, y, depth below the skyline), with a
// soft top edge.
template <typename ColourAt>
void PaintRange(Image& image, const Skyline& skyline, ColourAt&& colour_at, int bottom = -1) {
  const int last = bottom < 0 ? image.Height() : bottom;
  for (int x = 0; x < image.Width(); ++x) {
    const double top = skyline[static_cast<std::size_t>(x)];
    for (int y = std::max(0, static_cast<int>(top) - 1); y < last; ++y) {
      const double depth = y + 0.5 - top;
      image.Blend(x, y, colour_at(x, y, depth), Clamp01(depth + 0.5));
    }
  }
}

// Mirrors everything above `horizon` into the rows below it, as in calm water: slightly
// rippled, darkened and tinted towards `water`.
void Reflect(Image& image, int horizon, Color water, std::uint32_t seed);

}  // namespace pictures
