#pragma once
// Scales a picture to a target size by area averaging: every target pixel is the mean of the
// source area it covers (exact for reductions; a smooth box filter for enlargements). Reads the
// source once, top to bottom, and holds only a few rows besides the result.
#include <cstdint>
#include <functional>

#include "platform/pictures/pixels.h"

namespace platform {

// Takes a strip of `rowCount` rows, each as wide as the picture, starting at `firstRow`.
using RowSink = std::function<void(int firstRow, int rowCount, const std::uint32_t* rows)>;
// Hands every row of a picture to the sink once, in order.
using RowReader = std::function<void(const RowSink& sink)>;

// The picture of size `from` whose rows `read` hands over, at `target`; at `from` itself, its
// rows copied. Nothing is read for a target of no pixels. Rows missing at the end are black.
Bitmap Resample(PixelSize from, const RowReader& read, PixelSize target);

// A picture read in strips, once, top to bottom: rendered by resampling its rows.
class RowSource : public PixelSource {
 public:
  // Throws RunTimeError(InvalidPicture) when the data cannot be decoded.
  virtual void ReadRows(const RowSink& sink) = 0;
  Bitmap Render(PixelSize target) override;
};

}  // namespace platform
