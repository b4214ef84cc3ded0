#pragma once
// Light for its own sake: out-of-focus points of light (bokeh), and ribbons of light flowing
// across a dark ground.
#include <cstdint>
#include <vector>

#include "color.h"
#include "image.h"

namespace pictures {

struct BokehStyle {
  std::uint32_t seed;
  Gradient ground;            // the background, top to bottom
  std::vector<Color> lights;  // the colours of the discs
  int count;                  // discs per picture of 16:9 shape; scaled with the area
  bool hexagonal;             // the aperture's shape
};
void PaintBokeh(Image& image, const BokehStyle& style);

struct RibbonStyle {
  std::uint32_t seed;
  Gradient ground;   // the background, top to bottom
  Gradient colours;  // across the ribbon, from its first strand to its last
  int strands;
};
void PaintRibbons(Image& image, const RibbonStyle& style);

}  // namespace pictures
