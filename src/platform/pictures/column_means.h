#pragma once
// The resampler's work on one source row: each target column's mean of the source pixels it
// covers, from integer weights, added with the row's share to the target rows it falls on. Four
// source pixels a step with SSE2, and one at a time by plain arithmetic: the reference the fast
// path must match bit for bit.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

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
  [[nodiscard]] std::int64_t Overlap(std::int64_t source, std::int64_t target) const;
};

class ColumnMeans {
 public:
  // Both widths positive.
  ColumnMeans(int sourceWidth, int targetWidth);

  // Each target column's mean of `row` (sourceWidth pixels) as four floats (blue, green, red,
  // alpha): times `share` added to `sums`, the target row in progress, and times `nextShare` put
  // in `next`, the row it starts, unless that is null.
  void Add(const std::uint32_t* row, float share, float* sums, float nextShare, float* next);
  // The same by plain arithmetic, one pixel and one channel at a time.
  void AddOneByOne(const std::uint32_t* row, float share, float* sums, float nextShare,
                   float* next);

 private:
  // `row`, or a copy padded with pixels of no weight where the row is narrower than the taps.
  const std::uint32_t* Readable(const std::uint32_t* row);
  // Add with `kTaps` taps, or taps_ where kTaps is 0, and with a next row or none: each loop
  // unrolled or unswitched.
  template <int kTaps>
  void AddTaps(const std::uint32_t* row, float share, float* sums, float nextShare,
               float* next) const;
  template <int kTaps, bool kNext>
  void AddColumns(const std::uint32_t* row, float share, float* sums, float nextShare,
                  float* next) const;

  int sourceWidth_;
  // Every target column reads the same even number of source pixels from its first.
  int taps_ = 0;
  // Turns a weighted sum into the mean.
  float scale_ = 0;
  std::vector<std::size_t> first_;
  std::vector<std::int16_t> weights_;  // taps_ a target column
  // The weights as the fast path reads them: for each two neighbours, theirs in turn in all eight
  // 16-bit lanes.
  std::vector<std::int16_t> pairs_;
  std::vector<std::uint32_t> padded_;
};

}  // namespace platform
