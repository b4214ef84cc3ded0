#pragma once
// Pixels as the pictures hand them over: 32-bit BGRA values (0xAARRGGBB read as a
// little-endian uint32_t), rows top to bottom, alpha already multiplied in.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <utility>
#include <vector>

namespace platform {

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

inline std::size_t PixelCount(PixelSize size) {
  return static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height);
}

struct PixelPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// A bitmap's pixels: its own, or memory an owner lends it for as long as any copy of the buffer
// lives (the GDI bitmap a metafile was drawn on, which is then never copied).
class PixelBuffer {
 public:
  using value_type = std::uint32_t;
  using const_iterator = const std::uint32_t*;
  using iterator = const_iterator;

  PixelBuffer() = default;
  // Not explicit: a bitmap takes over the buffer its pixels were made in.
  PixelBuffer(std::vector<std::uint32_t> own) : own_(std::move(own)) {}
  PixelBuffer(std::shared_ptr<const void> lender, std::uint32_t* lent, std::size_t count)
      : lender_(std::move(lender)), lent_(lent), count_(count) {}

  [[nodiscard]] const std::uint32_t* data() const { return lender_ ? lent_ : own_.data(); }
  [[nodiscard]] std::size_t size() const { return lender_ ? count_ : own_.size(); }
  [[nodiscard]] bool empty() const { return size() == 0; }
  [[nodiscard]] const_iterator begin() const { return data(); }
  [[nodiscard]] const_iterator end() const { return data() + size(); }
  const std::uint32_t& operator[](std::size_t i) const { return data()[i]; }
  // The pixels, to be changed where they lie: its own buffer, or the lent one, which every copy
  // of the buffer shares.
  [[nodiscard]] std::span<std::uint32_t> MutablePixels() {
    return lender_ ? std::span(lent_, count_) : std::span(own_);
  }
  // Its own buffer, for another bitmap to reuse; none when the pixels are lent.
  [[nodiscard]] std::vector<std::uint32_t> Recycle() && { return std::move(own_); }
  friend bool operator==(const PixelBuffer& a, const PixelBuffer& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
  }

 private:
  std::vector<std::uint32_t> own_;
  std::shared_ptr<const void> lender_;
  std::uint32_t* lent_ = nullptr;
  std::size_t count_ = 0;
};

// A buffer for a bitmap of `count` pixels: an empty vector of at least that capacity, reusing
// the latest kept buffer that is large enough.
//
// The show makes one screen-sized bitmap after another, a few megabytes each. Memory that large
// comes fresh from the system, and each of its pages faults when it is first written: for a
// 1920 x 1080 picture that is 2,000 faults, a quarter of its decode in a virtual machine. The show
// destroys the old picture before it makes the next, so a buffer kept in between is memory it
// held anyway, and the next bitmap reuses it (or frees it, when it is too small). A photo stored
// turned takes two bitmaps, the one it is made in and the upright one, so up to two are kept.
[[nodiscard]] std::vector<std::uint32_t> BitmapBuffer(std::size_t count);
// Keeps `buffer` for a next BitmapBuffer as the latest; a buffer kept before the last is freed.
void KeepForNextBitmap(std::vector<std::uint32_t> buffer);
// Frees the kept buffers past the latest `count`: the picture about to be made takes no more,
// and memory kept for none would stay held for the rest of the show.
void FreeKeptBitmapsBeyond(std::size_t count);

// A picture ready to be drawn: exactly the size it is drawn at, premultiplied BGRA.
struct Bitmap {
  PixelSize size;
  PixelBuffer pixels;  // size.width * size.height pixels, row after row
};

// What shows a picture upright, by its EXIF orientation (1 to 8): the stored rows are turned
// (clockwise) or mirrored. Transpose mirrors along the top-left to bottom-right diagonal,
// Transverse along the other.
enum class Orientation : std::uint8_t {
  Normal = 1,
  MirrorHorizontal,
  Rotate180,
  MirrorVertical,
  Transpose,
  Rotate90,
  Transverse,
  Rotate270,
};

// One picture's pixels. Implementations: WIC's decoders, GDI's metafiles, a frame placed on a
// larger picture, and synthetic pictures in the tests.
class PixelSource {
 public:
  virtual ~PixelSource() = default;
  // The picture's size as stored.
  [[nodiscard]] virtual PixelSize size() const = 0;
  // How the stored picture is to be shown.
  [[nodiscard]] virtual Orientation orientation() const { return Orientation::Normal; }
  // The picture as stored, at exactly `target` (both sides positive), made the way the source
  // does it best: a JPEG decoder reduces while it decodes, a metafile is drawn at that size.
  // Throws RunTimeError(InvalidPicture) when the data cannot be decoded.
  virtual Bitmap Render(PixelSize target) = 0;
};

}  // namespace platform
