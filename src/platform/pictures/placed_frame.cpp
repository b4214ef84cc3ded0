#include "platform/pictures/placed_frame.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/run_time_error.h"

namespace platform {
namespace {

class PlacedFrame final : public RowSource {
 public:
  PlacedFrame(std::unique_ptr<RowSource> frame, PixelSize picture, PixelPoint at)
      : frame_(std::move(frame)), picture_(picture), at_(at) {}

  [[nodiscard]] PixelSize size() const override { return picture_; }

  void ReadRows(const RowSink& sink) override {
    const auto width = static_cast<std::size_t>(picture_.width);
    const PixelSize frame = frame_->size();
    if (at_.x < 0 || at_.y < 0 || at_.x + frame.width > picture_.width ||
        at_.y + frame.height > picture_.height) {
      ThrowInvalidPicture("frame outside its picture");
    }
    // The rows above and below the frame are one strip of black at a time.
    const int blackRows = std::max(1, std::min(picture_.height, 64));
    const std::vector<std::uint32_t> black(width * static_cast<std::size_t>(blackRows));
    const auto blackUpTo = [&](int from, int to) {
      for (int y = from; y < to; y += blackRows) sink(y, std::min(blackRows, to - y), black.data());
    };
    blackUpTo(0, at_.y);
    std::vector<std::uint32_t> placed;
    frame_->ReadRows([&](int firstRow, int rowCount, const std::uint32_t* rows) {
      rowCount = std::min(rowCount, frame.height - firstRow);
      placed.assign(width * static_cast<std::size_t>(rowCount), 0);
      for (int r = 0; r < rowCount; ++r) {
        const auto row = static_cast<std::size_t>(r);
        const std::uint32_t* from = rows + (row * static_cast<std::size_t>(frame.width));
        std::copy_n(from, frame.width, &placed[(row * width) + static_cast<std::size_t>(at_.x)]);
      }
      sink(at_.y + firstRow, rowCount, placed.data());
    });
    blackUpTo(at_.y + frame.height, picture_.height);
  }

 private:
  std::unique_ptr<RowSource> frame_;
  PixelSize picture_;
  PixelPoint at_;
};

}  // namespace

std::unique_ptr<RowSource> PlaceFrame(std::unique_ptr<RowSource> frame, PixelSize picture,
                                      PixelPoint at) {
  return std::make_unique<PlacedFrame>(std::move(frame), picture, at);
}

}  // namespace platform
