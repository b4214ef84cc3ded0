#pragma once
// Pictures whose colours a profile describes, shown in sRGB: converted by the system's colour
// engine, the ICM functions of mscms.dll, the same engine on Windows and under Wine (which carries
// lcms2 in it). Converted once made at the size they are shown: a screen's worth of pixels, not
// the whole photo.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/pictures/pixels.h"

namespace platform::win32 {

// `picture`, its pixels in the colours of `profile` (an RGB ICC profile), shown in sRGB. Where the
// engine is missing or refuses the profile, or the conversion fails, the picture is shown as
// stored.
std::unique_ptr<PixelSource> ShownInSrgb(std::unique_ptr<PixelSource> picture,
                                         std::vector<std::uint8_t> profile);

}  // namespace platform::win32
