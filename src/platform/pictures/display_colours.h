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
  // white or black what they are not, or a grey darker than a darker grey in any channel.
  DisplayColours(std::shared_ptr<const ColourEngine> engine,
                 std::optional<std::vector<std::uint8_t>> monitorProfile);

  // Whether the show draws in sRGB: no monitor profile, one refused, or one whose colours are
  // sRGB's (see From).
  [[nodiscard]] bool IsSrgb() const { return !fromSrgb_; }

  // The conversion of a picture in the colours of `profile` to the monitor's; nothing where the
  // two are the same colours, as the engine converts them: every colour of the grid within two
  // levels of itself, or a channel dark on both sides (the profiles of one colour space that
  // circulate differ by a rounding, which the tone curves' steep start magnifies near black).
  // Where the engine takes the profile to sRGB but not to the monitor, the conversion goes through
  // sRGB; where it refuses the profile, the picture's colours count as sRGB's.
  [[nodiscard]] std::shared_ptr<const ColourGrid> From(std::span<const std::uint8_t> profile) const;

  // The conversion of an untagged picture, whose colours are sRGB's; nothing when
  // such pictures are shown as stored. Made once, when the monitor's profile is read.
  [[nodiscard]] const std::shared_ptr<const ColourGrid>& FromSrgb() const { return fromSrgb_; }

 private:
  // The grid's samples converted from `from` to `to`, or nothing.
  [[nodiscard]] std::optional<std::vector<std::uint32_t>> Converted(
      std::span<const std::uint8_t> from, std::span<const std::uint8_t> to) const;

  std::shared_ptr<const ColourEngine> engine_;
  std::vector<std::uint8_t> srgb_;
  std::vector<std::uint8_t> shownIn_;  // the monitor's profile, or sRGB's
  std::shared_ptr<const ColourGrid> fromSrgb_;
};

}  // namespace platform
