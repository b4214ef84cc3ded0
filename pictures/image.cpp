#include "image.h"

#include <algorithm>

namespace pictures {
namespace {

// 4x4 Bayer thresholds centred on zero, all strictly inside (-0.5, 0.5) so that exact 8-bit
// values never move.
constexpr double kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

std::uint8_t Store(double value, double dither) {
  // Never negative, so truncation rounds down.
  const auto level = static_cast<int>(Clamp01(value) * 255.0 + 0.5 + dither);
  return static_cast<std::uint8_t>(std::min(level, 255));
}

}  // namespace

Image::Image(int width, int height)
    : width_(width),
      height_(height),
      rgb_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3) {}

Color Image::At(int x, int y) const {
  const std::uint8_t* p = rgb_.data() + Offset(x, y);
  return {p[0] / 255.0, p[1] / 255.0, p[2] / 255.0};
}

void Image::Set(int x, int y, Color c) {
  const double dither = (kBayer[y & 3][x & 3] + 0.5) / 16.0 - 0.5;
  std::uint8_t* p = rgb_.data() + Offset(x, y);
  p[0] = Store(c.r, dither);
  p[1] = Store(c.g, dither);
  p[2] = Store(c.b, dither);
}

void Image::Blend(int x, int y, Color c, double alpha) {
  if (alpha <= 0) return;
  Set(x, y, alpha >= 1 ? c : Mix(At(x, y), c, alpha));
}

}  // namespace pictures
