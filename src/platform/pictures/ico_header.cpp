#include <array>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/header_reading.h"
#include "platform/pictures/picture_budget.h"

namespace platform {

using namespace std::string_view_literals;

// An icon's decoder shows its first entry, whose own embedded header (a PNG's, or a bitmap's
// information header over the colour and mask rows) says what it decodes; the directory's
// bytes only describe it.
std::optional<PictureHeader> ReadIco(const PictureFileReader& read,
                                     std::span<const std::uint8_t> head) {
  if (head.size() < 6 || Le16(&head[4]) == 0) return std::nullopt;
  std::array<std::uint8_t, 16> entry{};  // width, height, colours, reserved, ..., size, offset
  if (!ReadExactly(read, 6, entry)) return std::nullopt;
  const std::uint32_t at = Le32(&entry[12]);
  std::array<std::uint8_t, 40> image{};
  if (!ReadExactly(read, at, image)) return std::nullopt;
  // The entry's own decoder holds its picture while the icon's makes a copy of it, as 32-bit BGRA
  // with the mask applied.
  // Each entry is a part, read when the decoder counts the icon's frames, and so is each
  // ancillary chunk of the PNG it holds.
  const std::uint16_t entries = Le16(&head[4]);
  if (StartsWith(image, "\x89PNG\r\n\x1a\n"sv)) {
    std::optional<PictureHeader> png = ReadPng(read, PictureFormat::Ico, at);
    if (png) {
      png->decodedBytes += PixelCount(png->frame) * 4;
      png->parts += entries;
    }
    return png;
  }
  if (Le32(image.data()) < 40) return std::nullopt;
  const auto width = static_cast<std::int32_t>(Le32(&image[4]));
  const auto height = static_cast<std::int32_t>(Le32(&image[8]));
  if (width < 0 || height < 0) return std::nullopt;
  const std::uint64_t stored = DibBytes(width, height / 2, Le16(&image[14]));
  std::optional<PictureHeader> bitmap =
      Frame(PictureFormat::Ico, width, height / 2, 32, at + stored);
  if (bitmap) {
    bitmap->decodedBytes += stored;
    bitmap->parts = entries;
  }
  return bitmap;
}

}  // namespace platform
