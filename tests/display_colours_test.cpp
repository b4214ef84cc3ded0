// Which colours the show draws in, from the primary monitor's profile, and which conversion each
// picture then takes: an engine of the test's own stands in for the system's, converting to the
// monitor by a rule each case gives, and remembering what it was asked.
#include "platform/pictures/display_colours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/pictures/colour_profile.h"
#include "platform/pictures/display_picture.h"

namespace {

using platform::DisplayColours;
using Profile = std::vector<std::uint8_t>;
using Rule = std::function<std::uint32_t(std::uint32_t)>;

std::uint32_t Swapped(std::uint32_t p) {  // red and green swapped: a sane, if odd, display
  return (p & 0xFF0000FF) | (p >> 8 & 0xFF00) | (p << 8 & 0xFF0000);
}
std::uint32_t Inverted(std::uint32_t p) { return p ^ 0x00FFFFFF; }  // white comes out black
std::uint32_t BlueGreys(std::uint32_t p) { return p | 0x30; }       // greys come out blue
std::uint32_t OneUp(std::uint32_t p) {                              // sRGB within a level
  return (p & 0xFF) < 0xFF ? p + 1 : p;
}
std::uint32_t Darker(std::uint32_t p) { return p >> 1 & 0x7F7F7F; }  // what "to sRGB" does here

Profile WithBytes(Profile profile, std::size_t at, const std::string& four) {
  std::copy(four.begin(), four.end(), profile.begin() + static_cast<std::ptrdiff_t>(at));
  return profile;
}

class Engine final : public platform::ColourEngine {
 public:
  Engine(Profile monitor, Rule toMonitor, bool picturesToMonitor)
      : monitor_(std::move(monitor)),
        toMonitor_(std::move(toMonitor)),
        picturesToMonitor_(picturesToMonitor) {}

  std::optional<std::vector<std::uint32_t>> Convert(
      std::span<const std::uint8_t> from, std::span<const std::uint8_t> to,
      std::span<const std::uint32_t> colours) const override {
    const std::string pair = Name(from) + " -> " + Name(to);
    asked.push_back(pair);
    Rule rule;
    if (pair == "sRGB -> monitor" || (pair == "Adobe RGB -> monitor" && picturesToMonitor_)) {
      rule = toMonitor_;
    }
    if (pair == "Adobe RGB -> sRGB") rule = Darker;
    if (!rule) return std::nullopt;
    std::vector<std::uint32_t> converted(colours.begin(), colours.end());
    for (std::uint32_t& colour : converted) colour = rule(colour) | 0xFF000000;
    return converted;
  }

  mutable std::vector<std::string> asked;

 private:
  [[nodiscard]] std::string Name(std::span<const std::uint8_t> profile) const {
    const auto is = [profile](const Profile& other) {
      return std::equal(profile.begin(), profile.end(), other.begin(), other.end());
    };
    if (is(monitor_)) return "monitor";
    if (is(platform::SrgbProfile())) return "sRGB";
    return is(platform::AdobeRgbProfile()) ? "Adobe RGB" : "another";
  }

  Profile monitor_;
  Rule toMonitor_;
  bool picturesToMonitor_;
};

struct MonitorCase {
  const char* name;
  std::optional<Profile> monitor;
  Rule toMonitor;  // empty: the engine refuses the monitor's profile
  bool drawsInSrgb;
  std::uint32_t untagged;  // what an untagged 0x204080 comes out as
  std::uint32_t tagged;    // what a 0x204080 of an Adobe RGB photo comes out as
};

void PrintTo(const MonitorCase& c, std::ostream* out) { *out << c.name; }

// A monitor's profile, told apart from the photo's or the show's by the last byte of its tags.
Profile Monitor(const Profile& profile) { return WithBytes(profile, profile.size() - 1, "\x01"); }

// A wide-gamut display profile, as far as the stand-in engine can tell one from another.
const Profile kWide = Monitor(platform::AdobeRgbProfile());

class DisplayColoursTest : public ::testing::TestWithParam<MonitorCase> {};

TEST_P(DisplayColoursTest, DrawsInTheMonitorsColoursOnlyWhereItsProfileIsSane) {
  const MonitorCase& c = GetParam();
  // The monitor's profile is told apart from the photo's by a byte of its description.
  const std::optional<Profile> monitor =
      c.monitor ? std::optional(WithBytes(*c.monitor, c.monitor->size() - 1, "\x01"))
                : std::nullopt;
  const auto engine = std::make_shared<Engine>(monitor.value_or(Profile{}), c.toMonitor, true);
  const DisplayColours display(engine, monitor);

  EXPECT_EQ(display.IsSrgb(), c.drawsInSrgb);
  std::uint32_t untagged = 0xFF204080;
  if (const platform::ColourGrid* grid = display.FromSrgb()) untagged = grid->Convert(untagged);
  EXPECT_EQ(untagged, c.untagged | 0xFF000000) << std::hex << untagged;

  engine->asked.clear();
  const std::optional<platform::ColourGrid> tagged = display.From(platform::AdobeRgbProfile());
  ASSERT_TRUE(tagged);
  EXPECT_EQ(tagged->Convert(0xFF204080), c.tagged | 0xFF000000) << std::hex;
  // Straight to the monitor in one transform, or to sRGB where the show draws in sRGB.
  EXPECT_EQ(engine->asked.front(), c.drawsInSrgb ? "Adobe RGB -> sRGB" : "Adobe RGB -> monitor");
}

const Profile kSrgbLike = Monitor(platform::SrgbProfile());

INSTANTIATE_TEST_SUITE_P(
    Monitors, DisplayColoursTest,
    ::testing::Values(
        MonitorCase{"NoProfile", std::nullopt, Swapped, true, 0x204080, 0x102040},
        MonitorCase{"WideGamut", kWide, Swapped, false, 0x402080, 0x402080},
        MonitorCase{"NotADisplayProfile", WithBytes(kWide, 12, "scnr"), Swapped, true, 0x204080,
                    0x102040},
        MonitorCase{"Grey", WithBytes(kWide, 16, "GRAY"), Swapped, true, 0x204080, 0x102040},
        MonitorCase{"NoIccProfile", Profile(300, 0), Swapped, true, 0x204080, 0x102040},
        MonitorCase{"EngineRefuses", kWide, Rule{}, true, 0x204080, 0x102040},
        MonitorCase{"WhiteComesOutBlack", kWide, Inverted, true, 0x204080, 0x102040},
        MonitorCase{"GreysComeOutBlue", kWide, BlueGreys, true, 0x204080, 0x102040},
        MonitorCase{"SrgbWithinALevel", kSrgbLike, OneUp, true, 0x204080, 0x102040}),
    [](const auto& tested) { return std::string(tested.param.name); });

// A photo whose profile the engine converts to sRGB but not to the monitor's is shown in sRGB,
// as before; one it converts to neither, as stored.
TEST(DisplayColours, APhotoTheEngineCannotTakeToTheMonitorIsShownInSrgb) {
  const auto engine = std::make_shared<Engine>(kWide, Swapped, false);
  const DisplayColours display(engine, kWide);
  ASSERT_FALSE(display.IsSrgb());
  const std::optional<platform::ColourGrid> grid = display.From(platform::AdobeRgbProfile());
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->Convert(0xFF204080), 0xFF102040u);
  EXPECT_FALSE(display.From(WithBytes(platform::AdobeRgbProfile(), 200, "junk")));
}

// Pictures without a profile cost nothing where the show draws in sRGB: handed back as they are.
TEST(DisplayColours, AnUntaggedPictureInSrgbIsNotWrapped) {
  class Flat final : public platform::PixelSource {
   public:
    [[nodiscard]] platform::PixelSize size() const override { return {2, 2}; }
    platform::Bitmap Render(platform::PixelSize target) override {
      return {target, std::vector<std::uint32_t>(platform::PixelCount(target), 0xFF204080)};
    }
  };
  const auto srgb = std::make_shared<const DisplayColours>(
      std::make_shared<Engine>(kWide, Swapped, true), std::nullopt);
  auto flat = std::make_unique<Flat>();
  const platform::PixelSource* raw = flat.get();
  EXPECT_EQ(platform::InDisplayColours(std::move(flat), std::nullopt, srgb).get(), raw);

  const auto wide =
      std::make_shared<const DisplayColours>(std::make_shared<Engine>(kWide, Swapped, true), kWide);
  const platform::Bitmap shown =
      platform::InDisplayColours(std::make_unique<Flat>(), std::nullopt, wide)->Render({5, 3});
  EXPECT_TRUE(std::all_of(shown.pixels.begin(), shown.pixels.end(),
                          [](std::uint32_t p) { return p == 0xFF402080; }));
}

}  // namespace
