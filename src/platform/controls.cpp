#include "platform/controls.h"

#include <cmath>

#include "platform/form.h"

namespace platform {

Image::Image(Form& owner) : owner_(owner) { owner.AddControl(*this); }

void Image::SetPicture(std::shared_ptr<Picture> picture) {
  picture_ = std::move(picture);
  if (!stretch_) TakeNaturalSize();
  owner_.ControlChanged();
}

void Image::SetStretch(bool stretch) {
  stretch_ = stretch;
  if (!stretch_) TakeNaturalSize();
  owner_.ControlChanged();
}

void Image::TakeNaturalSize() {
  if (!picture_) return;
  const PixelSize natural = picture_->NaturalSize();
  const double upp = owner_.UnitsPerPixel();
  width_ = ToSingle(natural.width * upp);
  height_ = ToSingle(natural.height * upp);
}

void Image::SetLeft(double value) {
  left_ = ToSingle(value);
  owner_.ControlChanged();
}

void Image::SetTop(double value) {
  top_ = ToSingle(value);
  owner_.ControlChanged();
}

void Image::SetWidth(double value) {
  width_ = ToSingle(value);
  owner_.ControlChanged();
}

void Image::SetHeight(double value) {
  height_ = ToSingle(value);
  owner_.ControlChanged();
}

void Image::SetVisible(bool visible) {
  if (visible && picture_) {
    const double upp = owner_.UnitsPerPixel();
    const PixelSize pixels{static_cast<int>(std::lround(width_ / upp)),
                           static_cast<int>(std::lround(height_ / upp))};
    picture_->Render(pixels);
  }
  visible_ = visible;
  owner_.ControlChanged();
}

Timer::Timer(Form& owner, unsigned interval, bool enabled)
    : owner_(owner), interval_(interval), enabled_(enabled) {
  owner.AddControl(*this);
}

void Timer::Arm(int timerId) {
  if (enabled_ && owner_.Peer() != nullptr) owner_.Peer()->StartTimer(timerId, interval_);
}

}  // namespace platform
