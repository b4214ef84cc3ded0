#pragma once
// A loaded picture: its natural size, known at once, and its pixels, decoded when the picture
// element first shows it at its final size. Only the screen-sized result is kept: the decoder,
// its stream and the full-size pixels are released as soon as it is made.
#include <exception>
#include <memory>

#include "platform/pictures/pixels.h"

namespace platform {

class Picture {
 public:
  explicit Picture(std::unique_ptr<PixelSource> source);
  // Keeps the bitmap's pixel buffer for the next picture's bitmap to reuse.
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // The size of the picture drawn unscaled, in picture pixels.
  [[nodiscard]] PixelSize NaturalSize() const { return natural_; }
  // Makes the drawable bitmap at `target` (once; later calls with the same size do nothing).
  // At a target of no pixels nothing is decoded and nothing is drawn. Throws RunTimeError when
  // the pixels cannot be decoded, and the same error on every later call.
  void Render(PixelSize target);
  // The bitmap made by the last Render, or nullptr.
  [[nodiscard]] const Bitmap* Rendered() const { return rendered_ ? &*rendered_ : nullptr; }

 private:
  PixelSize natural_;
  std::unique_ptr<PixelSource> source_;
  std::unique_ptr<Bitmap> rendered_;
  // Why the pixels could not be made: the source is gone, and an element shown again must not
  // show the picture empty.
  std::exception_ptr failure_;
};

}  // namespace platform
