// Which colours the show draws in, from the primary monitor's profile, and how each picture is
// then shown: an engine of the test's own stands in for the system's, converting between the
// profiles it knows by rules each case gives, and remembering what it was asked.
#include "platform/pictures/display_colours.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
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
// What the engine converts, by "from -> to": "sRGB", "Adobe RGB", "monitor" or "another".
using Rules = std::map<std::string, Rule>;

std::uint32_t Channel(std::uint32_t p, int shift) { return p >> shift & 0xFF; }
// Each channel through `curve`.
std::uint32_t Each(std::uint32_t p, const std::function<std::uint32_t(std::uint32_t)>& curve) {
  return curve(Channel(p, 16)) << 16 | curve(Channel(p, 8)) << 8 | curve(Channel(p, 0));
}

std::uint32_t Swapped(std::uint32_t p) {  // red and green swapped: a sane, if odd, display
  return (p & 0xFF0000FF) | (p >> 8 & 0xFF00) | (p << 8 & 0xFF0000);
}
std::uint32_t Inverted(std::uint32_t p) { return p ^ 0x00FFFFFF; }  // white comes out black
std::uint32_t BlueGreys(std::uint32_t p) { return p | 0x30; }       // black comes out blue
// Red through a curve of its own: mid grey comes out 64 levels from neutral, honestly.
std::uint32_t RedCurve(std::uint32_t p) {
  return (p & 0xFF00FFFF) | Channel(p, 16) * Channel(p, 16) / 255 << 16;
}
// Red falls back half-way: a grey darker than the one before.
std::uint32_t RedFallsBack(std::uint32_t p) {
  const std::uint32_t red = Channel(p, 16);
  return (p & 0xFF00FFFF) | (red < 128 ? red : red - 64 + (red - 128) / 2) << 16;
}
std::uint32_t Darker(std::uint32_t p) { return p >> 1 & 0x7F7F7F; }
// Another profile of the same colours, as far as profiles made apart agree.
std::uint32_t TwoUp(std::uint32_t p) {
  return Each(p, [](std::uint32_t c) { return std::min(c + 2, 255u); });
}
std::uint32_t DarkFourUp(std::uint32_t p) {
  return Each(p, [](std::uint32_t c) { return c <= 4 ? c + 4 : c; });
}
// Close, yet other colours.
std::uint32_t ThreeUp(std::uint32_t p) {
  return Each(p, [](std::uint32_t c) { return std::min(c + 3, 255u); });
}

Profile WithBytes(Profile profile, std::size_t at, const std::string& four) {
  std::copy(four.begin(), four.end(), profile.begin() + static_cast<std::ptrdiff_t>(at));
  return profile;
}
// A profile told apart from the show's and the photo's by the last byte of its tags.
Profile Marked(const Profile& profile, char mark) {
  return WithBytes(profile, profile.size() - 1, std::string(1, mark));
}

class Engine final : public platform::ColourEngine {
 public:
  Engine(std::optional<Profile> monitor, Rules rules)
      : monitor_(std::move(monitor)), rules_(std::move(rules)) {}

  std::optional<std::vector<std::uint32_t>> Convert(
      std::span<const std::uint8_t> from, std::span<const std::uint8_t> to,
      std::span<const std::uint32_t> colours) const override {
    const std::string pair = Name(from) + " -> " + Name(to);
    asked.push_back(pair);
    const auto rule = rules_.find(pair);
    if (rule == rules_.end()) return std::nullopt;
    std::vector<std::uint32_t> converted(colours.begin(), colours.end());
    for (std::uint32_t& colour : converted) colour = rule->second(colour) | 0xFF000000;
    return converted;
  }

  mutable std::vector<std::string> asked;

 private:
  [[nodiscard]] std::string Name(std::span<const std::uint8_t> profile) const {
    const auto is = [profile](const Profile& other) {
      return std::equal(profile.begin(), profile.end(), other.begin(), other.end());
    };
    if (monitor_ && is(*monitor_)) return "monitor";
    if (is(platform::SrgbProfile())) return "sRGB";
    return is(platform::AdobeRgbProfile()) ? "Adobe RGB" : "another";
  }

  std::optional<Profile> monitor_;
  Rules rules_;
};

// A picture of one colour, rendered in its own memory or in memory lent to it, as a metafile is
// drawn in a GDI bitmap.
class Flat final : public platform::PixelSource {
 public:
  explicit Flat(std::uint32_t colour, bool lent = false) : colour_(colour), lent_(lent) {}
  [[nodiscard]] platform::PixelSize size() const override { return {2, 2}; }
  platform::Bitmap Render(platform::PixelSize target) override {
    std::vector<std::uint32_t> pixels(platform::PixelCount(target), colour_);
    if (!lent_) return {target, std::move(pixels)};
    auto lender = std::make_shared<std::vector<std::uint32_t>>(std::move(pixels));
    lentAt = lender->data();
    return {target, platform::PixelBuffer(lender, lender->data(), lender->size())};
  }
  const std::uint32_t* lentAt = nullptr;

 private:
  std::uint32_t colour_;
  bool lent_;
};

// The one colour a picture of `colour` in the colours of `profile` is shown in.
std::uint32_t Shown(const std::shared_ptr<const DisplayColours>& display,
                    const std::optional<Profile>& profile, std::uint32_t colour) {
  const platform::Bitmap shown =
      platform::InDisplayColours(std::make_unique<Flat>(colour), profile, display)->Render({5, 3});
  EXPECT_TRUE(std::all_of(shown.pixels.begin(), shown.pixels.end(),
                          [&](std::uint32_t p) { return p == shown.pixels[0]; }));
  return shown.pixels[0];
}

// A wide-gamut display profile, as far as the stand-in engine can tell one from another.
const Profile kWide = Marked(platform::AdobeRgbProfile(), '\x01');
const Profile kSrgbLike = Marked(platform::SrgbProfile(), '\x01');
const Profile kAnother = Marked(platform::SrgbProfile(), '\x02');

struct MonitorCase {
  const char* name;
  std::optional<Profile> monitor;
  Rule toMonitor;  // empty: the engine refuses the monitor's profile
  bool drawsInSrgb;
  std::uint32_t untagged;  // what an untagged 0x204080 comes out as
  std::uint32_t tagged;    // what a 0x204080 of an Adobe RGB photo comes out as
};

void PrintTo(const MonitorCase& c, std::ostream* out) { *out << c.name; }

class DisplayColoursTest : public ::testing::TestWithParam<MonitorCase> {};

TEST_P(DisplayColoursTest, DrawsInTheMonitorsColoursOnlyWhereItsProfileIsSane) {
  const MonitorCase& c = GetParam();
  Rules rules{{"Adobe RGB -> sRGB", Darker}};
  if (c.toMonitor) rules["sRGB -> monitor"] = rules["Adobe RGB -> monitor"] = c.toMonitor;
  const auto engine = std::make_shared<Engine>(c.monitor, rules);
  const auto display = std::make_shared<const DisplayColours>(engine, c.monitor);

  EXPECT_EQ(display->IsSrgb(), c.drawsInSrgb);
  EXPECT_EQ(Shown(display, std::nullopt, 0xFF204080), c.untagged | 0xFF000000) << std::hex;
  engine->asked.clear();
  EXPECT_EQ(Shown(display, platform::AdobeRgbProfile(), 0xFF204080), c.tagged | 0xFF000000)
      << std::hex;
  // Straight to the monitor in one transform, or to sRGB where the show draws in sRGB.
  EXPECT_EQ(engine->asked.front(), c.drawsInSrgb ? "Adobe RGB -> sRGB" : "Adobe RGB -> monitor");
}

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
        MonitorCase{"BlackComesOutBlue", kWide, BlueGreys, true, 0x204080, 0x102040},
        MonitorCase{"AGreyDarkerThanTheOneBefore", kWide, RedFallsBack, true, 0x204080, 0x102040},
        MonitorCase{"GreysTintedByAToneCurveAChannel", kWide, RedCurve, false, 0x044080, 0x044080},
        MonitorCase{"SrgbWithinTwoLevels", kSrgbLike, TwoUp, true, 0x204080, 0x102040}),
    [](const auto& tested) { return std::string(tested.param.name); });

struct PictureCase {
  const char* name;
  std::optional<Profile> monitor;
  Rules rules;
  Profile picture;  // the picture's profile
  std::uint32_t stored;
  std::uint32_t shown;
};

void PrintTo(const PictureCase& c, std::ostream* out) { *out << c.name; }

class TaggedPictureTest : public ::testing::TestWithParam<PictureCase> {};

TEST_P(TaggedPictureTest, IsShownInTheMonitorsColoursAsWellAsTheEngineCan) {
  const PictureCase& c = GetParam();
  const auto engine = std::make_shared<Engine>(c.monitor, c.rules);
  const auto display = std::make_shared<const DisplayColours>(engine, c.monitor);
  EXPECT_EQ(Shown(display, c.picture, c.stored | 0xFF000000), c.shown | 0xFF000000) << std::hex;
}

const Rules kToWide{{"sRGB -> monitor", Swapped}};

INSTANTIATE_TEST_SUITE_P(
    Pictures, TaggedPictureTest,
    ::testing::Values(
        // The monitor's own colours, known by the profile's bytes or by what the engine does: as
        // stored.
        PictureCase{"TheMonitorsOwnProfile", kWide,
                    Rules{{"sRGB -> monitor", Swapped}, {"monitor -> monitor", ThreeUp}}, kWide,
                    0x204080, 0x204080},
        PictureCase{"AdobeRgbOnAnAdobeRgbMonitor", kWide,
                    Rules{{"sRGB -> monitor", Swapped}, {"Adobe RGB -> monitor", TwoUp}},
                    platform::AdobeRgbProfile(), 0x204080, 0x204080},
        PictureCase{"AnotherSrgbOnAnSrgbShow", std::nullopt, Rules{{"another -> sRGB", TwoUp}},
                    kAnother, 0x204080, 0x204080},
        PictureCase{"AnotherSrgbDarkApart", std::nullopt, Rules{{"another -> sRGB", DarkFourUp}},
                    kAnother, 0x002040, 0x002040},
        PictureCase{"ThreeLevelsApartIsConverted", std::nullopt,
                    Rules{{"another -> sRGB", ThreeUp}}, kAnother, 0x204080, 0x234383},
        // The engine takes the picture to sRGB alone: on from there to the monitor.
        PictureCase{"ToTheMonitorThroughSrgb", kWide,
                    Rules{{"sRGB -> monitor", Swapped}, {"Adobe RGB -> sRGB", Darker}},
                    platform::AdobeRgbProfile(), 0x204080, 0x201040},
        // A profile the engine refuses counts as saying nothing: sRGB.
        PictureCase{"RefusedOnAWideGamutMonitor", kWide, kToWide, kAnother, 0x204080, 0x402080},
        PictureCase{"RefusedOnAnSrgbShow", std::nullopt, Rules{}, kAnother, 0x204080, 0x204080}),
    [](const auto& tested) { return std::string(tested.param.name); });

// Pictures without a profile cost nothing where the show draws in sRGB: handed back as they are.
TEST(DisplayColours, AnUntaggedPictureInSrgbIsNotWrapped) {
  const auto srgb = std::make_shared<const DisplayColours>(
      std::make_shared<Engine>(std::nullopt, kToWide), std::nullopt);
  auto flat = std::make_unique<Flat>(0xFF204080);
  const platform::PixelSource* raw = flat.get();
  EXPECT_EQ(platform::InDisplayColours(std::move(flat), std::nullopt, srgb).get(), raw);
}

// A metafile is drawn in a GDI bitmap, screen-sized: converted there, not copied first.
TEST(DisplayColours, APictureInLentMemoryIsConvertedWhereItLies) {
  const auto wide =
      std::make_shared<const DisplayColours>(std::make_shared<Engine>(kWide, kToWide), kWide);
  auto flat = std::make_unique<Flat>(0xFF204080, true);
  Flat& drawn = *flat;
  const auto picture = platform::InDisplayColours(std::move(flat), std::nullopt, wide);
  const platform::Bitmap shown = picture->Render({5, 3});
  EXPECT_EQ(shown.pixels.data(), drawn.lentAt);
  EXPECT_EQ(shown.pixels[0], 0xFF402080u) << std::hex << shown.pixels[0];
}

}  // namespace
