#include "platform/pictures/picture.h"

#include "platform/pictures/orientation.h"
#include "platform/pictures/resample.h"

namespace platform {

Picture::Picture(std::unique_ptr<PixelSource> source)
    : natural_(Upright(source->size(), source->orientation())), source_(std::move(source)) {}

void Picture::Render(PixelSize target) {
  if (rendered_ && rendered_->size == target) return;
  if (!source_) return;  // already made at another size; the painter scales that one
  // Resampled as stored, then turned upright: the turn copies only the target-sized result.
  const Orientation orientation = source_->orientation();
  const PixelSize stored = Upright(target, orientation);
  source_->PreferAtLeast(stored);
  // Release the decoder and its pixels whether or not the decode succeeds.
  const std::unique_ptr<PixelSource> source = std::move(source_);
  rendered_ = std::make_unique<Bitmap>(Orient(Resample(*source, stored), orientation));
}

}  // namespace platform
