#pragma once
// A frame smaller than the picture it belongs to (a GIF's first frame on its logical screen),
// read as the whole picture: the frame at its place, black around it.
#include <memory>

#include "platform/pictures/resample.h"

namespace platform {

// Reading throws RunTimeError(InvalidPicture) unless `frame` lies inside `picture` at `at`.
std::unique_ptr<RowSource> PlaceFrame(std::unique_ptr<RowSource> frame, PixelSize picture,
                                      PixelPoint at);

}  // namespace platform
