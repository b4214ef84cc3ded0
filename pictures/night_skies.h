#pragma once
// Clear nights away from any town: the Milky Way over dark hills, and auroras over a lake.
#include <cstdint>

#include "color.h"
#include "image.h"

namespace pictures {

struct NightStyle {
  std::uint32_t seed;
  Gradient sky;    // from the top of the picture (0) down to the horizon (1)
  Color land;      // the hills against the sky
  double horizon;  // fraction of the height
  bool milky_way;
  bool aurora;
  Color aurora_low;   // the colour of the curtains' lower edge
  Color aurora_high;  // the colour they fade into higher up
  bool lake;
};

void PaintNightSky(Image& image, const NightStyle& style);

}  // namespace pictures
