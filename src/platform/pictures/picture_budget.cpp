#include "platform/pictures/picture_budget.h"

#include <algorithm>

#include "platform/pictures/header_reading.h"

namespace platform {
namespace {

constexpr std::uint64_t kDeflateRatio = 1032;
constexpr std::uint64_t kLzwValuesPerCode = 4096, kLzwCodeBits = 12;
constexpr std::uint64_t kPackBitsRatio = 64;

}  // namespace

std::uint64_t LeastDeflatedBytes(std::uint64_t bytes) { return CeilDiv(bytes, kDeflateRatio); }

std::uint64_t LeastLzwBytes(std::uint64_t values) {
  return CeilDiv(values * kLzwCodeBits, 8 * kLzwValuesPerCode);
}

std::uint64_t LeastPackBitsBytes(std::uint64_t bytes) { return CeilDiv(bytes, kPackBitsRatio); }

std::uint64_t DibBytes(std::int64_t width, std::int64_t height, std::uint64_t bits) {
  return CeilDiv(static_cast<std::uint64_t>(width) * bits, 32) * 4 *
         static_cast<std::uint64_t>(height);
}

std::uint64_t BudgetLeft(std::uint64_t decodedBytes) {
  return kMaxDecodedBytes - std::min(decodedBytes, kMaxDecodedBytes);
}

std::uint64_t DecodedBytesPerPixel(std::uint64_t bits) {
  return std::max<std::uint64_t>(1, (bits + 7) / 8);
}

std::uint64_t MaxParts(PictureFormat format) {
  switch (format) {
    case PictureFormat::Png:
      return kMaxPngAncillaryChunks;
    case PictureFormat::Gif:
      return kMaxGifExtensionParts;
    case PictureFormat::Jpeg:
      return kMaxJpegSegments;
    case PictureFormat::Tiff:
      return kMaxTiffParts;
    case PictureFormat::Ico:
      return kMaxIconEntries;
    case PictureFormat::Emf:
    case PictureFormat::Wmf:
      return kMaxMetafileRecords;
    case PictureFormat::Bmp:
    case PictureFormat::Dds:
      return 0;
  }
  return 0;
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
         header.parts <= MaxParts(header.format) && fileBytes >= header.leastFileBytes;
}

bool IsAffordableFrame(PixelSize frame, unsigned bitsPerPixel) {
  return frame.width > 0 && frame.height > 0 &&
         PixelCount(frame) * DecodedBytesPerPixel(bitsPerPixel) <= kMaxDecodedBytes;
}

}  // namespace platform
