#include "platform/pictures/colour_grid.h"

// SSE2 is part of every x86-64 processor, the only kind both our compilers build for.
#include <emmintrin.h>

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
    // The four corners weighted in pairs, channel by channel, as the resampler weights its taps:
    // each pair's bytes interleaved as 16-bit numbers, so one madd weights both and adds them.
    const auto pair = [](std::uint32_t one, std::uint32_t two, int oneWeight, int twoWeight) {
      const __m128i bytes = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(one)),
                                              _mm_cvtsi32_si128(static_cast<int>(two)));
      return _mm_madd_epi16(_mm_unpacklo_epi8(bytes, _mm_setzero_si128()),
                            _mm_set1_epi32(oneWeight | twoWeight << 16));
    };
    __m128i sum = _mm_add_epi32(pair(corner[0], corner[first], w0, w1),
                                pair(corner[second], corner[far], w2, w3));
    sum = _mm_srli_epi32(_mm_add_epi32(sum, _mm_set1_epi32(128)), 8);
    sum = _mm_packs_epi32(sum, sum);
    // Premultiplied: no colour above the pixel's alpha, which it keeps.
    const __m128i colours =
        _mm_min_epu8(_mm_packus_epi16(sum, sum), _mm_set1_epi8(static_cast<char>(alpha)));
    pixel = (static_cast<std::uint32_t>(_mm_cvtsi128_si32(colours)) & 0xFFFFFF) | alpha << 24;
  }
}

}  // namespace platform
