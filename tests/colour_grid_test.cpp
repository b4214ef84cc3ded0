#include "platform/pictures/colour_grid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <vector>

namespace {

using platform::ColourGrid;

std::uint32_t Channel(std::uint32_t pixel, int shift) { return pixel >> shift & 0xFF; }

// A conversion the grid holds exactly at its corners and linearly between them is reproduced
// within rounding at every colour: here the identity, and red and blue swapped.
TEST(ColourGrid, ReproducesALinearConversionAtEveryColourAndKeepsAlpha) {
  const std::function<std::uint32_t(std::uint32_t)> conversions[] = {
      [](std::uint32_t p) { return p; },
      [](std::uint32_t p) { return (p & 0xFF00FF00) | Channel(p, 16) | Channel(p, 0) << 16; }};
  for (const auto& convert : conversions) {
    std::vector<std::uint32_t> converted = ColourGrid::Samples();
    for (std::uint32_t& sample : converted) sample = convert(sample);
    const ColourGrid grid(std::move(converted));
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t v = 0; v < (1u << 24); v += 4099) pixels.push_back(0xFF000000 | v);
    pixels.push_back(0x80406080);  // premultiplied at half alpha: blue at alpha stays at alpha
    std::vector<std::uint32_t> result = pixels;
    grid.Apply(result);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
      const std::uint32_t expected = convert(pixels[i]);
      EXPECT_EQ(result[i] >> 24, pixels[i] >> 24);
      for (int shift = 0; shift < 24; shift += 8) {
        const auto want = std::min(Channel(expected, shift), pixels[i] >> 24);
        ASSERT_LE(std::abs(int(Channel(result[i], shift)) - int(want)), 1)
            << std::hex << pixels[i] << " -> " << result[i];
      }
    }
  }
}

}  // namespace
