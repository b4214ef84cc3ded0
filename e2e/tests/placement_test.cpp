// Where the show puts a picture: natural size and centred when it is smaller than the screen
// both ways, otherwise scaled with its proportions kept to fill the width or the height.
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "harness/saver_test.h"
#include "harness/setting_test.h"
#include "harness/wait.h"

namespace e2e {
namespace {

struct PlacementCase {
  const char* name;
  TestPicture picture;
  Box expected;
  // Changes the picture's file once made, if set.
  std::function<void(const std::filesystem::path& file)> adjust = nullptr;
};

// A camera held upright stores the photo on its side and says so: EXIF orientation 6 (turn
// clockwise), in an APP1 block right after the JPEG's start.
void TurnByExif(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string jpeg((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  static constexpr char kExif[] =
      "\xFF\xE1\0\x22"
      "Exif\0\0"
      "MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0\x06\0\0\0\0\0\0";
  jpeg.insert(2, kExif, sizeof kExif - 1);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << jpeg;
}

void PrintTo(const PlacementCase& c, std::ostream* out) { *out << c.name; }

class PlacementTest : public SaverTest, public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(PlacementTest, ShowsThePictureThereOnBlack) {
  const PlacementCase& c = GetParam();
  const ProgramFolder folder = MakeFolder("placement", {c.picture});
  if (c.adjust) c.adjust(folder.HostPath() / c.picture.file);
  ChildProcess saver = StartSaver(folder, {"/s"});

  const std::optional<Shown> shown = WaitForSteadyPicture();
  ASSERT_TRUE(shown) << "no picture settled on a black screen; see out/e2e/";
  EXPECT_TRUE(NearlyEqual(shown->box, c.expected))
      << "non-black box: got " << shown->box << ", expected " << c.expected;
  // The picture's colour reaches into all four corners of the box: nothing cropped or shifted.
  const Box& box = shown->box;
  for (const auto& [x, y] : {std::pair{box.left + 4, box.top + 4},
                             {box.left + box.width - 5, box.top + 4},
                             {box.left + 4, box.top + box.height - 5},
                             {box.left + box.width - 5, box.top + box.height - 5}}) {
    EXPECT_TRUE(Near(shown->image.At(x, y), c.picture.colour))
        << "at (" << x << ", " << y << "): got " << shown->image.At(x, y) << ", expected "
        << c.picture.colour;
  }
}

constexpr Rgb kOrange{255, 140, 0};
constexpr Rgb kSky{0, 170, 255};
constexpr Rgb kGreen{0, 200, 80};
constexpr Rgb kPink{255, 60, 160};

INSTANTIATE_TEST_SUITE_P(
    Pictures, PlacementTest,
    ::testing::Values(
        PlacementCase{"SmallerBothWaysAtNaturalSize",
                      {"QMAR5201.DAT", 800, 600, kOrange, "png"},
                      {112, 84, 800, 600}},
        PlacementCase{
            "WideFillsTheWidth", {"QMAR5201.DAT", 2048, 1024, kSky, "jpg"}, {0, 128, 1024, 512}},
        PlacementCase{
            "TallFillsTheHeight", {"QMAR5201.DAT", 600, 1536, kGreen, "jpg"}, {362, 0, 300, 768}},
        // Lower than the screen but wider: not smaller both ways, so it is scaled.
        PlacementCase{
            "WiderOnlyIsScaled", {"QMAR5201.DAT", 1200, 300, kPink, "bmp"}, {0, 256, 1024, 256}},
        // Stored 1536 x 600 on its side: shown as the 600 x 1536 portrait it is.
        PlacementCase{"PhotoTurnedByItsExifOrientation",
                      {"QMAR5201.DAT", 1536, 600, kGreen, "jpg"},
                      {362, 0, 300, 768},
                      TurnByExif},
        // A format our header reader knows only to check its cost: WIC decodes it.
        PlacementCase{
            "DirectDrawSurface", {"QMAR5201.DAT", 800, 600, kSky, "dds"}, {112, 84, 800, 600}}),
    CaseName());

// A metafile's size comes from its header (an EMF's in hundredths of a millimetre, a placeable
// WMF's in units of its own per inch), taken at the screen's 96 DPI: 1600 x 600 pixels, so it is
// scaled down to fill the width. GDI draws it at that size, so its hairline stays a line of one
// or two pixels of its own black, never a grey smear.
class MetafileTest : public SaverTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MetafileTest, DrawnSharpAtTheSizeItIsShown) {
  const ProgramFolder folder = MakeFolder(GetParam() ? "wmf" : "emf", {});
  const std::string& saverPath = folder.SaverPath();
  probe().MakeMetafile(saverPath.substr(0, saverPath.rfind('\\') + 1) + "QMAR5201.DAT", GetParam());
  ChildProcess saver = StartSaver(folder, {"/s"});

  const std::optional<Shown> shown = WaitForSteadyPicture();
  ASSERT_TRUE(shown) << "no picture settled on a black screen; see out/e2e/";
  const Box expected{0, 192, 1024, 384};
  ASSERT_TRUE(NearlyEqual(shown->box, expected))
      << "non-black box: got " << shown->box << ", expected " << expected;
  // The hairline runs from (64, 256) to (960, 512) on the screen, less steep than 45 degrees:
  // one pixel in each column when drawn at this size.
  for (int x = 100; x <= 900; x += 100) {
    int line = 0;
    Rgb darkest = kOrange;
    for (int y = expected.top + 4; y < expected.top + expected.height - 4; ++y) {
      const Rgb pixel = shown->image.At(x, y);
      if (Near(pixel, kOrange)) continue;
      ++line;
      if (pixel.r + pixel.g + pixel.b < darkest.r + darkest.g + darkest.b) darkest = pixel;
    }
    EXPECT_TRUE(line >= 1 && line <= 2) << "column " << x << ": " << line << " line pixels";
    EXPECT_TRUE(Near(darkest, Rgb{0, 0, 0})) << "column " << x << ": darkest " << darkest;
  }
}

INSTANTIATE_TEST_SUITE_P(Kinds, MetafileTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& kind) {
                           return kind.param ? "PlaceableWmf" : "Emf";
                         });

// On a display scaled to 150 % the show still works in the screen's real pixels: the picture is
// neither enlarged nor blurred by the system's scaling.
TEST_F(ScaledDisplayTest, ShowsThePictureInRealPixels) {
  const ProgramFolder folder =
      MakeFolder("placement", {{"QMAR5201.DAT", 800, 600, kOrange, "png"}});
  ChildProcess saver = StartSaver(folder, {"/s"});

  const std::optional<Shown> shown = WaitForSteadyPicture();
  ASSERT_TRUE(shown) << "no picture settled on a black screen; see out/e2e/";
  const Box expected{112, 84, 800, 600};
  EXPECT_EQ(shown->box, expected) << "non-black box";
}

using DisplayResizedTest = SaverTest;

// The display takes a smaller size during the show: the next picture is placed for the new
// size. A picture smaller than both sizes is centred at its own size on each; placed for the old
// size it would still stand 192, 144 from the corner, cut off by the new edges.
TEST_F(DisplayResizedTest, TheNextPictureIsPlacedForTheNewSize) {
  const ProgramFolder folder = MakeFolder("resized", {{"QMAR5201.DAT", 640, 480, kOrange, "png"},
                                                      {"QMAR5202.DAT", 640, 480, kSky, "png"}});
  ChildProcess saver = StartSaver(folder, {"/s"});
  const std::optional<Shown> before = WaitForSteadyPicture(20s, "before");
  ASSERT_TRUE(before) << "no picture settled on a black screen; see out/e2e/";
  ASSERT_EQ(before->box, (Box{192, 144, 640, 480})) << "non-black box before";

  probe().SetDisplaySize(800, 600);
  // Beyond the new size lies whatever the X screen shows there; the show is judged inside it.
  const Box screen{0, 0, 800, 600};
  std::optional<Box> box;
  const bool placed = WaitUntil(30s, [&] {
    const ScreenImage image = Screenshot("after");
    box = image.NonBlackBoxIn(screen);
    return box && Near(image.At(box->left + 4, box->top + 4), kSky) &&
           NearlyEqual(*box, Box{80, 60, 640, 480});
  });
  EXPECT_TRUE(placed) << "the second picture's box: got " << (box ? *box : Box{}) << ", expected "
                      << Box{80, 60, 640, 480};
}

}  // namespace
}  // namespace e2e
