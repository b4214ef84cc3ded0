#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "platform/run_time_error.h"
#include "saver_fixture.h"
#include "screen/form1.h"

namespace {

constexpr platform::Handle kFirstWindow = 0x10010;

std::string PictureFile(const std::string& folder, int number) {
  return folder + (folder.back() == '\\' ? "" : "\\") + "QMAR52" + (number < 10 ? "0" : "") +
         std::to_string(number) + ".DAT";
}

struct Placement {
  bool stretch;
  float left, top, width, height;
};

std::ostream& operator<<(std::ostream& out, const Placement& p) {
  return out << (p.stretch ? "stretched " : "natural ") << p.width << " x " << p.height << " at "
             << p.left << ", " << p.top;
}

bool operator==(const Placement& a, const Placement& b) {
  return a.stretch == b.stretch && a.left == b.left && a.top == b.top && a.width == b.width &&
         a.height == b.height;
}

Placement ShowOnScreen(platform::PixelSize screen, platform::PixelSize picture) {
  Saver saver;
  saver.sim.monitors.front().rect = {0, 0, screen.width, screen.height};
  saver.sim.AddPicture(PictureFile("C:\\Saver", 1), picture);
  saver.Start("/s");
  const platform::Image& image = saver.module->form1().Image1;
  EXPECT_TRUE(image.Visible());
  return {image.Stretch(), image.Left(), image.Top(), image.Width(), image.Height()};
}

TEST(FitRule, PlacesEachKindOfPicture) {
  struct Case {
    const char* what;
    platform::PixelSize screen, picture;
    Placement expected;
  };
  const Case cases[] = {
      {"smaller: natural size, centred", {1024, 768}, {800, 600}, {false, 112, 84, 800, 600}},
      {"as wide as the screen", {1024, 768}, {1024, 500}, {true, 0, 134, 1024, 500}},
      {"wide, relatively wider", {1024, 768}, {2048, 1024}, {true, 0, 128, 1024, 512}},
      {"wide, relatively narrower", {1024, 768}, {1250, 1000}, {true, 32, 0, 960, 768}},
      {"tall", {1024, 768}, {600, 1200}, {true, 320, 0, 384, 768}},
      {"square", {1024, 768}, {1000, 1000}, {true, 128, 0, 768, 768}},
      {"the screen's own aspect", {1024, 768}, {2048, 1536}, {true, 0, 0, 1024, 768}},
      {"portrait screen, its own aspect", {768, 1024}, {1536, 2048}, {true, 0, 0, 768, 1024}},
      {"one pixel smaller", {1024, 768}, {1023, 767}, {false, 0.5F, 0.5F, 1023, 767}},
      {"as high as the screen", {1024, 768}, {500, 768}, {true, 262, 0, 500, 768}},
      {"a thin line", {1920, 1080}, {5000, 1}, {true, 0, 539.808F, 1920, 0.384F}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ShowOnScreen(c.screen, c.picture), c.expected) << c.what;
  }
}

TEST(FitRule, TheWholePictureAlwaysLiesInsideTheScreen) {
  const platform::PixelSize screens[] = {{1024, 768}, {1366, 768}, {1920, 1080}, {768, 1024}};
  const platform::PixelSize pictures[] = {{6000, 4000}, {3000, 1000}, {1080, 1920}, {1366, 769},
                                          {1367, 768},  {7, 3000},    {1600, 1600}, {1920, 1081}};
  for (const auto screen : screens) {
    for (const auto picture : pictures) {
      const Placement p = ShowOnScreen(screen, picture);
      EXPECT_GE(p.left, 0.0F);
      EXPECT_GE(p.top, 0.0F);
      EXPECT_LE(p.left + p.width, static_cast<float>(screen.width) + 0.01F) << p;
      EXPECT_LE(p.top + p.height, static_cast<float>(screen.height) + 0.01F) << p;
      const bool smaller = picture.width < screen.width && picture.height < screen.height;
      const bool fillsOneSide = p.width == static_cast<float>(screen.width) ||
                                p.height == static_cast<float>(screen.height);
      EXPECT_TRUE(smaller ? !p.stretch : fillsOneSide)
          << p << " on " << screen.width << " x " << screen.height;
    }
  }
}

TEST(PictureCycle, ShowsTheNumbersInOrderAndWrapsAfterFifty) {
  Saver saver;
  saver.Start("/s");
  sim::SimWindow& window = saver.sim.Window(kFirstWindow);
  for (int tick = 0; tick < 51; ++tick) window.Tick();
  const auto& opened = saver.sim.openedPictures;
  ASSERT_EQ(opened.size(), 52U);
  EXPECT_EQ(opened[0], "C:\\Saver\\QMAR5201.DAT");
  EXPECT_EQ(opened[8], "C:\\Saver\\QMAR5209.DAT");
  EXPECT_EQ(opened[9], "C:\\Saver\\QMAR5210.DAT");
  EXPECT_EQ(opened[49], "C:\\Saver\\QMAR5250.DAT");
  EXPECT_EQ(opened[50], "C:\\Saver\\QMAR5201.DAT");
  EXPECT_EQ(opened[51], "C:\\Saver\\QMAR5202.DAT");
  EXPECT_EQ(saver.module->form1().PictureNumber, 3);
}

TEST(PictureCycle, NamesFilesAtADrivesRootWithoutADoubledBackslash) {
  Saver saver;
  saver.sim.app.Path = "D:\\";
  saver.Start("/s");
  ASSERT_FALSE(saver.sim.openedPictures.empty());
  EXPECT_EQ(saver.sim.openedPictures[0], "D:\\QMAR5201.DAT");
}

TEST(PictureCycle, AFailedPictureLeavesTheScreenBlackAndMovesOn) {
  struct Case {
    const char* what;
    void (*prepare)(sim::SimBinding&);
    bool brokenPixels = false;  // the element holds the picture that failed
  };
  const Case cases[] = {
      {"missing", [](sim::SimBinding&) {}},
      {"no picture", [](sim::SimBinding& s) { s.AddFile("C:\\Saver\\QMAR5202.DAT"); }},
      {"broken pixels",
       [](sim::SimBinding& s) {
         s.AddPictureWithBrokenPixels("C:\\Saver\\QMAR5202.DAT", {640, 480});
       },
       true},
      {"empty picture",
       [](sim::SimBinding& s) {
         s.AddPicture("C:\\Saver\\QMAR5202.DAT", {0, 0});
       }},
  };
  for (const auto& c : cases) {
    Saver saver;
    saver.sim.AddPicture("C:\\Saver\\QMAR5201.DAT", {800, 600});
    saver.sim.AddPicture("C:\\Saver\\QMAR5203.DAT", {640, 480});
    c.prepare(saver.sim);
    saver.Start("/s");
    Form1& form = saver.module->form1();
    sim::SimWindow& window = saver.sim.Window(kFirstWindow);
    window.MouseMove({10, 10});  // disarms the mouse test
    window.Tick();
    EXPECT_FALSE(form.Image1.Visible()) << c.what;
    EXPECT_TRUE(window.Scene().pictures.empty()) << c.what;
    EXPECT_FALSE(form.FirstMove) << c.what;
    EXPECT_EQ(form.PictureNumber, 3) << c.what;
    EXPECT_FALSE(saver.sim.ended) << c.what;
    // Shown again, a picture that could not be decoded fails again rather than showing empty.
    if (c.brokenPixels) {
      EXPECT_THROW(form.Image1.SetVisible(true), platform::RunTimeError) << c.what;
      EXPECT_FALSE(form.Image1.Visible()) << c.what;
    }
    window.Tick();
    EXPECT_TRUE(form.Image1.Visible()) << c.what;
    EXPECT_EQ(form.Image1.Width(), 640.0F) << c.what;
    EXPECT_TRUE(form.FirstMove) << c.what;
  }
}

// Days of the show, failures included: only the picture shown is alive, and its source, with the
// file it reads, went as soon as it was drawn.
TEST(PictureCycle, OverManyTicksOnlyTheShownPictureIsAlive) {
  Saver saver;
  for (int number = 1; number <= 50; ++number) {
    const std::string file = PictureFile("C:\\Saver", number);
    if (number % 10 == 3) {
      saver.sim.AddPictureWithBrokenPixels(file, {640, 480});
    } else if (number % 10 == 6) {
      saver.sim.AddFile(file);
    } else if (number % 10 != 9) {
      saver.sim.AddPicture(file, {200 + 30 * number, 1200 - 20 * number});
    }
  }
  saver.Start("/s");
  sim::SimWindow& window = saver.sim.Window(kFirstWindow);
  std::vector<std::weak_ptr<platform::Picture>> pictures;
  for (int tick = 0; tick < 200; ++tick) {
    window.Tick();
    pictures.push_back(saver.module->form1().Image1.GetPicture());
  }
  ASSERT_EQ(saver.module->form1().PictureNumber, 2);  // 201 pictures: four cycles and one more
  EXPECT_EQ(
      std::count_if(pictures.begin(), pictures.end(), [](const auto& p) { return !p.expired(); }),
      1);
  EXPECT_EQ(saver.sim.liveSources, 0);
}

TEST(PictureCycle, ATickThatCannotTakeTheFocusShowsNoNewPicture) {
  Saver saver;
  saver.sim.AddPicture("C:\\Saver\\QMAR5201.DAT", {800, 600});
  saver.Start("/s");
  sim::SimWindow& window = saver.sim.Window(kFirstWindow);
  window.canTakeFocus = false;
  saver.sim.system.calls.clear();
  window.Tick();
  ASSERT_EQ(saver.sim.system.calls.size(), 1U);
  EXPECT_EQ(saver.sim.system.calls[0], "SetWindowPos(65552, -1, 0, 0, 0, 0, 0x3)");
  EXPECT_EQ(saver.module->form1().PictureNumber, 2);
  EXPECT_TRUE(saver.module->form1().Image1.Visible());
}

TEST(PictureCycle, ATickBringsTheWindowToTheTopAndTakesTheFocus) {
  Saver saver;
  saver.Start("/s");
  sim::SimWindow& window = saver.sim.Window(kFirstWindow);
  window.Tick();
  EXPECT_TRUE(window.focused);
  EXPECT_EQ(saver.sim.system.calls.back(), "SetWindowPos(65552, -1, 0, 0, 0, 0, 0x3)");
}

TEST(PictureCycle, TheScenePaintsTheShownPictureAtItsPlace) {
  Saver saver;
  saver.sim.AddPicture("C:\\Saver\\QMAR5201.DAT", {2048, 1024});
  saver.Start("/s");
  const platform::Scene scene = saver.sim.Window(kFirstWindow).Scene();
  EXPECT_EQ(scene.backColor, 0U);
  ASSERT_EQ(scene.pictures.size(), 1U);
  const auto& picture = scene.pictures[0];
  EXPECT_EQ(picture.rect.left, 0);
  EXPECT_EQ(picture.rect.top, 128);
  EXPECT_EQ(picture.rect.width, 1024);
  EXPECT_EQ(picture.rect.height, 512);
  ASSERT_NE(picture.bitmap, nullptr);
  EXPECT_EQ(picture.bitmap->size, (platform::PixelSize{1024, 512}));
}

}  // namespace
