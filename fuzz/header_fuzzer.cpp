// Feeds arbitrary files to the header reader and the budget check: neither may crash, read out
// of bounds or overflow, and what they accept must be a size the decoder can be held to.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

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
  }
  return 0;
}
