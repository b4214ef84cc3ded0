#pragma once
// Reduction to at most 256 colours for GIF and the palette variants of PNG and BMP. A picture
// designed with few colours keeps them exactly; any other gets a median-cut palette and an
// ordered dither, whose fixed pattern compresses well and looks even on smooth skies.
#include <cstdint>
#include <vector>

#include "image.h"

namespace pictures {

struct Rgb8 {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};

struct IndexedImage {
  int width = 0;
  int height = 0;
  std::vector<Rgb8> palette;          // 1 to 256 entries
  std::vector<std::uint8_t> indices;  // width * height, rows top to bottom
};

IndexedImage Quantise(const Image& image);

// Reduces the image in place to the given number of flat colours, without dither: the look of
// pixel art.
void Posterise(Image& image, int colours);

}  // namespace pictures
