#pragma once
// Pictures shown in the colours the show draws in: converted once made at the size they are
// shown, a screen's worth of pixels, not the whole photo.
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/pictures/display_colours.h"
#include "platform/pictures/pixels.h"

namespace platform {

// `picture`, its pixels in the colours of `profile` (an RGB ICC profile) or, without one, in
// sRGB, shown in `display`'s colours (see DisplayColours::From): as stored where those are its
// own. A picture without a profile shown in sRGB is handed back as it is.
std::unique_ptr<PixelSource> InDisplayColours(std::unique_ptr<PixelSource> picture,
                                              std::optional<std::vector<std::uint8_t>> profile,
                                              std::shared_ptr<const DisplayColours> display);

}  // namespace platform
