#pragma once
// The pixel layouts decoders hand out that we widen to premultiplied BGRA ourselves: cheaper
// than a general converter, Wine's above all.
#include <cstddef>
#include <cstdint>

namespace platform {

// Bytes in memory order; the 64-bit layout has little-endian 16-bit channels. Bgrx32's fourth
// byte is padding; Bgra32's alpha is straight, Pbgra32's already multiplied in.
enum class PixelLayout : std::uint8_t { Bgr24, Gray8, Bgrx32, Bgra32, Rgba64, Pbgra32 };

unsigned BytesPerPixel(PixelLayout layout);

// Widens `count` pixels of `layout` at `from` to premultiplied BGRA words at `to`. A layout of
// up to four bytes a pixel may be widened where it lies (`from` the same memory as `to`).
void WidenRow(PixelLayout layout, const std::uint8_t* from, std::uint32_t* to, std::size_t count);

}  // namespace platform
