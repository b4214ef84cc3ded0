// The release as a company deploys it: the installer, then the uninstaller, both silent, in a
// Wine prefix of their own, so nothing another test left behind can hide what they do.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <map>
#include <optional>
#include <set>

#include "harness/saver_test.h"
#include "harness/saver_windows.h"
#include "harness/wait.h"
#include "harness/x_input.h"

namespace e2e {
namespace {

const std::string kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\slideshow";
const std::string kDesktopKey = "Control Panel\\Desktop";
const std::string kSaverValue = "SCRNSAVE.EXE";
// The user's screen saver before the install.
const std::string kPreviousSaver = "C:\\windows\\system32\\scrnsave.scr";

// Made before the fixture, which runs its programs in it.
struct OwnPrefix {
  WinePrefix own{SharedDisplay()};
};

class InstallerTest : private OwnPrefix, public SaverTest {
 protected:
  InstallerTest() : SaverTest(own) {}
};

std::filesystem::path FindInstaller() {
  for (const auto& entry : std::filesystem::directory_iterator(SourceDir() / "dist")) {
    if (entry.path().filename().string().ends_with("-setup.exe")) return entry.path();
  }
  return {};
}

using Values = std::optional<std::map<std::string, std::string>>;

std::string ValueOr(const Values& values, const std::string& name) {
  if (!values) return "(no key)";
  const auto found = values->find(name);
  return found == values->end() ? "(absent)" : found->second;
}

// The user's programs folder on the host, before anything made it.
std::filesystem::path UserProgramsFolder(const WinePrefix& prefix) {
  for (const auto& entry : std::filesystem::directory_iterator(prefix.DriveC() / "users")) {
    if (entry.path().filename() != "Public") return entry.path() / "AppData/Local/Programs";
  }
  return {};
}

std::set<std::string> FilesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

std::set<std::string> InstalledFiles() {
  std::set<std::string> names = {"slideshow.scr", "uninstall.exe"};
  for (int number = 1; number <= 50; ++number) {
    char name[16];
    std::snprintf(name, sizeof name, "QMAR52%02d.DAT", number);
    names.insert(name);
  }
  return names;
}

std::uintmax_t KibibytesIn(const std::filesystem::path& folder) {
  std::uintmax_t bytes = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) bytes += entry.file_size();
  return bytes / 1024;
}

std::multiset<std::string> Running(const ProbeClient& probe) {
  const std::vector<std::string> names = probe.Processes();
  return {names.begin(), names.end()};
}

// Waits until the processes running now that were not running before have ended.
bool WaitForTheNewOnesToEnd(const ProbeClient& probe, const std::multiset<std::string>& before,
                            std::chrono::seconds timeout) {
  const std::multiset<std::string> now = Running(probe);
  std::multiset<std::string> started;
  std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                      std::inserter(started, started.end()));
  return WaitUntil(timeout, [&] {
    const std::multiset<std::string> running = Running(probe);
    return std::all_of(started.begin(), started.end(), [&](const std::string& name) {
      return running.count(name) <= before.count(name);
    });
  });
}

TEST_F(InstallerTest, SilentInstallMakesItCurrentAndSilentUninstallPutsThePreviousBack) {
  const std::filesystem::path installer = FindInstaller();
  ASSERT_FALSE(installer.empty()) << "no *-setup.exe in dist/: make dist";
  std::filesystem::copy_file(installer, prefix().DriveC() / installer.filename());
  prefix().SetRegistryValue("HKCU\\" + kDesktopKey, kSaverValue, kPreviousSaver);
  // There before the install, empty, as another program may have left it: it is not ours to
  // remove.
  const std::filesystem::path programs = UserProgramsFolder(prefix());
  ASSERT_TRUE(std::filesystem::create_directory(programs)) << programs;

  // The defaults, the same as the pages': it becomes the current screen saver.
  const RunResult install = prefix().Run("C:\\" + installer.filename().string(), {"/S"}, 2min);
  ASSERT_EQ(install.exit_code.value_or(-1), 0) << "the silent install did not succeed";

  const Values registered = probe().UserValues(kUninstallKey);
  ASSERT_TRUE(registered) << "no registration";
  const std::string folder = ValueOr(registered, "InstallLocation");
  EXPECT_TRUE(folder.ends_with("\\AppData\\Local\\Programs\\" + kSaverTitle)) << folder;
  const std::string saver = folder + "\\slideshow.scr";
  const std::string uninstaller = folder + "\\uninstall.exe";
  const std::map<std::string, std::string> expected = {
      {"DisplayName", kSaverTitle},
      {"DisplayVersion", "1.0.0"},
      {"Publisher", "スライドショー制作室"},
      {"DisplayIcon", saver + ",0"},
      {"UninstallString", "\"" + uninstaller + "\""},
      {"QuietUninstallString", "\"" + uninstaller + "\" /S"},
      {"NoModify", "1"},
      {"NoRepair", "1"},
      {"CreatedFolder", folder},
  };
  for (const auto& [name, value] : expected) {
    EXPECT_EQ(ValueOr(registered, name), value) << "registration's " << name;
  }
  const std::filesystem::path host_folder = prefix().HostPath(folder);
  ASSERT_TRUE(std::filesystem::is_directory(host_folder)) << host_folder;
  EXPECT_TRUE(std::filesystem::equivalent(host_folder.parent_path(), programs)) << host_folder;
  EXPECT_EQ(FilesIn(host_folder), InstalledFiles());
  const std::uintmax_t size = KibibytesIn(host_folder);
  EXPECT_NEAR(std::strtod(ValueOr(registered, "EstimatedSize").c_str(), nullptr),
              static_cast<double>(size), static_cast<double>(size) / 100)
      << "registration's EstimatedSize (KiB) against the folder's";
  EXPECT_EQ(ValueOr(probe().UserValues(kDesktopKey), kSaverValue), saver);

  ChildProcess show = prefix().Start(saver, {"/s"});
  EXPECT_TRUE(WaitForSteadyPicture(30s, "installed"))
      << "the installed saver showed no picture; see out/e2e/";
  PressKey(display(), "space");
  ASSERT_TRUE(show.WaitForExit(10s)) << "the installed saver still runs 10 s after a key";

  const std::multiset<std::string> before = Running(probe());
  const RunResult uninstall = prefix().Run(uninstaller, {"/S"}, 1min);
  ASSERT_EQ(uninstall.exit_code.value_or(-1), 0) << "the silent uninstall did not start";
  // It returns at once, leaving the work to a copy of itself outside the folder it removes.
  ASSERT_TRUE(WaitForTheNewOnesToEnd(probe(), before, 60s))
      << "what the uninstaller started still runs after 60 s";
  EXPECT_FALSE(std::filesystem::exists(host_folder)) << host_folder << " is still there";
  EXPECT_TRUE(std::filesystem::is_directory(programs)) << programs << " was removed";
  EXPECT_EQ(probe().UserValues(kUninstallKey), std::nullopt) << "the registration is still there";
  EXPECT_EQ(ValueOr(probe().UserValues(kDesktopKey), kSaverValue), kPreviousSaver);
}

}  // namespace
}  // namespace e2e
