#include <gtest/gtest.h>

#include "about/sfrm_about.h"
#include "saver_fixture.h"
#include "settings/form2.h"

namespace {

using platform::DialogKey;

// Opens the About box from the settings dialog, runs `look` while it is open, then leaves it
// with `leave`.
struct AboutBox {
  Saver saver;

  explicit AboutBox(const platform::AppObject& app) {
    saver.sim.app = app;
    saver.Start("/c");
  }

  void Open(const std::function<void(sim::SimWindow&, SFrm_About&)>& whileOpen) {
    saver.sim.whileModal.push_back([this, whileOpen] {
      whileOpen(*saver.sim.Windows().back(), saver.module->form2().about());
    });
    sim::SimWindow& settings = *saver.sim.Windows().front();
    settings.Click(settings.MenuItemId("バージョン情報(&V)..."));
  }
};

platform::AppObject App(const std::string& copyright = "Copyright (C) 2026") {
  platform::AppObject app;
  app.Path = "C:\\Saver";
  app.EXEName = "Saver";
  app.Title = "スライドショー";
  app.CompanyName = "制作室";
  app.LegalCopyright = copyright;
  app.Major = 1;
  return app;
}

TEST(AboutBoxTexts, AreComposedFromTheApplication) {
  AboutBox box(App());
  box.Open([](sim::SimWindow& window, SFrm_About& about) {
    EXPECT_EQ(window.caption, "スライドショーのﾊﾞｰｼﾞｮﾝ情報");
    EXPECT_EQ(about.lblVersion.Caption(), "ﾊﾞｰｼﾞｮﾝ 1.0.0");
    EXPECT_EQ(about.lblTitle.Caption(), "スライドショー");
    EXPECT_EQ(about.lblCompanyName.Caption(), "制作室");
    EXPECT_EQ(about.lblLegalCopyright.Caption(), "Copyright (C) 2026");
    EXPECT_EQ(about.lblDisclaimer.Caption(), "");
    EXPECT_EQ(about.lblDescription.Caption(), "ｱﾌﾟﾘｹｰｼｮﾝの説明");
    // What the window shows is what the labels say.
    EXPECT_EQ(window.Control(about.lblVersion.Id()).text, "ﾊﾞｰｼﾞｮﾝ 1.0.0");
    EXPECT_EQ(window.Control(about.lblDisclaimer.Id()).text, "");
    window.Click(about.cmdOK.Id());
  });
  EXPECT_EQ(box.saver.sim.Windows().size(), 1U);
}

TEST(AboutBoxTexts, VersionNumbersHaveNoLeadingZerosOrBlanks) {
  platform::AppObject app = App();
  app.Minor = 12;
  AboutBox box(app);
  box.Open([](sim::SimWindow& window, SFrm_About& about) {
    EXPECT_EQ(about.lblVersion.Caption(), "ﾊﾞｰｼﾞｮﾝ 1.12.0");
    window.PressDialogKey(DialogKey::Escape);
  });
}

TEST(AboutBoxTexts, DoubleSpacesInTheCopyrightBreakTheLine) {
  struct Case {
    const char* copyright;
    const char* shown;
  };
  const Case cases[] = {
      {"(C) 2026  制作室", "(C) 2026\r\n制作室"},
      {"a   b", "a\r\n b"},
      {"a    b", "a\r\n\r\nb"},
      {"a b", "a b"},
      {"", ""},
  };
  for (const auto& c : cases) {
    AboutBox box(App(c.copyright));
    box.Open([&](sim::SimWindow& window, SFrm_About& about) {
      EXPECT_EQ(about.lblLegalCopyright.Caption(), c.shown) << "'" << c.copyright << "'";
      window.PressDialogKey(DialogKey::Escape);
    });
  }
}

TEST(AboutBoxTexts, AnEmptyCompanyNameLeavesItsLabelEmpty) {
  platform::AppObject app = App();
  app.CompanyName = "";
  AboutBox box(app);
  box.Open([](sim::SimWindow& window, SFrm_About& about) {
    EXPECT_EQ(about.lblCompanyName.Caption(), "");
    window.PressDialogKey(DialogKey::Escape);
  });
}

TEST(AboutBoxLayout, MatchesTheDesignAtNinetySixDpi) {
  AboutBox box(App());
  box.Open([](sim::SimWindow& window, SFrm_About& about) {
    EXPECT_EQ(window.ClientSize(), (platform::PixelSize{407, 192}));
    EXPECT_EQ(window.design.border, platform::BorderStyle::FixedDialog);
    EXPECT_FALSE(window.design.showInTaskbar);
    EXPECT_EQ(window.controls.front().id, about.cmdOK.Id()) << "OK comes first in tab order";
    EXPECT_EQ(window.focusedControl, about.cmdOK.Id());
    const auto& title = window.Control(about.lblTitle.Id());
    ASSERT_TRUE(title.font.has_value());
    EXPECT_EQ(title.font->face, "ＭＳ Ｐゴシック");
    EXPECT_EQ(title.font->points, 9);
    EXPECT_EQ(title.font->weight, 700);
    EXPECT_EQ(title.font->charset, 128);
    const auto& icon = window.Control(about.picIcon.Id());
    EXPECT_EQ(icon.kind, platform::ControlSpec::Kind::Icon);
    EXPECT_EQ(icon.rect.width, 32);
    EXPECT_EQ(icon.rect.left, 16);
    const auto& description = window.Control(about.lblDescription.Id());
    EXPECT_GE(description.rect.top, window.ClientSize().height) << "kept out of sight";
    const auto scene = window.Scene();
    ASSERT_EQ(scene.lines.size(), 2U);
    EXPECT_EQ(scene.lines[0].color, 0xFFFFFFU);
    EXPECT_EQ(scene.lines[0].width, 2);
    EXPECT_EQ(scene.lines[0].from.y, 120);
    EXPECT_EQ(scene.lines[1].color, 0x808080U);
    EXPECT_EQ(scene.lines[1].width, 1);
    EXPECT_EQ(scene.lines[1].from.y, 122);
    window.PressDialogKey(DialogKey::Escape);
  });
}

TEST(AboutBoxKeys, EnterAndEscCloseItUnlessTheSystemInformationButtonHasTheFocus) {
  struct Case {
    const char* what;
    bool focusOnSysInfo;
    DialogKey key;
    bool closes;
  };
  const Case cases[] = {
      {"Enter on OK", false, DialogKey::Enter, true},
      {"Esc on OK", false, DialogKey::Escape, true},
      {"Esc on system information", true, DialogKey::Escape, true},
      {"Enter on system information", true, DialogKey::Enter, false},
  };
  for (const auto& c : cases) {
    AboutBox box(App());
    bool closed = false;
    box.Open([&](sim::SimWindow& window, SFrm_About& about) {
      if (c.focusOnSysInfo) window.FocusControl(about.cmdSysInfo.Id());
      window.PressDialogKey(c.key);
      closed = !about.Loaded();
      if (!closed) window.RequestClose();  // the title bar's close button
    });
    EXPECT_EQ(closed, c.closes) << c.what;
    EXPECT_EQ(box.saver.sim.Windows().size(), 1U) << c.what;
    EXPECT_FALSE(box.saver.Ended()) << c.what;
  }
}

// Owned by the dialog whatever window is active, so it goes with it: a close request reaching
// the disabled dialog from outside ends the program instead of leaving it with no window.
TEST(AboutBoxOpening, IsOwnedByTheDialogAndGoesWithIt) {
  AboutBox box(App());
  sim::SimWindow& settings = *box.saver.sim.Windows().front();
  const platform::Handle dialog = settings.handle();
  box.Open([&](sim::SimWindow& window, SFrm_About&) {
    EXPECT_EQ(window.design.owner, dialog);
    settings.RequestClose();
  });
  EXPECT_TRUE(box.saver.sim.Windows().empty());
  EXPECT_TRUE(box.saver.sim.quit) << "the program ends with no window left";
  EXPECT_FALSE(box.saver.module->form2().about().Loaded());
}

TEST(AboutBoxOpening, RecomposesTheTextsEachTime) {
  AboutBox box(App());
  box.Open([](sim::SimWindow& window, SFrm_About& about) {
    about.lblTitle.SetCaption("changed");
    window.PressDialogKey(DialogKey::Escape);
  });
  box.Open([](sim::SimWindow& window, SFrm_About& about) {
    EXPECT_EQ(about.lblTitle.Caption(), "スライドショー");
    EXPECT_EQ(window.Control(about.lblTitle.Id()).text, "スライドショー");
    window.PressDialogKey(DialogKey::Escape);
  });
}

}  // namespace
