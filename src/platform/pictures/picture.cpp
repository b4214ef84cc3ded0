#include "platform/pictures/picture.h"

#include "platform/pictures/resample.h"

namespace platform {

Picture::Picture(std::unique_ptr<PixelSource> source)
    : natural_(source->size()), source_(std::move(source)) {}

void Picture::Render(PixelSize target) {
  if (rendered_ && rendered_->size == target) return;
  if (!source_) return;  // already made at another size; the painter scales that one
  source_->PreferAtLeast(target);
  // Release the decoder and its pixels whether or not the decode succeeds.
  const std::unique_ptr<PixelSource> source = std::move(source_);
  rendered_ = std::make_unique<Bitmap>(Resample(*source, target));
}

}  // namespace platform
