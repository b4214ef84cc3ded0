#pragma once
// Photos upright: a picture stored turned or mirrored is resampled at its stored orientation to
// the size it is shown at, and only that screen-sized result is turned.
#include "platform/pictures/pixels.h"

namespace platform {

// Whether the upright picture has the stored picture's width as its height.
bool SwapsSides(Orientation orientation);
// The size of the upright picture stored at `stored`.
PixelSize Upright(PixelSize stored, Orientation orientation);
// The upright picture of `stored`.
Bitmap Orient(Bitmap stored, Orientation orientation);

}  // namespace platform
