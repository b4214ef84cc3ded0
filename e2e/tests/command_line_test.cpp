// What the saver does for the other commands Windows gives it: "/p <window>" (preview) ends at
// once without a window; "/a" (change password) says in a message box that it has no password.
#include "harness/saver_test.h"
#include "harness/saver_windows.h"
#include "harness/wait.h"
#include "harness/x_input.h"

namespace e2e {
namespace {

using CommandLineTest = SaverTest;

const TestPicture kPicture{"QMAR5201.DAT", 800, 600, {255, 140, 0}, "png"};

TEST_F(CommandLineTest, PreviewEndsAtOnceWithoutAWindow) {
  const ProgramFolder folder = MakeFolder("preview", {kPicture});
  ChildProcess saver = StartSaver(folder, {"/p", "1234"});

  EXPECT_TRUE(saver.WaitForExit(10s)) << "the saver still runs 10 s after /p 1234";
  const std::vector<TopWindow> windows = probe().Windows();
  EXPECT_TRUE(windows.size() == 1 && windows.front().class_name == "Shell_TrayWnd")
      << "visible top-level windows, expected only the task bar:" << Describe(windows);
  EXPECT_EQ(probe().Taskbar(), "visible");
  Screenshot();
}

TEST_F(CommandLineTest, PasswordCommandExplainsInAMessageBoxAndEndsOnEnter) {
  const std::string text = "パスワードには対応しておりません。";
  const ProgramFolder folder = MakeFolder("password", {kPicture});
  ChildProcess saver = StartSaver(folder, {"/a"});

  const std::optional<TopWindow> message = WaitForWindow(kSaverTitle, {"Static", text, {}});
  Screenshot();
  ASSERT_TRUE(message) << "no window titled " << kSaverTitle << " saying " << text
                       << "; windows:" << Describe(probe().Windows());
  EXPECT_TRUE(IsOkOnlyMessageBox(*message)) << "expected a message box with only OK" << *message;
  EXPECT_TRUE(saver.Running()) << "the saver ended while its message box was up";

  PressKey(display(), "Return");
  EXPECT_TRUE(saver.WaitForExit(2s)) << "the saver still runs 2 s after Enter on OK";
}

}  // namespace
}  // namespace e2e
