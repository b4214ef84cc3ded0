#include <gtest/gtest.h>

#include "about/sfrm_about.h"
#include "saver_fixture.h"
#include "settings/form2.h"

namespace {

using platform::DialogKey;

struct SettingsOpen : ::testing::Test {
  Saver saver;

  void SetUp() override {
    saver.sim.app.Title = "スライドショー";
    saver.Start("/c");
    ASSERT_TRUE(form().Loaded());
  }

  Form2& form() { return saver.module->form2(); }
  sim::SimWindow& window() { return *saver.sim.Windows().front(); }
};

TEST_F(SettingsOpen, LooksAsDesigned) {
  EXPECT_EQ(window().caption, "スライドショー") << "the application title replaces 設定";
  EXPECT_TRUE(window().visible);
  EXPECT_EQ(window().design.border, platform::BorderStyle::FixedSingle);
  EXPECT_TRUE(window().design.controlBox);
  EXPECT_TRUE(window().design.showInTaskbar);
  EXPECT_TRUE(window().design.programIcon);
  EXPECT_EQ(window().ClientSize(), (platform::PixelSize{433, 73}));

  struct Expected {
    const char* text;
    platform::ControlSpec::Kind kind;
    platform::PixelRect rect;
  };
  const Expected expected[] = {
      {"ＯＫ", platform::ControlSpec::Kind::Button, {344, 8, 81, 25}},
      {"キャンセル", platform::ControlSpec::Kind::Button, {344, 40, 81, 25}},
      {"設定項目はございません。", platform::ControlSpec::Kind::Label, {8, 16, 209, 17}},
  };
  ASSERT_EQ(window().controls.size(), std::size(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const auto& got = window().controls[i];
    EXPECT_EQ(got.text, expected[i].text) << "tab index " << i;
    EXPECT_EQ(got.kind, expected[i].kind) << got.text;
    EXPECT_EQ(got.rect.left, expected[i].rect.left) << got.text;
    EXPECT_EQ(got.rect.top, expected[i].rect.top) << got.text;
    EXPECT_EQ(got.rect.width, expected[i].rect.width) << got.text;
    EXPECT_EQ(got.rect.height, expected[i].rect.height) << got.text;
  }
  EXPECT_TRUE(window().controls[0].isDefault);
  EXPECT_EQ(window().focusedControl, form().Cmd_OK.Id()) << "OK has the focus when it opens";

  ASSERT_EQ(window().menus.size(), 1U);
  EXPECT_EQ(window().menus[0].text, "ヘルプ(&H)");
  ASSERT_EQ(window().menus[0].items.size(), 1U);
  EXPECT_EQ(window().menus[0].items[0].text, "バージョン情報(&V)...");
}

TEST_F(SettingsOpen, EnterRunsTheOkPathWithTheSettingsSaveHook) {
  window().PressDialogKey(DialogKey::Enter);
  EXPECT_TRUE(saver.sim.ended);
  EXPECT_EQ(saver.module->saves, 1);
}

TEST_F(SettingsOpen, CancelEscAndClosingEndWithoutSaving) {
  struct Way {
    const char* name;
    void (*act)(sim::SimWindow&, Form2&);
  };
  const Way ways[] = {
      {"Esc", [](sim::SimWindow& w, Form2&) { w.PressDialogKey(DialogKey::Escape); }},
      {"Cancel", [](sim::SimWindow& w, Form2& f) { w.Click(f.Cmd_Cancel.Id()); }},
      {"close button", [](sim::SimWindow& w, Form2&) { w.RequestClose(); }},
  };
  for (const auto& way : ways) {
    Saver run;
    run.Start("");
    way.act(*run.sim.Windows().front(), run.module->form2());
    EXPECT_TRUE(run.Ended()) << way.name;
    EXPECT_EQ(run.module->saves, 0) << way.name;
  }
}

TEST_F(SettingsOpen, EnterOnCancelPressesCancel) {
  window().FocusControl(form().Cmd_Cancel.Id());
  window().PressDialogKey(DialogKey::Enter);
  EXPECT_TRUE(saver.sim.ended);
  EXPECT_EQ(saver.module->saves, 0);
}

TEST_F(SettingsOpen, TheVersionItemOpensTheAboutBoxModallyAnyNumberOfTimes) {
  for (int opening = 1; opening <= 2; ++opening) {
    bool sawIt = false;
    saver.sim.whileModal.push_back([&] {
      ASSERT_EQ(saver.sim.Windows().size(), 2U);
      EXPECT_FALSE(window().enabled) << "the dialog takes no input meanwhile";
      sim::SimWindow& about = *saver.sim.Windows().back();
      EXPECT_EQ(about.caption, "スライドショーのﾊﾞｰｼﾞｮﾝ情報");
      sawIt = true;
      about.PressDialogKey(DialogKey::Escape);
    });
    window().Click(window().MenuItemId("バージョン情報(&V)..."));
    EXPECT_TRUE(sawIt) << "opening " << opening;
    EXPECT_EQ(saver.sim.Windows().size(), 1U) << "opening " << opening;
    EXPECT_TRUE(window().enabled);
    EXPECT_FALSE(saver.Ended());
  }
}

TEST_F(SettingsOpen, FollowsTheDisplaysScale) {
  window().ChangeDpi(144);
  EXPECT_EQ(window().ClientSize(), (platform::PixelSize{650, 110}));
  const auto& ok = window().Control(form().Cmd_OK.Id());
  EXPECT_EQ(ok.rect.left, 516);
  EXPECT_EQ(ok.rect.top, 12);
}

}  // namespace
