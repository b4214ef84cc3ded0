#pragma once
// What a picture file says about itself in its first bytes, read before any decoder runs: the
// format from the magic bytes and the declared width and height.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "platform/pixels.h"

namespace platform {

enum class PictureFormat { Bmp, Gif, Jpeg, Png, Tiff, Ico };

struct PictureHeader {
  PictureFormat format;
  PixelSize declared;
};

// How many bytes of the file's start ReadPictureHeader may need at most.
inline constexpr std::size_t kPictureHeaderProbeBytes = std::size_t{64} * 1024;
// Pictures that declare more pixels than this are refused before decoding.
inline constexpr std::int64_t kMaxPicturePixels = 250'000'000;

// The header of a recognised format, or nothing when the bytes are no picture we decode or the
// header is cut short.
std::optional<PictureHeader> ReadPictureHeader(std::span<const std::uint8_t> start);

// Reads up to `into.size()` bytes at `offset` of a file; returns how many it read (fewer only
// where the file ends).
using PictureFileReader =
    std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> into)>;
// The same for a whole file, read piece by piece, so that a header that lies beyond the first
// kPictureHeaderProbeBytes is found too: a TIFF's first directory (libtiff writes it after the
// pixels), a JPEG frame header behind large metadata segments.
std::optional<PictureHeader> ReadPictureHeader(const PictureFileReader& read);

// Whether a declared size may be decoded: both sides positive, at most kMaxPicturePixels.
bool IsPlausibleSize(PixelSize declared);

}  // namespace platform
