#include <array>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/header_reading.h"

namespace platform {

using namespace std::string_view_literals;

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

}  // namespace platform
