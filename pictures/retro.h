#pragma once
// Scenes in the manner of old computer graphics: a neon sunset over a grid, and any scene redone
// as pixel art. Both come out in few colours, which suits the GIF pictures.
#include <cstdint>

#include "color.h"
#include "image.h"

namespace pictures {

struct SynthwaveStyle {
  std::uint32_t seed;
  Gradient sky;  // top to horizon, drawn in flat bands
  Color sun_top;
  Color sun_bottom;
  Color mountains;
  Color grid;
};
void PaintSynthwave(Image& image, const SynthwaveStyle& style);

// Paints the scene at 1/factor of the picture's size, reduces it to a few flat colours and
// enlarges it with hard pixel edges.
void PaintAsPixelArt(Image& image, int factor, int colours, void (*paint)(Image&));

}  // namespace pictures
