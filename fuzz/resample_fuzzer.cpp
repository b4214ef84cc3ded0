// Resamples arbitrary small pictures, read in strips of arbitrary heights and placed on larger
// pictures, to arbitrary sizes, and turns them upright: the result always has the size asked for.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/pictures/orientation.h"
#include "platform/pictures/placed_frame.h"
#include "platform/pictures/resample.h"

namespace {

// Takes bytes off the front of the fuzzer's input; zeros once it runs out.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
  int Side(int most) { return Byte() % most + 1; }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

class FuzzedPicture final : public platform::RowSource {
 public:
  FuzzedPicture(Input& input, platform::PixelSize size) : size_(size), stripRows_(input.Side(16)) {
    pixels_.resize(static_cast<std::size_t>(size.width) * static_cast<std::size_t>(size.height));
    for (std::uint32_t& pixel : pixels_) {
      const std::uint32_t alpha = input.Byte();
      // Premultiplied: no channel above alpha.
      pixel = alpha << 24 | (input.Byte() * alpha / 255) << 16 | (input.Byte() * alpha / 255) << 8 |
              input.Byte() * alpha / 255;
    }
  }
  [[nodiscard]] platform::PixelSize size() const override { return size_; }
  void ReadRows(const platform::RowSink& sink) override {
    for (int row = 0; row < size_.height; row += stripRows_) {
      sink(row, std::min(stripRows_, size_.height - row),
           &pixels_[static_cast<std::size_t>(row) * static_cast<std::size_t>(size_.width)]);
    }
  }

 private:
  platform::PixelSize size_;
  int stripRows_;
  std::vector<std::uint32_t> pixels_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Input input(data, size);
  const platform::PixelSize frame{input.Side(96), input.Side(96)};
  const platform::PixelSize target{input.Side(200) - 1, input.Side(200) - 1};
  const platform::PixelPoint at{input.Byte() % 8, input.Byte() % 8};
  const bool placed = input.Byte() % 2 == 1;
  const auto orientation = static_cast<platform::Orientation>(input.Byte() % 8 + 1);
  std::unique_ptr<platform::RowSource> source = std::make_unique<FuzzedPicture>(input, frame);
  if (placed) {
    const platform::PixelSize picture{frame.width + at.x + input.Byte() % 8,
                                      frame.height + at.y + input.Byte() % 8};
    source = platform::PlaceFrame(std::move(source), picture, at);
  }
  const platform::Bitmap result =
      platform::Orient(source->Render(platform::Upright(target, orientation)), orientation);
  const std::size_t expected =
      target.width > 0 && target.height > 0
          ? static_cast<std::size_t>(target.width) * static_cast<std::size_t>(target.height)
          : 0;
  if (result.size != target || result.pixels.size() != expected) std::abort();
  // Averages of premultiplied pixels stay premultiplied.
  for (const std::uint32_t pixel : result.pixels) {
    const std::uint32_t alpha = pixel >> 24;
    if ((pixel >> 16 & 0xFF) > alpha || (pixel >> 8 & 0xFF) > alpha || (pixel & 0xFF) > alpha) {
      std::abort();
    }
  }
  return 0;
}
