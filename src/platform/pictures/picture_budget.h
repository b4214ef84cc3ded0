#pragma once
// What a picture may cost to decode, judged from its header before any decoder runs: under Wine,
// creating a decoder already decodes every pixel, so a picture that costs too much must be refused
// from the header's figures alone.
#include <chrono>
#include <cstdint>

#include "platform/pictures/picture_header.h"
#include "platform/pictures/pixels.h"

namespace platform {

// What the decoder may hold for one picture. Measured under Wine on a modest machine: a 16-bit
// RGBA PNG at this budget decodes in under a second, a 24-megapixel camera JPEG (72 MB decoded)
// stays well inside, and one stored progressive (whose decoder holds its coefficients too, 144 MB)
// still fits.
inline constexpr std::uint64_t kMaxDecodedBytes = 160ull << 20;
// The passes a decoder may make. Animations rarely run to more than a few hundred frames, each
// cheap. A JPEG's scan goes over every pixel again: encoders write a scan a component, a
// progressive picture in about ten. Under Wine the scans of a 24-megapixel progressive photo
// already take about as long as the budget's costliest picture, so a larger picture may have
// fewer: 100 scans of 4 megapixels, 26 of 16, 15 of 28.
inline constexpr std::uint64_t kMaxGifFrames = 1000;
inline constexpr std::uint64_t kMaxJpegScanPixels = 100ull << 22;

// The parts of a file a decoder handles one by one, however few bytes each takes: it reads,
// allocates and records each, and some decoders search what they recorded again for every new
// one. A file of a million empty parts takes a few megabytes and holds a decoder for seconds to
// minutes, so each format's parts are counted and bounded far above what honest files carry:
// - PNG ancillary chunks (text, profile, time, private chunks): an honest PNG carries tens, an
//   animation two a frame (2001 for a thousand frames). libpng keeps at most 1000 text and
//   unknown chunks by default and drops the rest.
inline constexpr std::uint64_t kMaxPngAncillaryChunks = 4096;
// - GIF extensions and each of their sub-blocks, which decoders keep one by one: a graphic
//   control extension a frame (two parts), a comment or a loop count here and there, XMP's few
//   hundred sub-blocks.
inline constexpr std::uint64_t kMaxGifExtensionParts = 8192;
// - JPEG segments before the frame and after it: encoders write a few dozen (tables, metadata,
//   a scan header each; a progressive picture's ten scans with their tables).
inline constexpr std::uint64_t kMaxJpegSegments = 1024;
// - TIFF directories (pages), each walked when the decoder counts the pages, and the tags of the
//   first, each parsed: a document scan of a few hundred pages, a camera's directory of a few
//   hundred tags.
inline constexpr std::uint64_t kMaxTiffParts = 1024;
// - icon entries: an icon holds a dozen sizes and colour depths.
inline constexpr std::uint64_t kMaxIconEntries = 256;
// - metafile records, each a drawing call when the metafile is played: a detailed drawing (a map,
//   a CAD export) holds tens to a few hundred thousand. Under Wine a million one-pixel records
//   play in about half the time the costliest honest picture takes to decode.
inline constexpr std::uint64_t kMaxMetafileRecords = 1'000'000;
// The longest a metafile may take to draw: half what the costliest honest picture (a JPEG or PNG
// at the budget) takes to decode under Wine, about a second, and four times what a detailed
// drawing of 300 000 records takes. The area a record fills depends on the transforms before it,
// which only drawing it tells, so this bound is kept while it is drawn.
inline constexpr std::chrono::milliseconds kMaxDrawingTime{500};
// The most parts a file of `format` may hold.
std::uint64_t MaxParts(PictureFormat format);

// The least bytes `bytes` take deflated: the best any deflate stream does is a 258-byte match in
// two bits.
std::uint64_t LeastDeflatedBytes(std::uint64_t bytes);
// The least bytes LZW with 12-bit codes takes for `values`: a code stands for fewer than 4096.
std::uint64_t LeastLzwBytes(std::uint64_t values);
// The least bytes PackBits takes for `bytes`: two bytes for a run of 128.
std::uint64_t LeastPackBitsBytes(std::uint64_t bytes);
// The bytes of rows padded to 32 bits, as BMP stores them.
std::uint64_t DibBytes(std::int64_t width, std::int64_t height, std::uint64_t bits);
// What a picture may still cost once it has cost `decodedBytes`.
std::uint64_t BudgetLeft(std::uint64_t decodedBytes);

// The bytes a decoded pixel of `bits` costs: every pixel passes the resampler, so none costs less
// than a byte.
std::uint64_t DecodedBytesPerPixel(std::uint64_t bits);

// Whether the picture may be decoded: a frame of positive size, a decoding cost, passes and parts
// within the budget, and a file large enough for what it declares.
bool IsAffordable(const PictureHeader& header, std::uint64_t fileBytes);
// The same for a frame known only from a decoder: `bitsPerPixel` of its pixel format.
bool IsAffordableFrame(PixelSize frame, unsigned bitsPerPixel);

}  // namespace platform
