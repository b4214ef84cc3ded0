#include <algorithm>
#include <array>
#include <vector>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/colour_profile.h"
#include "platform/pictures/file_cursor.h"
#include "platform/pictures/header_reading.h"
#include "platform/pictures/picture_budget.h"
#include "platform/pictures/tiff_directory.h"

namespace platform {

using namespace std::string_view_literals;
namespace {

bool IsJpegFrameHeader(std::uint8_t code) {
  // C4, C8 and CC share the range but are tables and an extension, not frames.
  return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

// The least a frame's entropy-coded data can take, in bits per 8 x 8 block of its first
// component: Huffman codes are at least a bit long, and a baseline block needs a DC and an
// end-of-block code, a progressive one the DC; arithmetic coding has no such floor.
std::uint64_t LeastJpegBitsPerBlock(std::uint8_t code) {
  switch (code) {
    case 0xC0:
    case 0xC1:
      return 2;
    case 0xC2:
      return 1;
    case 0xC3:  // lossless: a code per sample
      return 64;
    default:
      return 0;
  }
}

std::optional<PictureHeader> ReadJpegFrame(const PictureFileReader& read, std::uint64_t at,
                                           std::uint8_t code, std::uint16_t length) {
  // Sample precision, lines, samples per line, components and three bytes per component.
  std::array<std::uint8_t, 6 + 3 * 4> frame{};
  if (length < 8 || !ReadExactly(read, at + 4, std::span(frame).first(6))) return std::nullopt;
  const std::uint16_t height = Be16(&frame[1]), width = Be16(&frame[3]);
  const std::uint8_t components = frame[5];
  if (components != 1 && components != 3 && components != 4) return std::nullopt;
  if (length < 8 + 3 * components ||
      !ReadExactly(read, at + 10, std::span(frame).subspan(6, std::size_t{3} * components))) {
    return std::nullopt;
  }
  int widest = 1, tallest = 1;
  for (int c = 0; c < components; ++c) {
    const std::uint8_t sampling = frame[7 + (std::size_t{3} * static_cast<std::size_t>(c))];
    if ((sampling >> 4) == 0 || (sampling & 15) == 0) return std::nullopt;
    widest = std::max(widest, sampling >> 4);
    tallest = std::max(tallest, sampling & 15);
  }
  // The 8 x 8 blocks of a component, at its own sampling.
  const auto blocks = [&](int c) {
    const std::uint8_t sampling = frame[7 + (std::size_t{3} * static_cast<std::size_t>(c))];
    const auto across = static_cast<std::uint64_t>(sampling >> 4);
    const auto down = static_cast<std::uint64_t>(sampling & 15);
    return CeilDiv(CeilDiv(width * across, static_cast<std::uint64_t>(widest)), 8) *
           CeilDiv(CeilDiv(height * down, static_cast<std::uint64_t>(tallest)), 8);
  };
  std::optional<PictureHeader> header =
      Frame(PictureFormat::Jpeg, width, height, std::uint64_t{8} * components,
            CeilDiv(blocks(0) * LeastJpegBitsPerBlock(code), 8));
  // A progressive decoder holds every coefficient too, 16 bits each.
  for (int c = 0; header && code == 0xC2 && c < components; ++c) {
    header->decodedBytes += blocks(c) * 64 * 2;
  }
  return header;
}

// The scans behind a frame header at `at`, counted up to the end of the picture or to one past
// the most a decoder is let make of `pixels`; nothing where more segments follow than any encoder
// writes.
std::optional<std::uint64_t> CountJpegScans(const PictureFileReader& read, std::uint64_t at,
                                            std::uint64_t pixels) {
  const std::uint64_t maxScans = kMaxJpegScanPixels / std::max<std::uint64_t>(pixels, 1);
  Cursor cursor(read, at);
  std::uint64_t scans = 0;
  for (std::uint64_t segment = 0; segment < kMaxJpegSegments; ++segment) {
    // The next marker: an FF that is neither a stuffed zero in a scan's data, nor a fill byte, nor
    // a restart marker or another without a length.
    std::optional<std::uint8_t> code;
    do {
      if (!cursor.Find(0xFF)) return scans;  // cut short: the decoder stops here too
      do {
        code = cursor.Byte();
      } while (code == 0xFF);
      if (!code) return scans;
    } while (*code == 0x00 || *code == 0x01 || (*code >= 0xD0 && *code <= 0xD7));
    if (*code == 0xD9) return scans;
    if (*code == 0xDA && ++scans > maxScans) return scans;
    std::array<std::uint8_t, 2> length{};
    if (!cursor.Bytes(length) || Be16(length.data()) < 2) return scans;
    cursor.Skip(Be16(length.data()) - 2u);
  }
  return std::nullopt;
}

}  // namespace

// A JPEG's segments up to its frame header, reading on the way the EXIF block's orientation and
// colour space and the pieces of the colour profile, then its scans.
std::optional<PictureHeader> ReadJpeg(const PictureFileReader& read) {
  std::uint64_t at = 2;  // behind the start-of-image marker
  bool exifRead = false;
  Orientation orientation = Orientation::Normal;
  bool adobeRgbByExif = false;
  std::vector<IccChunk> profileChunks;
  std::uint64_t segment = 0;
  for (; segment < kMaxJpegSegments; ++segment) {
    std::array<std::uint8_t, 4> marker{};  // FF, code, length (big-endian, counting itself)
    if (!ReadExactly(read, at, marker) || marker[0] != 0xFF) return std::nullopt;
    const std::uint8_t code = marker[1];
    if (code == 0xFF) {  // a fill byte before the marker
      ++at;
      continue;
    }
    if (code == 0x01 || (code >= 0xD0 && code <= 0xD8)) {  // markers without a length
      at += 2;
      continue;
    }
    // No segment starts with these: a decoder would hunt for the next marker rather than read
    // a length, so walking on could find a frame other than the decoder's.
    if (code < 0xC0) return std::nullopt;
    if (code == 0xD9 || code == 0xDA) return std::nullopt;  // end or scan before any frame
    const std::uint16_t length = Be16(&marker[2]);
    if (length < 2) return std::nullopt;
    if (IsJpegFrameHeader(code)) {
      std::optional<PictureHeader> header = ReadJpegFrame(read, at, code, length);
      if (!header) return std::nullopt;
      const std::optional<std::uint64_t> scans =
          CountJpegScans(read, at + 2 + length, PixelCount(header->frame));
      if (!scans) return std::nullopt;
      StandUpright(*header, orientation);
      header->passes = std::max<std::uint64_t>(*scans, 1);
      header->parts = segment;
      header->colour.profile = ProfileOfChunks(profileChunks);
      header->colour.adobeRgbByExif = adobeRgbByExif && header->colour.profile.empty();
      // The decoder keeps the profile's chunks too.
      for (const FileSpan& piece : header->colour.profile) header->decodedBytes += piece.bytes;
      return header;
    }
    // The first EXIF block says how the photo stands and may name its colours; a broken one is
    // ignored, as photo viewers do.
    std::array<std::uint8_t, 6> exif{};
    if (code == 0xE1 && !exifRead && length >= 2 + exif.size() + 8 &&
        ReadExactly(read, at + 4, exif) && StartsWith(exif, "Exif\0\0"sv)) {
      exifRead = true;
      const std::uint64_t base = at + 4 + exif.size();
      const std::optional<TiffDirectory> directory = ReadTiffDirectory(read, base);
      orientation = OrientationOf(directory);
      adobeRgbByExif = directory && ColourTagOf(read, base, *directory).adobeRgbByExif;
    }
    // A piece of the colour profile: its number among all of them, and how many there are.
    std::array<std::uint8_t, 14> icc{};
    if (code == 0xE2 && length > 2 + icc.size() && ReadExactly(read, at + 4, icc) &&
        StartsWith(icc, "ICC_PROFILE\0"sv)) {
      profileChunks.push_back({icc[12], icc[13], {at + 4 + icc.size(), length - 2u - icc.size()}});
    }
    at += 2u + length;
  }
  return std::nullopt;
}

}  // namespace platform
