// A PNG's header chunk and what its compressed chunks cost.
#include <gtest/gtest.h>

#include <cstdint>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "header_bytes.h"
#include "platform/pictures/byte_order.h"
#include "platform/pictures/colour_profile.h"
#include "platform/pictures/picture_budget.h"
#include "platform/pictures/picture_header.h"

namespace {

using namespace header_bytes;

// A decoder keeps compressed text and profiles inflated: they count what they inflate to, and the
// count stops where the budget ends, so a bomb costs no more than that.
TEST(PictureHeader, CompressedChunksCountWhatTheyInflateTo) {
  const Bytes text = Deflated(HonestText(300'000));
  const Bytes bomb = DeflatedZeros(200ull << 20);
  const Bytes itxt = Text("XML:com.adobe.xmp") + Bytes{0, 1, 0} + Text("en") + Bytes{0, 0};
  const Bytes ztxt = Text("Raw profile type exif") + Bytes{0, 0};
  struct Case {
    const char* what;
    Bytes bytes;
    bool affordable;
  };
  const Case cases[] = {
      {"zTXt of 300 KB of text", PngWith(64, 48, "zTXt", ztxt + text), true},
      {"compressed iTXt of 300 KB of text", PngWith(64, 48, "iTXt", itxt + text), true},
      {"zTXt inflating to 200 MiB", PngWith(64, 48, "zTXt", ztxt + bomb), false},
      {"compressed iTXt inflating to 200 MiB", PngWith(64, 48, "iTXt", itxt + bomb), false},
      {"iCCP inflating to 200 MiB", PngWith(64, 48, "iCCP", Text("ICC") + Bytes{0, 0} + bomb),
       false},
      // A decoder drops a chunk it cannot inflate.
      {"zTXt of 204 KB that is no zlib stream", PngWith(64, 48, "zTXt", ztxt + Zeros(204'000)),
       true},
      {"iTXt whose language tag runs past its end",
       PngWith(64, 48, "iTXt", Text("XML:com.adobe.xmp") + Bytes{0, 1, 0} + Text("en")), true},
  };
  for (const Case& c : cases) {
    const auto header = platform::ReadPictureHeader(c.bytes);
    ASSERT_TRUE(header) << c.what;
    EXPECT_EQ(platform::IsAffordable(*header, c.bytes.size()), c.affordable)
        << c.what << ": " << header->decodedBytes << " bytes decoded";
    EXPECT_LT(header->decodedBytes, platform::kMaxDecodedBytes + (1 << 20)) << c.what;
  }
  EXPECT_GT(text.size() * 1032, platform::kMaxDecodedBytes) << "text that inflates little";
}

// The header's checksum is checked, since the budget goes by the header; the other chunks'
// are the decoder's business.
TEST(PictureHeader, APngHeaderCarriesItsChecksum) {
  Bytes flipped = Png(64, 48);
  flipped.back() ^= 1;
  Bytes longer = Png(64, 48);
  longer[11] = 14;
  const std::pair<const char*, Bytes> cases[] = {
      {"PNG 64x48", Png(64, 48)},
      {"nothing", flipped},
      {"nothing", longer},
      {"PNG 64x48", PngWith(64, 48, "tEXt", Text("Comment") + Bytes{0} + Text("hello"))},
  };
  for (const auto& [read, bytes] : cases) {
    EXPECT_EQ(Describe(platform::ReadPictureHeader(bytes)), read);
  }
}

}  // namespace
