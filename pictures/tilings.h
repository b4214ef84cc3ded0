#pragma once
// Repeating ornament: Truchet tiles of woven bands, the seigaiha wave pattern, and eight-pointed
// star tilings in the manner of zellige. Flat colours, so they also suit GIF palettes.
#include <cstdint>
#include <vector>

#include "color.h"
#include "image.h"

namespace pictures {

struct TruchetStyle {
  std::uint32_t seed;
  double cell;      // the tile's side, as a fraction of the picture's height
  Gradient ground;  // the two families of regions, across the picture from corner to corner
  Gradient ground2;
  Color band;
  Color outline;
  bool shaded;  // bands modelled as tubes; flat otherwise
};
void PaintTruchet(Image& image, const TruchetStyle& style);

struct SeigaihaStyle {
  std::uint32_t seed;
  double radius;            // of a fan, as a fraction of the picture's height
  std::vector<Color> fans;  // fans take these colours in a scattered pattern
  Color lines;
};
void PaintSeigaiha(Image& image, const SeigaihaStyle& style);

struct StarTilingStyle {
  double cell;  // distance between star centres, as a fraction of the picture's height
  Color star;
  Color rosette;
  Color strap;
  Color outline;
  Color ground;
  Color accent;  // small crosses between the stars
};
void PaintStarTiling(Image& image, const StarTilingStyle& style);

}  // namespace pictures
