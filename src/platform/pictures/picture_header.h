#pragma once
// What a picture file says about itself, read before any decoder runs: the format from the magic
// bytes, the size the decoder's first frame will have, and what decoding it will cost. Under
// Wine, creating a decoder already decodes every pixel, so a picture that costs too much must be
// refused from these figures alone.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "platform/pictures/pixels.h"

namespace platform {

enum class PictureFormat { Bmp, Gif, Jpeg, Png, Tiff, Ico, Dds, Emf, Wmf };

// A run of a file's bytes.
struct FileSpan {
  std::uint64_t at = 0;
  std::uint64_t bytes = 0;
  friend bool operator==(const FileSpan&, const FileSpan&) = default;
};

// What a file says about the colours its pixels are in; an untagged picture is sRGB.
struct ColourTag {
  // The embedded ICC profile in its pieces, in order (a JPEG's chunks); empty when there is none.
  std::vector<FileSpan> profile;
  // The pieces hold the profile deflated in a zlib stream (a PNG's).
  bool deflated = false;
  // EXIF names Adobe RGB: its colour space "uncalibrated", its interoperability index "R03".
  bool adobeRgbByExif = false;
};

struct PictureHeader {
  PictureFormat format;
  // The size drawn unscaled: a GIF's logical screen (grown to hold its first frame), a
  // metafile's size on paper in screen pixels, otherwise the frame's own.
  PixelSize natural;
  // The first frame, as the decoder must report it, and where it lies on the natural size.
  PixelSize frame;
  PixelPoint frameAt;
  // What the decoder holds while it decodes, in its own pixel format: a 16-bit RGBA PNG costs 8
  // bytes a pixel, a GIF every one of its frames, an icon its entry's picture and its own copy.
  // Metadata it keeps counts too (a PNG's text chunks and profile as large as they inflate to,
  // counted no further than past the budget, a TIFF's tag values). A metafile is drawn straight at
  // the size it is shown: it holds only its records, `decodedBytes` of the file's start.
  std::uint64_t decodedBytes = 0;
  // The smallest file that can hold those pixels at the format's best compression, and every
  // chunk, tag value, strip and tile the header points to.
  std::uint64_t leastFileBytes = 0;
  // How the decoded rows are shown upright (a photo's EXIF orientation); `natural` is upright.
  Orientation orientation = Orientation::Normal;
  // How often the decoder goes over the picture: a GIF's frames, a JPEG's scans. Each pass costs
  // time of its own, however few bytes it takes.
  std::uint64_t passes = 1;
  // The parts the decoder handles one by one, each costing it time however few bytes it takes
  // (see MaxParts): a PNG's ancillary chunks, a GIF's extensions and their sub-blocks, a JPEG's
  // segments, a TIFF's directories and the tags of its first, an icon's entries, a metafile's
  // records. Counted up to one past the most a format may have.
  std::uint64_t parts = 0;
  ColourTag colour = {};
};

// Reads up to `into.size()` bytes at `offset` of a file; returns how many it read (fewer only
// where the file ends).
using PictureFileReader =
    std::function<std::size_t(std::uint64_t offset, std::span<std::uint8_t> into)>;
// The reader of a file held in memory, which must outlive it.
PictureFileReader ReaderOf(std::span<const std::uint8_t> file);

// How many of a file's first bytes tell its format: an EMF's signature lies at byte 40.
inline constexpr std::size_t kSignatureBytes = 44;
// The screen pixels an inch of a metafile takes, unless the screen says otherwise.
inline constexpr int kDefaultPixelsPerInch = 96;
// The format whose signature the file starts with, among those whose headers we read: every
// format Wine's WIC decodes.
std::optional<PictureFormat> FormatOf(std::span<const std::uint8_t> start);

// The header of a recognised format, or nothing when the file is no picture we parse, its
// header is cut short or contradicts itself. The file is read piece by piece where the format
// needs it: a TIFF's first directory (libtiff writes it after the pixels), a JPEG frame header
// behind large metadata segments, every frame of a GIF. A metafile's size on paper is taken at
// `pixelsPerInch`, the screen's.
std::optional<PictureHeader> ReadPictureHeader(const PictureFileReader& read,
                                               int pixelsPerInch = kDefaultPixelsPerInch);
// The same over bytes in memory.
std::optional<PictureHeader> ReadPictureHeader(std::span<const std::uint8_t> file,
                                               int pixelsPerInch = kDefaultPixelsPerInch);

}  // namespace platform
