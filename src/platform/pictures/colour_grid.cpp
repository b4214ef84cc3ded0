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
constexpr std::size_t kSamples =
    std::size_t{ColourGrid::kLevels} * ColourGrid::kLevels * ColourGrid::kLevels;
// The grid as held: each channel one level more, a copy of its last, so that a channel at 255 lies
// at the start of a cell past the last rather than at the end of the last, and every channel's
// cell and fraction are a shift and a mask.
constexpr std::size_t kHeld = ColourGrid::kLevels + 1;
constexpr std::size_t kBlueStep = 1;
constexpr std::size_t kGreenStep = kHeld;
constexpr std::size_t kRedStep = kHeld * kHeld;
// From a cell's darkest corner to its brightest.
constexpr std::size_t kFar = kRedStep + kGreenStep + kBlueStep;

// A channel's value on the grid, in 256ths of a cell: 32 cells over 255 levels, 255 exactly on
// the last level. A multiplication and a shift, as the eight-at-a-time path has it.
constexpr int kScale = 32897;  // 1024 × 32 × 256 / 255, rounded up
constexpr int Scaled(int value) { return value * kScale >> 10; }
static_assert(Scaled(255) == kSteps * 256 && Scaled(0) == 0);

}  // namespace

std::vector<std::uint32_t> ColourGrid::Samples() {
  std::vector<std::uint32_t> samples;
  samples.reserve(kSamples);
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
  if (converted.size() != kSamples) throw std::invalid_argument("a colour grid of the wrong size");
  grid_.reserve(kHeld * kHeld * kHeld);
  const auto level = [](std::size_t held) { return std::min<std::size_t>(held, kSteps); };
  for (std::size_t r = 0; r < kHeld; ++r) {
    for (std::size_t g = 0; g < kHeld; ++g) {
      for (std::size_t b = 0; b < kHeld; ++b) {
        const std::uint32_t colour =
            converted[(level(r) * kLevels + level(g)) * kLevels + level(b)];
        grid_.push_back(std::uint64_t{colour & 0xFF} | std::uint64_t{colour >> 8 & 0xFF} << 16 |
                        std::uint64_t{colour >> 16 & 0xFF} << 32);
      }
    }
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
    near += static_cast<std::size_t>(scaled >> 8) * step;
    axes[c] = {scaled & 0xFF, step};
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

// Convert's arithmetic on eight pixels at once: their places on the grid in SSE2's 16-bit lanes,
// one channel of each pixel a lane (every corner's index is below 2^16), then their weighting two
// pixels at a time, a pixel's four channels side by side. Only the corners are fetched one by one.
void ColourGrid::Apply(std::span<std::uint32_t> pixels) const {
  const auto lanes = [](std::size_t value) { return _mm_set1_epi16(static_cast<short>(value)); };
  const __m128i byteAt6 = _mm_set1_epi32(0xFF << 6);
  const __m128i byte = lanes(0xFF), scale = lanes(kScale), full = lanes(256);
  const __m128i red = lanes(kRedStep), green = lanes(kGreenStep), blue = lanes(kBlueStep);
  const __m128i far = lanes(kFar);
  const __m128i colours = _mm_set1_epi32(0x00FFFFFF);
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000));
  // `a` where `isA`, else `b` where `isB`, else `c`.
  const auto choose = [](__m128i isA, __m128i a, __m128i isB, __m128i b, __m128i c) {
    const __m128i notA = _mm_andnot_si128(isA, isB);
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(isA, a), _mm_and_si128(notA, b)),
                        _mm_andnot_si128(_mm_or_si128(isA, isB), c));
  };
  // Premultiplied: no colour above the pixel's alpha, which it keeps. Photos are opaque.
  const auto store = [&](__m128i* at, __m128i pixel, __m128i converted) {
    const __m128i alpha = _mm_andnot_si128(colours, pixel);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, opaque)) == 0xFFFF) {
      _mm_storeu_si128(at, _mm_or_si128(converted, opaque));
      return;
    }
    __m128i alphaEverywhere = _mm_or_si128(alpha, _mm_srli_epi32(alpha, 8));
    alphaEverywhere = _mm_or_si128(alphaEverywhere, _mm_srli_epi32(alphaEverywhere, 16));
    _mm_storeu_si128(
        at, _mm_or_si128(_mm_and_si128(_mm_min_epu8(converted, alphaEverywhere), colours), alpha));
  };
  const std::uint64_t* grid = grid_.data();
  std::size_t i = 0;
  for (; i + 8 <= pixels.size(); i += 8) {
    auto* const at = reinterpret_cast<__m128i*>(&pixels[i]);
    const __m128i first4 = _mm_loadu_si128(at), last4 = _mm_loadu_si128(at + 1);
    // A channel of the eight pixels, scaled: the value times 64, where the multiplication takes it.
    const auto scaled = [&](int shift) {
      const auto times64 = [&](__m128i four) {
        return _mm_and_si128(
            shift > 6 ? _mm_srli_epi32(four, shift - 6) : _mm_slli_epi32(four, 6 - shift), byteAt6);
      };
      return _mm_mulhi_epu16(_mm_packs_epi32(times64(first4), times64(last4)), scale);
    };
    const __m128i sr = scaled(16), sg = scaled(8), sb = scaled(0);
    const __m128i fr = _mm_and_si128(sr, byte), fg = _mm_and_si128(sg, byte);
    const __m128i fb = _mm_and_si128(sb, byte);
    const __m128i near = _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(sr, 8), red),
                                                     _mm_mullo_epi16(_mm_srli_epi16(sg, 8), green)),
                                       _mm_srli_epi16(sb, 8));
    const __m128i high = _mm_max_epi16(fr, _mm_max_epi16(fg, fb));
    const __m128i low = _mm_min_epi16(fr, _mm_min_epi16(fg, fb));
    const __m128i middle =
        _mm_sub_epi16(_mm_add_epi16(fr, _mm_add_epi16(fg, fb)), _mm_add_epi16(high, low));
    // The axes of the largest and the smallest fraction. Where fractions tie, the corner between
    // them weighs nothing, so either axis will do; red's for the largest and blue's for the
    // smallest keep the two apart when all three tie.
    const __m128i first =
        choose(_mm_cmpeq_epi16(fr, high), red, _mm_cmpeq_epi16(fg, high), green, blue);
    const __m128i last =
        choose(_mm_cmpeq_epi16(fb, low), blue, _mm_cmpeq_epi16(fg, low), green, red);
    alignas(16) std::uint16_t corners[4][8];
    _mm_store_si128(reinterpret_cast<__m128i*>(corners[0]), near);
    _mm_store_si128(reinterpret_cast<__m128i*>(corners[1]), _mm_add_epi16(near, first));
    _mm_store_si128(reinterpret_cast<__m128i*>(corners[2]),
                    _mm_add_epi16(near, _mm_sub_epi16(far, last)));
    _mm_store_si128(reinterpret_cast<__m128i*>(corners[3]), _mm_add_epi16(near, far));
    // Each weight twice in each 32-bit lane: pixels 0 to 3, then 4 to 7.
    const __m128i weights[4] = {_mm_sub_epi16(full, high), _mm_sub_epi16(high, middle),
                                _mm_sub_epi16(middle, low), low};
    __m128i pairs[2][4];
    for (std::size_t k = 0; k < 4; ++k) {
      pairs[0][k] = _mm_unpacklo_epi16(weights[k], weights[k]);
      pairs[1][k] = _mm_unpackhi_epi16(weights[k], weights[k]);
    }
    // Two pixels at a time, a corner's channels in 16-bit lanes as the grid holds them. At most
    // 255 × 256 + 128 a channel: the sums fit 16 bits, unsigned.
    __m128i shown[4];
    for (std::size_t pair = 0; pair < 4; ++pair) {
      __m128i sum = _mm_set1_epi16(128);
      for (std::size_t k = 0; k < 4; ++k) {
        const __m128i corner = _mm_unpacklo_epi64(
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(grid + corners[k][2 * pair])),
            _mm_loadl_epi64(reinterpret_cast<const __m128i*>(grid + corners[k][2 * pair + 1])));
        const __m128i& both = pairs[pair / 2][k];
        const __m128i weight =
            pair % 2 == 0 ? _mm_unpacklo_epi32(both, both) : _mm_unpackhi_epi32(both, both);
        sum = _mm_add_epi16(sum, _mm_mullo_epi16(corner, weight));
      }
      shown[pair] = _mm_srli_epi16(sum, 8);
    }
    store(at, first4, _mm_packus_epi16(shown[0], shown[1]));
    store(at + 1, last4, _mm_packus_epi16(shown[2], shown[3]));
  }
  for (; i < pixels.size(); ++i) pixels[i] = Convert(pixels[i]);
}

}  // namespace platform
