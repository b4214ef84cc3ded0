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

// How far from white or black a converted white or black may come out: a display profile maps
// white to the panel's white and black to its black. Greys may come out tinted: a characterised
// panel that was never calibrated has a tone curve of its own in each channel, and its profile
// honestly maps a mid grey 20 levels from neutral.
constexpr int kNear = 8;

// Profiles of one colour space made apart (the sRGB profiles that circulate and the show's own,
// the Adobe RGB ones among themselves) convert to within two levels of each other under lcms2,
// and further in a channel dark on both sides: near black, a tone curve's steep start magnifies
// their rounding into levels each far less light than one level at mid grey.
constexpr int kSameColour = 2;
constexpr int kDark = 8;

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
// near black, and the greys between them never darker than the one before in any channel, so
// that no channel runs backwards.
bool IsSane(std::span<const std::uint32_t> converted) {
  std::array<int, 3> previous{};
  for (std::size_t at = 0; at < converted.size(); at += kGreyStep) {
    const std::array<int, 3> grey = Channels(converted[at]);
    for (std::size_t c = 0; c < grey.size(); ++c) {
      if (grey[c] < previous[c]) return false;
    }
    previous = grey;
  }
  const std::array<int, 3> black = Channels(converted.front());
  return *std::max_element(black.begin(), black.end()) <= kNear &&
         *std::min_element(previous.begin(), previous.end()) >= 255 - kNear;
}

// Whether every converted colour is the colour it was, as far as two profiles of the same colours
// agree.
bool IsIdentity(std::span<const std::uint32_t> converted) {
  const std::vector<std::uint32_t> samples = ColourGrid::Samples();
  return std::equal(samples.begin(), samples.end(), converted.begin(), converted.end(),
                    [](std::uint32_t sample, std::uint32_t colour) {
                      const std::array<int, 3> a = Channels(sample), b = Channels(colour);
                      for (std::size_t c = 0; c < a.size(); ++c) {
                        if (std::abs(a[c] - b[c]) > kSameColour && std::max(a[c], b[c]) > kDark) {
                          return false;
                        }
                      }
                      return true;
                    });
}

std::shared_ptr<const ColourGrid> UnlessIdentity(const std::vector<std::uint32_t>& converted) {
  if (IsIdentity(converted)) return nullptr;
  return std::make_shared<const ColourGrid>(converted);
}

}  // namespace

DisplayColours::DisplayColours(std::shared_ptr<const ColourEngine> engine,
                               std::optional<std::vector<std::uint8_t>> monitorProfile)
    : engine_(std::move(engine)), srgb_(SrgbProfile()), shownIn_(srgb_) {
  if (!monitorProfile) return;
  std::optional<std::vector<std::uint8_t>> monitor = DisplayProfile(std::move(*monitorProfile));
  if (!monitor) return;
  std::optional<std::vector<std::uint32_t>> converted = Converted(srgb_, *monitor);
  if (!converted || !IsSane(*converted)) return;
  fromSrgb_ = UnlessIdentity(*converted);
  if (fromSrgb_) shownIn_ = std::move(*monitor);
}

std::shared_ptr<const ColourGrid> DisplayColours::From(
    std::span<const std::uint8_t> profile) const {
  // The monitor's own profile: nothing to ask the engine.
  if (std::equal(profile.begin(), profile.end(), shownIn_.begin(), shownIn_.end())) return nullptr;
  if (std::optional<std::vector<std::uint32_t>> grid = Converted(profile, shownIn_)) {
    return UnlessIdentity(*grid);
  }
  if (IsSrgb()) return nullptr;
  // A wide-gamut panel shows sRGB's pixels oversaturated: taken on to the monitor's colours.
  std::optional<std::vector<std::uint32_t>> inSrgb = Converted(profile, srgb_);
  if (!inSrgb) return fromSrgb_;
  fromSrgb_->Apply(*inSrgb);
  return UnlessIdentity(*inSrgb);
}

std::optional<std::vector<std::uint32_t>> DisplayColours::Converted(
    std::span<const std::uint8_t> from, std::span<const std::uint8_t> to) const {
  const std::vector<std::uint32_t> samples = ColourGrid::Samples();
  std::optional<std::vector<std::uint32_t>> converted = engine_->Convert(from, to, samples);
  if (!converted || converted->size() != samples.size()) return std::nullopt;
  return converted;
}

}  // namespace platform
