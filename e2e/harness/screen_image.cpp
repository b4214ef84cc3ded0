#include "harness/screen_image.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>

#include "harness/child_process.h"

namespace e2e {

namespace {

// Channels at or below this count as black: dark enough that no test picture comes near it,
// light enough to ignore JPEG ringing next to a black border.
constexpr int kBlackLimit = 48;

class PpmReader {
 public:
  explicit PpmReader(std::string_view bytes) : bytes_(bytes) {}

  std::string_view Token() {
    SkipSpaceAndComments();
    const std::size_t start = position_;
    while (position_ < bytes_.size() &&
           !std::isspace(static_cast<unsigned char>(bytes_[position_])))
      ++position_;
    return bytes_.substr(start, position_ - start);
  }
  int Number() { return std::stoi(std::string(Token())); }
  // The single whitespace byte after the header, then the raster.
  std::string_view Rest() {
    ++position_;
    return position_ <= bytes_.size() ? bytes_.substr(position_) : std::string_view();
  }

 private:
  void SkipSpaceAndComments() {
    while (position_ < bytes_.size()) {
      if (bytes_[position_] == '#') {
        while (position_ < bytes_.size() && bytes_[position_] != '\n') ++position_;
      } else if (std::isspace(static_cast<unsigned char>(bytes_[position_]))) {
        ++position_;
      } else {
        return;
      }
    }
  }

  std::string_view bytes_;
  std::size_t position_ = 0;
};

}  // namespace

std::ostream& operator<<(std::ostream& out, Rgb colour) {
  return out << "rgb(" << int{colour.r} << ", " << int{colour.g} << ", " << int{colour.b} << ")";
}

bool Near(Rgb a, Rgb b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

ScreenImage ScreenImage::FromPpm(std::string_view bytes) {
  PpmReader reader(bytes);
  ScreenImage image;
  if (reader.Token() != "P6") throw std::runtime_error("not a binary PPM");
  image.width_ = reader.Number();
  image.height_ = reader.Number();
  if (reader.Number() != 255) throw std::runtime_error("PPM is not 8 bits per channel");
  const std::string_view raster = reader.Rest();
  const auto size =
      static_cast<std::size_t>(image.width_) * static_cast<std::size_t>(image.height_) * 3;
  if (raster.size() < size) throw std::runtime_error("PPM raster cut short");
  image.rgb_.assign(raster.begin(), raster.begin() + static_cast<std::ptrdiff_t>(size));
  return image;
}

Rgb ScreenImage::At(int x, int y) const {
  const auto offset = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x)) *
                      3;
  return {rgb_[offset], rgb_[offset + 1], rgb_[offset + 2]};
}

bool ScreenImage::IsBlack(int x, int y) const {
  const Rgb pixel = At(x, y);
  return std::max({pixel.r, pixel.g, pixel.b}) <= kBlackLimit;
}

std::optional<Box> ScreenImage::NonBlackBox() const {
  return NonBlackBoxIn({0, 0, width_, height_});
}

std::optional<Box> ScreenImage::NonBlackBoxIn(const Box& area) const {
  int left = width_, top = height_, right = -1, bottom = -1;
  const int areaRight = std::min(width_, area.left + area.width);
  const int areaBottom = std::min(height_, area.top + area.height);
  for (int y = std::max(0, area.top); y < areaBottom; ++y) {
    for (int x = std::max(0, area.left); x < areaRight; ++x) {
      if (IsBlack(x, y)) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return std::nullopt;
  return Box{left, top, right - left + 1, bottom - top + 1};
}

ScreenImage TakeScreenshot(const XDisplay& display, const std::filesystem::path& png) {
  std::filesystem::create_directories(png.parent_path());
  RunTool({"import", "-window", "root", png.string()}, display.environment());
  return ScreenImage::FromPpm(RunTool({"convert", png.string(), "ppm:-"}, {}));
}

}  // namespace e2e
