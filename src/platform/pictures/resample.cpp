#include "platform/pictures/resample.h"

// SSE2 is part of every x86-64 processor, the only kind both our compilers build for.
#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {
namespace {

constexpr int kChannels = 4;

// Where the target's columns (or rows) fall on the source's. Along an axis the target index t
// spans [t * sourceLength, (t + 1) * sourceLength) and the source index s spans
// [s * targetLength, (s + 1) * targetLength), so every overlap is an exact integer and the
// overlaps of one target index add up to sourceLength.
struct Axis {
  std::int64_t sourceLength;
  std::int64_t targetLength;

  [[nodiscard]] std::int64_t FirstSource(std::int64_t target) const {
    return target * sourceLength / targetLength;
  }
  [[nodiscard]] std::int64_t LastSource(std::int64_t target) const {
    return ((target + 1) * sourceLength - 1) / targetLength;
  }
  [[nodiscard]] std::int64_t Overlap(std::int64_t source, std::int64_t target) const {
    const std::int64_t start = std::max(source * targetLength, target * sourceLength);
    const std::int64_t end = std::min((source + 1) * targetLength, (target + 1) * sourceLength);
    return std::max<std::int64_t>(end - start, 0);
  }
};

// The horizontal weights, worked out once: every target column reads the same even number of
// source columns from its `first`, weighted by 16-bit integers in pairs (the layout
// _mm_madd_epi16 wants), and `scale` turns the weighted sum into the mean.
struct ColumnWeights {
  int taps = 0;
  float scale = 0;
  std::vector<std::size_t> first;
  std::vector<std::int32_t> pairs;

  explicit ColumnWeights(const Axis& axis) {
    std::int64_t widest = 1;
    for (std::int64_t x = 0; x < axis.targetLength; ++x) {
      widest = std::max(widest, axis.LastSource(x) - axis.FirstSource(x) + 1);
    }
    taps = static_cast<int>(widest + widest % 2);
    // The overlaps themselves are exact weights while they fit 16 bits and the weighted sums of
    // 8-bit channels fit 32; past that (only for absurd widths) they are rounded to 1/16384ths.
    constexpr std::int64_t kRounded = 16384;
    const bool exact = std::min(axis.sourceLength, axis.targetLength) <= INT16_MAX &&
                       axis.sourceLength * 255 <= INT32_MAX;
    scale = 1.0F / static_cast<float>(exact ? axis.sourceLength : kRounded);

    std::vector<std::int64_t> weights(static_cast<std::size_t>(taps));
    for (std::int64_t x = 0; x < axis.targetLength; ++x) {
      // Starting early where needed keeps every read inside the row.
      const std::int64_t start =
          std::max<std::int64_t>(std::min(axis.FirstSource(x), axis.sourceLength - taps), 0);
      first.push_back(static_cast<std::size_t>(start));
      std::int64_t covered = 0, rounded = 0;
      for (int k = 0; k < taps; ++k) {
        const std::int64_t overlap = axis.Overlap(start + k, x);
        if (exact) {
          weights[static_cast<std::size_t>(k)] = overlap;
          continue;
        }
        // Rounding the running total keeps the rounded weights' sum exactly kRounded.
        covered += overlap;
        const std::int64_t next = (covered * kRounded + axis.sourceLength / 2) / axis.sourceLength;
        weights[static_cast<std::size_t>(k)] = next - rounded;
        rounded = next;
      }
      for (std::size_t k = 0; k < weights.size(); k += 2) {
        pairs.push_back(
            static_cast<std::int32_t>(static_cast<std::uint32_t>(weights[k]) |
                                      static_cast<std::uint32_t>(weights[k + 1]) << 16));
      }
    }
  }
};

// Averages the source rows as they arrive. Holds one source row with its columns averaged to the
// target width and the sum of the target row in progress: every source row ends that row or
// adds to it (a reduction), or makes one or more target rows whole (an enlargement).
class AreaResampler {
 public:
  AreaResampler(PixelSize source, PixelSize target)
      : source_(source),
        rows_{source.height, target.height},
        columns_({source.width, target.width}),
        averagedRow_(static_cast<std::size_t>(target.width) * kChannels),
        targetRow_(averagedRow_.size()),
        target_(target),
        // Rows are appended as they are made: no pass that only clears memory.
        result_(BitmapRoom(PixelCount(target))) {
    // A source narrower than the taps is read from a copy padded with zero-weighted pixels.
    if (source.width < columns_.taps) paddedRow_.resize(static_cast<std::size_t>(columns_.taps));
  }

  void AddRow(const std::uint32_t* row) {
    if (nextSourceRow_ == source_.height) return;
    if (!paddedRow_.empty()) {
      std::copy_n(row, source_.width, paddedRow_.begin());
      row = paddedRow_.data();
    }
    AverageColumns(row);
    const std::int64_t source = nextSourceRow_++;
    const std::int64_t top = source * rows_.targetLength;
    const std::int64_t bottom = top + rows_.targetLength;
    for (std::int64_t y = top / rows_.sourceLength; y * rows_.sourceLength < bottom; ++y) {
      AddToTargetRow(static_cast<float>(rows_.Overlap(source, y)) /
                     static_cast<float>(rows_.sourceLength));
      if ((y + 1) * rows_.sourceLength > bottom) break;  // the next source row adds to it
      EmitTargetRow();
    }
  }

  Bitmap Finish() && {
    result_.resize(PixelCount(target_));  // black where a source fell short
    return {target_, std::move(result_)};
  }

 private:
  void AverageColumns(const std::uint32_t* row) {
    const __m128i zero = _mm_setzero_si128();
    const __m128 scale = _mm_set1_ps(columns_.scale);
    const std::int32_t* pair = columns_.pairs.data();
    float* averaged = averagedRow_.data();
    for (const std::size_t first : columns_.first) {
      const std::uint32_t* pixel = row + first;
      __m128i sum = zero;
      for (int k = 0; k < columns_.taps; k += 2, pixel += 2, ++pair) {
        // Two neighbours' channels interleaved, b0 b1 g0 g1 r0 r1 a0 a1 as 16-bit numbers, so
        // one madd weights both and adds them channel by channel.
        __m128i two = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(pixel));
        two = _mm_unpacklo_epi8(_mm_unpacklo_epi8(two, _mm_srli_si128(two, 4)), zero);
        sum = _mm_add_epi32(sum, _mm_madd_epi16(two, _mm_set1_epi32(*pair)));
      }
      _mm_storeu_ps(averaged, _mm_mul_ps(_mm_cvtepi32_ps(sum), scale));
      averaged += kChannels;
    }
  }

  void AddToTargetRow(float share) {
    if (targetRowStarted_) {
      for (std::size_t i = 0; i < targetRow_.size(); ++i) targetRow_[i] += averagedRow_[i] * share;
    } else {
      for (std::size_t i = 0; i < targetRow_.size(); ++i) targetRow_[i] = averagedRow_[i] * share;
      targetRowStarted_ = true;
    }
  }

  void EmitTargetRow() {
    const auto width = static_cast<std::size_t>(target_.width);
    result_.resize(result_.size() + width);
    std::uint32_t* out = &result_[result_.size() - width];
    const __m128 half = _mm_set1_ps(0.5F);
    for (std::size_t x = 0; x < width; ++x) {
      // Rounded half up; the sums never leave [0, 255.5).
      __m128i channels =
          _mm_cvttps_epi32(_mm_add_ps(_mm_loadu_ps(&targetRow_[x * kChannels]), half));
      channels = _mm_packs_epi32(channels, channels);
      out[x] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(channels, channels)));
    }
    targetRowStarted_ = false;
  }

  PixelSize source_;
  Axis rows_;
  ColumnWeights columns_;
  std::vector<std::uint32_t> paddedRow_;
  std::vector<float> averagedRow_;
  std::vector<float> targetRow_;
  bool targetRowStarted_ = false;
  int nextSourceRow_ = 0;
  PixelSize target_;
  std::vector<std::uint32_t> result_;
};

}  // namespace

Bitmap Resample(PixelSize from, const RowReader& read, PixelSize target) {
  if (target.width <= 0 || target.height <= 0) return Bitmap{target, {}};
  if (from.width <= 0 || from.height <= 0) {
    return Bitmap{target, std::vector<std::uint32_t>(PixelCount(target))};
  }
  const auto width = static_cast<std::size_t>(from.width);
  if (from == target) {
    const std::size_t count = PixelCount(target);
    std::vector<std::uint32_t> pixels = BitmapRoom(count);
    read([&](int, int rowCount, const std::uint32_t* rows) {
      const std::size_t strip = static_cast<std::size_t>(rowCount) * width;
      pixels.insert(pixels.end(), rows, rows + std::min(strip, count - pixels.size()));
    });
    pixels.resize(count);
    return {target, std::move(pixels)};
  }

  AreaResampler resampler(from, target);
  read([&](int, int rowCount, const std::uint32_t* rows) {
    for (int r = 0; r < rowCount; ++r) resampler.AddRow(rows + static_cast<std::size_t>(r) * width);
  });
  return std::move(resampler).Finish();
}

Bitmap RowSource::Render(PixelSize target) {
  return Resample(
      size(), [this](const RowSink& sink) { ReadRows(sink); }, target);
}

}  // namespace platform
