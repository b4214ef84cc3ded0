#pragma once
// Scales a picture to a target size by area averaging: every target pixel is the mean of the
// source area it covers (exact for reductions; a smooth box filter for enlargements). Reads the
// source once, top to bottom, and holds only a few rows besides the result.
#include "platform/pictures/pixels.h"

namespace platform {

Bitmap Resample(PixelSource& source, PixelSize target);

}  // namespace platform
