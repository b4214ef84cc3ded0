#include "platform/pictures/colour_grid.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <random>
#include <stdexcept>
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

// The eight-at-a-time path converts every pixel exactly as the plain arithmetic does, on a grid of
// arbitrary colours: at random colours and alphas, and at every level on either side of a cell's
// edge, where a pixel's cell and its tetrahedron change.
TEST(ColourGrid, ConvertsEightAtATimeExactlyAsOneByOne) {
  std::mt19937 random(7);
  std::vector<std::uint32_t> converted = ColourGrid::Samples();
  for (std::uint32_t& sample : converted) sample = static_cast<std::uint32_t>(random());
  const ColourGrid grid(std::move(converted));
  std::vector<std::uint32_t> pixels;
  for (int i = 0; i < 200000; ++i) {
    const std::uint32_t colour = static_cast<std::uint32_t>(random());
    pixels.push_back(i % 2 == 0 ? colour | 0xFF000000 : colour);
  }
  for (int level = 0; level < ColourGrid::kLevels; ++level) {
    const int edge = (level * 255 + 16) / 32;
    for (int v = std::max(edge - 1, 0); v <= std::min(edge + 1, 255); ++v) {
      const auto u = static_cast<std::uint32_t>(v);
      for (const std::uint32_t other : {0u, 0x80u, 0xFFu, u}) {
        pixels.insert(pixels.end(), {0xFF000000 | u << 16 | other << 8 | other,
                                     0xFF000000 | other << 16 | u << 8 | other,
                                     0xFF000000 | other << 16 | other << 8 | u});
      }
    }
  }
  pixels.resize(pixels.size() / 8 * 8 + 5);  // and a few left over the eights
  std::vector<std::uint32_t> result = pixels;
  grid.Apply(result);
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    ASSERT_EQ(result[i], grid.Convert(pixels[i])) << std::hex << "pixel " << pixels[i];
  }
}

TEST(ColourGrid, RefusesAGridOfAnyOtherSize) {
  std::vector<std::uint32_t> converted = ColourGrid::Samples();
  converted.pop_back();
  EXPECT_THROW(ColourGrid{converted}, std::invalid_argument);
  EXPECT_THROW(ColourGrid{std::vector<std::uint32_t>{}}, std::invalid_argument);
}

}  // namespace
