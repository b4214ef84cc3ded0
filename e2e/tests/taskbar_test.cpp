// The show hides the task bar while it runs and brings it back when it ends, by an ending input
// or by a crash.
#include "harness/saver_test.h"
#include "harness/setting_test.h"
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

// Wine's report of a crash is its debugger's dialog, which would hold the crashed process until
// someone closes it; without the dialog the debugger writes its report and ends the process.
constexpr RegistrySetting kNoCrashDialog{"HKCU\\Software\\Wine\\WineDbg", "ShowCrashDialog", "0",
                                         "REG_DWORD"};
using CrashTest = SettingTest<kNoCrashDialog>;

TEST_F(CrashTest, TheTaskBarComesBackWhenAThreadOfTheSaverFaults) {
  const ProgramFolder folder =
      MakeFolder("crash", {{"QMAR5201.DAT", 800, 600, {255, 140, 0}, "png"}});
  ChildProcess saver = StartSaver(folder, {"/s"});
  ASSERT_TRUE(WaitForSteadyPicture(20s, "during")) << "the show did not start; see out/e2e/";
  ASSERT_EQ(probe().Taskbar(), "hidden") << "during the show";

  ASSERT_TRUE(probe().Fault("slideshow.scr")) << "no faulting thread could be started";
  EXPECT_TRUE(saver.WaitForExit(20s)) << "the saver still runs 20 s after the fault";
  EXPECT_EQ(probe().Taskbar(), "visible") << "after the crash";
  Screenshot("after");
}

}  // namespace
}  // namespace e2e
