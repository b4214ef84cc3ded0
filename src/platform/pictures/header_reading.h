#pragma once
// What every format's header parser shares: reading the file, and the header of one frame.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "platform/pictures/picture_header.h"

namespace platform {

// The longest fixed-place header any parser is handed: an EMF's up to the file size it declares.
inline constexpr std::size_t kHeadBytes = 52;

bool StartsWith(std::span<const std::uint8_t> bytes, std::string_view magic);
bool ReadExactly(const PictureFileReader& read, std::uint64_t offset, std::span<std::uint8_t> into);
inline std::uint64_t CeilDiv(std::uint64_t a, std::uint64_t b) { return (a + b - 1) / b; }

// A frame of one decoder, which is also the natural size. A side that does not fit PixelSize is
// no header we can trust.
std::optional<PictureHeader> Frame(PictureFormat format, std::int64_t width, std::int64_t height,
                                   std::uint64_t bitsPerPixel, std::uint64_t leastFileBytes);
// Shows the frame upright: the natural size is the turned frame's.
void StandUpright(PictureHeader& header, Orientation orientation);

// Each format's parser: what the file declares, or nothing where its header is cut short or
// contradicts itself. `head` holds up to kHeadBytes of the file's start.
std::optional<PictureHeader> ReadBmp(std::span<const std::uint8_t> head);
std::optional<PictureHeader> ReadGif(const PictureFileReader& read);
// A PNG at `at` of the file, which an icon may hold, as `format`.
std::optional<PictureHeader> ReadPng(const PictureFileReader& read, PictureFormat format,
                                     std::uint64_t at);
std::optional<PictureHeader> ReadJpeg(const PictureFileReader& read);
std::optional<PictureHeader> ReadTiff(const PictureFileReader& read);
std::optional<PictureHeader> ReadIco(const PictureFileReader& read,
                                     std::span<const std::uint8_t> head);
std::optional<PictureHeader> ReadDds(const PictureFileReader& read);
std::optional<PictureHeader> ReadEmf(const PictureFileReader& read,
                                     std::span<const std::uint8_t> head, int pixelsPerInch);
std::optional<PictureHeader> ReadWmf(const PictureFileReader& read,
                                     std::span<const std::uint8_t> head, int pixelsPerInch);

}  // namespace platform
