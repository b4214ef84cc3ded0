#include "platform/pictures/orientation.h"

#include <cstddef>
#include <utility>

namespace platform {

bool SwapsSides(Orientation orientation) {
  return orientation == Orientation::Transpose || orientation == Orientation::Rotate90 ||
         orientation == Orientation::Transverse || orientation == Orientation::Rotate270;
}

PixelSize Upright(PixelSize stored, Orientation orientation) {
  return SwapsSides(orientation) ? PixelSize{stored.height, stored.width} : stored;
}

Bitmap Orient(Bitmap stored, Orientation orientation) {
  if (orientation == Orientation::Normal) return stored;
  const int w = stored.size.width, h = stored.size.height;
  const PixelSize size = Upright(stored.size, orientation);
  std::vector<std::uint32_t> pixels = BitmapBuffer(stored.pixels.size());
  // The stored pixel that shows at (x, y) of the upright picture.
  const auto from = [&](int x, int y) -> std::size_t {
    int sx = x, sy = y;
    switch (orientation) {
      case Orientation::Normal:
        break;
      case Orientation::MirrorHorizontal:
        sx = w - 1 - x;
        break;
      case Orientation::Rotate180:
        sx = w - 1 - x;
        sy = h - 1 - y;
        break;
      case Orientation::MirrorVertical:
        sy = h - 1 - y;
        break;
      case Orientation::Transpose:
        sx = y;
        sy = x;
        break;
      case Orientation::Rotate90:
        sx = y;
        sy = h - 1 - x;
        break;
      case Orientation::Transverse:
        sx = w - 1 - y;
        sy = h - 1 - x;
        break;
      case Orientation::Rotate270:
        sx = w - 1 - y;
        sy = x;
        break;
    }
    return static_cast<std::size_t>(sy) * static_cast<std::size_t>(w) +
           static_cast<std::size_t>(sx);
  };
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) pixels.push_back(stored.pixels[from(x, y)]);
  }
  // The next turned photo is made in this buffer, and turned into the one this picture shows.
  KeepForNextBitmap(std::move(stored.pixels).Recycle());
  return {size, std::move(pixels)};
}

}  // namespace platform
