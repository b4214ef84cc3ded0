#pragma once
// Screenshots of the X screen and what the tests measure in them.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string_view>
#include <vector>

#include "harness/box.h"
#include "harness/x_display.h"

namespace e2e {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};

std::ostream& operator<<(std::ostream& out, Rgb colour);

// Within tolerance on every channel: JPEG and resampling shift colours a little.
bool Near(Rgb a, Rgb b, int tolerance = 40);

class ScreenImage {
 public:
  // Parses a binary PPM (P6, maximum value 255).
  static ScreenImage FromPpm(std::string_view bytes);

  [[nodiscard]] int width() const { return width_; }
  [[nodiscard]] int height() const { return height_; }
  [[nodiscard]] Rgb At(int x, int y) const;

  // The smallest box holding every pixel that is not black, nothing on an all-black screen.
  // A box that matches the picture's place therefore also says the rest of the screen is black.
  [[nodiscard]] std::optional<Box> NonBlackBox() const;
  // The same within one part of the screen (a monitor's).
  [[nodiscard]] std::optional<Box> NonBlackBoxIn(const Box& area) const;

  friend bool operator==(const ScreenImage&, const ScreenImage&) = default;

 private:
  [[nodiscard]] bool IsBlack(int x, int y) const;

  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint8_t> rgb_;
};

// Saves the whole X screen as a PNG for people to look at and returns its pixels.
ScreenImage TakeScreenshot(const XDisplay& display, const std::filesystem::path& png);

}  // namespace e2e
