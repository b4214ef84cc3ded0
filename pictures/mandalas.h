#pragma once
// Radial ornament: mandalas of layered petals, and kaleidoscopes that fold a pattern of
// interfering waves into a many-fold mirror symmetry.
#include <cstdint>
#include <vector>

#include "color.h"
#include "image.h"

namespace pictures {

struct MandalaStyle {
  std::uint32_t seed;
  Color ground;
  std::vector<Color> colours;  // petal rings take these in turn, from the middle outwards
  Color outline;
  int rings;
};
void PaintMandala(Image& image, const MandalaStyle& style);

struct KaleidoscopeStyle {
  std::uint32_t seed;
  int folds;  // mirror pairs round the centre
  CosinePalette palette;
};
void PaintKaleidoscope(Image& image, const KaleidoscopeStyle& style);

}  // namespace pictures
