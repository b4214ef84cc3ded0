#pragma once
// The fixture of every end-to-end test: a desktop with its task bar up and the pointer at the
// centre before the test starts the saver, and nothing of Wine left running after it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "harness/box.h"
#include "harness/child_process.h"
#include "harness/probe_client.h"
#include "harness/program_folder.h"
#include "harness/screen_image.h"
#include "harness/suite.h"

namespace e2e {

using namespace std::chrono_literals;

// A screenshot taken once the show had settled on a picture.
struct Shown {
  ScreenImage image;
  Box box;
};

class SaverTest : public ::testing::Test {
 protected:
  // In the prefix all tests of the run share.
  SaverTest() : SaverTest(SharedPrefix()) {}
  explicit SaverTest(const WinePrefix& prefix) : prefix_(prefix) {}

  void SetUp() override;
  void TearDown() override;

  [[nodiscard]] const XDisplay& display() const { return SharedDisplay(); }
  [[nodiscard]] const WinePrefix& prefix() const { return prefix_; }
  [[nodiscard]] const ProbeClient& probe() const { return probe_; }

  // Makes C:\e2e\<name>\ with the saver from dist/ and the pictures.
  [[nodiscard]] ProgramFolder MakeFolder(const std::string& name,
                                         const std::vector<TestPicture>& pictures) const;
  [[nodiscard]] ChildProcess StartSaver(const ProgramFolder& folder,
                                        const std::vector<std::string>& arguments) const;

  // Waits for a visible top-level window with this title that has the control of this class
  // and text (a message box and the dialog it belongs to can share a title).
  [[nodiscard]] std::optional<TopWindow> WaitForWindow(const std::string& title,
                                                       const Control& with,
                                                       std::chrono::seconds timeout = 20s) const;
  // Waits until no such window is left.
  [[nodiscard]] bool WaitForWindowGone(const std::string& title, const Control& with,
                                       std::chrono::seconds timeout = 5s) const;

  // Waits for the settings dialog, then opens the About box from its Help menu by keyboard.
  [[nodiscard]] std::optional<TopWindow> OpenAboutBoxFromDialog() const;

  // Saves out/e2e/<test>[-label].png.
  ScreenImage Screenshot(const std::string& label = "") const;
  // Waits until two screenshots running show the same picture box on a black screen. The last
  // screenshot stays in out/e2e/ either way.
  [[nodiscard]] std::optional<Shown> WaitForSteadyPicture(std::chrono::seconds timeout = 20s,
                                                          const std::string& label = "") const;
  // Waits until the picture's box is where expected, e.g. after a tick.
  [[nodiscard]] std::optional<Shown> WaitForPictureAt(const Box& expected,
                                                      std::chrono::milliseconds timeout,
                                                      const std::string& label = "") const;

 private:
  const WinePrefix& prefix_;
  ProbeClient probe_{prefix_, SourceDir() / "build/windows/e2e/probe/probe.exe"};
  std::optional<ChildProcess> hold_;
};

// Names a parameterised test after its case's name field.
struct CaseName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& tested) const {
    return tested.param.name;
  }
};

// The centre of the screen, where Wine puts its first mouse move when the show appears.
inline constexpr int kCentreX = kScreenWidth / 2;
inline constexpr int kCentreY = kScreenHeight / 2;

}  // namespace e2e
