#include <array>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/file_cursor.h"
#include "platform/pictures/header_reading.h"
#include "platform/pictures/picture_budget.h"

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

// The records a player plays, from `at` to `end` of the file, counted up to one past the most a
// metafile may have: each starts with its size, in bytes (`wordBytes` 1) or in 16-bit words
// (2), at `sizeAt` of the record, as a 32-bit number. A size too small for the record's own head
// leaves no way to the next one, and a player stops there, as it does at the end-of-file record
// (`endType`, a 32-bit or 16-bit number at `typeAt`).
std::uint64_t CountRecords(const PictureFileReader& read, std::uint64_t at, std::uint64_t end,
                           std::size_t sizeAt, std::size_t typeAt, std::uint64_t wordBytes,
                           std::uint32_t endType) {
  Cursor cursor(read, at);
  std::uint64_t records = 0;
  constexpr std::size_t kHeadBytes = 8;
  while (cursor.at() < end && records <= kMaxMetafileRecords) {
    const std::uint64_t start = cursor.at();
    std::array<std::uint8_t, kHeadBytes> head{};
    if (!cursor.Bytes(head)) break;
    const std::uint64_t bytes = std::uint64_t{Le32(&head[sizeAt])} * wordBytes;
    const std::uint32_t type = typeAt == 0 ? Le32(head.data()) : Le16(&head[typeAt]);
    if (bytes < (typeAt == 0 ? kHeadBytes : 6)) break;
    ++records;
    if (type == endType) break;
    cursor.MoveTo(start + bytes);
  }
  return records;
}

}  // namespace

// An enhanced metafile: its frame in hundredths of a millimetre, and its records, each a part.
std::optional<PictureHeader> ReadEmf(const PictureFileReader& read,
                                     std::span<const std::uint8_t> head, int pixelsPerInch) {
  if (head.size() < kHeadBytes) return std::nullopt;
  const auto at = [&](std::size_t offset) {
    return std::int64_t{static_cast<std::int32_t>(Le32(&head[offset]))};
  };
  constexpr std::int64_t kHimetricPerInch = 2540, kLeastHeaderBytes = 88;
  const std::uint32_t headerBytes = Le32(&head[4]), fileBytes = Le32(&head[48]);
  if (headerBytes < kLeastHeaderBytes || fileBytes < headerBytes) return std::nullopt;
  std::optional<PictureHeader> emf = Metafile(PictureFormat::Emf, at(32) - at(24), at(36) - at(28),
                                              kHimetricPerInch, pixelsPerInch, fileBytes);
  // A record: its type, then its size in bytes; the header is the first.
  constexpr std::uint32_t kEndOfFile = 14;
  if (emf) emf->parts = CountRecords(read, 0, fileBytes, 4, 0, 1, kEndOfFile);
  return emf;
}

// A Windows metafile behind the 22-byte placeable header, whose bounding box is in units of its
// own per inch; the metafile's own header counts its records in 16-bit words, each a part.
std::optional<PictureHeader> ReadWmf(const PictureFileReader& read,
                                     std::span<const std::uint8_t> head, int pixelsPerInch) {
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
  const std::uint64_t fileBytes = kPlaceableBytes + 2 * words;
  std::optional<PictureHeader> wmf = Metafile(PictureFormat::Wmf, at(10) - at(6), at(12) - at(8),
                                              Le16(&head[14]), pixelsPerInch, fileBytes);
  // A record: its size in words, then its function; the end-of-file record's is 0.
  if (wmf) {
    wmf->parts = CountRecords(read, kPlaceableBytes + 2 * kMetaHeaderWords, fileBytes, 0, 4, 2, 0);
  }
  return wmf;
}

}  // namespace platform
