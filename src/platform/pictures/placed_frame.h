#pragma once
// A frame smaller than the picture it belongs to (a GIF's first frame on its logical screen),
// read as the whole picture: the frame at its place, black around it.
#include <memory>

#include "platform/pictures/pixels.h"

namespace platform {

// Reading throws RunTimeError(InvalidPicture) unless `frame` lies inside `picture` at `at`.
std::unique_ptr<PixelSource> PlaceFrame(std::unique_ptr<PixelSource> frame, PixelSize picture,
                                        PixelPoint at);

}  // namespace platform
