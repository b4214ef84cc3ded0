#pragma once
// What a picture may cost to decode, judged from its header before any decoder runs: under Wine,
// creating a decoder already decodes every pixel, so a picture that costs too much must be refused
// from the header's figures alone.
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

// The bytes the zlib stream `stream` of a file inflates to, counted and not kept. The count stops
// as soon as it passes `limit`, so a stream crafted to inflate to gigabytes costs no more than
// the budget it overruns; a stream broken or cut short counts what came out of it before.
std::uint64_t InflatedBytes(const PictureFileReader& read, FileSpan stream, std::uint64_t limit);

// Whether the picture may be decoded: a frame of positive size, a decoding cost and passes within
// the budget, and a file large enough for what it declares.
bool IsAffordable(const PictureHeader& header, std::uint64_t fileBytes);
// The same for a frame known only from a decoder: `bitsPerPixel` of its pixel format.
bool IsAffordableFrame(PixelSize frame, unsigned bitsPerPixel);

}  // namespace platform
