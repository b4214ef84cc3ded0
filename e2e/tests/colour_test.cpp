// Pictures in their true colours on the monitor in front of the viewer: a picture whose embedded
// profile says its colours are Adobe RGB is converted from them, an untagged one from sRGB, and
// both to the primary monitor's profile where the system associates one (under Wine, the file
// that the ICM key names), to sRGB where it has none or a broken one; as lcms2 converts them with
// the free profiles Debian ships, with the metadata cameras and editors deflate beside it. A
// picture whose own profile is broken is shown as stored.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "harness/saver_test.h"

namespace e2e {
namespace {

const std::string kProfiles = "/usr/share/color/icc/";
const std::string kAdobeRgb = kProfiles + "compatibleWithAdobeRGB1998.icc";

enum class Tag { None, AdobeRgb, BrokenAdobeRgb };

struct ColourCase {
  const char* name;
  TestPicture picture;
  Tag tag;
  std::string monitor;         // the monitor's profile under kProfiles; none when empty
  bool brokenMonitor = false;  // its profile loses its signature
  // A PNG's EXIF as ImageMagick and others keep it: 300 KB of hexadecimal, deflated to 175 KB.
  bool deflatedExif = false;
  // The monitor's profile file padded to this many bytes, as much as a calibration's lookup tables
  // weigh; as it is when 0.
  std::size_t monitorBytes = 0;
};

void PrintTo(const ColourCase& c, std::ostream* out) { *out << c.name; }

std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A profile whose signature is gone: no engine takes it.
void BreakProfile(const std::filesystem::path& file) {
  std::string bytes = ReadFile(file);
  const std::size_t signature = bytes.find("acsp");
  ASSERT_NE(signature, std::string::npos) << "no profile in " << file;
  bytes.replace(signature, 4, "xxxx");
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

// The colour ImageMagick reads at (4, 4) of `file` once converted through `profiles` in turn (the
// first is assigned to a picture that has none, and converted from the one it has otherwise).
Rgb ColourOf(const std::filesystem::path& file, const std::string& format,
             const std::vector<std::string>& profiles) {
  std::vector<std::string> command = {"convert", format + ":" + file.string()};
  for (const std::string& profile : profiles) command.insert(command.end(), {"-profile", profile});
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

// The monitor's profile for as long as the test runs: its file in the system's colour folder and
// its name under the ICM key, where Wine's GetICMProfileW finds it. Taken away afterwards, as the
// other tests share the prefix.
class MonitorProfile {
 public:
  MonitorProfile(const WinePrefix& prefix, const std::string& source, bool broken,
                 std::size_t bytes)
      : prefix_(prefix), name_(std::filesystem::path(source).filename().string()) {
    const std::filesystem::path folder =
        prefix_.HostPath("C:\\windows\\system32\\spool\\drivers\\color");
    std::filesystem::create_directories(folder);
    file_ = folder / name_;
    std::filesystem::copy_file(source, file_, std::filesystem::copy_options::overwrite_existing);
    if (broken) BreakProfile(file_);
    if (bytes > 0) std::filesystem::resize_file(file_, bytes);
    prefix_.SetRegistryValue(kKey, name_, "");
  }
  MonitorProfile(const MonitorProfile&) = delete;
  MonitorProfile& operator=(const MonitorProfile&) = delete;
  ~MonitorProfile() {
    prefix_.DeleteRegistryValue(kKey, name_);
    std::filesystem::remove(file_);
  }

 private:
  static constexpr const char* kKey =
      "HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\ICM\\mntr";
  const WinePrefix& prefix_;
  std::string name_;
  std::filesystem::path file_;
};

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

TEST_P(ColourTest, ShownInTheMonitorsColoursAsLcmsConvertsThem) {
  const ColourCase& c = GetParam();
  const ProgramFolder folder = MakeFolder("colour", {c.picture});
  const std::filesystem::path file = folder.HostPath() / c.picture.file;
  const std::string name = c.picture.format + ":" + file.string();
  if (c.tag != Tag::None) RunTool({"convert", name, "-profile", kAdobeRgb, name}, {});
  if (c.tag == Tag::BrokenAdobeRgb) BreakProfile(file);
  if (c.deflatedExif) AddDeflatedExif(file);

  std::vector<std::string> profiles;
  const bool toMonitor = !c.monitor.empty() && !c.brokenMonitor;
  if (c.tag != Tag::BrokenAdobeRgb && (toMonitor || c.tag == Tag::AdobeRgb)) {
    if (c.tag == Tag::None) profiles.push_back(kProfiles + "sRGB.icc");
    profiles.push_back(toMonitor ? kProfiles + c.monitor : kProfiles + "sRGB.icc");
  }
  const Rgb expected = ColourOf(file, c.picture.format, profiles);

  std::optional<MonitorProfile> monitor;
  if (!c.monitor.empty()) {
    monitor.emplace(prefix(), kProfiles + c.monitor, c.brokenMonitor, c.monitorBytes);
  }
  ChildProcess saver = StartSaver(folder, {"/s"});
  const std::optional<Shown> shown = WaitForSteadyPicture();
  ASSERT_TRUE(shown) << "no picture settled on a black screen; see out/e2e/";
  const Rgb got = shown->image.At(shown->box.left + 4, shown->box.top + 4);
  EXPECT_TRUE(Near(got, expected, 4)) << "got " << got << ", expected " << expected;
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ColourTest,
    ::testing::Values(
        ColourCase{
            "AdobeRgbJpeg", {"QMAR5201.DAT", 640, 480, {60, 180, 90}, "jpg"}, Tag::AdobeRgb, ""},
        ColourCase{
            "AdobeRgbPng", {"QMAR5201.DAT", 640, 480, {200, 120, 40}, "png"}, Tag::AdobeRgb, ""},
        ColourCase{"AdobeRgbPngWithDeflatedExif",
                   {"QMAR5201.DAT", 640, 480, {200, 120, 40}, "png"},
                   Tag::AdobeRgb,
                   "",
                   false,
                   true},
        ColourCase{"BrokenProfileAsStored",
                   {"QMAR5201.DAT", 640, 480, {60, 180, 90}, "jpg"},
                   Tag::BrokenAdobeRgb,
                   ""},
        // A monitor whose profile swaps red and green: red comes out green, an untagged picture's
        // and a tagged one's. Its file weighs 6 MiB, more than a picture's profile may.
        ColourCase{"RedOnSwappedMonitor",
                   {"QMAR5201.DAT", 640, 480, {200, 40, 40}, "png"},
                   Tag::None,
                   "colord/SwappedRedAndGreen.icc",
                   false,
                   false,
                   6 << 20},
        ColourCase{"AdobeRgbOnSwappedMonitor",
                   {"QMAR5201.DAT", 640, 480, {60, 180, 90}, "jpg"},
                   Tag::AdobeRgb,
                   "colord/SwappedRedAndGreen.icc"},
        // An Adobe RGB photo on an Adobe RGB monitor comes out as stored.
        ColourCase{"AdobeRgbOnAdobeRgbMonitor",
                   {"QMAR5201.DAT", 640, 480, {60, 180, 90}, "jpg"},
                   Tag::AdobeRgb,
                   "colord/AdobeRGB1998.icc"},
        // A broken monitor profile leaves the colours of a monitor without one.
        ColourCase{"AdobeRgbOnBrokenMonitorProfile",
                   {"QMAR5201.DAT", 640, 480, {60, 180, 90}, "jpg"},
                   Tag::AdobeRgb,
                   "colord/AdobeRGB1998.icc",
                   true}),
    CaseName());

}  // namespace
}  // namespace e2e
