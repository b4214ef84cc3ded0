#include <cstdlib>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/header_reading.h"
#include "platform/pictures/picture_budget.h"

namespace platform {

// A bitmap: its information header (or the old core header) and how its rows are stored.
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

}  // namespace platform
