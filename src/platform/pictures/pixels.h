#pragma once
// Pixels as the pictures hand them over: 32-bit BGRA words (0xAARRGGBB read as a
// little-endian uint32_t), rows top to bottom, alpha already multiplied in.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace platform {

struct PixelSize {
  int width = 0;
  int height = 0;
  friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct PixelPoint {
  int x = 0;
  int y = 0;
  friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// A picture ready to be drawn: exactly the size it is drawn at, premultiplied BGRA.
struct Bitmap {
  PixelSize size;
  std::vector<std::uint32_t> pixels;  // size.width * size.height words, row after row
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

// One decoded picture, read once, top to bottom, in strips. Implementations: the WIC decoder
// (Windows and Wine) and synthetic pictures in the tests.
class PixelSource {
 public:
  using RowSink = std::function<void(int firstRow, int rowCount, const std::uint32_t* rows)>;

  virtual ~PixelSource() = default;
  [[nodiscard]] virtual PixelSize size() const = 0;
  // How the rows read are to be shown; size() is of the rows as stored.
  [[nodiscard]] virtual Orientation orientation() const { return Orientation::Normal; }
  // Lets a source that can scale while decoding do so: the Windows JPEG decoder shrinks itself, by
  // a power of two, to no less than `target` in either direction; a metafile is drawn at exactly
  // `target`. size() reports the result.
  virtual void PreferAtLeast(PixelSize target) { (void)target; }
  // Delivers every row once, in order, in strips of `rowCount` rows of size().width words each.
  // Throws RunTimeError(InvalidPicture) when the data cannot be decoded.
  virtual void ReadRows(const RowSink& sink) = 0;
  // Every row, in one bitmap of size(): what a picture shown at its own size needs. A source that
  // can decode straight into the bitmap saves the copy from its strips.
  virtual Bitmap ReadBitmap() {
    Bitmap bitmap{size(), {}};
    const std::size_t count =
        static_cast<std::size_t>(bitmap.size.width) * static_cast<std::size_t>(bitmap.size.height);
    bitmap.pixels.reserve(count);
    ReadRows([&](int, int rowCount, const std::uint32_t* rows) {
      const std::size_t strip =
          static_cast<std::size_t>(rowCount) * static_cast<std::size_t>(bitmap.size.width);
      bitmap.pixels.insert(bitmap.pixels.end(), rows,
                           rows + std::min(strip, count - bitmap.pixels.size()));
    });
    bitmap.pixels.resize(count);
    return bitmap;
  }
};

}  // namespace platform
