// The show hides the task bar while it runs and brings it back when it ends.
#include "harness/saver_test.h"
#include "harness/wait.h"
#include "harness/x_input.h"

namespace e2e {
namespace {

using TaskbarTest = SaverTest;

TEST_F(TaskbarTest, HiddenDuringTheShowAndBackAfterIt) {
  const ProgramFolder folder =
      MakeFolder("taskbar", {{"QMAR5201.DAT", 800, 600, {255, 140, 0}, "png"}});
  ChildProcess saver = StartSaver(folder, {"/s"});
  ASSERT_TRUE(WaitForSteadyPicture(20s, "during")) << "the show did not start; see out/e2e/";
  EXPECT_EQ(probe().Taskbar(), "hidden") << "during the show";

  PressKey(display(), "a");
  ASSERT_TRUE(saver.WaitForExit(2s)) << "the saver still runs 2 s after a key";
  std::string state;
  EXPECT_TRUE(WaitUntil(5s, [&] { return (state = probe().Taskbar()) == "visible"; }))
      << "after the show: got " << state << ", expected visible";
  Screenshot("after");
}

}  // namespace
}  // namespace e2e
