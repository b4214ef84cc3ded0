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
    Bitmap stored = picture_->Render(target);
    // A picture's own conversion is made when it is drawn; sRGB's was made with the display's.
    std::optional<ColourGrid> own;
    if (profile_) own = display_->From(*profile_);
    const ColourGrid* grid = profile_ ? (own ? &*own : nullptr) : display_->FromSrgb();
    if (grid == nullptr || stored.pixels.empty()) return stored;
    // Converted where they lie: a second screen-sized bitmap would cost fresh pages.
    std::vector<std::uint32_t> pixels = std::move(stored.pixels).Release();
    grid->Apply(pixels);
    return {stored.size, std::move(pixels)};
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
