// Feeds arbitrary files to the header reader, the budget check and the colour profile reader:
// none may crash, read out of bounds or overflow, what they accept must be a size the decoder can
// be held to, and a profile handed on must be whole and within its limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/pictures/colour_profile.h"
#include "platform/pictures/orientation.h"
#include "platform/pictures/picture_budget.h"
#include "platform/pictures/picture_header.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<platform::PictureHeader> header =
      platform::ReadPictureHeader(std::span(data, size));
  if (header && platform::IsAffordable(*header, size)) {
    const platform::PictureHeader& h = *header;
    // The frame lies on the natural size as stored, and neither is empty.
    const platform::PixelSize stored = platform::Upright(h.natural, h.orientation);
    if (h.frame.width <= 0 || h.frame.height <= 0 || h.frameAt.x < 0 || h.frameAt.y < 0 ||
        h.frameAt.x + h.frame.width > stored.width ||
        h.frameAt.y + h.frame.height > stored.height) {
      std::abort();
    }
    const auto profile = platform::ProfileOf(platform::ReaderOf(std::span(data, size)), h.colour);
    if (profile &&
        (profile->size() > platform::kMaxProfileBytes || !platform::IsRgbProfile(*profile))) {
      std::abort();
    }
  }
  return 0;
}
