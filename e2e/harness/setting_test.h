#pragma once
// The fixture of tests that need one registry value of the prefix's for their whole run: set
// before the desktop comes up, so every program the test starts sees it, and removed after.
#include "harness/saver_test.h"

namespace e2e {

struct RegistrySetting {
  const char* key;  // with its root, HKCU\…
  const char* name;
  const char* data;
  const char* type;
};

template <const RegistrySetting& setting>
class SettingTest : public SaverTest {
 protected:
  void SetUp() override {
    prefix().SetRegistryValue(setting.key, setting.name, setting.data, setting.type);
    SaverTest::SetUp();
  }
  void TearDown() override {
    SaverTest::TearDown();
    prefix().DeleteRegistryValue(setting.key, setting.name);
    // reg itself started Wine; the next test starts from nothing running.
    prefix().EndAll();
  }
};

// A display scaled to 150 %: 144 DPI for every program the test starts.
inline constexpr RegistrySetting kScaledDisplay{"HKCU\\Control Panel\\Desktop", "LogPixels", "144",
                                                "REG_DWORD"};
using ScaledDisplayTest = SettingTest<kScaledDisplay>;

}  // namespace e2e
