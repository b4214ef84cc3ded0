#pragma once
// Trees: a branch of cherry blossom against a soft spring sky, and a lone flat-topped tree on a
// savanna at sunset.
#include <cstdint>

#include "color.h"
#include "image.h"

namespace pictures {

struct BlossomStyle {
  std::uint32_t seed;
  Gradient sky;  // top to bottom
  Color bark;
  Color petal;
  Color heart;  // the flower's centre
  bool from_left;
};
void PaintBlossomBranch(Image& image, const BlossomStyle& style);

struct SavannaStyle {
  std::uint32_t seed;
  Gradient sky;  // top to horizon
  Color sun;
  Color land;
  double sun_x;  // fractions of the picture's width
  double tree_x;
};
void PaintSavannaTree(Image& image, const SavannaStyle& style);

}  // namespace pictures
