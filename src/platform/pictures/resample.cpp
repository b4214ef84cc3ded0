#include "platform/pictures/resample.h"

#include "platform/pictures/column_means.h"

// SSE2 is part of every x86-64 processor, the only kind both our compilers build for.
#include <emmintrin.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {
namespace {

constexpr int kChannels = 4;

// Averages the source rows as they arrive, in one pass over each: holds the sums of the target
// row in progress and of the next. A source row adds its share to the first; where it ends that
// row, it starts the second with its share of it, and the second goes on in the first's place.
class AreaResampler {
 public:
  AreaResampler(PixelSize source, PixelSize target)
      : source_(source),
        rows_{source.height, target.height},
        columns_(source.width, target.width),
        sums_(static_cast<std::size_t>(target.width) * kChannels),
        nextSums_(sums_.size()),
        target_(target),
        // Rows are appended as they are made: no pass that only clears memory.
        result_(BitmapBuffer(PixelCount(target))) {}

  void AddRow(const std::uint32_t* row) {
    if (nextSourceRow_ == source_.height) return;
    const std::int64_t source = nextSourceRow_++;
    const std::int64_t bottom = (source + 1) * rows_.targetLength;
    const auto shareOf = [&](std::int64_t y) {
      return static_cast<float>(rows_.Overlap(source, y)) / static_cast<float>(rows_.sourceLength);
    };
    std::int64_t y = source * rows_.targetLength / rows_.sourceLength;  // the row in progress
    float share = shareOf(y);
    // An enlargement's source row ends several target rows: one pass for each.
    for (;;) {
      const std::int64_t end = (y + 1) * rows_.sourceLength;
      if (end > bottom) {  // the next source row adds to it too
        if (share > 0) columns_.Add(row, share, sums_.data(), 0, nullptr);
        return;
      }
      const float nextShare = end < bottom ? shareOf(y + 1) : 0;  // or the next starts at zero
      columns_.Add(row, share, sums_.data(), nextShare, nextSums_.data());
      EmitTargetRow();
      sums_.swap(nextSums_);
      if (end == bottom) return;
      ++y;
      share = 0;  // the row it started has its share already
    }
  }

  Bitmap Finish() && {
    result_.resize(PixelCount(target_));  // black where a source fell short
    return {target_, std::move(result_)};
  }

 private:
  void EmitTargetRow() {
    const auto width = static_cast<std::size_t>(target_.width);
    result_.resize(result_.size() + width);
    std::uint32_t* out = &result_[result_.size() - width];
    const __m128 half = _mm_set1_ps(0.5F);
    for (std::size_t x = 0; x < width; ++x) {
      // Rounded half up; the sums never leave [0, 255.5).
      __m128i channels = _mm_cvttps_epi32(_mm_add_ps(_mm_loadu_ps(&sums_[x * kChannels]), half));
      channels = _mm_packs_epi32(channels, channels);
      out[x] = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(channels, channels)));
    }
  }

  PixelSize source_;
  Axis rows_;
  ColumnMeans columns_;
  std::vector<float> sums_;
  std::vector<float> nextSums_;
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
    std::vector<std::uint32_t> pixels = BitmapBuffer(count);
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
