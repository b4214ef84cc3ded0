// The 50 pictures that ship beside the saver, as `make dist` leaves them in dist/ (`make test`
// makes dist first), or before the first `make dist` as the picture generator writes them. They
// are checked the way the saver meets them: through its own header reader, and against the fit
// rule on the screens people commonly have.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "platform/pictures/picture_budget.h"
#include "platform/pictures/picture_header.h"

namespace {

using platform::PictureFormat;
using platform::PixelSize;

struct Shipped {
  int number;
  std::uintmax_t bytes;
  std::optional<platform::PictureHeader> header;
};

std::string FileName(int number) {
  return "QMAR52" + std::string(number < 10 ? "0" : "") + std::to_string(number) + ".DAT";
}

// dist/ once `make dist` has filled it. Before that, the build's own folder, where the generator
// writes the same bytes that `make dist` ships, again whenever the generator is newer.
std::filesystem::path ShippedFolder() {
  namespace fs = std::filesystem;
  const fs::path dist = fs::path(__FILE__).parent_path().parent_path() / "dist";
  if (fs::exists(dist / FileName(1))) return dist;
  const fs::path generator = PICTURE_GENERATOR;
  const fs::path made = generator.parent_path() / "shipped";
  const fs::path last = made / FileName(50);
  if (!fs::exists(last) || fs::last_write_time(last) < fs::last_write_time(generator)) {
    const std::string command = "'" + generator.string() + "' '" + made.string() + "'";
    if (std::system(command.c_str()) != 0) ADD_FAILURE() << command << " failed";
  }
  return made;
}

std::optional<platform::PictureHeader> ReadHeader(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return platform::ReadPictureHeader(
      [&file](std::uint64_t offset, std::span<std::uint8_t> into) -> std::size_t {
        file.clear();
        file.seekg(static_cast<std::streamoff>(offset));
        file.read(reinterpret_cast<char*>(into.data()), static_cast<std::streamsize>(into.size()));
        return static_cast<std::size_t>(file.gcount());
      });
}

std::string Describe(PixelSize size) {
  return std::to_string(size.width) + "x" + std::to_string(size.height);
}

std::vector<Shipped> ReadShippedPictures(const std::filesystem::path& folder) {
  std::vector<Shipped> shipped;
  for (int number = 1; number <= 50; ++number) {
    const std::filesystem::path path = folder / FileName(number);
    if (std::filesystem::exists(path)) {
      shipped.push_back({number, std::filesystem::file_size(path), ReadHeader(path)});
    }
  }
  return shipped;
}

class ShippedPictures : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(Pictures().empty()) << Folder() << " holds no pictures"; }

  static const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = ShippedFolder();
    return folder;
  }
  // Read once for all the tests: the set is large.
  static const std::vector<Shipped>& Pictures() {
    static const std::vector<Shipped> shipped = ReadShippedPictures(Folder());
    return shipped;
  }
  static PixelSize SizeOf(int number) {
    for (const Shipped& p : Pictures()) {
      if (p.number == number && p.header) return p.header->natural;
    }
    return {};
  }
};

TEST_F(ShippedPictures, AreAllThereAndRecognisedFromTheirContent) {
  std::set<int> present;
  for (const Shipped& p : Pictures()) {
    present.insert(p.number);
    if (!p.header) {
      ADD_FAILURE() << FileName(p.number) << " is no picture the saver reads";
      continue;
    }
    EXPECT_TRUE(platform::IsAffordable(*p.header, p.bytes))
        << FileName(p.number) << " declares " << Describe(p.header->natural) << " in " << p.bytes
        << " bytes";
  }
  for (int number = 1; number <= 50; ++number) {
    EXPECT_TRUE(present.count(number))
        << FileName(number) << " is missing from " << Folder() << " (make dist writes it)";
  }
}

TEST_F(ShippedPictures, ComeInEveryFormatTheLoaderMeetsInPractice) {
  const std::map<PictureFormat, const char*> wanted = {{PictureFormat::Jpeg, "JPEG"},
                                                       {PictureFormat::Png, "PNG"},
                                                       {PictureFormat::Bmp, "BMP"},
                                                       {PictureFormat::Gif, "GIF"},
                                                       {PictureFormat::Tiff, "TIFF"}};
  std::set<PictureFormat> seen;
  for (const Shipped& p : Pictures()) {
    if (p.header) seen.insert(p.header->format);
  }
  for (const auto& [format, name] : wanted) {
    EXPECT_TRUE(seen.count(format)) << "no " << name << " picture is shipped";
  }
}

// The kinds of picture the fit rule treats differently, and its boundaries.
struct FitCase {
  const char* what;
  bool (*applies)(PixelSize picture, PixelSize screen);
};

bool Smaller(PixelSize p, PixelSize s) { return p.width < s.width && p.height < s.height; }
// Cross-multiplied, so that equal aspects compare equal exactly.
std::int64_t AspectOrder(PixelSize p, PixelSize s) {
  return std::int64_t{p.width} * s.height - std::int64_t{p.height} * s.width;
}

const FitCase kFitCases[] = {
    {"smaller in both directions", [](PixelSize p, PixelSize s) { return Smaller(p, s); }},
    {"exactly as wide, less high",
     [](PixelSize p, PixelSize s) { return p.width == s.width && p.height < s.height; }},
    {"exactly as high, less wide",
     [](PixelSize p, PixelSize s) { return p.height == s.height && p.width < s.width; }},
    {"exactly the screen's size", [](PixelSize p, PixelSize s) { return p == s; }},
    {"larger, relatively wider than the screen",
     [](PixelSize p, PixelSize s) { return !Smaller(p, s) && AspectOrder(p, s) > 0; }},
    {"wide, larger, relatively narrower than the screen",
     [](PixelSize p, PixelSize s) {
       return !Smaller(p, s) && p.width > p.height && AspectOrder(p, s) < 0;
     }},
    {"larger, the screen's own aspect",
     [](PixelSize p, PixelSize s) { return p.width > s.width && AspectOrder(p, s) == 0; }},
    {"tall, not smaller",
     [](PixelSize p, PixelSize s) { return !Smaller(p, s) && p.height > p.width; }},
    {"square, not smaller",
     [](PixelSize p, PixelSize s) { return !Smaller(p, s) && p.height == p.width; }},
};

const PixelSize kCommonScreens[] = {{1024, 768}, {1366, 768}, {1920, 1080}, {2560, 1440}};

TEST_F(ShippedPictures, MeetEveryCaseOfTheFitRuleOnCommonScreens) {
  for (const PixelSize screen : kCommonScreens) {
    for (const FitCase& fit : kFitCases) {
      std::ostringstream sizes;
      bool met = false;
      for (const Shipped& p : Pictures()) {
        if (!p.header) continue;
        sizes << ' ' << Describe(p.header->natural);
        met = met || fit.applies(p.header->natural, screen);
      }
      EXPECT_TRUE(met) << "on " << Describe(screen) << " no picture is " << fit.what
                       << "; shipped sizes:" << sizes.str();
    }
  }
}

TEST_F(ShippedPictures, OpenGentlyIncludeAPhotoAndStayWithinTheBudget) {
  const PixelSize first = SizeOf(1);
  const PixelSize second = SizeOf(2);
  for (const PixelSize screen : kCommonScreens) {
    EXPECT_TRUE(Smaller(first, screen))
        << "the first picture, " << Describe(first) << ", should fit " << Describe(screen);
    EXPECT_GT(AspectOrder(second, screen), 0) << "the second picture, " << Describe(second)
                                              << ", should be wider than " << Describe(screen);
  }
  std::int64_t largest = 0;
  std::uintmax_t total = 0;
  for (const Shipped& p : Pictures()) {
    total += p.bytes;
    if (p.header) {
      largest = std::max(largest, std::int64_t{p.header->natural.width} * p.header->natural.height);
    }
  }
  EXPECT_GE(largest, 20'000'000) << "no photo-sized picture (20 megapixels or more)";
  EXPECT_LT(total, 60'000'000U) << "the pictures take " << total << " bytes";
}

}  // namespace
