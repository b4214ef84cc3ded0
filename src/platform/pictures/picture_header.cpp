#include "platform/pictures/picture_header.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/pictures/orientation.h"

namespace platform {
namespace {

using namespace std::string_view_literals;

// The longest fixed-place header read below: an EMF's header up to the file size it declares.
constexpr std::size_t kHeadBytes = 52;
// Real JPEG files have a few dozen segments before the frame header; the bound keeps a crafted
// file of endless tiny segments from costing a read each.
constexpr int kMaxJpegSegments = 1024;
// The best any deflate stream does: a 258-byte match in two bits.
constexpr std::uint64_t kDeflateRatio = 1032;
// The best of LZW with 12-bit codes: a code stands for fewer than 4096 values.
constexpr std::uint64_t kLzwValuesPerCode = 4096, kLzwCodeBits = 12;

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

std::uint64_t Pixels(PixelSize size) {
  return static_cast<std::uint64_t>(size.width) * static_cast<std::uint64_t>(size.height);
}
std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

// Every pixel passes the resampler, so none costs less than a byte.
std::uint64_t BytesPerPixel(std::uint64_t bits) {
  return std::max<std::uint64_t>(1, (bits + 7) / 8);
}

// A frame of one decoder, which is also the natural size. A side that does not fit PixelSize is
// no header we can trust.
std::optional<PictureHeader> Frame(PictureFormat format, std::int64_t width, std::int64_t height,
                                   std::uint64_t bitsPerPixel, std::uint64_t leastFileBytes) {
  if (width < 0 || height < 0 || width > INT_MAX || height > INT_MAX) return std::nullopt;
  const PixelSize size{static_cast<int>(width), static_cast<int>(height)};
  return PictureHeader{format,        size, size, {}, Pixels(size) * BytesPerPixel(bitsPerPixel),
                       leastFileBytes};
}

// Rows padded to 32 bits, as BMP stores them.
std::uint64_t DibBytes(std::int64_t width, std::int64_t height, std::uint64_t bits) {
  return CeilDiv(static_cast<std::uint64_t>(width) * bits, 32) * 4 *
         static_cast<std::uint64_t>(height);
}

std::optional<PictureHeader> ReadBmp(std::span<const std::uint8_t> head) {
  if (head.size() < 18) return std::nullopt;
  const std::uint32_t infoSize = Le32(&head[14]);
  if (infoSize == 12) {  // the old core header: unsigned 16-bit sides
    if (head.size() < 26) return std::nullopt;
    const std::uint16_t width = Le16(&head[18]), height = Le16(&head[20]), bits = Le16(&head[24]);
    return Frame(PictureFormat::Bmp, width, height, bits, DibBytes(width, height, bits));
  }
  if (infoSize < 16 || head.size() < (infoSize < 20 ? 30u : 34u)) return std::nullopt;
  const auto width = static_cast<std::int32_t>(Le32(&head[18]));
  // A negative height only says the rows are stored top down.
  const std::int64_t height = std::abs(std::int64_t{static_cast<std::int32_t>(Le32(&head[22]))});
  const std::uint16_t bits = Le16(&head[28]);
  const std::uint32_t compression = infoSize < 20 ? 0 : Le32(&head[30]);
  constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3;
  if (width < 0) return std::nullopt;
  // Run-length pixels are decoded to 32 bits, and an end-of-picture code may come at once.
  if (compression == kRle8 || compression == kRle4) {
    return Frame(PictureFormat::Bmp, width, height, 32, 0);
  }
  const bool raw = compression == kRgb || compression == kBitFields;
  return Frame(PictureFormat::Bmp, width, height, bits, raw ? DibBytes(width, height, bits) : 0);
}

std::optional<PictureHeader> ReadPng(std::span<const std::uint8_t> head, PictureFormat format,
                                     std::uint64_t at) {
  if (head.size() < 26 || !StartsWith(head.subspan(12), "IHDR"sv)) return std::nullopt;
  const std::uint32_t width = Be32(&head[16]), height = Be32(&head[20]);
  const std::uint8_t depth = head[24], colourType = head[25];
  constexpr std::uint8_t kChannels[] = {1, 0, 3, 1, 2, 0, 4};
  if (colourType >= std::size(kChannels) || kChannels[colourType] == 0) return std::nullopt;
  // Filtered rows, a filter byte each, are what the deflate stream holds.
  const std::uint64_t rows = std::uint64_t{height} *
                             (1 + CeilDiv(std::uint64_t{width} * kChannels[colourType] * depth, 8));
  // Decoders widen everything to 8 or 16 bits a channel, with alpha where a tRNS chunk asks.
  return Frame(format, width, height, depth == 16 ? 64 : 32, at + CeilDiv(rows, kDeflateRatio));
}

// The fields of a TIFF's first directory: a file's, or an EXIF block's inside a JPEG, whose
// offsets count from `base`.
enum TiffField {
  kWidth,
  kLength,
  kBitsPerSample,
  kCompression,
  kSamplesPerPixel,
  kOrientation,
  kTiffFields
};
using TiffFields = std::array<std::optional<std::uint32_t>, kTiffFields>;

// Nothing when the directory is cut short, holds a field twice (decoders differ in which they
// keep) or in a type no decoder reads.
std::optional<TiffFields> ReadTiffDirectory(const PictureFileReader& read, std::uint64_t base) {
  std::array<std::uint8_t, 8> head{};
  if (!ReadExactly(read, base, head)) return std::nullopt;
  const bool littleEndian = head[0] == 'I';
  const auto u16 = [&](const std::uint8_t* p) { return littleEndian ? Le16(p) : Be16(p); };
  const auto u32 = [&](const std::uint8_t* p) { return littleEndian ? Le32(p) : Be32(p); };
  const std::uint64_t directory = base + u32(&head[4]);

  std::array<std::uint8_t, 2> count{};
  if (!ReadExactly(read, directory, count)) return std::nullopt;
  constexpr std::size_t kEntryBytes = 12;  // tag, type, count, value or offset
  std::vector<std::uint8_t> entries(u16(count.data()) * kEntryBytes);
  if (!ReadExactly(read, directory + count.size(), entries)) return std::nullopt;

  constexpr std::uint16_t kTags[kTiffFields] = {256, 257, 258, 259, 277, 274};
  constexpr std::uint16_t kShort = 3, kLong = 4;
  TiffFields values;
  for (std::size_t at = 0; at < entries.size(); at += kEntryBytes) {
    const std::uint8_t* entry = &entries[at];
    const auto* tag = std::find(std::begin(kTags), std::end(kTags), u16(entry));
    if (tag == std::end(kTags)) continue;
    std::optional<std::uint32_t>& value = values[static_cast<std::size_t>(tag - kTags)];
    if (value) return std::nullopt;
    const std::uint16_t type = u16(entry + 2);
    if (type != kShort && type != kLong) return std::nullopt;
    // A value that fits the entry sits in it, at its start in the file's byte order; of several
    // bits per sample, the first stands for all.
    const bool inEntry = std::uint64_t{u32(entry + 4)} * (type == kShort ? 2 : 4) <= 4;
    std::array<std::uint8_t, 4> outside{};
    if (!inEntry && !ReadExactly(read, base + u32(entry + 8), outside)) return std::nullopt;
    const std::uint8_t* field = inEntry ? entry + 8 : outside.data();
    value = type == kShort ? u16(field) : u32(field);
  }
  return values;
}

// The orientation a directory gives; a missing or unknown value shows the stored rows.
Orientation OrientationOf(const std::optional<TiffFields>& fields) {
  const std::uint32_t value = fields ? (*fields)[kOrientation].value_or(1) : 1;
  return value >= 1 && value <= 8 ? static_cast<Orientation>(value) : Orientation::Normal;
}

void StandUpright(PictureHeader& header, Orientation orientation) {
  header.orientation = orientation;
  header.natural = Upright(header.frame, orientation);
}

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

std::optional<PictureHeader> ReadJpeg(const PictureFileReader& read) {
  std::uint64_t at = 2;  // behind the start-of-image marker
  Orientation orientation = Orientation::Normal;
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
    // No segment starts with these: a decoder would hunt for the next marker rather than read
    // a length, so walking on could find a frame other than the decoder's.
    if (code < 0xC0) return std::nullopt;
    if (code == 0xD9 || code == 0xDA) return std::nullopt;  // end or scan before any frame
    const std::uint16_t length = Be16(&marker[2]);
    if (length < 2) return std::nullopt;
    if (IsJpegFrameHeader(code)) {
      std::optional<PictureHeader> header = ReadJpegFrame(read, at, code, length);
      if (header) StandUpright(*header, orientation);
      return header;
    }
    // The first EXIF block says how the photo stands; a broken one is ignored, as photo viewers
    // do.
    std::array<std::uint8_t, 6> exif{};
    if (code == 0xE1 && orientation == Orientation::Normal && length >= 2 + exif.size() + 8 &&
        ReadExactly(read, at + 4, exif) && StartsWith(exif, "Exif\0\0"sv)) {
      orientation = OrientationOf(ReadTiffDirectory(read, at + 4 + exif.size()));
    }
    at += 2u + length;
  }
  return std::nullopt;
}

// Reads a file front to back through a buffer, for formats walked in small steps.
class Cursor {
 public:
  Cursor(const PictureFileReader& read, std::uint64_t at) : read_(read), at_(at) {}

  [[nodiscard]] std::uint64_t at() const { return at_; }
  void Skip(std::uint64_t count) { at_ += count; }
  // The next byte, or nothing where the file ends.
  std::optional<std::uint8_t> Byte() {
    if (at_ < start_ || at_ >= start_ + filled_) {
      start_ = at_;
      filled_ = read_(at_, buffer_);
      if (filled_ == 0) return std::nullopt;
    }
    return buffer_[at_++ - start_];
  }
  bool Bytes(std::span<std::uint8_t> into) {
    for (std::uint8_t& byte : into) {
      const std::optional<std::uint8_t> next = Byte();
      if (!next) return false;
      byte = *next;
    }
    return true;
  }
  // Walks data sub-blocks (a length byte, then that many bytes) up to the empty one; returns
  // the bytes they hold, or nothing where the file ends first.
  std::optional<std::uint64_t> SubBlocks() {
    std::uint64_t total = 0;
    for (;;) {
      const std::optional<std::uint8_t> length = Byte();
      if (!length) return std::nullopt;
      if (*length == 0) return total;
      total += *length;
      Skip(*length);
    }
  }

 private:
  const PictureFileReader& read_;
  std::uint64_t at_;
  std::array<std::uint8_t, std::size_t{16} * 1024> buffer_{};
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
};

// A GIF decoder may read every frame at once, so all of them count; the first frame is placed
// on the logical screen.
std::optional<PictureHeader> ReadGif(const PictureFileReader& read) {
  Cursor cursor(read, 6);
  std::array<std::uint8_t, 7> screen{};  // width, height, flags, background, aspect
  if (!cursor.Bytes(screen)) return std::nullopt;
  const auto colourTable = [](std::uint8_t flags) {
    return flags & 0x80 ? 3u << ((flags & 7) + 1) : 0u;
  };
  cursor.Skip(colourTable(screen[4]));
  std::optional<PictureHeader> header;
  constexpr std::uint64_t kFrameBookkeeping = 256;  // a decoder's record of each frame
  for (;;) {
    const std::optional<std::uint8_t> introducer = cursor.Byte();
    if (!introducer || *introducer == 0x3B) break;  // the trailer, or the file cut short
    if (*introducer == 0x21) {                      // an extension: its label, then sub-blocks
      if (!cursor.Byte() || !cursor.SubBlocks()) break;
      continue;
    }
    if (*introducer != 0x2C) break;       // no block of GIF
    std::array<std::uint8_t, 9> image{};  // left, top, width, height, flags
    if (!cursor.Bytes(image)) break;
    const PixelSize frame{Le16(&image[4]), Le16(&image[6])};
    if (!header) {
      const PixelPoint at{Le16(image.data()), Le16(&image[2])};
      header = PictureHeader{PictureFormat::Gif,
                             {std::max<int>(Le16(screen.data()), at.x + frame.width),
                              std::max<int>(Le16(&screen[2]), at.y + frame.height)},
                             frame,
                             at,
                             0,
                             0};
    }
    header->decodedBytes += Pixels(frame) + kFrameBookkeeping;
    cursor.Skip(colourTable(image[8]) + 1);  // and the LZW code size
    const std::optional<std::uint64_t> coded = cursor.SubBlocks();
    // Fewer coded bytes than its pixels need at LZW's best: a frame a decoder would still
    // allocate whole before finding it short.
    if (!coded || *coded * 8 * kLzwValuesPerCode < Pixels(frame) * kLzwCodeBits) {
      return std::nullopt;
    }
  }
  return header;
}

std::optional<PictureHeader> ReadTiff(const PictureFileReader& read) {
  const std::optional<TiffFields> fields = ReadTiffDirectory(read, 0);
  if (!fields) return std::nullopt;
  const TiffFields& values = *fields;
  if (!values[kWidth] || !values[kLength]) return std::nullopt;
  const std::uint64_t bits =
      std::uint64_t{values[kBitsPerSample].value_or(1)} * values[kSamplesPerPixel].value_or(1);
  if (bits == 0 || bits > 128) return std::nullopt;
  const std::uint64_t raw = CeilDiv(std::uint64_t{*values[kWidth]} * bits, 8) * *values[kLength];
  const auto least = [&]() -> std::uint64_t {
    switch (values[kCompression].value_or(1)) {
      case 1:  // none
        return raw;
      case 5:  // LZW
        return CeilDiv(raw * kLzwCodeBits, 8 * kLzwValuesPerCode);
      case 8:  // deflate
      case 32946:
        return CeilDiv(raw, kDeflateRatio);
      case 32773:  // PackBits: two bytes for a run of 128
        return CeilDiv(raw, 64);
      default:
        return 0;
    }
  };
  std::optional<PictureHeader> tiff =
      Frame(PictureFormat::Tiff, *values[kWidth], *values[kLength], bits, least());
  if (tiff) StandUpright(*tiff, OrientationOf(fields));
  return tiff;
}

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
  if (StartsWith(image, "\x89PNG\r\n\x1a\n"sv)) return ReadPng(image, PictureFormat::Ico, at);
  if (Le32(image.data()) < 40) return std::nullopt;
  const auto width = static_cast<std::int32_t>(Le32(&image[4]));
  const auto height = static_cast<std::int32_t>(Le32(&image[8]));
  if (width < 0 || height < 0) return std::nullopt;
  // Decoded to 32-bit BGRA with the mask applied.
  return Frame(PictureFormat::Ico, width, height / 2, 32,
               at + DibBytes(width, height / 2, Le16(&image[14])));
}

// A DirectDraw surface: the decoder's first frame is the largest level of the first surface,
// decoded to 32 bits a pixel beside the stored data.
std::optional<PictureHeader> ReadDds(const PictureFileReader& read) {
  std::array<std::uint8_t, 4 + 124 + 20> header{};  // magic, header, and the DX10 extension
  const std::size_t got = read(0, header);
  if (got < 4 + 124 || Le32(&header[4]) != 124) return std::nullopt;
  const std::uint32_t height = Le32(&header[12]), width = Le32(&header[16]);
  const std::uint32_t formatFlags = Le32(&header[80]);
  const std::string_view fourCc(reinterpret_cast<const char*>(&header[84]), 4);
  constexpr std::uint32_t kFourCc = 0x4;
  std::uint64_t stored = 0;  // bytes of the first level
  const std::uint64_t blocks = CeilDiv(width, 4) * CeilDiv(height, 4);
  if (!(formatFlags & kFourCc)) {
    stored = CeilDiv(std::uint64_t{width} * Le32(&header[88]), 8) * height;
  } else if (fourCc == "DXT1"sv || fourCc == "ATI1"sv || fourCc == "BC4U"sv) {
    stored = blocks * 8;
  } else if (fourCc == "DX10"sv) {
    if (got < header.size()) return std::nullopt;
    // BC1 and BC4 (DXGI 70 to 72, 79 to 81) take eight bytes a block, the other block formats
    // (up to 84, and 94 to 99) sixteen; plain formats at least a byte a pixel.
    const std::uint32_t dxgi = Le32(&header[128]);
    const bool eightByteBlocks = (dxgi >= 70 && dxgi <= 72) || (dxgi >= 79 && dxgi <= 81);
    const bool blockCompressed = (dxgi >= 70 && dxgi <= 84) || (dxgi >= 94 && dxgi <= 99);
    stored = eightByteBlocks   ? blocks * 8
             : blockCompressed ? blocks * 16
                               : std::uint64_t{width} * height;
  } else {
    stored = blocks * 16;
  }
  std::optional<PictureHeader> dds = Frame(PictureFormat::Dds, width, height, 32, stored);
  if (dds) dds->decodedBytes += stored;
  return dds;
}

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

}  // namespace

std::optional<PictureFormat> FormatOf(std::span<const std::uint8_t> start) {
  if (StartsWith(start, "BM"sv)) return PictureFormat::Bmp;
  if (StartsWith(start, "GIF87a"sv) || StartsWith(start, "GIF89a"sv)) return PictureFormat::Gif;
  if (StartsWith(start, "\x89PNG\r\n\x1a\n"sv)) return PictureFormat::Png;
  if (StartsWith(start, "\xFF\xD8\xFF"sv)) return PictureFormat::Jpeg;
  if (StartsWith(start, "II*\0"sv) || StartsWith(start, "MM\0*"sv)) return PictureFormat::Tiff;
  if (StartsWith(start, "\0\0\1\0"sv)) return PictureFormat::Ico;
  if (StartsWith(start, "DDS "sv)) return PictureFormat::Dds;
  if (StartsWith(start, "\1\0\0\0"sv) && start.size() >= 44 &&
      StartsWith(start.subspan(40), " EMF"sv)) {
    return PictureFormat::Emf;
  }
  if (StartsWith(start, "\xD7\xCD\xC6\x9A"sv)) return PictureFormat::Wmf;
  return std::nullopt;
}

std::optional<PictureHeader> ReadPictureHeader(const PictureFileReader& read, int pixelsPerInch) {
  std::array<std::uint8_t, kHeadBytes> headBytes{};
  const std::span<const std::uint8_t> head(headBytes.data(),
                                           std::min(read(0, headBytes), headBytes.size()));
  const std::optional<PictureFormat> format = FormatOf(head);
  if (!format) return std::nullopt;
  switch (*format) {
    case PictureFormat::Bmp:
      return ReadBmp(head);
    case PictureFormat::Gif:
      return ReadGif(read);
    case PictureFormat::Png:
      return ReadPng(head, PictureFormat::Png, 0);
    case PictureFormat::Jpeg:
      return ReadJpeg(read);
    case PictureFormat::Tiff:
      return ReadTiff(read);
    case PictureFormat::Ico:
      return ReadIco(read, head);
    case PictureFormat::Dds:
      return ReadDds(read);
    case PictureFormat::Emf:
      return ReadEmf(head, pixelsPerInch);
    case PictureFormat::Wmf:
      return ReadWmf(head, pixelsPerInch);
  }
  return std::nullopt;
}

std::optional<PictureHeader> ReadPictureHeader(std::span<const std::uint8_t> file,
                                               int pixelsPerInch) {
  return ReadPictureHeader(
      [file](std::uint64_t offset, std::span<std::uint8_t> into) {
        if (offset >= file.size()) return std::size_t{0};
        const std::span<const std::uint8_t> rest = file.subspan(static_cast<std::size_t>(offset));
        const std::size_t count = std::min(into.size(), rest.size());
        std::copy_n(rest.begin(), count, into.begin());
        return count;
      },
      pixelsPerInch);
}

bool IsAffordable(const PictureHeader& header, std::uint64_t fileBytes) {
  return header.frame.width > 0 && header.frame.height > 0 &&
         header.decodedBytes <= kMaxDecodedBytes && Pixels(header.natural) <= kMaxDecodedBytes &&
         fileBytes >= header.leastFileBytes;
}

bool IsAffordableFrame(PixelSize frame, unsigned bitsPerPixel) {
  return frame.width > 0 && frame.height > 0 &&
         Pixels(frame) * BytesPerPixel(bitsPerPixel) <= kMaxDecodedBytes;
}

}  // namespace platform
