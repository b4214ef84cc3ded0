#pragma once
// Open sea under a low sun or moon: a path of glitter on the waves, streaks of cloud, perhaps
// islands on the horizon.
#include <cstdint>

#include "color.h"
#include "draw.h"
#include "image.h"

namespace pictures {

struct SeaStyle {
  std::uint32_t seed;
  Gradient sky;  // from the top of the picture (0) down to the horizon (1)
  Color sea_far;
  Color sea_near;
  Point sun;          // fractions of the picture's width and height
  double sun_radius;  // fraction of the height
  Color sun_colour;
  double glow;
  double horizon;  // fraction of the height
  double clouds;   // cloud cover, 0 to 1
  Color cloud_colour;
  bool stars;
  bool islands;
  Color island;
};

void PaintSeascape(Image& image, const SeaStyle& style);

}  // namespace pictures
