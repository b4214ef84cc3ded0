#pragma once
// The colours the show draws in: those of the primary monitor, as its colour profile describes
// them, or sRGB where it has none that can be trusted. Where the system hands the show's pixels
// to the panel unconverted (Windows 10, and Windows 11 without automatic colour management), a
// wide-gamut panel shows sRGB pixels oversaturated; converted to the panel's own colours, every
// picture looks as it was meant to.
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "platform/pictures/colour_engine.h"
#include "platform/pictures/colour_grid.h"

namespace platform {

class DisplayColours {
 public:
  // The monitor whose colour profile is `monitorProfile` (its file's bytes; nothing where it has
  // none or its file cannot be read). sRGB where the profile is not one of a display in RGB
  // colours, where the engine refuses to convert sRGB to it, and where its conversion makes
  // white, black or greys what they are not.
  DisplayColours(std::shared_ptr<const ColourEngine> engine,
                 std::optional<std::vector<std::uint8_t>> monitorProfile);

  // Whether the show draws in sRGB: no monitor profile, one refused, or one that converts sRGB to
  // within a level of itself.
  [[nodiscard]] bool IsSrgb() const { return !fromSrgb_; }

  // The conversion of a picture in the colours of `profile` to the monitor's, in one transform;
  // where the engine cannot make that one, to sRGB; nothing where it cannot make either.
  [[nodiscard]] std::optional<ColourGrid> From(std::span<const std::uint8_t> profile) const;

  // The conversion of a picture that says nothing of its colours, which are sRGB's; nothing when
  // such pictures are shown as stored. Made once, when the monitor's profile is read.
  [[nodiscard]] const ColourGrid* FromSrgb() const { return fromSrgb_ ? &*fromSrgb_ : nullptr; }

 private:
  // The grid's samples converted from `from` to `to`, or nothing.
  [[nodiscard]] std::optional<std::vector<std::uint32_t>> Converted(
      std::span<const std::uint8_t> from, std::span<const std::uint8_t> to) const;

  std::shared_ptr<const ColourEngine> engine_;
  std::vector<std::uint8_t> srgb_;
  std::vector<std::uint8_t> monitor_;  // empty while the show draws in sRGB
  std::optional<ColourGrid> fromSrgb_;
};

}  // namespace platform
