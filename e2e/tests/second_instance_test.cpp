// A second start while the show runs ends at once and leaves the first one alone.
#include <algorithm>

#include "harness/saver_test.h"

namespace e2e {
namespace {

using SecondInstanceTest = SaverTest;

TEST_F(SecondInstanceTest, EndsAtOnceWhileTheFirstKeepsShowing) {
  const ProgramFolder folder =
      MakeFolder("twice", {{"QMAR5201.DAT", 800, 600, {255, 140, 0}, "png"}});
  ChildProcess first = StartSaver(folder, {"/s"});
  const std::optional<Shown> shown = WaitForSteadyPicture(20s, "first");
  ASSERT_TRUE(shown) << "the first show did not start; see out/e2e/";

  ChildProcess second = StartSaver(folder, {"/s"});
  EXPECT_TRUE(second.WaitForExit(10s)) << "the second instance still runs after 10 s";

  EXPECT_TRUE(first.Running()) << "the first instance ended";
  const std::vector<std::string> processes = probe().Processes();
  EXPECT_EQ(std::count(processes.begin(), processes.end(), "slideshow.scr"), 1)
      << "slideshow.scr processes running";
  // Had the second one run the show's ending, the task bar would be back.
  EXPECT_EQ(probe().Taskbar(), "hidden");
  const std::optional<Box> after = Screenshot("after").NonBlackBox();
  ASSERT_TRUE(after) << "the screen went black";
  EXPECT_EQ(*after, shown->box) << "the first show's picture changed";
}

}  // namespace
}  // namespace e2e
