#include <algorithm>
#include <climits>

#include "platform/pictures/header_reading.h"
#include "platform/pictures/picture_budget.h"
#include "platform/pictures/tiff_directory.h"

namespace platform {
namespace {

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
  const std::uint64_t width = directory.Value(tiff::kWidth, 0),
                      height = directory.Value(tiff::kLength, 0);
  TiffPieces pieces{directory.fields[tiff::kTileWidth] || directory.fields[tiff::kTileLength], 0,
                    0};
  std::uint64_t coveredWidth = width, coveredHeight = height;
  if (pieces.tiled) {
    const std::uint64_t tileWidth = directory.Value(tiff::kTileWidth, 0);
    const std::uint64_t tileLength = directory.Value(tiff::kTileLength, 0);
    if (tileWidth == 0 || tileLength == 0) return std::nullopt;
    const std::uint64_t across = CeilDiv(width, tileWidth), down = CeilDiv(height, tileLength);
    pieces.count = across * down;
    coveredWidth = across * tileWidth;
    coveredHeight = down * tileLength;
  } else {
    const std::uint64_t rows = directory.Value(tiff::kRowsPerStrip, UINT32_MAX);
    if (rows == 0) return std::nullopt;
    pieces.count = CeilDiv(height, rows);
  }
  // A side beyond the budget is beyond it however it is multiplied, and the product stays small.
  pieces.coveredPixels =
      std::min(coveredWidth, kMaxDecodedBytes + 1) * std::min(coveredHeight, kMaxDecodedBytes + 1);
  constexpr std::uint32_t kSeparatePlanes = 2;
  if (directory.Value(tiff::kPlanarConfiguration, 1) == kSeparatePlanes) {
    pieces.count *= directory.Value(tiff::kSamplesPerPixel, 1);
  }
  const std::optional<TiffValues>& offsets =
      directory.fields[pieces.tiled ? tiff::kTileOffsets : tiff::kStripOffsets];
  const std::optional<TiffValues>& counts =
      directory.fields[pieces.tiled ? tiff::kTileByteCounts : tiff::kStripByteCounts];
  if (!offsets || offsets->count < pieces.count || (counts && counts->count < pieces.count)) {
    return std::nullopt;
  }
  return pieces;
}

// The farthest byte of the file the pieces reach, or nothing where their offsets or byte counts
// lie outside it. A decoder that finds no byte counts works them out.
std::optional<std::uint64_t> EndOfPieces(const PictureFileReader& read,
                                         const TiffDirectory& directory, const TiffPieces& pieces) {
  const TiffValues& offsets =
      *directory.fields[pieces.tiled ? tiff::kTileOffsets : tiff::kStripOffsets];
  const std::optional<TiffValues>& counts =
      directory.fields[pieces.tiled ? tiff::kTileByteCounts : tiff::kStripByteCounts];
  std::uint64_t end = 0;
  for (std::uint64_t piece = 0; piece < pieces.count; ++piece) {
    const std::optional<std::uint32_t> offset = directory.ValueAt(read, offsets, piece);
    const std::optional<std::uint32_t> bytes = counts ? directory.ValueAt(read, *counts, piece) : 0;
    if (!offset || !bytes) return std::nullopt;
    end = std::max(end, std::uint64_t{*offset} + *bytes);
  }
  return end;
}

// The directories chained behind the one whose offset to the next lies at `nextAt`, counted up
// to `most`: a decoder walks them all to count the pages. The count ends where the chain or the
// file does.
std::uint64_t FollowingDirectories(const PictureFileReader& read, const TiffDirectory& directory,
                                   std::uint64_t most) {
  std::uint64_t count = 0;
  for (std::uint64_t nextAt = directory.nextAt; count < most; ++count) {
    std::array<std::uint8_t, 4> offset{};
    std::array<std::uint8_t, 2> entries{};
    if (!ReadExactly(read, nextAt, offset)) break;
    const std::uint64_t at = directory.U32(offset.data());
    if (at == 0 || !ReadExactly(read, at, entries)) break;
    nextAt = at + entries.size() + std::uint64_t{directory.U16(entries.data())} * 12;
  }
  return count;
}

}  // namespace

// A TIFF's first directory: its picture's size and samples, how its pixels are stored, and the
// tags a decoder reads into memory; and how many directories follow it.
std::optional<PictureHeader> ReadTiff(const PictureFileReader& read) {
  const std::optional<TiffDirectory> directory = ReadTiffDirectory(read, 0);
  if (!directory) return std::nullopt;
  const TiffDirectory& d = *directory;
  if (!d.fields[tiff::kWidth] || !d.fields[tiff::kLength]) return std::nullopt;
  const std::uint64_t bits =
      std::uint64_t{d.Value(tiff::kBitsPerSample, 1)} * d.Value(tiff::kSamplesPerPixel, 1);
  if (bits == 0 || bits > 128) return std::nullopt;
  const std::uint64_t raw =
      CeilDiv(std::uint64_t{d.Value(tiff::kWidth, 0)} * bits, 8) * d.Value(tiff::kLength, 0);
  const auto least = [&]() -> std::uint64_t {
    switch (d.Value(tiff::kCompression, 1)) {
      case 1:  // none
        return raw;
      case 5:  // LZW
        return LeastLzwBytes(raw);
      case 8:  // deflate
      case 32946:
        return LeastDeflatedBytes(raw);
      case 32773:  // PackBits
        return LeastPackBitsBytes(raw);
      default:
        return 0;
    }
  };
  std::optional<PictureHeader> tiff = Frame(PictureFormat::Tiff, d.Value(tiff::kWidth, 0),
                                            d.Value(tiff::kLength, 0), bits, least());
  const std::optional<TiffPieces> pieces = PiecesOf(d);
  if (!tiff || !pieces) return std::nullopt;
  StandUpright(*tiff, OrientationOf(directory));
  tiff->colour = ColourTagOf(read, 0, d);
  // Its tags, itself, and the pages after it.
  tiff->parts = d.entries + 1;
  if (tiff->parts <= kMaxTiffParts) {
    tiff->parts += FollowingDirectories(read, d, kMaxTiffParts + 1 - tiff->parts);
  }
  tiff->decodedBytes = pieces->coveredPixels * DecodedBytesPerPixel(bits) + d.outsideBytes;
  // Where the picture is refused for its cost alone, its pieces need not be walked.
  if (tiff->decodedBytes > kMaxDecodedBytes) return tiff;
  const std::optional<std::uint64_t> end = EndOfPieces(read, d, *pieces);
  if (!end) return std::nullopt;
  tiff->leastFileBytes = std::max({tiff->leastFileBytes, d.outsideEnd, *end});
  return tiff;
}

}  // namespace platform
