#include "platform/pictures/pixel_layout.h"

// SSE2 is part of every x86-64 processor, the only kind both our compilers build for.
#include <emmintrin.h>

#include <cstring>

#include "platform/pictures/byte_order.h"

namespace platform {

unsigned BytesPerPixel(PixelLayout layout) {
  switch (layout) {
    case PixelLayout::Bgr24:
      return 3;
    case PixelLayout::Gray8:
      return 1;
    case PixelLayout::Bgrx32:
    case PixelLayout::Bgra32:
    case PixelLayout::Pbgra32:
      return 4;
    case PixelLayout::Rgba64:
      return 8;
  }
  return 4;
}

namespace {

// Straight alpha to premultiplied, channels of 8 bits, rounded.
std::uint32_t Premultiplied(std::uint32_t blue, std::uint32_t green, std::uint32_t red,
                            std::uint32_t alpha) {
  const auto times = [alpha](std::uint32_t channel) { return (channel * alpha + 127) / 255; };
  return alpha << 24 | times(red) << 16 | times(green) << 8 | times(blue);
}

}  // namespace

// Back to front, so that a row can be widened where it lies: no pixel's word covers a byte of a
// pixel before it, which is still to be read.
void WidenRow(PixelLayout layout, const std::uint8_t* from, std::uint32_t* to, std::size_t count) {
  constexpr std::uint32_t kOpaque = 0xFF000000;
  if (count == 0) return;
  switch (layout) {
    case PixelLayout::Bgr24: {
      // The last pixels byte by byte, so that no read leaves the row; the others four at a time
      // from 16 bytes read at once, the four bytes past them not yet overwritten.
      std::size_t i = count;
      while (i > 0 && (i % 4 != 0 || 3 * i + 4 > 3 * count)) {
        --i;
        const std::uint8_t* pixel = from + 3 * i;
        to[i] = kOpaque | pixel[0] | std::uint32_t{pixel[1]} << 8 | std::uint32_t{pixel[2]} << 16;
      }
      const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
      while (i > 0) {
        i -= 4;
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + 3 * i));
        // Each pixel's three bytes moved to the bottom of a lane, then the four lanes gathered.
        const __m128i firstTwo = _mm_unpacklo_epi32(bytes, _mm_srli_si128(bytes, 3));
        const __m128i lastTwo =
            _mm_unpacklo_epi32(_mm_srli_si128(bytes, 6), _mm_srli_si128(bytes, 9));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + i),
                         _mm_or_si128(_mm_unpacklo_epi64(firstTwo, lastTwo), opaque));
      }
      break;
    }
    case PixelLayout::Gray8:
      for (std::size_t i = count; i-- > 0;) to[i] = kOpaque | from[i] * 0x010101u;
      break;
    case PixelLayout::Bgrx32:
      for (std::size_t i = 0; i < count; ++i) {
        std::uint32_t bgrx = 0;
        std::memcpy(&bgrx, from + 4 * i, sizeof bgrx);
        to[i] = bgrx | kOpaque;
      }
      break;
    case PixelLayout::Bgra32:
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* pixel = from + 4 * i;
        to[i] = Premultiplied(pixel[0], pixel[1], pixel[2], pixel[3]);
      }
      break;
    case PixelLayout::Rgba64: {
      // Little-endian 16-bit channels, rounded to 8 bits; never in place.
      for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* pixel = from + 8 * i;
        const auto channel = [&](std::size_t at) {
          return (std::uint32_t{Le16(pixel + 2 * at)} + 128) / 257;
        };
        to[i] = Premultiplied(channel(2), channel(1), channel(0), channel(3));
      }
      break;
    }
    case PixelLayout::Pbgra32:  // as they are
      if (static_cast<const void*>(from) != to) std::memmove(to, from, count * sizeof *to);
      break;
  }
}

}  // namespace platform
