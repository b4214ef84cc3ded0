// The release as a company deploys it: the per-user installer and its uninstaller, and the MSI
// for every user of a machine, all silent, each in a Wine prefix of its own, so nothing another
// test left behind can hide what they do. Silent means no window either.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>

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
// The user's screen saver before the install, and one the user chose later.
const std::string kPreviousSaver = "C:\\windows\\system32\\scrnsave.scr";
const std::string kOtherSaver = "C:\\windows\\system32\\other.scr";
const std::string kStartEntry = kSaverTitle + "をスクリーン セーバーにする.lnk";
const std::string kMsiSaver = "qmar52-slideshow.scr";
const std::string kMaker = "スライドショー制作室";
const std::string kUninstallKeys = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Made before the fixture, which runs its programs in it.
struct OwnPrefix {
  WinePrefix own{SharedDisplay()};
};

class InstallerTest : private OwnPrefix, public SaverTest {
 protected:
  InstallerTest() : SaverTest(own) {}

  // `file` (of dist/) copied to C:\ of the prefix; its path there.
  std::string CopyToPrefix(const std::filesystem::path& file) {
    const std::string path = "C:\\" + file.filename().string();
    std::filesystem::copy_file(file, prefix().HostPath(path));
    return path;
  }
};

std::filesystem::path FindInDist(const std::string& ending) {
  for (const auto& entry : std::filesystem::directory_iterator(SourceDir() / "dist")) {
    if (entry.path().filename().string().ends_with(ending)) return entry.path();
  }
  return {};
}

using Values = std::optional<std::map<std::string, std::string>>;

std::string ValueOr(const Values& values, const std::string& name) {
  if (!values) return "(no key)";
  const auto found = values->find(name);
  return found == values->end() ? "(absent)" : found->second;
}

// The user's own folder, C:\users\<name>.
std::string UserFolder(const WinePrefix& prefix) {
  for (const auto& entry : std::filesystem::directory_iterator(prefix.DriveC() / "users")) {
    if (entry.path().filename() != "Public") {
      return "C:\\users\\" + entry.path().filename().string();
    }
  }
  return {};
}

// What Windows can start as the screen saver: ASCII without blanks.
bool Startable(const std::string& path) {
  return !path.empty() &&
         std::all_of(path.begin(), path.end(), [](char c) { return c > ' ' && c < 0x7f; });
}

// The product code the MSI registers its installation under.
std::string ProductCode(const std::filesystem::path& package) {
  std::istringstream table(
      RunTool({"msiinfo", "export", package.string(), "Property"}, {{"LC_ALL", "C.UTF-8"}}));
  std::string line;
  while (std::getline(table, line)) {
    if (line.starts_with("ProductCode\t")) return line.substr(line.find('\t') + 1, 38);
  }
  return {};
}

std::string NewGuid() {
  std::ifstream random("/proc/sys/kernel/random/uuid");
  std::string guid;
  std::getline(random, guid);
  std::transform(guid.begin(), guid.end(), guid.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return "{" + guid + "}";
}

// Makes `copy` (on the host) what another build of `package` is: the same but for a ProductCode
// and a package code of its own, and with `version` (when given) as the product's and its saver's
// version. Returns the new ProductCode.
std::string MakeAnotherBuild(const std::filesystem::path& package,
                             const std::filesystem::path& copy, const std::string& version = {}) {
  std::filesystem::copy_file(package, copy);
  const std::string product_code = NewGuid();
  std::vector<std::string> command = {
      "msibuild", copy.string(), "-q",
      "UPDATE `Property` SET `Value` = '" + product_code + "' WHERE `Property` = 'ProductCode'"};
  if (!version.empty()) {
    command.insert(
        command.end(),
        {"-q",
         "UPDATE `Property` SET `Value` = '" + version + "' WHERE `Property` = 'ProductVersion'",
         "-q", "UPDATE `File` SET `Version` = '" + version + ".0' WHERE `File` = 'Saver'"});
  }
  command.insert(command.end(), {"-s", kSaverTitle, kMaker, "x64;1041", NewGuid()});
  RunTool(command, {{"LC_ALL", "C.UTF-8"}});
  return product_code;
}

// The saver's row of the MSI's File table: "Version\tLanguage".
std::string SaverVersionInPackage(const std::filesystem::path& package) {
  std::istringstream table(
      RunTool({"msiinfo", "export", package.string(), "File"}, {{"LC_ALL", "C.UTF-8"}}));
  std::string line;
  while (std::getline(table, line)) {
    std::vector<std::string> fields;
    std::istringstream row(line);
    for (std::string field; std::getline(row, field, '\t');) fields.push_back(field);
    if (fields.size() >= 6 && fields[0] == "Saver") return fields[4] + "\t" + fields[5];
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

// What is in the folder now and was not in `before`.
std::set<std::string> AddedTo(const std::filesystem::path& folder,
                              const std::set<std::string>& before) {
  const std::set<std::string> now = FilesIn(folder);
  std::set<std::string> added;
  std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                      std::inserter(added, added.end()));
  return added;
}

std::set<std::string> Pictures() {
  std::set<std::string> names;
  for (int number = 1; number <= 50; ++number) {
    char name[16];
    std::snprintf(name, sizeof name, "QMAR52%02d.DAT", number);
    names.insert(name);
  }
  return names;
}

std::set<std::string> InstalledFiles() {
  std::set<std::string> names = Pictures();
  names.insert({"slideshow.scr", "uninstall.exe", "make-current.exe"});
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

// Waits until `done`, noting every window other than the task bar that shows meanwhile
// ("[class] title"); false after the timeout.
bool WatchWindowsUntil(const ProbeClient& probe, std::chrono::seconds timeout,
                       const std::function<bool()>& done, std::set<std::string>& windows) {
  return WaitUntil(timeout, [&] {
    for (const TopWindow& window : probe.Windows()) {
      if (window.class_name != "Shell_TrayWnd") {
        windows.insert("[" + window.class_name + "] " + window.title);
      }
    }
    return done();
  });
}

struct SilentRun {
  std::optional<int> exit_code;   // nothing: still running after the timeout
  std::set<std::string> windows;  // what showed while it ran
};

// Whether what a program starts in the background ends with its work (the uninstaller's copy
// of itself) or lasts by design (Windows Installer's service).
enum class Background { Awaited, Lasting };

// Runs a program to its end, and what it started in the background to theirs unless that lasts.
SilentRun RunSilently(const WinePrefix& prefix, const ProbeClient& probe,
                      const std::string& program, const std::vector<std::string>& arguments,
                      std::chrono::seconds timeout, Background background = Background::Awaited) {
  const std::multiset<std::string> before = Running(probe);
  SilentRun run;
  ChildProcess child = prefix.Start(program, arguments);
  if (!WatchWindowsUntil(
          probe, timeout, [&] { return child.WaitForExit(0s).has_value(); }, run.windows)) {
    return run;
  }
  if (background == Background::Lasting) {
    run.exit_code = child.WaitForExit(0s);
    return run;
  }
  const std::multiset<std::string> now = Running(probe);
  std::multiset<std::string> started;
  std::set_difference(now.begin(), now.end(), before.begin(), before.end(),
                      std::inserter(started, started.end()));
  const bool ended = WatchWindowsUntil(
      probe, timeout,
      [&] {
        const std::multiset<std::string> running = Running(probe);
        return std::all_of(started.begin(), started.end(), [&](const std::string& name) {
          return running.count(name) <= before.count(name);
        });
      },
      run.windows);
  if (ended) run.exit_code = child.WaitForExit(0s);
  return run;
}

TEST_F(InstallerTest, SilentInstallMakesItCurrentAndSilentUninstallPutsThePreviousBack) {
  const std::filesystem::path installer = FindInDist("-setup.exe");
  ASSERT_FALSE(installer.empty()) << "no *-setup.exe in dist/: make dist";
  const std::string setup = CopyToPrefix(installer);
  prefix().SetRegistryValue("HKCU\\" + kDesktopKey, kSaverValue, kPreviousSaver);
  // There before the install, empty, as another program may have left it: it is not ours to
  // remove.
  const std::string user = UserFolder(prefix());
  const std::filesystem::path programs = prefix().HostPath(user + "\\AppData\\Local\\Programs");
  ASSERT_TRUE(std::filesystem::create_directory(programs)) << programs;
  const std::string start_entry =
      user + "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\" + kStartEntry;

  // The defaults, the same as the pages': it becomes the current screen saver.
  const SilentRun install = RunSilently(prefix(), probe(), setup, {"/S"}, 2min);
  ASSERT_EQ(install.exit_code.value_or(-1), 0) << "the silent install did not succeed";
  EXPECT_EQ(install.windows, std::set<std::string>{}) << "windows of the silent install";

  const Values registered = probe().UserValues(kUninstallKey);
  ASSERT_TRUE(registered) << "no registration";
  const std::string folder = ValueOr(registered, "InstallLocation");
  EXPECT_EQ(folder, user + "\\AppData\\Local\\Programs\\slideshow");
  const std::string saver = folder + "\\slideshow.scr";
  const std::string uninstaller = folder + "\\uninstall.exe";
  const std::map<std::string, std::string> expected = {
      {"DisplayName", kSaverTitle},
      {"DisplayVersion", "1.0.0"},
      {"Publisher", kMaker},
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
  const std::string current = ValueOr(probe().UserValues(kDesktopKey), kSaverValue);
  EXPECT_EQ(current, saver);
  EXPECT_TRUE(Startable(current)) << current;

  ChildProcess show = prefix().Start(saver, {"/s"});
  EXPECT_TRUE(WaitForSteadyPicture(30s, "installed"))
      << "the installed saver showed no picture; see out/e2e/";
  PressKey(display(), "space");
  ASSERT_TRUE(show.WaitForExit(10s)) << "the installed saver still runs 10 s after a key";

  // The user picks another saver, then the Start-menu entry brings this one back; the one it
  // replaced is what the uninstaller will put back. (Wine has no Screen Saver page to open.)
  prefix().SetRegistryValue("HKCU\\" + kDesktopKey, kSaverValue, kOtherSaver);
  const std::string program = probe().Shortcut(start_entry).first;
  EXPECT_EQ(program, folder + "\\make-current.exe") << start_entry;
  EXPECT_EQ(prefix().Run(program, {}, 1min).exit_code.value_or(-1), 0) << program;
  const Values desktop = probe().UserValues(kDesktopKey);
  EXPECT_EQ(ValueOr(desktop, kSaverValue), saver) << "after the Start-menu entry";
  EXPECT_EQ(ValueOr(desktop, "ScreenSaveActive"), "1") << "after the Start-menu entry";

  const SilentRun uninstall = RunSilently(prefix(), probe(), uninstaller, {"/S"}, 1min);
  ASSERT_EQ(uninstall.exit_code.value_or(-1), 0) << "the silent uninstall did not end";
  EXPECT_EQ(uninstall.windows, std::set<std::string>{}) << "windows of the silent uninstall";
  EXPECT_FALSE(std::filesystem::exists(host_folder)) << host_folder << " is still there";
  EXPECT_TRUE(std::filesystem::is_directory(programs)) << programs << " was removed";
  EXPECT_FALSE(std::filesystem::exists(prefix().HostPath(start_entry))) << start_entry;
  EXPECT_EQ(probe().UserValues(kUninstallKey), std::nullopt) << "the registration is still there";
  EXPECT_EQ(ValueOr(probe().UserValues(kDesktopKey), kSaverValue), kOtherSaver);

  // A chosen folder with a blank and Japanese: the value takes its short form, or, on a volume
  // without short names, the install refuses the folder. (NSIS takes /D= only unquoted, last.)
  const std::string chosen = "C:\\My Savers\\" + kSaverTitle;
  const RunResult elsewhere = prefix().Run("cmd", {"/c", setup + " /S /D=" + chosen}, 2min);
  ASSERT_TRUE(elsewhere.exit_code) << "the install into " << chosen << " did not end";
  const std::string value = ValueOr(probe().UserValues(kDesktopKey), kSaverValue);
  if (*elsewhere.exit_code != 0) {
    EXPECT_EQ(value, kOtherSaver) << "a refused install changed the screen saver";
    EXPECT_EQ(probe().UserValues(kUninstallKey), std::nullopt) << "a refused install registered";
    return;
  }
  EXPECT_EQ(ValueOr(probe().UserValues(kUninstallKey), "InstallLocation"), chosen);
  EXPECT_TRUE(Startable(value)) << value;
  // The uninstaller puts the previous saver back only when the value is the short form of its
  // own saver.
  const SilentRun removed =
      RunSilently(prefix(), probe(), chosen + "\\uninstall.exe", {"/S"}, 1min);
  ASSERT_EQ(removed.exit_code.value_or(-1), 0) << "the uninstall from " << chosen;
  EXPECT_EQ(ValueOr(probe().UserValues(kDesktopKey), kSaverValue), kOtherSaver)
      << "the value " << value << " was not taken for the installed saver's short form";
  EXPECT_FALSE(std::filesystem::exists(prefix().HostPath("C:\\My Savers")));
}

// Three builds: the release, a rebuild of the same version (a ProductCode and package code of its
// own, as every build has) and a later version, which comes while the saver runs from the
// installed copy, as administrators' upgrades do. Each replaces the one before.
TEST_F(InstallerTest, MsiInstallsForEveryUserSilentlyReplacesItselfAndItsRemovalLeavesNothing) {
  const std::filesystem::path package = FindInDist(".msi");
  ASSERT_FALSE(package.empty()) << "no *.msi in dist/: make dist";
  // Windows Installer's rules for versioned files, not those for unversioned ones.
  EXPECT_EQ(SaverVersionInPackage(package), "1.0.0.0\t1041") << "the saver's Version, Language";
  const std::string msi = CopyToPrefix(package);
  const std::string rebuild = "C:\\rebuild.msi";
  const std::string later = "C:\\later.msi";
  const std::map<std::string, std::string> product_codes = {
      {msi, ProductCode(package)},
      {rebuild, MakeAnotherBuild(package, prefix().HostPath(rebuild))},
      {later, MakeAnotherBuild(package, prefix().HostPath(later), "1.0.1")},
  };
  // The packages whose uninstall entries are there, by DisplayVersion.
  const auto registered = [&] {
    std::map<std::string, std::string> entries;
    for (const auto& [name, code] : product_codes) {
      const Values values = probe().MachineValues(kUninstallKeys + code);
      if (values) entries[name] = ValueOr(values, "DisplayVersion");
    }
    return entries;
  };
  prefix().SetRegistryValue("HKCU\\" + kDesktopKey, kSaverValue, kPreviousSaver);
  const std::filesystem::path system = prefix().HostPath("C:\\windows\\system32");
  const std::set<std::string> before = FilesIn(system);

  const SilentRun install = RunSilently(
      prefix(), probe(), "msiexec", {"/i", msi, "/qn", "/norestart"}, 2min, Background::Lasting);
  ASSERT_EQ(install.exit_code.value_or(-1), 0) << "the silent install did not succeed";
  EXPECT_EQ(install.windows, std::set<std::string>{}) << "windows of the silent install";
  std::set<std::string> expected = Pictures();
  expected.insert(kMsiSaver);
  EXPECT_EQ(AddedTo(system, before), expected) << "what the MSI added to the system folder";
  // Wine registers no DisplayIcon from the package's icon, so the icon goes unchecked.
  const Values entry = probe().MachineValues(kUninstallKeys + product_codes.at(msi));
  EXPECT_EQ(ValueOr(entry, "DisplayName"), kSaverTitle);
  EXPECT_EQ(ValueOr(entry, "DisplayVersion"), "1.0.0");
  EXPECT_EQ(ValueOr(entry, "Publisher"), kMaker);
  EXPECT_EQ(ValueOr(probe().UserValues(kDesktopKey), kSaverValue), kPreviousSaver)
      << "the MSI changed the user's screen saver";

  const RunResult rebuilt = prefix().Run("msiexec", {"/i", rebuild, "/qn", "/norestart"}, 2min);
  ASSERT_EQ(rebuilt.exit_code.value_or(-1), 0) << "the rebuild's install did not succeed";
  EXPECT_EQ(registered(), (std::map<std::string, std::string>{{rebuild, "1.0.0"}}))
      << "uninstall entries after a rebuild of the same version";

  ChildProcess show = prefix().Start("C:\\windows\\system32\\" + kMsiSaver, {"/s"});
  ASSERT_TRUE(WaitForSteadyPicture(30s, "installed")) << "the installed saver showed no picture";
  const RunResult upgrade = prefix().Run("msiexec", {"/i", later, "/qn", "/norestart"}, 2min);
  ASSERT_TRUE(upgrade.exit_code) << "the upgrade did not end";
  std::cout << "[ upgrade  ] exit code " << *upgrade.exit_code << " while the saver ran\n";
  // 3010 says a restart is due; 1641 would say the install started one. Wine hands the host
  // the exit code's low byte: 194 and 105.
  EXPECT_TRUE(*upgrade.exit_code == 0 || *upgrade.exit_code == (3010 & 0xff)) << *upgrade.exit_code;
  EXPECT_FALSE(show.WaitForExit(0s)) << "the running saver was ended: a restart";
  EXPECT_EQ(registered(), (std::map<std::string, std::string>{{later, "1.0.1"}}))
      << "uninstall entries after a later version";
  PressKey(display(), "space");
  ASSERT_TRUE(show.WaitForExit(10s)) << "the saver still runs 10 s after a key";
  // The saver file the upgrade could not delete while it ran waits, renamed, for the restart that
  // 3010 asked for, as on Windows: the administrator's restart comes later.
  if (*upgrade.exit_code != 0) {
    ASSERT_TRUE(prefix().Run("wineboot", {"--restart"}, 1min).exit_code) << "wineboot --restart";
  }

  const SilentRun uninstall = RunSilently(
      prefix(), probe(), "msiexec", {"/x", later, "/qn", "/norestart"}, 2min, Background::Lasting);
  ASSERT_EQ(uninstall.exit_code.value_or(-1), 0) << "the silent removal did not succeed";
  EXPECT_EQ(uninstall.windows, std::set<std::string>{}) << "windows of the silent removal";
  EXPECT_EQ(AddedTo(system, before), std::set<std::string>{})
      << "the system folder after the removal";
  EXPECT_EQ(registered(), (std::map<std::string, std::string>{})) << "still registered";
}

// The Start-menu program's step when the saver's path has no form the screen saver's value can
// take: its folder moved under a path with blanks on a volume without short names. Wine makes a
// short name for everything, so a small program runs the same step for a folder that is not
// there, which has no short name either.
TEST_F(InstallerTest, StartMenuProgramThatFindsNoStartablePathSaysWhyAndChangesNothing) {
  const std::string folder = "C:\\Saver moved here\\slideshow";
  const std::filesystem::path source = prefix().HostPath("C:\\moved.nsi");
  std::ofstream(source)
      << "Unicode true\nTarget amd64-unicode\nRequestExecutionLevel user\n"
      << "SilentInstall silent\n!define TITLE \"" << kSaverTitle << "\"\n"
      << "!include \"" << (SourceDir() / "installer/screen_saver.nsh").string()
      << "\"\nLoadLanguageFile \"${NSISDIR}\\Contrib\\Language files\\Japanese.nlf\"\n"
      << "!include \"" << (SourceDir() / "installer/texts_japanese.nsh").string()
      << "\"\nName \"${TITLE}\"\nOutFile moved.exe\nSection\n"
      << "  StrCpy $INSTDIR \"" << folder << "\"\n"
      << "  !insertmacro MakeCurrentOrSayWhy\nSectionEnd\n";
  RunTool({"makensis", "-V2", "-INPUTCHARSET", "UTF8", source.string()}, {});
  prefix().SetRegistryValue("HKCU\\" + kDesktopKey, kSaverValue, kOtherSaver);
  prefix().SetRegistryValue("HKCU\\" + kUninstallKey, "PreviousScreenSaver", kPreviousSaver);

  ChildProcess program = prefix().Start("C:\\moved.exe", {});
  // The message's first line names the folder (the probe reads a control's text to its first
  // line end).
  const bool said = WaitUntil(20s, [&] {
    for (const TopWindow& window : probe().Windows()) {
      for (const Control& control : window.controls) {
        if (control.class_name == "Static" && control.text.find(folder) != std::string::npos) {
          return true;
        }
      }
    }
    return false;
  });
  EXPECT_TRUE(said) << "no message naming " << folder << ":\n" << Describe(probe().Windows());
  Screenshot("message");
  PressKey(display(), "Return");
  const std::optional<int> exit_code = program.WaitForExit(10s);
  ASSERT_TRUE(exit_code) << "still running 10 s after Return";
  EXPECT_EQ(*exit_code, 3);
  EXPECT_EQ(ValueOr(probe().UserValues(kDesktopKey), kSaverValue), kOtherSaver);
  EXPECT_EQ(ValueOr(probe().UserValues(kUninstallKey), "PreviousScreenSaver"), kPreviousSaver);
}

}  // namespace
}  // namespace e2e
