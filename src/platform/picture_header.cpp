#include "platform/picture_header.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace platform {
namespace {

using namespace std::string_view_literals;

// The longest fixed-place header read below: BMP's file header plus the first fields of its
// information header.
constexpr std::size_t kHeadBytes = 26;
// Real JPEG files have a few dozen segments before the frame header; the bound keeps a crafted
// file of endless tiny segments from costing a read each.
constexpr int kMaxJpegSegments = 1024;

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view magic) {
  return bytes.size() >= magic.size() &&
         std::equal(magic.begin(), magic.end(), bytes.begin(),
                    [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
}

bool ReadExactly(const PictureFileReader& read, std::uint64_t offset,
                 std::span<std::uint8_t> into) {
  return read(offset, into) == into.size();
}

std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint16_t Be16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] << 8 | p[1]); }
std::uint32_t Le32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::uint32_t Be32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} << 24 | std::uint32_t{p[1]} << 16 | std::uint32_t{p[2]} << 8 |
         std::uint32_t{p[3]};
}

// A size that does not fit PixelSize is no header we can trust.
std::optional<PictureHeader> Declared(PictureFormat format, std::int64_t width,
                                      std::int64_t height) {
  if (width < 0 || height < 0 || width > INT_MAX || height > INT_MAX) return std::nullopt;
  return PictureHeader{format, {static_cast<int>(width), static_cast<int>(height)}};
}

std::optional<PictureHeader> ReadBmp(std::span<const std::uint8_t> head) {
  if (head.size() < 18) return std::nullopt;
  const std::uint32_t infoSize = Le32(&head[14]);
  if (infoSize == 12) {  // the old core header: unsigned 16-bit sides
    if (head.size() < 22) return std::nullopt;
    return Declared(PictureFormat::Bmp, Le16(&head[18]), Le16(&head[20]));
  }
  if (infoSize < 16 || head.size() < 26) return std::nullopt;
  const auto width = static_cast<std::int32_t>(Le32(&head[18]));
  const auto height = static_cast<std::int32_t>(Le32(&head[22]));
  // A negative height only says the rows are stored top down.
  return Declared(PictureFormat::Bmp, width, std::abs(std::int64_t{height}));
}

std::optional<PictureHeader> ReadGif(std::span<const std::uint8_t> head) {
  if (head.size() < 10) return std::nullopt;
  return Declared(PictureFormat::Gif, Le16(&head[6]), Le16(&head[8]));
}

std::optional<PictureHeader> ReadPng(std::span<const std::uint8_t> head) {
  if (head.size() < 24 || !StartsWith(head.subspan(12), "IHDR"sv)) return std::nullopt;
  return Declared(PictureFormat::Png, Be32(&head[16]), Be32(&head[20]));
}

bool IsJpegFrameHeader(std::uint8_t code) {
  // C4, C8 and CC share the range but are tables and an extension, not frames.
  return code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC;
}

std::optional<PictureHeader> ReadJpeg(const PictureFileReader& read) {
  std::uint64_t at = 2;  // behind the start-of-image marker
  for (int segment = 0; segment < kMaxJpegSegments; ++segment) {
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
    if (code == 0xD9 || code == 0xDA) return std::nullopt;  // end or scan before any frame
    const std::uint16_t length = Be16(&marker[2]);
    if (length < 2) return std::nullopt;
    if (IsJpegFrameHeader(code)) {
      std::array<std::uint8_t, 5> frame{};  // sample precision, lines, samples per line
      if (length < 2 + frame.size() || !ReadExactly(read, at + 4, frame)) return std::nullopt;
      return Declared(PictureFormat::Jpeg, Be16(&frame[3]), Be16(&frame[1]));
    }
    at += 2u + length;
  }
  return std::nullopt;
}

std::optional<PictureHeader> ReadTiff(const PictureFileReader& read,
                                      std::span<const std::uint8_t> head) {
  if (head.size() < 8) return std::nullopt;
  const bool littleEndian = head[0] == 'I';
  const auto u16 = [&](const std::uint8_t* p) { return littleEndian ? Le16(p) : Be16(p); };
  const auto u32 = [&](const std::uint8_t* p) { return littleEndian ? Le32(p) : Be32(p); };
  const std::uint64_t directory = u32(&head[4]);

  std::array<std::uint8_t, 2> count{};
  if (!ReadExactly(read, directory, count)) return std::nullopt;
  constexpr std::size_t kEntryBytes = 12;  // tag, type, count, value or offset
  std::vector<std::uint8_t> entries(u16(count.data()) * kEntryBytes);
  if (!ReadExactly(read, directory + count.size(), entries)) return std::nullopt;

  constexpr std::uint16_t kImageWidth = 256, kImageLength = 257;
  constexpr std::uint16_t kShort = 3, kLong = 4;
  std::optional<std::uint32_t> width, height;
  for (std::size_t at = 0; at < entries.size(); at += kEntryBytes) {
    const std::uint8_t* entry = &entries[at];
    const std::uint16_t tag = u16(entry);
    if (tag != kImageWidth && tag != kImageLength) continue;
    const std::uint16_t type = u16(entry + 2);
    if (type != kShort && type != kLong) return std::nullopt;
    // A value that fits the entry sits in it, at its start in the file's byte order.
    const std::uint32_t value = type == kShort ? u16(entry + 8) : u32(entry + 8);
    (tag == kImageWidth ? width : height) = value;
  }
  if (!width || !height) return std::nullopt;
  return Declared(PictureFormat::Tiff, *width, *height);
}

std::optional<PictureHeader> ReadIco(const PictureFileReader& read,
                                     std::span<const std::uint8_t> head) {
  if (head.size() < 6) return std::nullopt;
  const std::uint16_t count = Le16(&head[4]);
  if (count == 0) return std::nullopt;
  constexpr std::size_t kEntryBytes = 16;  // width, height, colours, reserved, ...
  std::vector<std::uint8_t> entries(count * kEntryBytes);
  if (!ReadExactly(read, 6, entries)) return std::nullopt;

  // A side of 0 stands for 256, which does not fit the byte.
  const auto side = [](std::uint8_t stored) { return stored == 0 ? 256 : int{stored}; };
  PixelSize largest;
  for (std::size_t at = 0; at < entries.size(); at += kEntryBytes) {
    const PixelSize size{side(entries[at]), side(entries[at + 1])};
    if (size.width * size.height > largest.width * largest.height) largest = size;
  }
  return Declared(PictureFormat::Ico, largest.width, largest.height);
}

}  // namespace

std::optional<PictureHeader> ReadPictureHeader(const PictureFileReader& read) {
  std::array<std::uint8_t, kHeadBytes> headBytes{};
  const std::span<const std::uint8_t> head(headBytes.data(),
                                           std::min(read(0, headBytes), headBytes.size()));
  if (StartsWith(head, "BM"sv)) return ReadBmp(head);
  if (StartsWith(head, "GIF87a"sv) || StartsWith(head, "GIF89a"sv)) return ReadGif(head);
  if (StartsWith(head, "\x89PNG\r\n\x1a\n"sv)) return ReadPng(head);
  if (StartsWith(head, "\xFF\xD8\xFF"sv)) return ReadJpeg(read);
  if (StartsWith(head, "II*\0"sv) || StartsWith(head, "MM\0*"sv)) return ReadTiff(read, head);
  if (StartsWith(head, "\0\0\1\0"sv)) return ReadIco(read, head);
  return std::nullopt;
}

std::optional<PictureHeader> ReadPictureHeader(std::span<const std::uint8_t> start) {
  return ReadPictureHeader([start](std::uint64_t offset, std::span<std::uint8_t> into) {
    if (offset >= start.size()) return std::size_t{0};
    const std::span<const std::uint8_t> rest = start.subspan(static_cast<std::size_t>(offset));
    const std::size_t count = std::min(into.size(), rest.size());
    std::copy_n(rest.begin(), count, into.begin());
    return count;
  });
}

bool IsPlausibleSize(PixelSize declared) {
  return declared.width > 0 && declared.height > 0 &&
         std::int64_t{declared.width} * declared.height <= kMaxPicturePixels;
}

}  // namespace platform
