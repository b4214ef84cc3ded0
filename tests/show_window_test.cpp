#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver_fixture.h"
#include "screen/form1.h"
#include "screen/picture_cycle.h"

namespace {

constexpr platform::Handle kFirstWindow = 0x10010;
constexpr platform::Handle kInputContext = 0x4242;

struct ShowRunning : ::testing::Test {
  Saver saver;

  void SetUp() override {
    saver.sim.AddPicture("C:\\Saver\\QMAR5201.DAT", {800, 600});
    saver.sim.AddPicture("C:\\Saver\\QMAR5202.DAT", {640, 480});
    saver.sim.system.inputContexts[kFirstWindow] = kInputContext;
    saver.Start("/s");
    ASSERT_TRUE(form().Loaded());
  }

  Form1& form() { return saver.module->form1(); }
  sim::SimWindow& window() { return saver.sim.Window(kFirstWindow); }
  // A point on the black part of the screen and one on the 800 x 600 picture at (112, 84).
  static constexpr platform::PixelPoint kOnBlack{20, 20};
  static constexpr platform::PixelPoint kOnPicture{512, 384};
};

TEST_F(ShowRunning, LoadPutsTheDesktopAwayInOrder) {
  const std::vector<std::string> expected = {
      "SystemParametersInfoA(17, 4294967295, \"\", 0)",
      "ShowCursor(0)",
      "ImmAssociateContext(65552, 0)",
      "FindWindowA(\"Shell_traywnd\", \"\")",
      "SetWindowPos(131104, 0, 0, 0, 0, 0, 0x80)",
      "SetWindowPos(65552, -1, 0, 0, 0, 0, 0x3)",
  };
  EXPECT_EQ(saver.sim.system.calls, expected);
  EXPECT_EQ(form().SavedImeContext, kInputContext);
  EXPECT_EQ(form().TaskbarWindow, sim::SimSystem::kTaskbar);
  EXPECT_FALSE(saver.sim.system.taskbarVisible);
  EXPECT_EQ(saver.sim.system.cursorDisplayCount, -1);
  EXPECT_TRUE(saver.sim.system.screenSaveActive);
  EXPECT_EQ(form().PictureNumber, 2);
  EXPECT_EQ(form().PictureCount, 50);
  EXPECT_TRUE(form().FirstMove);
  EXPECT_EQ(form().BackColor(), 0U);
  EXPECT_GE(window().immediateRepaints, 1);
}

TEST_F(ShowRunning, CoversTheScreenWithoutFrameOrTaskBarButton) {
  EXPECT_EQ(form().Width(), 15360.0F);  // 1024 pixels in twips
  EXPECT_EQ(form().Height(), 11520.0F);
  EXPECT_EQ(window().design.border, platform::BorderStyle::None);
  EXPECT_FALSE(window().design.showInTaskbar);
  EXPECT_EQ(form().ScaleWidth(), 1024.0F);
  EXPECT_EQ(form().ScaleHeight(), 768.0F);
  EXPECT_EQ(window().timers.at(0), static_cast<unsigned>(screen::kPicturePeriod.count()));
}

TEST_F(ShowRunning, EveryEndingInputPutsTheDesktopBackAndEnds) {
  struct Ending {
    const char* name;
    void (*act)(sim::SimWindow&);
  };
  const Ending endings[] = {
      {"a letter key", [](sim::SimWindow& w) { w.KeyDown('A'); }},
      {"Shift alone", [](sim::SimWindow& w) { w.KeyDown(0x10, platform::kShiftMask); }},
      {"Ctrl alone", [](sim::SimWindow& w) { w.KeyDown(0x11, platform::kCtrlMask); }},
      {"left click on black", [](sim::SimWindow& w) { w.MouseDown(kOnBlack); }},
      {"right click on the picture",
       [](sim::SimWindow& w) { w.MouseDown(kOnPicture, platform::kRightButton); }},
      {"middle click", [](sim::SimWindow& w) { w.MouseDown(kOnBlack, platform::kMiddleButton); }},
      {"a close request", [](sim::SimWindow& w) { w.RequestClose(); }},
  };
  for (const auto& ending : endings) {
    Saver run;
    run.sim.AddPicture("C:\\Saver\\QMAR5201.DAT", {800, 600});
    run.sim.system.inputContexts[kFirstWindow] = kInputContext;
    run.Start("/s");
    run.sim.system.calls.clear();
    ending.act(run.sim.Window(kFirstWindow));
    const std::vector<std::string> expected = {
        "ShowCursor(-1)",
        "ImmAssociateContext(65552, 16962)",
        "SetWindowPos(131104, 0, 0, 0, 0, 0, 0x40)",
    };
    EXPECT_EQ(run.sim.system.calls, expected) << ending.name;
    EXPECT_TRUE(run.sim.ended) << ending.name;
    EXPECT_EQ(run.module->saves, 1) << ending.name;
    EXPECT_TRUE(run.sim.system.taskbarVisible) << ending.name;
    EXPECT_EQ(run.sim.system.cursorDisplayCount, 0) << ending.name;
    EXPECT_EQ(run.sim.system.inputContexts[kFirstWindow], kInputContext) << ending.name;
  }
}

TEST_F(ShowRunning, MovesEndTheShowOnlyWhenBothCoordinatesLeaveTheBand) {
  struct Move {
    platform::PixelPoint to;
    bool ends;
  };
  // Reference (100, 100), recorded by the first move.
  const Move moves[] = {
      {{105, 95}, false},  {{95, 105}, false},  {{106, 100}, false},
      {{300, 104}, false}, {{100, 400}, false}, {{1000, 100}, false},
      {{106, 106}, true},  {{94, 106}, true},   {{94, 94}, true},
  };
  for (const auto& move : moves) {
    Saver run;
    run.Start("/s");
    sim::SimWindow& w = run.sim.Window(kFirstWindow);
    w.MouseMove({100, 100});
    w.MouseMove(move.to);
    EXPECT_EQ(run.sim.ended, move.ends) << "move to " << move.to.x << ", " << move.to.y;
  }
}

TEST_F(ShowRunning, TheFirstMoveOnlyRecordsHoweverFar) {
  window().MouseMove({1000, 700});
  EXPECT_FALSE(saver.sim.ended);
  EXPECT_FALSE(form().FirstMove);
  EXPECT_EQ(form().LastMouseX, 1000.0F);
  EXPECT_EQ(form().LastMouseY, 700.0F);
  // Later moves are compared with that place, never with the one before them.
  window().MouseMove({1000, 100});
  window().MouseMove({100, 700});
  window().MouseMove({1003, 703});
  EXPECT_FALSE(saver.sim.ended);
  window().MouseMove({10, 10});
  EXPECT_TRUE(saver.sim.ended);
}

TEST_F(ShowRunning, EachNewPictureTakesANewReference) {
  window().MouseMove({100, 100});
  window().Tick();
  EXPECT_TRUE(form().FirstMove);
  window().MouseMove({500, 500});  // records again
  EXPECT_FALSE(saver.sim.ended);
  window().MouseMove({503, 497});
  EXPECT_FALSE(saver.sim.ended);
}

TEST_F(ShowRunning, PicturePositionsAreInThePicturesOwnOrigin) {
  // Over the picture at (112, 84) a pointer at screen (512, 384) is (400, 300) of the picture.
  window().MouseMove(kOnPicture);
  EXPECT_EQ(form().LastMouseX, 400.0F);
  EXPECT_EQ(form().LastMouseY, 300.0F);
  // Screen (406, 306) is still on the picture, at (294, 222) of it.
  window().MouseMove({406, 306});
  EXPECT_TRUE(saver.sim.ended) << "picture coordinates (294, 222) are far from (400, 300)";
}

TEST_F(ShowRunning, APositionOverBlackIsComparedAsItComes) {
  window().MouseMove(kOnPicture);  // (400, 300) in the picture
  // Far away on the screen, but its X is within 5 of the recorded one.
  window().MouseMove({402, 20});
  EXPECT_FALSE(saver.sim.ended);
  // On black at screen (1010, 10): both coordinates differ by more than 5 from (400, 300).
  window().MouseMove({1010, 10});
  EXPECT_TRUE(saver.sim.ended);
}

// The task bar belongs to another process: while the call that shows it waits, the system may
// deliver a close request to the window.
TEST_F(ShowRunning, ACloseRequestDuringTheUnloadDoesNotRunItAgain) {
  bool asked = false;
  saver.sim.system.meanwhile = [&](const std::string& call) {
    if (asked || call != "SetWindowPos(131104, 0, 0, 0, 0, 0, 0x40)") return;
    asked = true;
    window().RequestClose();
  };
  saver.sim.system.calls.clear();
  window().KeyDown('A');
  const std::vector<std::string> expected = {
      "ShowCursor(-1)",
      "ImmAssociateContext(65552, 16962)",
      "SetWindowPos(131104, 0, 0, 0, 0, 0, 0x40)",
  };
  EXPECT_EQ(saver.sim.system.calls, expected);
  EXPECT_EQ(saver.module->saves, 1);
  EXPECT_EQ(saver.sim.system.cursorDisplayCount, 0);
}

TEST(ShowWithoutTaskBar, RunsAndEndsNormally) {
  Saver saver;
  saver.sim.system.taskbarExists = false;
  saver.sim.AddPicture("C:\\Saver\\QMAR5201.DAT", {800, 600});
  saver.Start("/s");
  Form1& form = saver.module->form1();
  EXPECT_EQ(form.TaskbarWindow, 0);
  EXPECT_TRUE(form.Image1.Visible());
  saver.sim.Window(kFirstWindow).KeyDown(' ');
  EXPECT_TRUE(saver.sim.ended);
  EXPECT_EQ(saver.sim.system.cursorDisplayCount, 0);
}

TEST(ShowWithoutFirstPicture, StillComesUpBlackWithTheMouseTestArmed) {
  Saver saver;
  saver.Start("/s");
  Form1& form = saver.module->form1();
  EXPECT_TRUE(form.Visible());
  EXPECT_FALSE(form.Image1.Visible());
  EXPECT_TRUE(form.FirstMove);
  EXPECT_EQ(saver.sim.system.cursorDisplayCount, -1);
  EXPECT_FALSE(saver.sim.system.taskbarVisible);
  EXPECT_TRUE(saver.sim.Window(kFirstWindow).Scene().pictures.empty());
}

}  // namespace
