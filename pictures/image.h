#pragma once
// A picture being painted: 8-bit RGB, rows top to bottom. Storing rounds with a small ordered
// dither so that slow sky gradients do not band; a colour given exactly in 8-bit steps (Hex)
// comes back unchanged, so flat designs keep few colours and stay exact in a GIF palette.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "color.h"

namespace pictures {

class Image {
 public:
  Image(int width, int height);

  [[nodiscard]] int Width() const { return width_; }
  [[nodiscard]] int Height() const { return height_; }

  [[nodiscard]] Color At(int x, int y) const;
  void Set(int x, int y, Color c);
  void Blend(int x, int y, Color c, double alpha);
  void Lighten(int x, int y, Color light) { Set(x, y, Screen(At(x, y), light)); }

  // Paints every pixel with colour_at(x, y), called with the pixel's centre, row by row.
  template <typename ColourAt>
  void Shade(ColourAt&& colour_at) {
    for (int y = 0; y < height_; ++y) {
      for (int x = 0; x < width_; ++x) Set(x, y, colour_at(x + 0.5, y + 0.5));
    }
  }

  // Three bytes per pixel, R G B, no padding.
  [[nodiscard]] const std::uint8_t* Row(int y) const {
    return rgb_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) * 3;
  }

 private:
  [[nodiscard]] std::size_t Offset(int x, int y) const {
    return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)) *
           3;
  }

  int width_;
  int height_;
  std::vector<std::uint8_t> rgb_;
};

}  // namespace pictures
