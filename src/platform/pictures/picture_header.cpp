#include "platform/pictures/picture_header.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/colour_profile.h"
#include "platform/pictures/orientation.h"
#include "platform/pictures/picture_budget.h"

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

std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

// A frame of one decoder, which is also the natural size. A side that does not fit PixelSize is
// no header we can trust.
std::optional<PictureHeader> Frame(PictureFormat format, std::int64_t width, std::int64_t height,
                                   std::uint64_t bitsPerPixel, std::uint64_t leastFileBytes) {
  if (width < 0 || height < 0 || width > INT_MAX || height > INT_MAX) return std::nullopt;
  const PixelSize size{static_cast<int>(width), static_cast<int>(height)};
  return PictureHeader{
      format,        size, size, {}, PixelCount(size) * DecodedBytesPerPixel(bitsPerPixel),
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

// Reads a file front to back through a buffer, for formats walked in small steps.
class Cursor {
 public:
  Cursor(const PictureFileReader& read, std::uint64_t at) : read_(read), at_(at) {}

  [[nodiscard]] std::uint64_t at() const { return at_; }
  void Skip(std::uint64_t count) { at_ += count; }
  // The next byte, or nothing where the file ends.
  std::optional<std::uint8_t> Byte() {
    if (!Fill()) return std::nullopt;
    return buffer_[at_++ - start_];
  }
  // Moves past the next byte of `value` before `before`; false where the file or `before` comes
  // first.
  bool Find(std::uint8_t value, std::uint64_t before = UINT64_MAX) {
    while (at_ < before && Fill()) {
      const std::uint8_t* const from = buffer_.data() + (at_ - start_);
      const std::uint8_t* const end =
          buffer_.data() + std::min<std::uint64_t>(filled_, before - start_);
      const std::uint8_t* const found = std::find(from, end, value);
      at_ += static_cast<std::uint64_t>(found - from);
      if (found != end) {
        ++at_;
        return true;
      }
    }
    return false;
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
  // Whether the byte at `at_` is in the buffer, read from there where it was not.
  bool Fill() {
    if (at_ < start_ || at_ >= start_ + filled_) {
      start_ = at_;
      filled_ = read_(at_, buffer_);
    }
    return at_ >= start_ && at_ < start_ + filled_;
  }

  const PictureFileReader& read_;
  std::uint64_t at_;
  std::array<std::uint8_t, std::size_t{16} * 1024> buffer_{};
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
};

// What a decoder keeps of the ancillary chunk of `length` bytes at `dataAt`: its data, and of one
// that is deflated (compressed text, the colour profile) the bytes before its zlib stream and what
// the stream inflates to, counted up to `limit`. The stream lies behind the keyword (ending in a
// zero) and the compression method, in an iTXt behind its compression flag too, then a language
// tag and a translated keyword, each ending in a zero. A chunk whose fields run past its end is
// no text a decoder inflates.
std::uint64_t AncillaryBytes(const PictureFileReader& read, std::span<const std::uint8_t> type,
                             std::uint64_t dataAt, std::uint32_t length, std::uint64_t limit) {
  const bool itxt = StartsWith(type, "iTXt"sv);
  if (!itxt && !StartsWith(type, "zTXt"sv) && !StartsWith(type, "iCCP"sv)) return length;
  const std::uint64_t dataEnd = dataAt + length;
  Cursor cursor(read, dataAt);
  if (!cursor.Find(0, dataEnd)) return length;
  if (itxt) {
    const std::optional<std::uint8_t> compressed = cursor.Byte();
    if (!compressed || *compressed == 0) return length;
    cursor.Skip(1);
    if (!cursor.Find(0, dataEnd) || !cursor.Find(0, dataEnd)) return length;
  } else {
    cursor.Skip(1);
  }
  if (cursor.at() > dataEnd) return length;
  return (cursor.at() - dataAt) + InflatedBytes(read, {cursor.at(), dataEnd - cursor.at()}, limit);
}

// A PNG at `at` of the file: its header, which must carry its right checksum since the budget
// goes by it, then every chunk up to the end. A decoder keeps the data of every ancillary chunk,
// a deflated one (compressed text, the colour profile) inflated, so each counts what it inflates
// to; the count stops where the budget is overrun.
std::optional<PictureHeader> ReadPng(const PictureFileReader& read, PictureFormat format,
                                     std::uint64_t at) {
  constexpr std::uint32_t kHeaderDataBytes = 13;
  std::array<std::uint8_t, 8 + 8 + kHeaderDataBytes + 4> head{};  // signature, IHDR, checksum
  if (!ReadExactly(read, at, head) || Be32(&head[8]) != kHeaderDataBytes ||
      !StartsWith(std::span(head).subspan(12), "IHDR"sv) ||
      crc32(0, &head[12], 4 + kHeaderDataBytes) != Be32(&head[16 + kHeaderDataBytes])) {
    return std::nullopt;
  }
  const std::uint32_t width = Be32(&head[16]), height = Be32(&head[20]);
  const std::uint8_t depth = head[24], colourType = head[25];
  constexpr std::uint8_t kChannels[] = {1, 0, 3, 1, 2, 0, 4};
  if (colourType >= std::size(kChannels) || kChannels[colourType] == 0) return std::nullopt;
  // Filtered rows, a filter byte each, are what the deflate stream holds.
  const std::uint64_t rows = std::uint64_t{height} *
                             (1 + CeilDiv(std::uint64_t{width} * kChannels[colourType] * depth, 8));
  // Decoders widen everything to 8 or 16 bits a channel, with alpha where a tRNS chunk asks.
  std::optional<PictureHeader> png =
      Frame(format, width, height, depth == 16 ? 64 : 32, at + CeilDiv(rows, kDeflateRatio));
  constexpr std::uint32_t kMaxChunkBytes = 0x7FFFFFFF;
  constexpr std::size_t kChunkHeadBytes = 8, kKeywordBytes = 80;
  for (std::uint64_t chunk = at + 8; png;) {
    std::array<std::uint8_t, kChunkHeadBytes + kKeywordBytes + 1> start{};  // length, type, data
    const std::size_t got = read(chunk, start);
    if (got < kChunkHeadBytes) break;  // the file ends here: the decoder finds it cut short
    const std::uint32_t length = Be32(start.data());
    if (length > kMaxChunkBytes) return std::nullopt;
    const std::span<const std::uint8_t> type = std::span(start).subspan(4, 4);
    const std::uint64_t dataAt = chunk + kChunkHeadBytes;
    chunk += kChunkHeadBytes + 4 + length;  // and the checksum
    png->leastFileBytes = std::max(png->leastFileBytes, chunk);
    if (StartsWith(type, "IEND"sv)) break;
    const auto data = std::span(start).subspan(
        kChunkHeadBytes, std::min<std::size_t>(got - kChunkHeadBytes, length));
    if ((type[0] & 0x20) != 0) {
      png->decodedBytes +=
          AncillaryBytes(read, type, dataAt, length,
                         kMaxDecodedBytes - std::min(png->decodedBytes, kMaxDecodedBytes));
      // Refused for its cost alone: the rest of its chunks need not be walked.
      if (png->decodedBytes > kMaxDecodedBytes) break;
    }
    // The colour profile, behind its name (1 to 79 bytes and a zero) and the compression method
    // (0, deflate); there is one at most.
    if (StartsWith(type, "iCCP"sv) && png->colour.profile.empty()) {
      const auto nameEnd = std::find(data.begin(), data.end(), 0);
      const auto behind = static_cast<std::uint32_t>(nameEnd - data.begin()) + 2;
      if (nameEnd != data.begin() && nameEnd + 1 < data.end() && *(nameEnd + 1) == 0 &&
          behind < length) {
        png->colour.profile.push_back({dataAt + behind, length - behind});
        png->colour.deflated = true;
      }
    }
  }
  return png;
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
  kRowsPerStrip,
  kPlanarConfiguration,
  kTileWidth,
  kTileLength,
  kStripOffsets,
  kStripByteCounts,
  kTileOffsets,
  kTileByteCounts,
  kTiffFields
};

struct TiffValues {
  std::uint32_t first;  // of several (bits per sample, strip offsets), the first stands for all
  std::uint32_t count;
  bool isShort;
  std::uint64_t at;  // where they lie: in their entry, or where it points
};

// The fields that only say what colours the pixels are in, and where the EXIF directories that say
// it lie. Photo viewers ignore such metadata when it is broken, and so does the show: a field of
// an unexpected type is left out, a second copy ignored, and the picture read all the same.
enum TiffColourField {
  kIccProfile,
  kExifDirectory,
  kColourSpace,
  kInteroperabilityDirectory,
  kInteroperabilityIndex,
  kTiffColourFields
};

struct TiffColourValues {
  std::uint16_t type;
  std::uint32_t count;
  std::uint64_t at;
};

struct TiffDirectory {
  bool littleEndian;
  std::array<std::optional<TiffValues>, kTiffFields> fields;
  std::array<std::optional<TiffColourValues>, kTiffColourFields> colourFields;
  // The values of every tag kept outside its entry, which a decoder reads into memory: their
  // bytes, and the farthest byte of the file they reach.
  std::uint64_t outsideBytes = 0;
  std::uint64_t outsideEnd = 0;

  [[nodiscard]] std::uint32_t Value(TiffField field, std::uint32_t absent) const {
    return fields[field] ? fields[field]->first : absent;
  }
  [[nodiscard]] std::uint32_t U32(const std::uint8_t* p) const {
    return littleEndian ? Le32(p) : Be32(p);
  }
  [[nodiscard]] std::uint16_t U16(const std::uint8_t* p) const {
    return littleEndian ? Le16(p) : Be16(p);
  }
  // The `index`th of the values, which must lie in the file.
  [[nodiscard]] std::optional<std::uint32_t> ValueAt(const PictureFileReader& read,
                                                     const TiffValues& values,
                                                     std::uint64_t index) const {
    std::array<std::uint8_t, 4> value{};
    const std::size_t bytes = values.isShort ? 2 : 4;
    if (!ReadExactly(read, values.at + index * bytes, std::span(value).first(bytes))) {
      return std::nullopt;
    }
    return values.isShort ? U16(value.data()) : U32(value.data());
  }
};

// The directory at `at` of a TIFF whose offsets count from `base`. Nothing when it is cut short,
// holds a field twice (decoders differ in which they keep) or in a type no decoder reads.
std::optional<TiffDirectory> ReadTiffDirectoryAt(const PictureFileReader& read, std::uint64_t base,
                                                 bool littleEndian, std::uint64_t at) {
  TiffDirectory directory{littleEndian, {}, {}};
  std::array<std::uint8_t, 2> count{};
  if (!ReadExactly(read, at, count)) return std::nullopt;
  constexpr std::size_t kEntryBytes = 12;  // tag, type, count, value or offset
  std::vector<std::uint8_t> entries(directory.U16(count.data()) * kEntryBytes);
  if (!ReadExactly(read, at + count.size(), entries)) return std::nullopt;

  constexpr std::uint16_t kTags[kTiffFields] = {256, 257, 258, 259, 277, 274, 278,
                                                284, 322, 323, 273, 279, 324, 325};
  constexpr std::uint16_t kColourTags[kTiffColourFields] = {34675, 34665, 40961, 40965, 1};
  // The bytes a value of each type takes, types 1 to 13; decoders skip entries of other types.
  constexpr std::uint8_t kTypeBytes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
  constexpr std::uint16_t kShort = 3, kLong = 4;
  for (std::size_t offset = 0; offset < entries.size(); offset += kEntryBytes) {
    const std::uint8_t* entry = &entries[offset];
    const std::uint16_t type = directory.U16(entry + 2);
    const std::uint32_t values = directory.U32(entry + 4);
    const std::uint64_t bytes =
        std::uint64_t{values} * (type < std::size(kTypeBytes) ? kTypeBytes[type] : 0);
    // Values that fit the entry sit in it, at its start.
    const bool inEntry = bytes <= 4;
    const std::uint64_t valuesAt =
        inEntry ? at + count.size() + offset + 8 : base + directory.U32(entry + 8);
    if (!inEntry) {
      directory.outsideBytes += bytes;
      directory.outsideEnd = std::max(directory.outsideEnd, valuesAt + bytes);
    }
    const std::uint16_t tagNumber = directory.U16(entry);
    if (const auto* colour = std::find(std::begin(kColourTags), std::end(kColourTags), tagNumber);
        colour != std::end(kColourTags)) {
      auto& field = directory.colourFields[static_cast<std::size_t>(colour - kColourTags)];
      if (!field) field = TiffColourValues{type, values, valuesAt};
      continue;
    }
    const auto* tag = std::find(std::begin(kTags), std::end(kTags), tagNumber);
    if (tag == std::end(kTags)) continue;
    std::optional<TiffValues>& field = directory.fields[static_cast<std::size_t>(tag - kTags)];
    if (field || (type != kShort && type != kLong)) return std::nullopt;
    field = TiffValues{0, values, type == kShort, valuesAt};
    const std::optional<std::uint32_t> first = directory.ValueAt(read, *field, 0);
    if (!first) return std::nullopt;
    field->first = *first;
  }
  return directory;
}

// A file's first directory, or an EXIF block's, behind the TIFF header at `base`.
std::optional<TiffDirectory> ReadTiffDirectory(const PictureFileReader& read, std::uint64_t base) {
  std::array<std::uint8_t, 8> head{};
  if (!ReadExactly(read, base, head)) return std::nullopt;
  const bool littleEndian = head[0] == 'I';
  const std::uint32_t first = littleEndian ? Le32(&head[4]) : Be32(&head[4]);
  return ReadTiffDirectoryAt(read, base, littleEndian, base + first);
}

// The directory a field of `directory` points to (EXIF's, or its interoperability directory).
std::optional<TiffDirectory> SubDirectory(const PictureFileReader& read, std::uint64_t base,
                                          const TiffDirectory& directory, TiffColourField field) {
  constexpr std::uint16_t kLong = 4, kDirectory = 13;
  const std::optional<TiffColourValues>& pointer = directory.colourFields[field];
  std::array<std::uint8_t, 4> offset{};
  if (!pointer || (pointer->type != kLong && pointer->type != kDirectory) || pointer->count != 1 ||
      !ReadExactly(read, pointer->at, offset)) {
    return std::nullopt;
  }
  return ReadTiffDirectoryAt(read, base, directory.littleEndian,
                             base + directory.U32(offset.data()));
}

// What a TIFF directory (a file's first, or a photo's EXIF block) says about colours: the profile
// embedded in it, or Adobe RGB as EXIF names it, with no profile, in the colour space field of its
// EXIF directory ("uncalibrated") and the index of its interoperability directory ("R03").
ColourTag ColourTagOf(const PictureFileReader& read, std::uint64_t base,
                      const TiffDirectory& directory) {
  constexpr std::uint16_t kByte = 1, kAscii = 2, kShort = 3, kUndefined = 7;
  constexpr std::uint16_t kUncalibrated = 0xFFFF;
  ColourTag tag;
  if (const auto& profile = directory.colourFields[kIccProfile];
      profile && (profile->type == kUndefined || profile->type == kByte)) {
    tag.profile.push_back({profile->at, profile->count});
    return tag;
  }
  const std::optional<TiffDirectory> exif = SubDirectory(read, base, directory, kExifDirectory);
  if (!exif) return tag;
  const auto& space = exif->colourFields[kColourSpace];
  std::array<std::uint8_t, 2> spaceValue{};
  if (!space || space->type != kShort || !ReadExactly(read, space->at, spaceValue) ||
      exif->U16(spaceValue.data()) != kUncalibrated) {
    return tag;
  }
  const std::optional<TiffDirectory> interoperability =
      SubDirectory(read, base, *exif, kInteroperabilityDirectory);
  if (!interoperability) return tag;
  const auto& index = interoperability->colourFields[kInteroperabilityIndex];
  std::array<std::uint8_t, 3> indexValue{};
  tag.adobeRgbByExif = index && index->type == kAscii && index->count >= indexValue.size() &&
                       ReadExactly(read, index->at, indexValue) && StartsWith(indexValue, "R03"sv);
  return tag;
}

// The orientation a directory gives; a missing or unknown value shows the stored rows.
Orientation OrientationOf(const std::optional<TiffDirectory>& directory) {
  const std::uint32_t value = directory ? directory->Value(kOrientation, 1) : 1;
  return value >= 1 && value <= 8 ? static_cast<Orientation>(value) : Orientation::Normal;
}

// How a TIFF's pixels are stored: in strips of whole rows, or in tiles, a set of either for each
// sample where the samples lie in planes of their own.
struct TiffPieces {
  bool tiled;
  std::uint64_t count;
  // The pixels a decoder decodes: tiles cover the picture whole, so the last ones reach past it.
  std::uint64_t coveredPixels;
};

// Nothing where the pieces cannot hold the picture: a tile or strip of no size, or fewer pieces
// than the picture needs.
std::optional<TiffPieces> PiecesOf(const TiffDirectory& directory) {
  const std::uint64_t width = directory.Value(kWidth, 0), height = directory.Value(kLength, 0);
  TiffPieces pieces{directory.fields[kTileWidth] || directory.fields[kTileLength], 0, 0};
  std::uint64_t coveredWidth = width, coveredHeight = height;
  if (pieces.tiled) {
    const std::uint64_t tileWidth = directory.Value(kTileWidth, 0);
    const std::uint64_t tileLength = directory.Value(kTileLength, 0);
    if (tileWidth == 0 || tileLength == 0) return std::nullopt;
    const std::uint64_t across = CeilDiv(width, tileWidth), down = CeilDiv(height, tileLength);
    pieces.count = across * down;
    coveredWidth = across * tileWidth;
    coveredHeight = down * tileLength;
  } else {
    const std::uint64_t rows = directory.Value(kRowsPerStrip, UINT32_MAX);
    if (rows == 0) return std::nullopt;
    pieces.count = CeilDiv(height, rows);
  }
  // A side beyond the budget is beyond it however it is multiplied, and the product stays small.
  pieces.coveredPixels =
      std::min(coveredWidth, kMaxDecodedBytes + 1) * std::min(coveredHeight, kMaxDecodedBytes + 1);
  constexpr std::uint32_t kSeparatePlanes = 2;
  if (directory.Value(kPlanarConfiguration, 1) == kSeparatePlanes) {
    pieces.count *= directory.Value(kSamplesPerPixel, 1);
  }
  const std::optional<TiffValues>& offsets =
      directory.fields[pieces.tiled ? kTileOffsets : kStripOffsets];
  const std::optional<TiffValues>& counts =
      directory.fields[pieces.tiled ? kTileByteCounts : kStripByteCounts];
  if (!offsets || offsets->count < pieces.count || (counts && counts->count < pieces.count)) {
    return std::nullopt;
  }
  return pieces;
}

// The farthest byte of the file the pieces reach, or nothing where their offsets or byte counts
// lie outside it. A decoder that finds no byte counts works them out.
std::optional<std::uint64_t> EndOfPieces(const PictureFileReader& read,
                                         const TiffDirectory& directory, const TiffPieces& pieces) {
  const TiffValues& offsets = *directory.fields[pieces.tiled ? kTileOffsets : kStripOffsets];
  const std::optional<TiffValues>& counts =
      directory.fields[pieces.tiled ? kTileByteCounts : kStripByteCounts];
  std::uint64_t end = 0;
  for (std::uint64_t piece = 0; piece < pieces.count; ++piece) {
    const std::optional<std::uint32_t> offset = directory.ValueAt(read, offsets, piece);
    const std::optional<std::uint32_t> bytes = counts ? directory.ValueAt(read, *counts, piece) : 0;
    if (!offset || !bytes) return std::nullopt;
    end = std::max(end, std::uint64_t{*offset} + *bytes);
  }
  return end;
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

// The scans behind a frame header at `at`, counted up to the end of the picture or to one past
// the most a decoder is let make of `pixels`; nothing where more segments follow than any encoder
// writes.
std::optional<std::uint64_t> CountJpegScans(const PictureFileReader& read, std::uint64_t at,
                                            std::uint64_t pixels) {
  const std::uint64_t maxScans = kMaxJpegScanPixels / std::max<std::uint64_t>(pixels, 1);
  Cursor cursor(read, at);
  std::uint64_t scans = 0;
  for (int segment = 0; segment < kMaxJpegSegments; ++segment) {
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

std::optional<PictureHeader> ReadJpeg(const PictureFileReader& read) {
  std::uint64_t at = 2;  // behind the start-of-image marker
  bool exifRead = false;
  Orientation orientation = Orientation::Normal;
  bool adobeRgbByExif = false;
  std::vector<IccChunk> profileChunks;
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
      if (!header) return std::nullopt;
      const std::optional<std::uint64_t> scans =
          CountJpegScans(read, at + 2 + length, PixelCount(header->frame));
      if (!scans) return std::nullopt;
      StandUpright(*header, orientation);
      header->passes = std::max<std::uint64_t>(*scans, 1);
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

// A GIF decoder may read every frame at once, so all of them count, and the extensions it keeps;
// the first frame is placed on the logical screen. A frame with no colour table to use has no
// colours at all: decoders differ in what they make of it, and some read through the table that
// is not there.
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
  std::uint64_t extensionBytes = 0;
  constexpr std::uint64_t kFrameBookkeeping = 256;  // a decoder's record of each frame
  // One frame past the most a decoder is let make refuses the picture; the rest need no reading.
  while (!header || header->passes <= kMaxGifFrames) {
    const std::optional<std::uint8_t> introducer = cursor.Byte();
    if (!introducer || *introducer == 0x3B) break;  // the trailer, or the file cut short
    if (*introducer == 0x21) {                      // an extension: its label, then sub-blocks
      const std::optional<std::uint8_t> label = cursor.Byte();
      const std::optional<std::uint64_t> bytes = label ? cursor.SubBlocks() : std::nullopt;
      if (!bytes) break;
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
    const std::optional<std::uint64_t> coded = cursor.SubBlocks();
    // Fewer coded bytes than its pixels need at LZW's best: a frame a decoder would still
    // allocate whole before finding it short.
    if (!coded || *coded * 8 * kLzwValuesPerCode < PixelCount(frame) * kLzwCodeBits) {
      return std::nullopt;
    }
  }
  if (header) header->decodedBytes += extensionBytes;
  return header;
}

std::optional<PictureHeader> ReadTiff(const PictureFileReader& read) {
  const std::optional<TiffDirectory> directory = ReadTiffDirectory(read, 0);
  if (!directory) return std::nullopt;
  const TiffDirectory& d = *directory;
  if (!d.fields[kWidth] || !d.fields[kLength]) return std::nullopt;
  const std::uint64_t bits =
      std::uint64_t{d.Value(kBitsPerSample, 1)} * d.Value(kSamplesPerPixel, 1);
  if (bits == 0 || bits > 128) return std::nullopt;
  const std::uint64_t raw =
      CeilDiv(std::uint64_t{d.Value(kWidth, 0)} * bits, 8) * d.Value(kLength, 0);
  const auto least = [&]() -> std::uint64_t {
    switch (d.Value(kCompression, 1)) {
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
      Frame(PictureFormat::Tiff, d.Value(kWidth, 0), d.Value(kLength, 0), bits, least());
  const std::optional<TiffPieces> pieces = PiecesOf(d);
  if (!tiff || !pieces) return std::nullopt;
  StandUpright(*tiff, OrientationOf(directory));
  tiff->colour = ColourTagOf(read, 0, d);
  tiff->decodedBytes = pieces->coveredPixels * DecodedBytesPerPixel(bits) + d.outsideBytes;
  // Where the picture is refused for its cost alone, its pieces need not be walked.
  if (tiff->decodedBytes > kMaxDecodedBytes) return tiff;
  const std::optional<std::uint64_t> end = EndOfPieces(read, d, *pieces);
  if (!end) return std::nullopt;
  tiff->leastFileBytes = std::max({tiff->leastFileBytes, d.outsideEnd, *end});
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
  // The entry's own decoder holds its picture while the icon's makes a copy of it, as 32-bit BGRA
  // with the mask applied.
  if (StartsWith(image, "\x89PNG\r\n\x1a\n"sv)) {
    std::optional<PictureHeader> png = ReadPng(read, PictureFormat::Ico, at);
    if (png) png->decodedBytes += PixelCount(png->frame) * 4;
    return png;
  }
  if (Le32(image.data()) < 40) return std::nullopt;
  const auto width = static_cast<std::int32_t>(Le32(&image[4]));
  const auto height = static_cast<std::int32_t>(Le32(&image[8]));
  if (width < 0 || height < 0) return std::nullopt;
  const std::uint64_t stored = DibBytes(width, height / 2, Le16(&image[14]));
  std::optional<PictureHeader> bitmap =
      Frame(PictureFormat::Ico, width, height / 2, 32, at + stored);
  if (bitmap) bitmap->decodedBytes += stored;
  return bitmap;
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
      return ReadPng(read, PictureFormat::Png, 0);
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

PictureFileReader ReaderOf(std::span<const std::uint8_t> file) {
  return [file](std::uint64_t offset, std::span<std::uint8_t> into) {
    if (offset >= file.size()) return std::size_t{0};
    const std::span<const std::uint8_t> rest = file.subspan(static_cast<std::size_t>(offset));
    const std::size_t count = std::min(into.size(), rest.size());
    std::copy_n(rest.begin(), count, into.begin());
    return count;
  };
}

std::optional<PictureHeader> ReadPictureHeader(std::span<const std::uint8_t> file,
                                               int pixelsPerInch) {
  return ReadPictureHeader(ReaderOf(file), pixelsPerInch);
}

}  // namespace platform
