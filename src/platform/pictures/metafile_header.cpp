#include "platform/pictures/byte_order.h"
#include "platform/pictures/header_reading.h"

namespace platform {
namespace {

// A metafile `width` x `height` of `unitsPerInch`, shown at `pixelsPerInch`, whose records fill
// the file's first `recordBytes`. Sides too large for PixelSize are beyond any budget: no header.
std::optional<PictureHeader> Metafile(PictureFormat format, std::int64_t width, std::int64_t height,
                                      std::int64_t unitsPerInch, int pixelsPerInch,
                                      std::uint64_t recordBytes) {
  if (width <= 0 || height <= 0 || unitsPerInch <= 0 || pixelsPerInch <= 0) return std::nullopt;
  const auto pixels = [&](std::int64_t units) {
    return (units * pixelsPerInch + unitsPerInch / 2) / unitsPerInch;
  };
  std::optional<PictureHeader> metafile =
      Frame(format, pixels(width), pixels(height), 8, recordBytes);
  if (metafile) metafile->decodedBytes = recordBytes;
  return metafile;
}

}  // namespace

// An enhanced metafile: its frame in hundredths of a millimetre.
std::optional<PictureHeader> ReadEmf(std::span<const std::uint8_t> head, int pixelsPerInch) {
  if (head.size() < kHeadBytes) return std::nullopt;
  const auto at = [&](std::size_t offset) {
    return std::int64_t{static_cast<std::int32_t>(Le32(&head[offset]))};
  };
  constexpr std::int64_t kHimetricPerInch = 2540, kLeastHeaderBytes = 88;
  const std::uint32_t headerBytes = Le32(&head[4]), fileBytes = Le32(&head[48]);
  if (headerBytes < kLeastHeaderBytes || fileBytes < headerBytes) return std::nullopt;
  return Metafile(PictureFormat::Emf, at(32) - at(24), at(36) - at(28), kHimetricPerInch,
                  pixelsPerInch, fileBytes);
}

// A Windows metafile behind the 22-byte placeable header, whose bounding box is in units of its
// own per inch; the metafile's own header counts its records in 16-bit words.
std::optional<PictureHeader> ReadWmf(std::span<const std::uint8_t> head, int pixelsPerInch) {
  constexpr std::size_t kPlaceableBytes = 22, kMetaHeaderWords = 9;
  if (head.size() < kPlaceableBytes + 2 * kMetaHeaderWords) return std::nullopt;
  const auto at = [&](std::size_t offset) {
    return std::int64_t{static_cast<std::int16_t>(Le16(&head[offset]))};
  };
  const std::uint16_t type = Le16(&head[22]), headerWords = Le16(&head[24]);
  const std::uint64_t words = Le32(&head[28]);
  if ((type != 1 && type != 2) || headerWords != kMetaHeaderWords || words < kMetaHeaderWords) {
    return std::nullopt;
  }
  return Metafile(PictureFormat::Wmf, at(10) - at(6), at(12) - at(8), Le16(&head[14]),
                  pixelsPerInch, kPlaceableBytes + 2 * words);
}

}  // namespace platform
