#pragma once
// Colour profiles: the one a picture file embeds, read whole and checked before the system's
// colour engine sees it, and the two the show knows without a file: sRGB, the colours it shows
// in, and Adobe RGB, which cameras name in EXIF instead of embedding it.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/pictures/picture_header.h"

namespace platform {

// A profile larger than this is ignored: matrix profiles take a few hundred bytes, those with
// lookup tables rarely a megabyte.
inline constexpr std::uint64_t kMaxProfileBytes = 4 << 20;

// One APP2 piece of a JPEG's profile: its number (from 1) and the count of all the pieces.
struct IccChunk {
  std::uint8_t number;
  std::uint8_t count;
  FileSpan span;
};

// A JPEG's profile from its pieces, in the order of their numbers; nothing unless they are
// numbered 1 to their count, once each, and all agree on the count.
std::vector<FileSpan> ProfileOfChunks(std::vector<IccChunk> chunks);

// Whether `profile` holds an ICC profile of RGB colours, whole, as colour engines read one: a
// declared size of at most the bytes given (files pad their profiles), its signature, RGB towards
// XYZ or Lab, and a tag table whose every tag lies inside the declared size.
bool IsRgbProfile(std::span<const std::uint8_t> profile);
// The declared bytes of `bytes` where they hold an RGB profile; nothing otherwise.
std::optional<std::vector<std::uint8_t>> RgbProfile(std::vector<std::uint8_t> bytes);

// The profile the picture's pixels are in: the embedded one, or Adobe RGB where EXIF names it.
// Nothing for pixels in sRGB, and wherever the tag fails: an embedded profile cut short, larger
// than kMaxProfileBytes, deflated badly, or not RGB. A padded profile comes without its padding.
std::optional<std::vector<std::uint8_t>> ProfileOf(const PictureFileReader& read,
                                                   const ColourTag& tag);

std::vector<std::uint8_t> SrgbProfile();
std::vector<std::uint8_t> AdobeRgbProfile();

}  // namespace platform
