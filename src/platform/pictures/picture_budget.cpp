#include "platform/pictures/picture_budget.h"

#include <algorithm>
#include <array>

#include "platform/pictures/header_reading.h"
#include "platform/pictures/inflate.h"

namespace platform {
namespace {

constexpr std::uint64_t kDeflateRatio = 1032;
constexpr std::uint64_t kLzwValuesPerCode = 4096, kLzwCodeBits = 12;
constexpr std::uint64_t kPackBitsRatio = 64;

}  // namespace

std::uint64_t LeastDeflatedBytes(std::uint64_t bytes) { return CeilDiv(bytes, kDeflateRatio); }

std::uint64_t LeastLzwBytes(std::uint64_t values) {
  return CeilDiv(values * kLzwCodeBits, 8 * kLzwValuesPerCode);
}

std::uint64_t LeastPackBitsBytes(std::uint64_t bytes) { return CeilDiv(bytes, kPackBitsRatio); }

std::uint64_t DibBytes(std::int64_t width, std::int64_t height, std::uint64_t bits) {
  return CeilDiv(static_cast<std::uint64_t>(width) * bits, 32) * 4 *
         static_cast<std::uint64_t>(height);
}

std::uint64_t BudgetLeft(std::uint64_t decodedBytes) {
  return kMaxDecodedBytes - std::min(decodedBytes, kMaxDecodedBytes);
}

std::uint64_t DecodedBytesPerPixel(std::uint64_t bits) {
  return std::max<std::uint64_t>(1, (bits + 7) / 8);
}

std::uint64_t InflatedBytes(const PictureFileReader& read, FileSpan stream, std::uint64_t limit) {
  std::array<std::uint8_t, std::size_t{16} * 1024> piece{};
  std::uint64_t inflated = 0;
  Inflate(
      [&]() -> std::span<const std::uint8_t> {
        const std::size_t got =
            stream.bytes == 0
                ? 0
                : read(stream.at, std::span(piece).first(static_cast<std::size_t>(
                                      std::min<std::uint64_t>(stream.bytes, piece.size()))));
        stream.at += got;
        stream.bytes -= got;
        return std::span(piece).first(got);
      },
      [&](std::span<const std::uint8_t> out) {
        inflated += out.size();
        return inflated <= limit;
      });
  return inflated;
}

bool IsAffordable(const PictureHeader& header, std::uint64_t fileBytes) {
  // Formats other than GIF and JPEG decode in one pass, which the budget's pixels afford.
  const bool passesAffordable =
      header.format == PictureFormat::Gif
          ? header.passes <= kMaxGifFrames
          : header.passes * PixelCount(header.frame) <= kMaxJpegScanPixels;
  return header.frame.width > 0 && header.frame.height > 0 &&
         header.decodedBytes <= kMaxDecodedBytes &&
         PixelCount(header.natural) <= kMaxDecodedBytes && passesAffordable &&
         fileBytes >= header.leastFileBytes;
}

bool IsAffordableFrame(PixelSize frame, unsigned bitsPerPixel) {
  return frame.width > 0 && frame.height > 0 &&
         PixelCount(frame) * DecodedBytesPerPixel(bitsPerPixel) <= kMaxDecodedBytes;
}

}  // namespace platform
