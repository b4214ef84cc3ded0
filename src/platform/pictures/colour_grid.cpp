#include "platform/pictures/colour_grid.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <utility>

namespace platform {
namespace {

constexpr int kSteps = ColourGrid::kLevels - 1;

// A channel's value on the grid: the cell below it and the way into the cell, in 1/256ths.
struct Position {
  int cell;
  int fraction;
};

constexpr std::array<Position, 256> PositionTable() {
  std::array<Position, 256> table{};
  for (int v = 0; v < 256; ++v) {
    const int scaled = v * kSteps * 256 / 255;
    const int cell = std::min(scaled >> 8, kSteps - 1);
    table[static_cast<std::size_t>(v)] = {cell, scaled - (cell << 8)};
  }
  return table;
}
constexpr std::array<Position, 256> kPositions = PositionTable();

constexpr std::size_t kG = ColourGrid::kLevels, kR = kG * kG, kB = 1;

// The steps to the second and third corners of a cell's tetrahedron, by which fractions are at
// least which: red and green, green and blue, red and blue. Two of the eight cannot happen.
struct Steps {
  std::size_t first, second;
};
constexpr std::array<Steps, 8> kTetrahedra = {{
    {kB, kB + kG},  // blue > green > red
    {kB, kB + kR},  // impossible: red < green < blue but red >= blue
    {kG, kG + kB},  // green >= blue > red
    {kG, kG + kR},  // green > red >= blue
    {kB, kB + kR},  // blue > red >= green
    {kR, kR + kB},  // red >= blue > green
    {kR, kR + kG},  // impossible: red >= green >= blue but red < blue
    {kR, kR + kG},  // red >= green >= blue
}};

int Channel(std::uint32_t pixel, int shift) { return static_cast<int>(pixel >> shift & 0xFF); }

}  // namespace

std::vector<std::uint32_t> ColourGrid::Samples() {
  std::vector<std::uint32_t> samples;
  samples.reserve(static_cast<std::size_t>(kLevels) * kLevels * kLevels);
  const auto level = [](int i) {
    return static_cast<std::uint32_t>((i * 255 + kSteps / 2) / kSteps);
  };
  for (int r = 0; r < kLevels; ++r) {
    for (int g = 0; g < kLevels; ++g) {
      for (int b = 0; b < kLevels; ++b) {
        samples.push_back(0xFF000000u | level(r) << 16 | level(g) << 8 | level(b));
      }
    }
  }
  return samples;
}

ColourGrid::ColourGrid(std::vector<std::uint32_t> converted) : grid_(std::move(converted)) {}

void ColourGrid::Apply(std::span<std::uint32_t> pixels) const {
  for (std::uint32_t& pixel : pixels) {
    const std::uint32_t alpha = pixel >> 24;
    const Position r = kPositions[static_cast<std::size_t>(Channel(pixel, 16))];
    const Position g = kPositions[static_cast<std::size_t>(Channel(pixel, 8))];
    const Position b = kPositions[static_cast<std::size_t>(Channel(pixel, 0))];
    const std::uint32_t* corner =
        &grid_[static_cast<std::size_t>(r.cell) * kR + static_cast<std::size_t>(g.cell) * kG +
               static_cast<std::size_t>(b.cell) * kB];
    // The tetrahedron of the cell the colour lies in, by the order of its fractions: from the
    // near corner along the largest fraction's axis, then the middle one's, to the far corner.
    // Chosen by table, not by branches, which a photo's noise would keep mispredicting.
    const int high = std::max({r.fraction, g.fraction, b.fraction});
    const int low = std::min({r.fraction, g.fraction, b.fraction});
    const int middle = r.fraction + g.fraction + b.fraction - high - low;
    const Steps& steps = kTetrahedra[static_cast<std::size_t>((r.fraction >= g.fraction ? 4 : 0) |
                                                              (g.fraction >= b.fraction ? 2 : 0) |
                                                              (r.fraction >= b.fraction ? 1 : 0))];
    const std::size_t first = steps.first, second = steps.second, far = kR + kG + kB;
    const int w0 = 256 - high, w1 = high - middle, w2 = middle - low, w3 = low;
    std::uint32_t out = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8) {
      const int value =
          (w0 * Channel(corner[0], shift) + w1 * Channel(corner[first], shift) +
           w2 * Channel(corner[second], shift) + w3 * Channel(corner[far], shift) + 128) >>
          8;
      out |= std::min(static_cast<std::uint32_t>(value), alpha) << shift;
    }
    pixel = out;
  }
}

}  // namespace platform
