// The About box's system-information button: it starts the tool the registry names, from the
// tool's own path or from its folder, and explains in a message box when neither is there.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <optional>

#include "harness/saver_test.h"
#include "harness/saver_windows.h"
#include "harness/wait.h"
#include "harness/x_input.h"

namespace e2e {
namespace {

const Control kUnavailable{"Static", "この環境ではシステム情報を使用できません。", {}};

const std::string kToolPathKey = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools\\MSInfo";
const std::string kToolFolderKey = "HKLM\\SOFTWARE\\Microsoft\\Shared Tools Location";
const std::string kSystemFolder = "C:\\windows\\system32";

class SystemInfoTest : public SaverTest {
 protected:
  // Where the registry points: the tool's path (lookup by PATH), its folder (lookup by MSINFO);
  // nullopt leaves the value out.
  void PointRegistryAt(const std::optional<std::string>& tool_path,
                       const std::optional<std::string>& tool_folder) const {
    const WinePrefix& prefix = SharedPrefix();
    const auto point = [&](const std::string& key, const char* name,
                           const std::optional<std::string>& data) {
      if (data) {
        prefix.SetRegistryValue(key, name, *data);
      } else {
        prefix.DeleteRegistryValue(key, name);
      }
    };
    point(kToolPathKey, "PATH", tool_path);
    point(kToolFolderKey, "MSINFO", tool_folder);
  }

  // Starts the settings dialog and opens the About box from it.
  [[nodiscard]] ChildProcess StartWithAboutBox(std::optional<TopWindow>& about) const {
    ChildProcess saver = StartSaver(folder_, {"/c"});
    about = OpenAboutBoxFromDialog();
    return saver;
  }

  void ClickSystemInfo(const TopWindow& about) const {
    const Box button =
        FindControl(about, kSystemInfoButton.class_name, kSystemInfoButton.text)->rect;
    ClickAt(display(), button.left + button.width / 2, button.top + button.height / 2);
  }

  [[nodiscard]] bool ToolRunning() const {
    const std::vector<std::string> processes = probe().Processes();
    return std::any_of(processes.begin(), processes.end(), [](const std::string& image) {
      return image == "msinfo32.exe" || image == "MSINFO32.EXE";
    });
  }

  void ExpectToolStartedAndAboutBoxOpen() const {
    std::optional<TopWindow> about;
    ChildProcess saver = StartWithAboutBox(about);
    ASSERT_TRUE(about) << "no About box; windows:" << Describe(probe().Windows());
    ASSERT_FALSE(ToolRunning()) << "the tool ran before the click";
    ClickSystemInfo(*about);
    EXPECT_TRUE(WaitUntil(10s, [&] { return ToolRunning(); }))
        << "no msinfo32.exe process after the click; processes seen by the probe";
    Screenshot();
    EXPECT_TRUE(WaitForWindow(kAboutTitle, kSystemInfoButton, 2s)) << "the About box closed";
    EXPECT_FALSE(WaitForWindow(kSaverTitle, kUnavailable, 1s)) << "a message came up as well";
    EXPECT_TRUE(saver.Running());
  }

  const ProgramFolder folder_ = MakeFolder("system-info", {});
};

TEST_F(SystemInfoTest, StartsTheToolAtTheRegisteredPath) {
  PointRegistryAt(kSystemFolder + "\\msinfo32.exe", std::nullopt);
  ExpectToolStartedAndAboutBoxOpen();
}

// An empty text at PATH (what `reg add /d ""` writes) names no tool: the folder is asked. The
// tool works in its own folder, not in the one the saver was started from.
TEST_F(SystemInfoTest, StartsTheToolInItsFolderWhenThePathIsAnEmptyText) {
  PointRegistryAt("", kSystemFolder);
  ExpectToolStartedAndAboutBoxOpen();
  std::string folder = probe().WorkingFolder("msinfo32.exe");
  std::transform(folder.begin(), folder.end(), folder.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  EXPECT_EQ(folder, "c:\\windows\\system32\\") << "the tool's working folder, lower-cased";
}

// "C:\Program Files\…" is started as one program. Split at its spaces, the start would run the
// decoy C:\Program.exe (a copy of the probe, which ends at once on arguments it does not know).
TEST_F(SystemInfoTest, StartsTheToolAtAPathWithSpacesAsOneProgram) {
  const std::filesystem::path drive = SharedPrefix().DriveC();
  const std::filesystem::path folder = drive / "Program Files" / "System Tools";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(drive / "windows/system32/msinfo32.exe", folder / "msinfo32.exe",
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::copy_file(probe().path(), drive / "Program.exe",
                             std::filesystem::copy_options::overwrite_existing);
  PointRegistryAt("C:\\Program Files\\System Tools\\msinfo32.exe", std::nullopt);
  ExpectToolStartedAndAboutBoxOpen();
  std::filesystem::remove(drive / "Program.exe");
}

TEST_F(SystemInfoTest, ExplainsInAMessageWhenTheRegistryNamesNoTool) {
  PointRegistryAt(std::nullopt, std::nullopt);
  std::optional<TopWindow> about;
  ChildProcess saver = StartWithAboutBox(about);
  ASSERT_TRUE(about) << "no About box; windows:" << Describe(probe().Windows());
  ClickSystemInfo(*about);

  const std::optional<TopWindow> message = WaitForWindow(kSaverTitle, kUnavailable);
  Screenshot("message");
  ASSERT_TRUE(message) << "no message; windows:" << Describe(probe().Windows());
  EXPECT_TRUE(IsOkOnlyMessageBox(*message)) << "expected a message box with only OK" << *message;
  EXPECT_FALSE(ToolRunning());

  PressKey(display(), "Return");
  EXPECT_TRUE(WaitForWindowGone(kSaverTitle, kUnavailable)) << "OK left the message open";
  EXPECT_TRUE(WaitForWindow(kAboutTitle, kSystemInfoButton, 2s)) << "the About box is not back";
  EXPECT_TRUE(saver.Running());
}

}  // namespace
}  // namespace e2e
