#include "platform/pictures/column_means.h"

// SSE2 is part of every x86-64 processor, the only kind both our compilers build for.
#include <emmintrin.h>

#include <algorithm>
#include <climits>

namespace platform {
namespace {

constexpr int kChannels = 4;

std::uint32_t Channel(std::uint32_t pixel, int channel) { return pixel >> (8 * channel) & 0xFF; }

}  // namespace

std::int64_t Axis::Overlap(std::int64_t source, std::int64_t target) const {
  const std::int64_t start = std::max(source * targetLength, target * sourceLength);
  const std::int64_t end = std::min((source + 1) * targetLength, (target + 1) * sourceLength);
  return std::max<std::int64_t>(end - start, 0);
}

ColumnMeans::ColumnMeans(int sourceWidth, int targetWidth) : sourceWidth_(sourceWidth) {
  const Axis axis{sourceWidth, targetWidth};
  std::int64_t widest = 1;
  for (std::int64_t x = 0; x < axis.targetLength; ++x) {
    widest = std::max(widest, axis.LastSource(x) - axis.FirstSource(x) + 1);
  }
  taps_ = static_cast<int>(widest + widest % 2);
  // The overlaps themselves are exact weights while they fit 16 bits and the weighted sums of
  // 8-bit channels fit 32; past that (only for absurd widths) they are rounded to 1/16384ths.
  constexpr std::int64_t kRounded = 16384;
  const bool exact = std::min(axis.sourceLength, axis.targetLength) <= INT16_MAX &&
                     axis.sourceLength * 255 <= INT32_MAX;
  scale_ = 1.0F / static_cast<float>(exact ? axis.sourceLength : kRounded);

  for (std::int64_t x = 0; x < axis.targetLength; ++x) {
    // Starting early where needed keeps every read inside the row.
    const std::int64_t start =
        std::max<std::int64_t>(std::min(axis.FirstSource(x), axis.sourceLength - taps_), 0);
    first_.push_back(static_cast<std::size_t>(start));
    std::int64_t covered = 0, rounded = 0;
    for (int k = 0; k < taps_; ++k) {
      const std::int64_t overlap = axis.Overlap(start + k, x);
      if (exact) {
        weights_.push_back(static_cast<std::int16_t>(overlap));
        continue;
      }
      // Rounding the running total keeps the rounded weights' sum exactly kRounded.
      covered += overlap;
      const std::int64_t next = (covered * kRounded + axis.sourceLength / 2) / axis.sourceLength;
      weights_.push_back(static_cast<std::int16_t>(next - rounded));
      rounded = next;
    }
  }
  for (std::size_t k = 0; k < weights_.size(); k += 2) {
    for (int lane = 0; lane < kChannels; ++lane)
      pairs_.insert(pairs_.end(), {weights_[k], weights_[k + 1]});
  }
  if (sourceWidth < taps_) padded_.resize(static_cast<std::size_t>(taps_));
}

const std::uint32_t* ColumnMeans::Readable(const std::uint32_t* row) {
  if (padded_.empty()) return row;
  std::copy_n(row, sourceWidth_, padded_.begin());
  return padded_.data();
}

void ColumnMeans::Add(const std::uint32_t* row, float share, float* sums, float nextShare,
                      float* next) {
  row = Readable(row);
  // The usual reductions read few taps: their loops unrolled.
  switch (taps_) {
    case 2:
      return AddTaps<2>(row, share, sums, nextShare, next);
    case 4:
      return AddTaps<4>(row, share, sums, nextShare, next);
    case 6:
      return AddTaps<6>(row, share, sums, nextShare, next);
    case 8:
      return AddTaps<8>(row, share, sums, nextShare, next);
    default:
      return AddTaps<0>(row, share, sums, nextShare, next);
  }
}

template <int kTaps>
void ColumnMeans::AddTaps(const std::uint32_t* row, float share, float* sums, float nextShare,
                          float* next) const {
  if (next == nullptr) return AddColumns<kTaps, false>(row, share, sums, nextShare, next);
  AddColumns<kTaps, true>(row, share, sums, nextShare, next);
}

template <int kTaps, bool kNext>
void ColumnMeans::AddColumns(const std::uint32_t* row, float share, float* sums, float nextShare,
                             float* next) const {
  const int taps = kTaps > 0 ? kTaps : taps_;
  const __m128i zero = _mm_setzero_si128();
  const __m128 scale = _mm_set1_ps(scale_);
  const __m128 shareNow = _mm_set1_ps(share), shareNext = _mm_set1_ps(nextShare);
  const auto* pair = reinterpret_cast<const __m128i*>(pairs_.data());
  for (const std::size_t first : first_) {
    const std::uint32_t* pixel = row + first;
    __m128i sum = zero;
    int k = 0;
    for (; k + 4 <= taps; k += 4, pixel += 4, pair += 2) {
      // Four neighbours as two pairs, each pair's channels interleaved (b0 b1 g0 g1 r0 r1 a0 a1)
      // as 16-bit numbers, so that one madd weights a pair and adds it channel by channel.
      const __m128i four = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel));
      const __m128i next2 = _mm_srli_si128(four, 4);
      const __m128i first2 = _mm_unpacklo_epi8(_mm_unpacklo_epi8(four, next2), zero);
      const __m128i last2 = _mm_unpacklo_epi8(_mm_unpackhi_epi8(four, next2), zero);
      sum = _mm_add_epi32(sum, _mm_madd_epi16(first2, _mm_loadu_si128(pair)));
      sum = _mm_add_epi32(sum, _mm_madd_epi16(last2, _mm_loadu_si128(pair + 1)));
    }
    if (k < taps) {
      __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixel));
      two = _mm_unpacklo_epi8(_mm_unpacklo_epi8(two, _mm_srli_si128(two, 4)), zero);
      sum = _mm_add_epi32(sum, _mm_madd_epi16(two, _mm_loadu_si128(pair++)));
    }
    const __m128 mean = _mm_mul_ps(_mm_cvtepi32_ps(sum), scale);
    _mm_storeu_ps(sums, _mm_add_ps(_mm_loadu_ps(sums), _mm_mul_ps(mean, shareNow)));
    sums += kChannels;
    if (kNext) {
      _mm_storeu_ps(next, _mm_mul_ps(mean, shareNext));
      next += kChannels;
    }
  }
}

void ColumnMeans::AddOneByOne(const std::uint32_t* row, float share, float* sums, float nextShare,
                              float* next) {
  row = Readable(row);
  const std::int16_t* weight = weights_.data();
  for (const std::size_t first : first_) {
    for (int c = 0; c < kChannels; ++c) {
      std::int32_t sum = 0;
      for (std::size_t k = 0; k < static_cast<std::size_t>(taps_); ++k) {
        sum += weight[k] * static_cast<std::int32_t>(Channel(row[first + k], c));
      }
      const float mean = static_cast<float>(sum) * scale_;
      *sums++ += mean * share;
      if (next != nullptr) *next++ = mean * nextShare;
    }
    weight += taps_;
  }
}

}  // namespace platform
