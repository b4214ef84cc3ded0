#pragma once
// The fixture of tests on a display scaled to 150 %: 144 DPI for every program the test starts.
#include "harness/saver_test.h"

namespace e2e {

class ScaledDisplayTest : public SaverTest {
 protected:
  void SetUp() override {
    SharedPrefix().SetRegistryValue(kDesktopKey, "LogPixels", "144", "REG_DWORD");
    SaverTest::SetUp();
  }
  void TearDown() override {
    SaverTest::TearDown();
    SharedPrefix().DeleteRegistryValue(kDesktopKey, "LogPixels");
    // reg itself started Wine; the next test starts from nothing running.
    SharedPrefix().EndAll();
  }

 private:
  static constexpr const char* kDesktopKey = "HKCU\\Control Panel\\Desktop";
};

}  // namespace e2e
