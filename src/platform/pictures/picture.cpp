#include "platform/pictures/picture.h"

#include "platform/pictures/orientation.h"

namespace platform {

Picture::Picture(std::unique_ptr<PixelSource> source)
    : natural_(Upright(source->size(), source->orientation())), source_(std::move(source)) {}

Picture::~Picture() {
  if (rendered_) KeepForNextBitmap(std::move(rendered_->pixels).Recycle());
}

void Picture::Render(PixelSize target) {
  if (failure_) std::rethrow_exception(failure_);
  if (rendered_ && rendered_->size == target) return;
  if (!source_) return;  // already made at another size; the painter scales that one
  // Release the decoder, its pixels and its file whether or not the decode succeeds; for a
  // picture shown at no size they are released at once, with nothing decoded.
  const std::unique_ptr<PixelSource> source = std::move(source_);
  if (target.width <= 0 || target.height <= 0) return;
  // Made as stored, then turned upright: the turn copies only the target-sized result.
  const Orientation orientation = source->orientation();
  const PixelSize stored = Upright(target, orientation);
  try {
    rendered_ = std::make_unique<Bitmap>(Orient(source->Render(stored), orientation));
  } catch (...) {
    failure_ = std::current_exception();
    throw;
  }
}

}  // namespace platform
