// The show runs for days: over hundreds of pictures it holds one picture's file at the most, and
// its memory, GDI objects and kernel handles stay flat. Once the show has started, the clock runs
// 20 times fast, so each picture stays a twentieth of its period and three cycles of the shipped
// pictures pass in under three minutes.
#include <algorithm>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "harness/saver_test.h"
#include "harness/wait.h"
#include "harness/x_input.h"
#include "screen/picture_cycle.h"

namespace e2e {
namespace {

constexpr int kClockSpeed = 20;
constexpr auto kPerPicture = screen::kPicturePeriod / kClockSpeed;
constexpr int kCycle = 50;
// From the end of the first cycle to the end of the third.
constexpr double kGrowthMb = 4;
// A paint or a decode in progress holds a few objects of its own for a moment.
constexpr long kTransientObjects = 5;

// What the saver holds after so many pictures.
struct Holding {
  int pictures = 0;
  ProcessUsage usage;
  std::map<std::string, long> resources;  // "gdi", "handles"
};

long PictureFilesOpen(const ProcessUsage& usage) {
  return std::count_if(usage.openFiles.begin(), usage.openFiles.end(), [](const auto& file) {
    return file.filename().string().rfind("QMAR52", 0) == 0;
  });
}

std::ostream& operator<<(std::ostream& out, const Holding& h) {
  out << std::fixed << std::setprecision(1) << "soak: pictures=" << h.pictures
      << " resident_mb=" << h.usage.residentMb << " cpu_s=" << h.usage.cpuSeconds
      << " picture_files=" << PictureFilesOpen(h.usage);
  for (const auto& [kind, count] : h.resources) out << " " << kind << "=" << count;
  return out;
}

// Its own prefix, whose clock can be made to run fast. No virtual desktop: the show needs no task
// bar to hide.
class SoakTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = std::make_unique<WinePrefix>(SharedDisplay(), Desktop::None, Clock::Adjustable);
  }
  static void TearDownTestSuite() { prefix_.reset(); }
  void TearDown() override { prefix_->EndAll(); }

  static ScreenImage Screenshot(const std::string& label) {
    return TakeScreenshot(SharedDisplay(), ScreenshotDir() / ("SoakTest-" + label + ".png"));
  }

  static inline std::unique_ptr<WinePrefix> prefix_;
  ProbeClient probe_{*prefix_, SourceDir() / "build/windows/e2e/probe/probe.exe"};
};

TEST_F(SoakTest, ThreeCyclesOfTheShippedPicturesLeaveNothingBehind) {
  const ProgramFolder folder(*prefix_, "soak", SourceDir() / "dist/slideshow.scr", {});
  for (const auto& shipped : std::filesystem::directory_iterator(SourceDir() / "dist")) {
    if (shipped.path().extension() == ".DAT") {
      std::filesystem::copy_file(shipped.path(), folder.HostPath() / shipped.path().filename());
    }
  }
  MovePointer(SharedDisplay(), kCentreX, kCentreY);
  ChildProcess saver = prefix_->Start(folder.SaverPath(), {"/s"});
  ASSERT_TRUE(WaitUntil(20s, [&] { return Screenshot("first").NonBlackBox().has_value(); }))
      << "the show did not start; see out/e2e/";
  // Wine's services came up on the host's clock, within their time-outs; the show goes on fast.
  prefix_->SetClockSpeed(kClockSpeed);
  const auto start = std::chrono::steady_clock::now() + 1s;

  // The file descriptors are watched all along; the rest is taken at the end of the first cycle
  // and of the third.
  long mostFilesOpen = 0;
  std::vector<Holding> held;
  for (const int pictures : {kCycle, 3 * kCycle}) {
    const auto due = start + pictures * kPerPicture;
    while (std::chrono::steady_clock::now() < due) {
      const std::optional<ProcessUsage> usage = saver.Usage();
      ASSERT_TRUE(usage) << "the saver ended after about "
                         << (std::chrono::steady_clock::now() - start) / kPerPicture
                         << " pictures, exit code " << saver.WaitForExit(1s).value_or(-1);
      mostFilesOpen = std::max(mostFilesOpen, PictureFilesOpen(*usage));
      std::this_thread::sleep_for(100ms);
    }
    Holding now{pictures, *saver.Usage(), probe_.Resources("slideshow.scr")};
    std::cout << now << "\n";
    held.push_back(now);
  }

  EXPECT_LE(mostFilesOpen, 1) << "picture files open at once, at the most";
  const Holding& first = held.front();
  const Holding& third = held.back();
  EXPECT_LE(third.usage.residentMb - first.usage.residentMb, kGrowthMb)
      << "MB more in RAM after the third cycle (" << third.usage.residentMb
      << ") than after the first (" << first.usage.residentMb << ")";
  for (const char* kind : {"gdi", "handles"}) {
    ASSERT_TRUE(first.resources.contains(kind) && third.resources.contains(kind))
        << "the probe counted no " << kind;
    EXPECT_LE(third.resources.at(kind), first.resources.at(kind) + kTransientObjects)
        << kind << " after the third cycle, against " << first.resources.at(kind)
        << " after the first";
  }

  // The pictures still change: over three of them the screen shows at least two.
  const ScreenImage before = Screenshot("late");
  std::this_thread::sleep_for(3 * kPerPicture);
  EXPECT_FALSE(Screenshot("later") == before) << "the same screen three pictures apart";
  EXPECT_TRUE(saver.Running());
}

}  // namespace
}  // namespace e2e
