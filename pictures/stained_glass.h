#pragma once
// Stained glass: Voronoi panes of textured, back-lit glass held in dark lead came. The panes'
// colours draw a design: a rose window, a sunset over hills, or a scatter of autumn leaves.
#include <cstdint>

#include "image.h"

namespace pictures {

enum class GlassDesign { Rose, Sunset, Autumn };

struct GlassStyle {
  std::uint32_t seed;
  double pane;  // typical pane size, as a fraction of the picture's height
  GlassDesign design;
};

void PaintStainedGlass(Image& image, const GlassStyle& style);

}  // namespace pictures
