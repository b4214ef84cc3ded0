// Photos in their true colours: a picture whose embedded profile says its colours are Adobe RGB
// is shown converted to sRGB, as lcms2 converts it with the free profiles Debian ships, with the
// metadata cameras and editors deflate beside it; one whose profile is broken is shown as stored.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "harness/saver_test.h"

namespace e2e {
namespace {

const std::string kProfiles = "/usr/share/color/icc/";

struct ColourCase {
  const char* name;
  TestPicture picture;
  bool brokenProfile;
  // A PNG's EXIF as ImageMagick and others keep it: 300 KB of hexadecimal, deflated to 175 KB.
  bool deflatedExif = false;
};

void PrintTo(const ColourCase& c, std::ostream* out) { *out << c.name; }

// The colour ImageMagick reads at (4, 4) of `file`, converted to sRGB first when `toSrgb`.
Rgb ColourOf(const std::filesystem::path& file, const std::string& format, bool toSrgb) {
  std::vector<std::string> command = {"convert", format + ":" + file.string()};
  if (toSrgb) command.insert(command.end(), {"-profile", kProfiles + "sRGB.icc"});
  command.insert(command.end(),
                 {"-crop", "1x1+4+4", "-depth", "8", "-format",
                  "%[fx:int(255*r+.5)] %[fx:int(255*g+.5)] %[fx:int(255*b+.5)]", "info:"});
  const std::string answer = RunTool(command, {});
  int r = 0, g = 0, b = 0;
  if (std::sscanf(answer.c_str(), "%d %d %d", &r, &g, &b) != 3) {
    throw std::runtime_error("no colour from ImageMagick: " + answer);
  }
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

// Makes the picture's file say its colours are Adobe RGB, with its pixels left as they are (the
// first profile ImageMagick is given is assigned, not converted to); a broken profile then loses
// its signature.
void TagAdobeRgb(const std::filesystem::path& file, const std::string& format, bool broken) {
  const std::string name = format + ":" + file.string();
  RunTool({"convert", name, "-profile", kProfiles + "compatibleWithAdobeRGB1998.icc", name}, {});
  if (!broken) return;
  std::ifstream in(file, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  in.close();
  const std::size_t signature = bytes.find("acsp");
  ASSERT_NE(signature, std::string::npos) << "no profile in " << file;
  bytes.replace(signature, 4, "xxxx");
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// Puts the deflated EXIF behind the PNG's header chunk.
void AddDeflatedExif(const std::filesystem::path& file) {
  RunTool({"python3", "-c", R"(
import random, struct, sys, zlib
random.seed(5)
hex = "".join(random.choice("0123456789abcdef") for _ in range(300000))
text = "\n".join(hex[at:at + 72] for at in range(0, len(hex), 72)).encode()
body = b"Raw profile type exif\0\0" + zlib.compress(text, 9)
chunk = struct.pack(">I", len(body)) + b"zTXt" + body + struct.pack(">I", zlib.crc32(b"zTXt" + body))
png = open(sys.argv[1], "rb").read()
open(sys.argv[1], "wb").write(png[:33] + chunk + png[33:])
)",
           file.string()},
          {});
}

class ColourTest : public SaverTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(ColourTest, ShownInSrgbAsLcmsConvertsIt) {
  const ColourCase& c = GetParam();
  const ProgramFolder folder = MakeFolder("colour", {c.picture});
  const std::filesystem::path file = folder.HostPath() / c.picture.file;
  TagAdobeRgb(file, c.picture.format, c.brokenProfile);
  if (c.deflatedExif) AddDeflatedExif(file);
  const Rgb expected = ColourOf(file, c.picture.format, !c.brokenProfile);
  ChildProcess saver = StartSaver(folder, {"/s"});

  const std::optional<Shown> shown = WaitForSteadyPicture();
  ASSERT_TRUE(shown) << "no picture settled on a black screen; see out/e2e/";
  const Rgb got = shown->image.At(shown->box.left + 4, shown->box.top + 4);
  EXPECT_TRUE(Near(got, expected, 4)) << "got " << got << ", expected " << expected;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ColourTest,
    ::testing::Values(
        ColourCase{"AdobeRgbJpeg", {"QMAR5201.DAT", 640, 480, {60, 180, 90}, "jpg"}, false},
        ColourCase{"AdobeRgbPng", {"QMAR5201.DAT", 640, 480, {200, 120, 40}, "png"}, false},
        ColourCase{"AdobeRgbPngWithDeflatedExif",
                   {"QMAR5201.DAT", 640, 480, {200, 120, 40}, "png"},
                   false,
                   true},
        ColourCase{
            "BrokenProfileAsStored", {"QMAR5201.DAT", 640, 480, {60, 180, 90}, "jpg"}, true}),
    CaseName());

}  // namespace
}  // namespace e2e
