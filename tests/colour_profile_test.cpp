// The colour profile a picture embeds or names, read as decoders and colour engines read it.
#include "platform/pictures/colour_profile.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "header_bytes.h"
#include "platform/pictures/byte_order.h"
#include "platform/pictures/picture_budget.h"
#include "platform/pictures/picture_header.h"

namespace {

using namespace header_bytes;

// Colour profiles. A JPEG of 64 x 48 with `segments` before its frame.
Bytes JpegWith(const Bytes& segments) {
  return kJpegStart + segments + Segment(0xDB, 65) + Frame(0xC0, 64, 48);
}
// Piece `number` of `count` of a JPEG's profile.
Bytes IccChunk(unsigned number, unsigned count, const Bytes& piece) {
  return Bytes{0xFF, 0xE2} + Be16(unsigned(2 + 14 + piece.size())) + Text("ICC_PROFILE") +
         Bytes{0, std::uint8_t(number), std::uint8_t(count)} + piece;
}
// The profile in `count` pieces, numbered in the order `order` gives.
Bytes IccChunks(const Bytes& profile, const std::vector<unsigned>& order, unsigned count) {
  const std::size_t piece = (profile.size() + count - 1) / count;
  Bytes segments;
  for (const unsigned number : order) {
    const auto from =
        profile.begin() + std::ptrdiff_t(std::min((number - 1) * piece, profile.size()));
    const auto to = profile.begin() + std::ptrdiff_t(std::min(number * piece, profile.size()));
    segments = segments + IccChunk(number, count, Bytes(from, to));
  }
  return segments;
}
// A grey TIFF with the profile behind its strip.
Bytes TiffWithProfile(const Bytes& profile) {
  Bytes file = GreyTiff(
      {kOneStrip[0], kOneStrip[1],
       TiffEntry(true, 34675, 7, std::uint32_t(kGreyTiffBytes), std::uint32_t(profile.size()))});
  file.resize(kGreyTiffBytes);
  return file + profile;
}
// An EXIF block naming a colour space, and an interoperability index.
Bytes ExifColour(unsigned colourSpace, const std::string& index) {
  const Bytes tiff = Text("MM") + Be16(42) + Be32(8) +                     // header
                     Be16(1) + TiffEntry(false, 34665, 4, 26) + Be32(0) +  // at 8
                     Be16(2) + TiffEntry(false, 40961, 3, colourSpace) +   // at 26
                     TiffEntry(false, 40965, 4, 56) + Be32(0) +            //
                     Be16(1) + Be16(1) + Be16(2) + Be32(4) + Text(index) + Zeros(1) + Be32(0);
  return Bytes{0xFF, 0xE1} + Be16(unsigned(2 + 6 + tiff.size())) + Text("Exif") + Zeros(2) + tiff;
}

TEST(ColourProfile, TheEmbeddedProfileIsReadWholeOrNotAtAll) {
  const Bytes adobe = platform::AdobeRgbProfile();
  const Bytes srgb = platform::SrgbProfile();
  ASSERT_TRUE(platform::IsRgbProfile(adobe));
  ASSERT_TRUE(platform::IsRgbProfile(srgb));
  Bytes cut = adobe;
  cut.resize(cut.size() - 8);
  Bytes cmyk = adobe;
  std::copy_n("CMYK", 4, cmyk.begin() + 16);
  Bytes huge = adobe;  // a profile that says it is 4 MiB and a byte
  huge.resize(platform::kMaxProfileBytes + 1);
  std::copy_n(Be32(std::uint32_t(huge.size())).begin(), 4, huge.begin());
  std::vector<unsigned> hugeOrder(65);
  std::iota(hugeOrder.begin(), hugeOrder.end(), 1u);
  Bytes cutTiff = TiffWithProfile(srgb);
  cutTiff.pop_back();
  Bytes brokenStream = Deflated(adobe);
  brokenStream.resize(brokenStream.size() / 2);

  struct Case {
    const char* what;
    Bytes file;
    std::optional<Bytes> profile;
  };
  const Case cases[] = {
      {"JPEG, one piece", JpegWith(IccChunks(adobe, {1}, 1)), adobe},
      {"JPEG, three pieces", JpegWith(IccChunks(srgb, {1, 2, 3}, 3)), srgb},
      {"JPEG, pieces out of order", JpegWith(IccChunks(srgb, {3, 1, 2}, 3)), srgb},
      {"JPEG, a piece missing", JpegWith(IccChunks(srgb, {1, 3}, 3)), std::nullopt},
      {"JPEG, a piece twice", JpegWith(IccChunks(srgb, {1, 2, 2}, 3)), std::nullopt},
      {"JPEG, counts that disagree", JpegWith(IccChunks(srgb, {1}, 2) + IccChunks(srgb, {2}, 3)),
       std::nullopt},
      {"JPEG, profile cut short", JpegWith(IccChunks(cut, {1}, 1)), std::nullopt},
      {"JPEG, profile padded by 64 bytes", JpegWith(IccChunks(adobe + Zeros(64), {1}, 1)), adobe},
      {"JPEG, CMYK profile", JpegWith(IccChunks(cmyk, {1}, 1)), std::nullopt},
      {"JPEG, profile past the limit",
       JpegWith(IccChunks(huge, {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15, 16, 17,
                                 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34,
                                 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51,
                                 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65},
                          65)),
       std::nullopt},
      {"PNG, deflated", PngWith(64, 48, "iCCP", Text("ICC") + Bytes{0, 0} + Deflated(adobe)),
       adobe},
      {"PNG, stream cut short", PngWith(64, 48, "iCCP", Text("ICC") + Bytes{0, 0} + brokenStream),
       std::nullopt},
      {"PNG, inflating past the limit",
       PngWith(64, 48, "iCCP", Text("ICC") + Bytes{0, 0} + Deflated(huge)), std::nullopt},
      {"TIFF, its tag", TiffWithProfile(srgb), srgb},
      {"TIFF, profile cut at the file's end", cutTiff, std::nullopt},
  };
  for (const Case& c : cases) {
    const auto header = platform::ReadPictureHeader(c.file);
    ASSERT_TRUE(header) << c.what;
    EXPECT_EQ(platform::ProfileOf(platform::ReaderOf(c.file), header->colour), c.profile) << c.what;
  }
  // The decoder keeps a JPEG's pieces: they count against the budget.
  EXPECT_EQ(platform::ReadPictureHeader(JpegWith(IccChunks(adobe, {1}, 1)))->decodedBytes,
            platform::ReadPictureHeader(JpegWith({}))->decodedBytes + adobe.size());
}

// The tag table as colour engines read it: within the size the profile declares, which may be
// less than the bytes a file stores.
TEST(ColourProfile, EveryTagLiesInsideTheDeclaredSize) {
  const Bytes adobe = platform::AdobeRgbProfile();
  constexpr std::size_t kTags = 128, kFirstTag = kTags + 4;
  const auto with = [](Bytes profile, std::size_t at, const Bytes& value) {
    std::copy(value.begin(), value.end(), profile.begin() + std::ptrdiff_t(at));
    return profile;
  };
  const std::uint32_t firstTagAt = platform::Be32(&adobe[kFirstTag + 4]);
  // The first tag grown to end a byte past the profile's declared end.
  const Bytes pastTheEnd = Be32(std::uint32_t(adobe.size()) - firstTagAt + 1);
  const struct {
    const char* what;
    Bytes profile;
    bool rgb;
  } cases[] = {
      {"as written", adobe, true},
      {"no tags", with(adobe, kTags, Be32(0)), false},
      {"a tag past the end", with(adobe, kFirstTag + 8, pastTheEnd), false},
      {"a tag in the padding past the declared end",
       with(adobe + Zeros(64), kFirstTag + 8, pastTheEnd), false},
      {"a tag table larger than the profile", with(adobe, kTags, Be32(1000)), false},
      {"a Lab connection space", with(adobe, 20, Text("Lab ")), true},
      {"a version 4 header", with(adobe, 8, Be32(0x04300000)), true},
      {"padded by 64 bytes", adobe + Zeros(64), true},
      {"declaring more than it holds", Bytes(adobe.begin(), adobe.end() - 8), false},
      {"declaring less than its tag table", with(adobe, 0, Be32(kFirstTag + 11)), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::IsRgbProfile(c.profile), c.rgb) << c.what;
    const auto handedOn = platform::RgbProfile(c.profile);
    EXPECT_EQ(handedOn.has_value(), c.rgb) << c.what;
    if (handedOn) {
      EXPECT_EQ(handedOn->size(), platform::Be32(c.profile.data())) << c.what;
    }
  }
}

TEST(ColourProfile, ExifNamesAdobeRgbAsUncalibratedWithIndexR03) {
  const Bytes adobe = platform::AdobeRgbProfile();
  const Bytes srgb = platform::SrgbProfile();
  struct Case {
    const char* what;
    Bytes file;
    std::optional<Bytes> profile;
  };
  const Case cases[] = {
      {"uncalibrated, R03", JpegWith(ExifColour(0xFFFF, "R03")), adobe},
      {"sRGB, R03", JpegWith(ExifColour(1, "R03")), std::nullopt},
      {"uncalibrated, R98", JpegWith(ExifColour(0xFFFF, "R98")), std::nullopt},
      {"no colour space", JpegWith(Exif(6)), std::nullopt},
      {"an embedded profile before it",
       JpegWith(IccChunks(srgb, {1}, 1) + ExifColour(0xFFFF, "R03")), srgb},
  };
  for (const Case& c : cases) {
    const auto header = platform::ReadPictureHeader(c.file);
    ASSERT_TRUE(header) << c.what;
    EXPECT_EQ(platform::ProfileOf(platform::ReaderOf(c.file), header->colour), c.profile) << c.what;
  }
}

}  // namespace
