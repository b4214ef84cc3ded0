#include <zlib.h>

#include <algorithm>
#include <array>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/file_cursor.h"
#include "platform/pictures/header_reading.h"
#include "platform/pictures/picture_budget.h"

namespace platform {
namespace {

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

}  // namespace

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
      Frame(format, width, height, depth == 16 ? 64 : 32, at + LeastDeflatedBytes(rows));
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
          AncillaryBytes(read, type, dataAt, length, BudgetLeft(png->decodedBytes));
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

}  // namespace platform
