#include "harness/saver_test.h"

#include <algorithm>
#include <iostream>

#include "harness/saver_windows.h"
#include "harness/wait.h"
#include "harness/x_input.h"

namespace e2e {

namespace {

std::filesystem::path SaverFile() { return SourceDir() / "dist/slideshow.scr"; }

std::string CurrentTestName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  std::replace(name.begin(), name.end(), '/', '_');
  return name;
}

bool CornersBlack(const ScreenImage& image) {
  const int right = image.width() - 1;
  const int bottom = image.height() - 1;
  for (const auto& [x, y] : {std::pair{0, 0}, {right, 0}, {0, bottom}, {right, bottom}}) {
    if (!Near(image.At(x, y), Rgb{}, 16)) return false;
  }
  return true;
}

std::optional<TopWindow> FindWindow(const std::vector<TopWindow>& windows, const std::string& title,
                                    const Control& with) {
  for (const TopWindow& window : windows) {
    if (window.title == title && FindControl(window, with.class_name, with.text)) return window;
  }
  return std::nullopt;
}

}  // namespace

void SaverTest::SetUp() {
  ASSERT_TRUE(std::filesystem::exists(SaverFile())) << SaverFile() << " is missing: make dist";
  ASSERT_TRUE(std::filesystem::exists(probe_.path())) << probe_.path() << " is missing: make dist";
  MovePointer(display(), kCentreX, kCentreY);
  // Now and then Wine's desktop hangs while it comes up, or comes up without its task bar on a
  // busy machine; a fresh start gets past that.
  std::string taskbar;
  bool ready = false;
  for (int attempt = 0; attempt < 3 && !ready; ++attempt) {
    if (attempt > 0) {
      std::cerr << "Wine's desktop did not come up with its task bar (\"" << taskbar
                << "\"); starting it afresh\n";
      hold_.reset();
      prefix_.EndAll();
    }
    hold_.emplace(probe_.Hold());
    ready = WaitUntil(20s, [this] { return prefix_.DesktopShown(); }) &&
            WaitUntil(30s, [&] { return (taskbar = probe_.Taskbar()) == "visible"; });
  }
  ASSERT_TRUE(ready) << "in three starts, the Wine desktop's task bar: got \"" << taskbar
                     << "\", expected visible";
}

void SaverTest::TearDown() {
  hold_.reset();
  prefix_.EndAll();
}

ProgramFolder SaverTest::MakeFolder(const std::string& name,
                                    const std::vector<TestPicture>& pictures) const {
  return ProgramFolder(prefix_, name, SaverFile(), pictures);
}

ChildProcess SaverTest::StartSaver(const ProgramFolder& folder,
                                   const std::vector<std::string>& arguments) const {
  return prefix_.Start(folder.SaverPath(), arguments);
}

std::optional<TopWindow> SaverTest::WaitForWindow(const std::string& title, const Control& with,
                                                  std::chrono::seconds timeout) const {
  std::optional<TopWindow> found;
  WaitUntil(timeout,
            [&] { return (found = FindWindow(probe_.Windows(), title, with)).has_value(); });
  return found;
}

bool SaverTest::WaitForWindowGone(const std::string& title, const Control& with,
                                  std::chrono::seconds timeout) const {
  return WaitUntil(timeout, [&] { return !FindWindow(probe_.Windows(), title, with); });
}

std::optional<TopWindow> SaverTest::OpenAboutBoxFromDialog() const {
  if (!WaitForWindow(kSaverTitle, kNoSettingsLabel)) return std::nullopt;
  PressKey(display(), "alt+h");
  PressKey(display(), "v");
  return WaitForWindow(kAboutTitle, kSystemInfoButton);
}

ScreenImage SaverTest::Screenshot(const std::string& label) const {
  const std::string file = CurrentTestName() + (label.empty() ? "" : "-" + label) + ".png";
  return TakeScreenshot(display(), ScreenshotDir() / file);
}

std::optional<Shown> SaverTest::WaitForSteadyPicture(std::chrono::seconds timeout,
                                                     const std::string& label) const {
  std::optional<Box> previous;
  std::optional<Shown> steady;
  WaitUntil(timeout, [&] {
    ScreenImage image = Screenshot(label);
    // Black corners: the show covers the desktop and its task bar.
    const std::optional<Box> box = CornersBlack(image) ? image.NonBlackBox() : std::optional<Box>();
    if (box && box == previous) steady = Shown{std::move(image), *box};
    previous = box;
    return steady.has_value();
  });
  return steady;
}

std::optional<Shown> SaverTest::WaitForPictureAt(const Box& expected,
                                                 std::chrono::milliseconds timeout,
                                                 const std::string& label) const {
  std::optional<Shown> found;
  WaitUntil(timeout, [&] {
    ScreenImage image = Screenshot(label);
    const std::optional<Box> box = image.NonBlackBox();
    if (box && NearlyEqual(*box, expected)) found = Shown{std::move(image), *box};
    return found.has_value();
  });
  return found;
}

}  // namespace e2e
