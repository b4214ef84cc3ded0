// On two monitors the show is on the primary one, by the fit rule, the other one is black, and a
// click or a key there ends the show like one on the picture.
#include <functional>
#include <memory>

#include "harness/nested_display.h"
#include "harness/program_folder.h"
#include "harness/screen_image.h"
#include "harness/suite.h"
#include "harness/wait.h"
#include "harness/wine_prefix.h"
#include "harness/x_input.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

// A point on the second head, where the pointer waits.
constexpr int kOnSecondX = kSecondHead.left + 376;
constexpr int kOnSecondY = 300;

class TwoMonitorTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    display_ = std::make_unique<NestedDisplay>(SharedDisplay());
    prefix_ = std::make_unique<WinePrefix>(*display_, Desktop::None);
  }
  static void TearDownTestSuite() {
    prefix_.reset();
    display_.reset();
  }
  void TearDown() override { prefix_->EndAll(); }

  static ScreenImage Screenshot(const std::string& label) {
    return TakeScreenshot(*display_, ScreenshotDir() / ("TwoMonitorTest-" + label + ".png"));
  }

  static inline std::unique_ptr<NestedDisplay> display_;
  static inline std::unique_ptr<WinePrefix> prefix_;
};

TEST_F(TwoMonitorTest, TheSecondHeadIsBlackAndAClickOrAKeyThereEndsTheShow) {
  const ProgramFolder folder(*prefix_, "two-heads", SourceDir() / "dist/slideshow.scr",
                             {{"QMAR5201.DAT", 800, 600, {255, 140, 0}, "png"}});
  MovePointer(*display_, kOnSecondX, kOnSecondY);
  ASSERT_TRUE(Screenshot("before").NonBlackBoxIn(kSecondHead))
      << "the second head is black before the show: nothing would tell a cover from it";

  struct Ending {
    const char* name;
    std::function<void(const XDisplay&)> send;
  };
  const Ending endings[] = {
      {"click", [](const XDisplay& d) { ClickButton(d, 1); }},
      {"key", [](const XDisplay& d) { PressKey(d, "a"); }},
  };
  for (const Ending& ending : endings) {
    SCOPED_TRACE(ending.name);
    ChildProcess saver = prefix_->Start(folder.SaverPath(), {"/s"});
    const Box expected{112, 84, 800, 600};
    std::optional<Box> first;
    std::optional<Box> second;
    const bool shown = WaitUntil(30s, [&] {
      const ScreenImage image = Screenshot(std::string(ending.name) + "-during");
      first = image.NonBlackBoxIn(kFirstHead);
      second = image.NonBlackBoxIn(kSecondHead);
      return first && NearlyEqual(*first, expected) && !second;
    });
    ASSERT_TRUE(shown) << "first head: " << (first ? *first : Box{}) << " not black, expected "
                       << expected << "; second head not black in " << (second ? *second : Box{});
    // Wine puts the pointer on the first head's centre as the show comes up, before the show
    // takes moves; back on the second head, the first move there sets the reference.
    MovePointer(*display_, kOnSecondX, kOnSecondY);
    ASSERT_FALSE(saver.WaitForExit(1s)) << "the show ended before any input";

    ending.send(*display_);
    EXPECT_TRUE(saver.WaitForExit(2s)) << "the saver still runs 2 s after the input";
    prefix_->EndAll();
  }
}

}  // namespace
}  // namespace e2e
