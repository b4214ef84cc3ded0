#include <algorithm>
#include <array>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/file_cursor.h"
#include "platform/pictures/header_reading.h"
#include "platform/pictures/picture_budget.h"

namespace platform {

// A GIF decoder may read every frame at once, so all of them count, and the extensions it keeps,
// each extension and each of its sub-blocks a part; the first frame is placed on the logical
// screen. A frame with no colour table to use has no colours at all: decoders differ in what they
// make of it, and some read through the table that is not there.
std::optional<PictureHeader> ReadGif(const PictureFileReader& read) {
  Cursor cursor(read, 6);
  std::array<std::uint8_t, 7> screen{};  // width, height, flags, background, aspect
  if (!cursor.Bytes(screen)) return std::nullopt;
  constexpr std::uint8_t kHasColourTable = 0x80;
  const auto colourTable = [](std::uint8_t flags) {
    return flags & kHasColourTable ? 3u << ((flags & 7) + 1) : 0u;
  };
  const bool globalTable = (screen[4] & kHasColourTable) != 0;
  cursor.Skip(colourTable(screen[4]));
  std::optional<PictureHeader> header;
  std::uint64_t extensionBytes = 0, parts = 0;
  constexpr std::uint64_t kFrameBookkeeping = 256;  // a decoder's record of each frame
  // One frame past the most a decoder is let make refuses the picture; the rest need no reading.
  while (!header || header->passes <= kMaxGifFrames) {
    const std::optional<std::uint8_t> introducer = cursor.Byte();
    if (!introducer || *introducer == 0x3B) break;  // the trailer, or the file cut short
    if (*introducer == 0x21) {                      // an extension: its label, then sub-blocks
      const std::optional<std::uint8_t> label = cursor.Byte();
      const std::optional<std::uint64_t> bytes =
          label && ++parts <= kMaxGifExtensionParts ? cursor.SubBlocks(parts, kMaxGifExtensionParts)
                                                    : std::nullopt;
      if (!bytes || parts > kMaxGifExtensionParts) break;
      extensionBytes += *bytes;
      continue;
    }
    if (*introducer != 0x2C) break;       // no block of GIF
    std::array<std::uint8_t, 9> image{};  // left, top, width, height, flags
    if (!cursor.Bytes(image)) break;
    if (!globalTable && (image[8] & kHasColourTable) == 0) return std::nullopt;
    const PixelSize frame{Le16(&image[4]), Le16(&image[6])};
    if (header) {
      ++header->passes;
    } else {
      const PixelPoint at{Le16(image.data()), Le16(&image[2])};
      header = PictureHeader{PictureFormat::Gif,
                             {std::max<int>(Le16(screen.data()), at.x + frame.width),
                              std::max<int>(Le16(&screen[2]), at.y + frame.height)},
                             frame,
                             at,
                             0,
                             0};
    }
    header->decodedBytes += PixelCount(frame) + kFrameBookkeeping;
    cursor.Skip(colourTable(image[8]) + 1);  // and the LZW code size
    std::uint64_t codedBlocks = 0;           // read as one stream, not kept one by one
    const std::optional<std::uint64_t> coded = cursor.SubBlocks(codedBlocks);
    // Fewer coded bytes than its pixels need at LZW's best: a frame a decoder would still
    // allocate whole before finding it short.
    if (!coded || *coded < LeastLzwBytes(PixelCount(frame))) {
      return std::nullopt;
    }
  }
  if (header) {
    header->decodedBytes += extensionBytes;
    header->parts = parts;
  }
  return header;
}

}  // namespace platform
