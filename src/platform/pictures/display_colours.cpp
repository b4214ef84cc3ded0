#include "platform/pictures/display_colours.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <utility>

#include "platform/pictures/byte_order.h"
#include "platform/pictures/colour_profile.h"

namespace platform {
namespace {

// How far from white, black or grey a converted white, black or grey may come out: a display
// profile maps white to the panel's white and black to its black, and keeps greys grey.
constexpr int kNear = 8;

constexpr std::size_t kGreyStep =
    std::size_t{ColourGrid::kLevels} * ColourGrid::kLevels + ColourGrid::kLevels + 1;

std::array<int, 3> Channels(std::uint32_t pixel) {
  return {static_cast<int>(pixel >> 16 & 0xFF), static_cast<int>(pixel >> 8 & 0xFF),
          static_cast<int>(pixel & 0xFF)};
}

// The declared bytes of a display's profile of RGB colours; nothing for any other.
std::optional<std::vector<std::uint8_t>> DisplayProfile(std::vector<std::uint8_t> bytes) {
  constexpr std::uint32_t kDisplayClass = 0x6D6E7472;  // "mntr"
  std::optional<std::vector<std::uint8_t>> profile = RgbProfile(std::move(bytes));
  if (!profile || Be32(&(*profile)[12]) != kDisplayClass) return std::nullopt;
  return profile;
}

// Whether the converted grid is one a working display profile makes: white near white, black
// near black, and the greys between them neutral and never darker than the one before.
bool IsSane(std::span<const std::uint32_t> converted) {
  std::array<int, 3> previous{};
  for (std::size_t at = 0; at < converted.size(); at += kGreyStep) {
    const std::array<int, 3> grey = Channels(converted[at]);
    const auto [low, high] = std::minmax_element(grey.begin(), grey.end());
    if (*high - *low > kNear) return false;
    for (std::size_t c = 0; c < grey.size(); ++c) {
      if (grey[c] < previous[c]) return false;
    }
    previous = grey;
  }
  const std::array<int, 3> black = Channels(converted.front());
  return *std::max_element(black.begin(), black.end()) <= kNear &&
         *std::min_element(previous.begin(), previous.end()) >= 255 - kNear;
}

// Whether every converted colour is within a level of itself: an sRGB monitor.
bool IsIdentity(std::span<const std::uint32_t> samples, std::span<const std::uint32_t> converted) {
  return std::equal(samples.begin(), samples.end(), converted.begin(),
                    [](std::uint32_t sample, std::uint32_t colour) {
                      const std::array<int, 3> a = Channels(sample), b = Channels(colour);
                      for (std::size_t c = 0; c < a.size(); ++c) {
                        if (std::abs(a[c] - b[c]) > 1) return false;
                      }
                      return true;
                    });
}

}  // namespace

DisplayColours::DisplayColours(std::shared_ptr<const ColourEngine> engine,
                               std::optional<std::vector<std::uint8_t>> monitorProfile)
    : engine_(std::move(engine)), srgb_(SrgbProfile()) {
  if (!monitorProfile) return;
  std::optional<std::vector<std::uint8_t>> monitor = DisplayProfile(std::move(*monitorProfile));
  if (!monitor) return;
  std::optional<std::vector<std::uint32_t>> converted = Converted(srgb_, *monitor);
  if (!converted || !IsSane(*converted) || IsIdentity(ColourGrid::Samples(), *converted)) return;
  monitor_ = std::move(*monitor);
  fromSrgb_.emplace(*converted);
}

std::optional<ColourGrid> DisplayColours::From(std::span<const std::uint8_t> profile) const {
  if (!IsSrgb()) {
    if (std::optional<std::vector<std::uint32_t>> grid = Converted(profile, monitor_)) {
      return ColourGrid(*grid);
    }
  }
  std::optional<std::vector<std::uint32_t>> grid = Converted(profile, srgb_);
  if (!grid) return std::nullopt;
  return ColourGrid(*grid);
}

std::optional<std::vector<std::uint32_t>> DisplayColours::Converted(
    std::span<const std::uint8_t> from, std::span<const std::uint8_t> to) const {
  const std::vector<std::uint32_t> samples = ColourGrid::Samples();
  std::optional<std::vector<std::uint32_t>> converted = engine_->Convert(from, to, samples);
  if (!converted || converted->size() != samples.size()) return std::nullopt;
  return converted;
}

}  // namespace platform
