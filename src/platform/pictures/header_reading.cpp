#include "platform/pictures/header_reading.h"

#include <algorithm>
#include <climits>

#include "platform/pictures/orientation.h"
#include "platform/pictures/picture_budget.h"

namespace platform {

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view magic) {
  return bytes.size() >= magic.size() &&
         std::equal(magic.begin(), magic.end(), bytes.begin(),
                    [](char m, std::uint8_t b) { return static_cast<std::uint8_t>(m) == b; });
}

bool ReadExactly(const PictureFileReader& read, std::uint64_t offset,
                 std::span<std::uint8_t> into) {
  return read(offset, into) == into.size();
}

std::optional<PictureHeader> Frame(PictureFormat format, std::int64_t width, std::int64_t height,
                                   std::uint64_t bitsPerPixel, std::uint64_t leastFileBytes) {
  if (width < 0 || height < 0 || width > INT_MAX || height > INT_MAX) return std::nullopt;
  const PixelSize size{static_cast<int>(width), static_cast<int>(height)};
  return PictureHeader{
      format,        size, size, {}, PixelCount(size) * DecodedBytesPerPixel(bitsPerPixel),
      leastFileBytes};
}

void StandUpright(PictureHeader& header, Orientation orientation) {
  header.orientation = orientation;
  header.natural = Upright(header.frame, orientation);
}

}  // namespace platform
