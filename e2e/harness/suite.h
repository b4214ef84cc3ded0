#pragma once
// What all tests of one run share: the X screen and the Wine prefix, made once because a prefix
// takes about ten seconds. Tests run one after another on them.
#include <gtest/gtest.h>

#include <filesystem>

#include "harness/wine_prefix.h"
#include "harness/x_display.h"

namespace e2e {

class Suite : public ::testing::Environment {
 public:
  void SetUp() override;
  void TearDown() override;
};

const XDisplay& SharedDisplay();
const WinePrefix& SharedPrefix();

// The repository checkout, whose build and dist folders hold the programs under test.
std::filesystem::path SourceDir();
// Where the screenshots go for people to look at: out/e2e/ in the checkout, or the folder
// E2E_SCREENSHOTS names (the bench's soak, which leaves the last test run's for the docs).
std::filesystem::path ScreenshotDir();

}  // namespace e2e
