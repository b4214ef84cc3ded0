#include "platform/pictures/display_picture.h"

#include <utility>

namespace platform {
namespace {

class DisplayPicture final : public PixelSource {
 public:
  DisplayPicture(std::unique_ptr<PixelSource> picture,
                 std::optional<std::vector<std::uint8_t>> profile,
                 std::shared_ptr<const DisplayColours> display)
      : picture_(std::move(picture)), profile_(std::move(profile)), display_(std::move(display)) {}

  [[nodiscard]] PixelSize size() const override { return picture_->size(); }
  [[nodiscard]] Orientation orientation() const override { return picture_->orientation(); }

  Bitmap Render(PixelSize target) override {
    Bitmap shown = picture_->Render(target);
    // A picture's own conversion is made when it is drawn; sRGB's was made with the display's.
    const std::shared_ptr<const ColourGrid> grid =
        profile_ ? display_->From(*profile_) : display_->FromSrgb();
    // Converted where they lie, a metafile's in the GDI bitmap it was drawn on: a second
    // screen-sized bitmap would cost fresh pages.
    if (grid) grid->Apply(shown.pixels.MutablePixels());
    return shown;
  }

 private:
  std::unique_ptr<PixelSource> picture_;
  std::optional<std::vector<std::uint8_t>> profile_;
  std::shared_ptr<const DisplayColours> display_;
};

}  // namespace

std::unique_ptr<PixelSource> InDisplayColours(std::unique_ptr<PixelSource> picture,
                                              std::optional<std::vector<std::uint8_t>> profile,
                                              std::shared_ptr<const DisplayColours> display) {
  if (!profile && display->IsSrgb()) return picture;
  return std::make_unique<DisplayPicture>(std::move(picture), std::move(profile),
                                          std::move(display));
}

}  // namespace platform
