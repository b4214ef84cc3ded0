#include "platform/pictures/colour_grid.h"

// SSE2 is part of every x86-64 processor, the only kind both our compilers build for.
#include <emmintrin.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>
#include <utility>

namespace platform {
namespace {

constexpr int kSteps = ColourGrid::kLevels - 1;
constexpr std::size_t kBlueStep = 1;
constexpr std::size_t kGreenStep = ColourGrid::kLevels;
constexpr std::size_t kRedStep = kGreenStep * ColourGrid::kLevels;
constexpr std::size_t kGridSize = kRedStep * ColourGrid::kLevels;
// From a cell's darkest corner to its brightest.
constexpr std::size_t kFar = kRedStep + kGreenStep + kBlueStep;

// A channel's value on the grid, in 256ths of a cell: 32 cells over 255 levels, 255 exactly on
// the last level. A multiplication and a shift, as the four-at-a-time path has it.
constexpr int kScale = 32897;  // 1024 × 32 × 256 / 255, rounded up
constexpr int Scaled(int value) { return value * kScale >> 10; }
static_assert(Scaled(255) == kSteps * 256 && Scaled(0) == 0);

}  // namespace

std::vector<std::uint32_t> ColourGrid::Samples() {
  std::vector<std::uint32_t> samples;
  samples.reserve(kGridSize);
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

ColourGrid::ColourGrid(const std::vector<std::uint32_t>& converted) {
  if (converted.size() != kGridSize) throw std::invalid_argument("a colour grid of the wrong size");
  grid_.reserve(kGridSize);
  for (const std::uint32_t colour : converted) {
    grid_.push_back(std::uint64_t{colour & 0xFF} | std::uint64_t{colour >> 8 & 0xFF} << 16 |
                    std::uint64_t{colour >> 16 & 0xFF} << 32);
  }
}

std::uint32_t ColourGrid::Convert(std::uint32_t pixel) const {
  struct Axis {
    int fraction;  // how far into its cell the colour lies along this axis, in 256ths
    std::size_t step;
  };
  std::array<Axis, 3> axes{};
  std::size_t near = 0;  // the cell's darkest corner
  const std::array<std::pair<int, std::size_t>, 3> channels{
      {{16, kRedStep}, {8, kGreenStep}, {0, kBlueStep}}};
  for (std::size_t c = 0; c < channels.size(); ++c) {
    const auto [shift, step] = channels[c];
    const int scaled = Scaled(static_cast<int>(pixel >> shift & 0xFF));
    const int cell = std::min(scaled >> 8, kSteps - 1);
    near += static_cast<std::size_t>(cell) * step;
    axes[c] = {scaled - (cell << 8), step};
  }
  // The tetrahedron's corners: from the darkest along the axis the colour is furthest along, then
  // the next, to the brightest; each weighted by how far the colour is between its neighbours.
  std::sort(axes.begin(), axes.end(),
            [](const Axis& a, const Axis& b) { return a.fraction > b.fraction; });
  const std::array<std::size_t, 4> corners{near, near + axes[0].step,
                                           near + axes[0].step + axes[1].step, near + kFar};
  const std::array<int, 4> weights{256 - axes[0].fraction, axes[0].fraction - axes[1].fraction,
                                   axes[1].fraction - axes[2].fraction, axes[2].fraction};
  const std::uint32_t alpha = pixel >> 24;
  std::uint32_t converted = alpha << 24;
  for (int shift = 0; shift < 24; shift += 8) {
    int sum = 128;
    for (std::size_t k = 0; k < corners.size(); ++k) {
      sum += weights[k] * static_cast<int>(grid_[corners[k]] >> (2 * shift) & 0xFF);
    }
    // Premultiplied: no colour above the pixel's alpha.
    converted |= std::min(static_cast<std::uint32_t>(sum >> 8), alpha) << shift;
  }
  return converted;
}

// Convert's arithmetic on four pixels at once, in SSE2's 32-bit lanes (the small numbers in the
// low half of each, where 16-bit instructions reach them), and its weighting in 16-bit lanes, a
// pixel's four channels side by side. Only the corners are fetched one by one.
void ColourGrid::Apply(std::span<std::uint32_t> pixels) const {
  const __m128i byte = _mm_set1_epi32(0xFF);
  const __m128i scale = _mm_set1_epi32(kScale);
  const __m128i lastCell = _mm_set1_epi32(kSteps - 1);
  const __m128i full = _mm_set1_epi32(256);
  const __m128i redAndGreenSteps = _mm_set1_epi32(static_cast<int>(kRedStep | kGreenStep << 16));
  const __m128i red = _mm_set1_epi32(static_cast<int>(kRedStep));
  const __m128i green = _mm_set1_epi32(static_cast<int>(kGreenStep));
  const __m128i blue = _mm_set1_epi32(static_cast<int>(kBlueStep));
  const __m128i far = _mm_set1_epi32(static_cast<int>(kFar));
  const __m128i colours = _mm_set1_epi32(0x00FFFFFF);
  // Two selections by mask: `a` where `isA`, else `b` where `isB`, else `c`.
  const auto choose = [](__m128i isA, __m128i a, __m128i isB, __m128i b, __m128i c) {
    const __m128i notA = _mm_andnot_si128(isA, isB);
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(isA, a), _mm_and_si128(notA, b)),
                        _mm_andnot_si128(_mm_or_si128(isA, isB), c));
  };
  const std::uint64_t* grid = grid_.data();
  std::size_t i = 0;
  for (; i + 4 <= pixels.size(); i += 4) {
    auto* const at = reinterpret_cast<__m128i*>(&pixels[i]);
    const __m128i pixel = _mm_loadu_si128(at);
    const auto scaled = [&](int shift) {
      const __m128i value = _mm_and_si128(_mm_srli_epi32(pixel, shift), byte);
      return _mm_mulhi_epu16(_mm_slli_epi32(value, 6), scale);
    };
    const __m128i sr = scaled(16), sg = scaled(8), sb = scaled(0);
    const __m128i cr = _mm_min_epi16(_mm_srli_epi32(sr, 8), lastCell);
    const __m128i cg = _mm_min_epi16(_mm_srli_epi32(sg, 8), lastCell);
    const __m128i cb = _mm_min_epi16(_mm_srli_epi32(sb, 8), lastCell);
    const __m128i fr = _mm_sub_epi32(sr, _mm_slli_epi32(cr, 8));
    const __m128i fg = _mm_sub_epi32(sg, _mm_slli_epi32(cg, 8));
    const __m128i fb = _mm_sub_epi32(sb, _mm_slli_epi32(cb, 8));
    const __m128i near = _mm_add_epi32(
        _mm_madd_epi16(_mm_or_si128(cr, _mm_slli_epi32(cg, 16)), redAndGreenSteps), cb);
    const __m128i high = _mm_max_epi16(fr, _mm_max_epi16(fg, fb));
    const __m128i low = _mm_min_epi16(fr, _mm_min_epi16(fg, fb));
    const __m128i middle =
        _mm_sub_epi32(_mm_add_epi32(fr, _mm_add_epi32(fg, fb)), _mm_add_epi32(high, low));
    // The axes of the largest and the smallest fraction. Where fractions tie, the corner between
    // them weighs nothing, so either axis will do; red's for the largest and blue's for the
    // smallest keep the two apart when all three tie.
    const __m128i first =
        choose(_mm_cmpeq_epi32(fr, high), red, _mm_cmpeq_epi32(fg, high), green, blue);
    const __m128i last =
        choose(_mm_cmpeq_epi32(fb, low), blue, _mm_cmpeq_epi32(fg, low), green, red);
    // The four corners of each pixel's tetrahedron, and their weights twice in each 32-bit lane.
    alignas(16) std::uint32_t corners[4][4];
    _mm_store_si128(reinterpret_cast<__m128i*>(corners[0]), near);
    _mm_store_si128(reinterpret_cast<__m128i*>(corners[1]), _mm_add_epi32(near, first));
    _mm_store_si128(reinterpret_cast<__m128i*>(corners[2]),
                    _mm_add_epi32(near, _mm_sub_epi32(far, last)));
    _mm_store_si128(reinterpret_cast<__m128i*>(corners[3]), _mm_add_epi32(near, far));
    const auto twice = [](__m128i w) { return _mm_or_si128(w, _mm_slli_epi32(w, 16)); };
    const __m128i weights[4] = {twice(_mm_sub_epi32(full, high)),
                                twice(_mm_sub_epi32(high, middle)),
                                twice(_mm_sub_epi32(middle, low)), twice(low)};
    // Two pixels at a time, a corner's channels in 16-bit lanes as the grid holds them. At most
    // 255 × 256 + 128 a channel: the sums fit 16 bits, unsigned.
    __m128i halves[2];
    for (std::size_t half = 0; half < 2; ++half) {
      __m128i sum = _mm_set1_epi16(128);
      for (std::size_t k = 0; k < 4; ++k) {
        const __m128i corner = _mm_unpacklo_epi64(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(grid + corners[k][2 * half])),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(grid + corners[k][2 * half + 1])));
        const __m128i weight = half == 0 ? _mm_unpacklo_epi32(weights[k], weights[k])
                                         : _mm_unpackhi_epi32(weights[k], weights[k]);
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(corner, weight));
      }
      halves[half] = _mm_srli_epi16(sum, 8);
    }
    const __m128i converted = _mm_packus_epi16(halves[0], halves[1]);
    // Premultiplied: no colour above the pixel's alpha, which it keeps.
    const __m128i alpha = _mm_andnot_si128(colours, pixel);
    __m128i alphaEverywhere = _mm_or_si128(alpha, _mm_srli_epi32(alpha, 8));
    alphaEverywhere = _mm_or_si128(alphaEverywhere, _mm_srli_epi32(alphaEverywhere, 16));
    _mm_storeu_si128(
        at, _mm_or_si128(_mm_and_si128(_mm_min_epu8(converted, alphaEverywhere), colours), alpha));
  }
  for (; i < pixels.size(); ++i) pixels[i] = Convert(pixels[i]);
}

}  // namespace platform
