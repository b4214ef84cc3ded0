// The settings dialog Windows opens with "/c", "/c:<window>" or no command line, how it ends,
// and the About box its Help menu opens.
#include "harness/saver_test.h"
#include "harness/saver_windows.h"
#include "harness/setting_test.h"
#include "harness/wait.h"
#include "harness/x_input.h"

namespace e2e {
namespace {

// 6495 x 1095 twips at 15 twips a pixel.
constexpr int kClientWidth = 433;
constexpr int kClientHeight = 73;

// The client area's size as the screenshot shows it: the run of the dialog's face colour through
// an empty corner of the client area, less the one face-coloured line that Wine's dialog frame
// draws inside its left, right and bottom edges. The menu bar above is drawn in another colour.
std::pair<int, int> MeasuredClientSize(const ScreenImage& image, const Box& client) {
  const int x = client.left + 3;
  const int y = client.top + client.height - 3;
  const Rgb face = image.At(x, y);
  const auto same = [&](int px, int py) { return Near(image.At(px, py), face, 2); };
  int left = x, right = x, top = y, bottom = y;
  while (left > 0 && same(left - 1, y)) --left;
  while (right < image.width() - 1 && same(right + 1, y)) ++right;
  while (top > 0 && same(x, top - 1)) --top;
  while (bottom < image.height() - 1 && same(x, bottom + 1)) ++bottom;
  return {right - left + 1 - 2, bottom - top + 1 - 1};
}

struct CommandLineCase {
  const char* name;
  std::vector<std::string> arguments;
};

void PrintTo(const CommandLineCase& c, std::ostream* out) { *out << c.name; }

class SettingsDialogTest : public SaverTest,
                           public ::testing::WithParamInterface<CommandLineCase> {};

TEST_P(SettingsDialogTest, OpensAtItsSizeWithItsControls) {
  const ProgramFolder folder = MakeFolder("settings", {});
  ChildProcess saver = StartSaver(folder, GetParam().arguments);

  const std::optional<TopWindow> dialog = WaitForWindow(kSaverTitle, kNoSettingsLabel);
  const ScreenImage shot = Screenshot();
  ASSERT_TRUE(dialog) << "no settings dialog; windows:" << Describe(probe().Windows());
  EXPECT_TRUE(FindControl(*dialog, "Button", "ＯＫ")) << *dialog;
  EXPECT_TRUE(FindControl(*dialog, "Button", "キャンセル")) << *dialog;
  EXPECT_EQ(dialog->client.width, kClientWidth) << "client area by Win32: " << dialog->client;
  EXPECT_EQ(dialog->client.height, kClientHeight) << "client area by Win32: " << dialog->client;
  const auto [width, height] = MeasuredClientSize(shot, dialog->client);
  EXPECT_EQ(width, kClientWidth) << "client width on the screenshot";
  EXPECT_EQ(height, kClientHeight) << "client height on the screenshot";

  PressKey(display(), "Escape");
  EXPECT_TRUE(saver.WaitForExit(2s)) << "the dialog still runs 2 s after Esc";
}

INSTANTIATE_TEST_SUITE_P(CommandLines, SettingsDialogTest,
                         ::testing::Values(CommandLineCase{"SettingsSwitch", {"/c"}},
                                           CommandLineCase{"SettingsForAWindow", {"/c:1234"}},
                                           CommandLineCase{"Empty", {}}),
                         CaseName());

// On a display scaled to 150 % (144 DPI) the dialog is laid out at 10 twips a pixel: every
// control keeps its place relative to the client area.
TEST_F(ScaledDisplayTest, SettingsDialogKeepsItsProportions) {
  const ProgramFolder folder = MakeFolder("settings", {});
  ChildProcess saver = StartSaver(folder, {"/c"});

  const std::optional<TopWindow> dialog = WaitForWindow(kSaverTitle, kNoSettingsLabel);
  const ScreenImage shot = Screenshot();
  ASSERT_TRUE(dialog) << "no settings dialog; windows:" << Describe(probe().Windows());
  // 6495 x 1095 twips; half pixels round up.
  EXPECT_EQ(MeasuredClientSize(shot, dialog->client), std::make_pair(650, 110))
      << "client area on the screenshot; by Win32 " << dialog->client;
  // OK: 5160 twips from the left of the client area, 120 from its top, 1215 x 375 twips.
  const std::optional<Control> ok = FindControl(*dialog, "Button", "ＯＫ");
  ASSERT_TRUE(ok) << *dialog;
  const Box expected_ok{dialog->client.left + 516, dialog->client.top + 12, 122, 38};
  EXPECT_TRUE(NearlyEqual(ok->rect, expected_ok))
      << "OK button: got " << ok->rect << ", expected " << expected_ok;

  PressKey(display(), "Escape");
  EXPECT_TRUE(saver.WaitForExit(2s)) << "the dialog still runs 2 s after Esc";
}

struct EndingKeyCase {
  const char* name;
  const char* key;
};

void PrintTo(const EndingKeyCase& c, std::ostream* out) { *out << c.name; }

class DialogEndingTest : public SaverTest, public ::testing::WithParamInterface<EndingKeyCase> {};

TEST_P(DialogEndingTest, EndsTheProgramWithinTwoSeconds) {
  const ProgramFolder folder = MakeFolder("settings", {});
  ChildProcess saver = StartSaver(folder, {"/c"});
  ASSERT_TRUE(WaitForWindow(kSaverTitle, kNoSettingsLabel))
      << "no settings dialog; windows:" << Describe(probe().Windows());

  PressKey(display(), GetParam().key);
  EXPECT_TRUE(saver.WaitForExit(2s)) << "the dialog still runs 2 s after " << GetParam().key;
}

INSTANTIATE_TEST_SUITE_P(Keys, DialogEndingTest,
                         ::testing::Values(EndingKeyCase{"EnterOnOk", "Return"},
                                           EndingKeyCase{"Esc", "Escape"},
                                           EndingKeyCase{"AltF4", "alt+F4"}),
                         CaseName());

using AboutBoxTest = SaverTest;

TEST_F(AboutBoxTest, HelpMenuOpensItAndEscBringsTheDialogBack) {
  const ProgramFolder folder = MakeFolder("settings", {});
  ChildProcess saver = StartSaver(folder, {"/c"});
  const std::optional<TopWindow> about = OpenAboutBoxFromDialog();
  Screenshot("about");
  ASSERT_TRUE(about) << "no About box; windows:" << Describe(probe().Windows());
  EXPECT_TRUE(FindControl(*about, "Button", "OK")) << *about;
  EXPECT_TRUE(FindControl(*about, "Static", kSaverTitle)) << *about;
  EXPECT_TRUE(FindControl(*about, "Static", "ﾊﾞｰｼﾞｮﾝ 1.0.0")) << *about;
  // Read from the program's own version resource.
  EXPECT_TRUE(FindControl(*about, "Static", "スライドショー制作室")) << *about;
  EXPECT_TRUE(FindControl(*about, "Static", "Copyright (C) 2026 スライドショー制作室")) << *about;

  PressKey(display(), "Escape");
  EXPECT_TRUE(WaitForWindowGone(kAboutTitle, kSystemInfoButton)) << "Esc left the About box open";
  EXPECT_TRUE(WaitForWindow(kSaverTitle, kNoSettingsLabel, 5s)) << "the dialog is not back";
  EXPECT_TRUE(saver.Running()) << "closing the About box ended the program";
  Screenshot("back");

  PressKey(display(), "Escape");
  EXPECT_TRUE(saver.WaitForExit(2s)) << "the dialog still runs 2 s after Esc";
}

}  // namespace
}  // namespace e2e
