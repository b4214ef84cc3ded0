#include "platform/pictures/picture_budget.h"

#include <algorithm>

namespace platform {

std::uint64_t DecodedBytesPerPixel(std::uint64_t bits) {
  return std::max<std::uint64_t>(1, (bits + 7) / 8);
}

bool IsAffordable(const PictureHeader& header, std::uint64_t fileBytes) {
  // Formats other than GIF and JPEG decode in one pass, which the budget's pixels afford.
  const bool passesAffordable =
      header.format == PictureFormat::Gif
          ? header.passes <= kMaxGifFrames
          : header.passes * PixelCount(header.frame) <= kMaxJpegScanPixels;
  return header.frame.width > 0 && header.frame.height > 0 &&
         header.decodedBytes <= kMaxDecodedBytes &&
         PixelCount(header.natural) <= kMaxDecodedBytes && passesAffordable &&
         fileBytes >= header.leastFileBytes;
}

bool IsAffordableFrame(PixelSize frame, unsigned bitsPerPixel) {
  return frame.width > 0 && frame.height > 0 &&
         PixelCount(frame) * DecodedBytesPerPixel(bitsPerPixel) <= kMaxDecodedBytes;
}

}  // namespace platform
