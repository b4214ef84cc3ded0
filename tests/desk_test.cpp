// The show on desks of several monitors, and on monitors whose DPI is not the session's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "saver_fixture.h"
#include "screen/form1.h"

namespace {

using platform::Monitor;
using platform::PixelPoint;

constexpr platform::Handle kShowWindow = 0x10010;
const Monitor kPrimary{{0, 0, 1024, 768}, 96};
const Monitor kRight{{1024, 0, 800, 600}, 96};
const Monitor kLeftAbove{{-1280, -300, 1280, 1024}, 144};

std::vector<sim::SimWindow*> Covers(const sim::SimBinding& sim) {
  std::vector<sim::SimWindow*> covers;
  for (sim::SimWindow* window : sim.Windows()) {
    if (window->design.cover) covers.push_back(window);
  }
  return covers;
}

platform::PixelRect PlaceOf(const sim::SimWindow& window) {
  return {window.position.x, window.position.y, window.outerSize.width, window.outerSize.height};
}

std::string Text(const platform::PixelRect& r) {
  return std::to_string(r.width) + " x " + std::to_string(r.height) + " at " +
         std::to_string(r.left) + ", " + std::to_string(r.top);
}

bool operator==(const platform::PixelRect& a, const platform::PixelRect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

struct ShowOnThreeMonitors : ::testing::Test {
  Saver saver;

  void SetUp() override {
    saver.sim.monitors = {kPrimary, kRight, kLeftAbove};
    saver.sim.AddPicture("C:\\Saver\\QMAR5201.DAT", {800, 600});
    saver.Start("/s");
    ASSERT_EQ(Covers(saver.sim).size(), 2U);
  }

  Form1& form() { return saver.module->form1(); }
  sim::SimWindow& show() { return saver.sim.Window(kShowWindow); }
  sim::SimWindow& right() { return *Covers(saver.sim)[0]; }
  sim::SimWindow& leftAbove() { return *Covers(saver.sim)[1]; }
};

TEST_F(ShowOnThreeMonitors, TheShowStaysOnThePrimaryAndTheOthersAreBlack) {
  EXPECT_TRUE(PlaceOf(show()) == kPrimary.rect);
  EXPECT_EQ(form().Image1.Left(), 112.0F);
  EXPECT_EQ(form().Image1.Top(), 84.0F);
  const Monitor others[] = {kRight, kLeftAbove};
  for (std::size_t i = 0; i < 2; ++i) {
    const sim::SimWindow& cover = *Covers(saver.sim)[i];
    EXPECT_TRUE(PlaceOf(cover) == others[i].rect) << "cover " << i;
    EXPECT_TRUE(cover.visible) << "cover " << i;
    EXPECT_EQ(cover.design.border, platform::BorderStyle::None) << "cover " << i;
    EXPECT_FALSE(cover.design.showInTaskbar) << "cover " << i;
    const platform::Scene scene = cover.Scene();
    EXPECT_EQ(scene.backColor, 0U) << "cover " << i;
    EXPECT_TRUE(scene.pictures.empty()) << "cover " << i;
  }
  // Covering is the form engine's: the show's own calls are those of one monitor.
  EXPECT_EQ(saver.sim.system.calls.size(), 6U);
}

TEST_F(ShowOnThreeMonitors, AKeyOrAButtonOnACoverEndsTheShow) {
  struct Ending {
    const char* name;
    void (*act)(sim::SimWindow&);
  };
  const Ending endings[] = {
      {"a key", [](sim::SimWindow& w) { w.KeyDown('A'); }},
      {"a left click",
       [](sim::SimWindow& w) {
         w.MouseDown({10, 10});
       }},
      {"a right click",
       [](sim::SimWindow& w) {
         w.MouseDown({700, 500}, platform::kRightButton);
       }},
  };
  for (const auto& ending : endings) {
    Saver run;
    run.sim.monitors = {kPrimary, kRight};
    run.Start("/s");
    ending.act(*Covers(run.sim).at(0));
    EXPECT_TRUE(run.sim.ended) << ending.name;
    EXPECT_EQ(run.module->saves, 1) << ending.name;
    EXPECT_TRUE(run.sim.system.taskbarVisible) << ending.name;
    EXPECT_EQ(run.sim.system.cursorDisplayCount, 0) << ending.name;
  }
}

TEST_F(ShowOnThreeMonitors, MovesOnACoverAreInTheShowsOwnPixels) {
  right().MouseMove({10, 20});
  EXPECT_EQ(form().LastMouseX, 1034.0F);
  EXPECT_EQ(form().LastMouseY, 20.0F);
  // -1275, 20: far to the left of the show's own window, but Y is inside the band.
  leftAbove().MouseMove({5, 320});
  EXPECT_FALSE(saver.sim.ended);
  // -1275, -295: both coordinates negative and outside it.
  leftAbove().MouseMove({5, 5});
  EXPECT_TRUE(saver.sim.ended);
}

TEST_F(ShowOnThreeMonitors, AMoveFromTheShowOntoACoverIsMeasuredAcrossThem) {
  show().MouseMove({1020, 100});
  right().MouseMove({1, 104});  // 1025, 104: inside the band both ways
  EXPECT_FALSE(saver.sim.ended);
  right().MouseMove({2, 106});  // 1026, 106: outside it both ways
  EXPECT_TRUE(saver.sim.ended);
}

// A resolution or scale changed, a monitor slept and woke: the show takes the primary monitor as
// it is now, every other one is black, and the next picture is fitted to the new screen. Nothing
// moves the window but the form; the system tells it of its monitor's new DPI.
TEST(ShowWhileMonitorsChange, TakesThePrimaryAsItIsNowCoversTheOthersAndFitsTheNextPicture) {
  Saver saver;
  for (int number = 1; number <= 6; ++number) {
    saver.sim.AddPicture("C:\\Saver\\QMAR520" + std::to_string(number) + ".DAT", {800, 600});
  }
  saver.Start("/s");
  EXPECT_TRUE(Covers(saver.sim).empty());
  sim::SimWindow& show = saver.sim.Window(kShowWindow);
  const Monitor larger{{0, 0, 1280, 1024}, 96};
  const Monitor rightOfLarger{{1280, 0, 800, 600}, 96};
  const Monitor smallerScaled{{0, 0, 800, 600}, 144};
  const Monitor rightOfSmaller{{800, 0, 800, 600}, 96};
  const Monitor wide{{0, 0, 1920, 1080}, 96};
  struct Step {
    const char* what;
    std::vector<Monitor> monitors;
    bool stretch;  // how the next 800 x 600 picture is placed
    float left, top, width, height;
  };
  const Step steps[] = {
      {"a larger resolution", {larger, kLeftAbove, rightOfLarger}, false, 240, 212, 800, 600},
      {"a smaller one at 150 %", {smallerScaled, rightOfSmaller}, true, 0, 0, 800, 600},
      {"the other monitor asleep", {smallerScaled}, true, 0, 0, 800, 600},
      {"the primary asleep, the other in its place", {wide}, false, 560, 240, 800, 600},
      {"both awake again", {kPrimary, kRight}, false, 112, 84, 800, 600},
  };
  for (const Step& step : steps) {
    saver.sim.ChangeMonitors(step.monitors);
    if (show.dpi != step.monitors[0].dpi) show.ChangeDpi(step.monitors[0].dpi);
    EXPECT_TRUE(PlaceOf(show) == step.monitors[0].rect)
        << step.what << ": the show is " << Text(PlaceOf(show));
    const std::vector<sim::SimWindow*> covers = Covers(saver.sim);
    ASSERT_EQ(covers.size(), step.monitors.size() - 1) << step.what;
    for (std::size_t i = 0; i < covers.size(); ++i) {
      EXPECT_TRUE(PlaceOf(*covers[i]) == step.monitors[i + 1].rect)
          << step.what << ": cover " << i << " is " << Text(PlaceOf(*covers[i]));
    }
    show.Tick();
    const platform::Image& image = saver.module->form1().Image1;
    EXPECT_TRUE(image.Visible()) << step.what;
    EXPECT_EQ(image.Stretch(), step.stretch) << step.what;
    EXPECT_EQ(image.Left(), step.left) << step.what;
    EXPECT_EQ(image.Top(), step.top) << step.what;
    EXPECT_EQ(image.Width(), step.width) << step.what;
    EXPECT_EQ(image.Height(), step.height) << step.what;
  }
  EXPECT_FALSE(saver.sim.ended);
  // Input still reaches the show after the changes.
  Covers(saver.sim).at(0)->KeyDown(' ');
  EXPECT_TRUE(saver.sim.ended);
}

// At a new DPI a full-screen form keeps its monitor whole; any other form takes the place the
// system suggests, its size scaled.
TEST(FullScreenForm, AloneHasCoversAndKeepsItsMonitorWholeAtANewDpi) {
  using platform::BorderStyle;
  using platform::WindowState;
  struct Case {
    const char* name;
    BorderStyle border;
    WindowState state;
    std::size_t covers;
    platform::PixelRect atTheNewDpi;
  };
  const Case cases[] = {
      {"full screen", BorderStyle::None, WindowState::Maximized, 1, kPrimary.rect},
      {"a borderless window", BorderStyle::None, WindowState::Normal, 0, {0, 0, 600, 450}},
      {"a framed window", BorderStyle::FixedSingle, WindowState::Maximized, 0, {0, 0, 1536, 1152}},
  };
  for (const Case& c : cases) {
    sim::SimBinding sim;
    sim.monitors = {kPrimary, kRight};
    platform::Runtime runtime(sim);
    platform::FormDesign design;
    design.window.border = c.border;
    design.windowState = c.state;
    platform::Form form(runtime, design);
    form.SetWidth(6000);  // 400 x 300 pixels
    form.SetHeight(4500);
    form.Show();
    EXPECT_EQ(Covers(sim).size(), c.covers) << c.name;
    sim::SimWindow& window = sim.Window(form.hWnd());
    window.ChangeDpi(144);
    EXPECT_TRUE(PlaceOf(window) == c.atTheNewDpi) << c.name << ": " << Text(PlaceOf(window));
    form.Unload();
    EXPECT_TRUE(sim.Windows().empty()) << c.name;
  }
}

// The session began at one DPI and the primary monitor has another now (a laptop docked to a
// monitor of another scale): the screen's twips and the window's pixels still agree.
TEST(ShowOnAScaledMonitor, FitsTheFirstPictureToTheRealWindow) {
  struct Case {
    int systemDpi;
    int monitorDpi;
  };
  for (const Case c : {Case{144, 96}, Case{96, 144}}) {
    Saver saver;
    saver.sim.systemDpi = c.systemDpi;
    saver.sim.monitors.front().dpi = c.monitorDpi;
    saver.sim.AddPicture("C:\\Saver\\QMAR5201.DAT", {800, 600});
    saver.Start("/s");
    const Form1& form = saver.module->form1();
    const auto at = " with system DPI " + std::to_string(c.systemDpi) + ", monitor DPI " +
                    std::to_string(c.monitorDpi);
    EXPECT_EQ(form.Width(), 1024.0F * 1440 / static_cast<float>(c.monitorDpi)) << at;
    EXPECT_EQ(form.ScaleWidth(), 1024.0F) << at;
    EXPECT_EQ(form.ScaleHeight(), 768.0F) << at;
    EXPECT_FALSE(form.Image1.Stretch()) << at;
    EXPECT_EQ(form.Image1.Left(), 112.0F) << at;
    EXPECT_EQ(form.Image1.Top(), 84.0F) << at;
    EXPECT_EQ(form.Image1.Width(), 800.0F) << at;
  }
}

}  // namespace
