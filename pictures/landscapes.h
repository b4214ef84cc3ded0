#pragma once
// Mountain ranges under an open sky: dusk, dawn, blue hour, misty forests, a snow-capped volcano
// over a lake. One composition, varied by its style.
#include <cstdint>

#include "color.h"
#include "draw.h"
#include "image.h"

namespace pictures {

struct MountainStyle {
  std::uint32_t seed;
  Gradient sky;       // from the top of the picture (0) down to the horizon (1)
  Color haze;         // the air between ranges: the farthest range nearly dissolves in it
  Color near;         // the nearest range
  Point sun;          // fractions of the picture's width and height
  double sun_radius;  // fraction of the height; 0 for no disc, only its light
  Color sun_colour;
  double glow;  // strength of the light around the sun
  int ranges;
  double horizon;  // fraction of the height: the foot of the farthest range, the lake's edge
  bool lake;
  bool pines;
  bool stars;
  bool clouds;
  Color cloud_colour;
  bool volcano;
};

void PaintMountains(Image& image, const MountainStyle& style);

}  // namespace pictures
