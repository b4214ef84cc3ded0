#include <zlib.h>

#include <algorithm>
#include <array>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/file_cursor.h"
#include "platform/pictures/header_reading.h"
#include "platform/pictures/inflate.h"
#include "platform/pictures/picture_budget.h"

namespace platform {

using namespace std::string_view_literals;
namespace {

// What a decoder keeps of a PNG's ancillary chunks, read through one buffer and inflated by one
// inflate state for all of them.
class AncillaryChunks {
 public:
  explicit AncillaryChunks(const PictureFileReader& read) : cursor_(read, 0) {}

  // What a decoder keeps of the chunk of `type` whose data runs from `dataAt` to `dataEnd`:
  // its data, and of one that is deflated (compressed text, the colour profile) the bytes before
  // its zlib stream and what the stream inflates to, counted up to `limit`. The stream lies behind
  // the keyword (ending in a zero) and the compression method, in an iTXt behind its compression
  // flag too, then a language tag and a translated keyword, each ending in a zero. A chunk whose
  // fields run past its end is no text a decoder inflates. The colour profile's stream is noted
  // in `colour`, the first one only.
  std::uint64_t KeptBytes(std::span<const std::uint8_t> type, std::uint64_t dataAt,
                          std::uint64_t dataEnd, std::uint64_t limit, ColourTag& colour) {
    const std::uint64_t length = dataEnd - dataAt;
    const bool itxt = StartsWith(type, "iTXt"sv), iccp = StartsWith(type, "iCCP"sv);
    if (!itxt && !iccp && !StartsWith(type, "zTXt"sv)) return length;
    cursor_.MoveTo(dataAt);
    // A keyword of 1 to 79 bytes, as the profile's name must be.
    if (!cursor_.Find(0, dataEnd)) return length;
    const std::uint64_t keywordBytes = cursor_.at() - 1 - dataAt;
    if (itxt) {
      const std::optional<std::uint8_t> compressed = cursor_.Byte();
      if (!compressed || *compressed == 0) return length;
      cursor_.Skip(1);
      if (!cursor_.Find(0, dataEnd) || !cursor_.Find(0, dataEnd)) return length;
    } else {
      const std::optional<std::uint8_t> method = cursor_.Byte();
      if (iccp && method == 0 && keywordBytes > 0 && keywordBytes < 80 && cursor_.at() < dataEnd &&
          colour.profile.empty()) {
        colour.profile.push_back({cursor_.at(), dataEnd - cursor_.at()});
        colour.deflated = true;
      }
    }
    if (cursor_.at() > dataEnd) return length;
    return (cursor_.at() - dataAt) + InflatedByteCount(dataEnd, limit);
  }

 private:
  // The bytes the zlib stream from here to `end` inflates to, counted and not kept. The count
  // stops as soon as it passes `limit`, so a stream crafted to inflate to gigabytes costs no more
  // than the budget it overruns; a stream broken or cut short counts what came out of it before.
  std::uint64_t InflatedByteCount(std::uint64_t end, std::uint64_t limit) {
    if (!inflater_) inflater_.emplace();
    std::uint64_t inflated = 0;
    inflater_->Inflate([&] { return cursor_.Piece(end); },
                       [&](std::span<const std::uint8_t> out) {
                         inflated += out.size();
                         return inflated <= limit;
                       });
    return inflated;
  }

  Cursor cursor_;
  std::optional<Inflater> inflater_;
};

}  // namespace

// A PNG at `at` of the file: its header, which must carry its right checksum since the budget
// goes by it, then every chunk up to the end. A decoder keeps the data of every ancillary chunk,
// a deflated one (compressed text, the colour profile) inflated, so each counts what it inflates
// to, and each counts as a part. The walk reads each chunk's head, and the data of no chunk but a
// deflated one, and stops where the budget is overrun.
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
      Frame(format, width, height, depth == 16 ? 64 : 32, at + LeastDeflatedBytes(rows));
  if (!png) return std::nullopt;
  constexpr std::uint32_t kMaxChunkBytes = 0x7FFFFFFF;
  AncillaryChunks ancillary(read);
  for (std::uint64_t chunk = at + head.size();;) {
    std::array<std::uint8_t, 8> chunkHead{};          // length, type
    if (!ReadExactly(read, chunk, chunkHead)) break;  // the decoder finds the file cut short
    const std::uint32_t length = Be32(chunkHead.data());
    if (length > kMaxChunkBytes) return std::nullopt;
    const std::span<const std::uint8_t> type = std::span(chunkHead).subspan(4);
    const std::uint64_t dataAt = chunk + chunkHead.size();
    chunk = dataAt + length + 4;  // and the checksum
    png->leastFileBytes = std::max(png->leastFileBytes, chunk);
    if (StartsWith(type, "IEND"sv)) break;
    if ((type[0] & 0x20) != 0) {
      png->decodedBytes += ancillary.KeptBytes(type, dataAt, dataAt + length,
                                               BudgetLeft(png->decodedBytes), png->colour);
      // Refused for its cost alone: the rest of its chunks need not be walked.
      if (png->decodedBytes > kMaxDecodedBytes || ++png->parts > kMaxPngAncillaryChunks) break;
    }
  }
  return png;
}

}  // namespace platform
