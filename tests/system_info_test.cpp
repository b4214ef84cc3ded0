#include <gtest/gtest.h>

#include "about/sfrm_about.h"
#include "saver_fixture.h"
#include "settings/form2.h"

namespace {

constexpr const char* kToolPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kToolFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr platform::Handle kLocalMachine = sim::SimSystem::kHkeyLocalMachine;
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegDword = 4;

sim::RegistryValue Text(const std::string& text, bool terminated = true) {
  sim::RegistryValue value{kRegSz, {text.begin(), text.end()}};
  if (terminated) value.data.push_back(0);
  return value;
}

// The About box, loaded over the settings dialog, ready for its system-information button.
struct AboutOpen {
  Saver saver;

  AboutOpen() {
    saver.sim.app.Title = "スライドショー";
    saver.Start("/c");
  }

  SFrm_About& about() { return saver.module->form2().about(); }
  std::map<std::string, sim::RegistryValue>& Key(const char* path) {
    return saver.sim.system.registry[path];
  }

  // Clicks the button while the box is open; returns what was started.
  std::vector<std::string> ClickSystemInformation() {
    saver.sim.whileModal.push_back([this] {
      sim::SimWindow& window = *saver.sim.Windows().back();
      window.Click(about().cmdSysInfo.Id());
      EXPECT_TRUE(about().Loaded()) << "the About box stays open";
      window.PressDialogKey(platform::DialogKey::Escape);
    });
    sim::SimWindow& settings = *saver.sim.Windows().front();
    settings.Click(settings.MenuItemId("バージョン情報(&V)..."));
    EXPECT_TRUE(saver.sim.system.openKeys.empty()) << "every opened key is closed";
    std::vector<std::string> started;
    for (const auto& program : saver.sim.startedPrograms) {
      EXPECT_EQ(program.showMode, 1) << program.path;
      started.push_back(program.path);
    }
    return started;
  }

  [[nodiscard]] bool SaidUnavailable() const {
    return saver.sim.messages.size() == 1 &&
           saver.sim.messages[0].text == "この環境ではシステム情報を使用できません。" &&
           saver.sim.messages[0].title == "スライドショー";
  }
};

using Started = std::vector<std::string>;

TEST(SystemInformation, TheToolsOwnPathComesFirstAndIsStartedAsItStands) {
  AboutOpen run;
  const std::string path = "C:\\Program Files\\Common Files\\msinfo32.exe";
  run.Key(kToolPathKey)["PATH"] = Text(path);
  run.Key(kToolFolderKey)["MSINFO"] = Text("C:\\Elsewhere");
  run.saver.sim.AddProgram(path);
  EXPECT_EQ(run.ClickSystemInformation(), Started{path}) << "a path with spaces is one program";
  EXPECT_TRUE(run.saver.sim.messages.empty());
  for (const std::string& call : run.saver.sim.system.calls) {
    EXPECT_EQ(call.find("Shared Tools Location"), std::string::npos)
        << "the second place is not read";
  }
}

TEST(SystemInformation, TheToolsFolderIsTheSecondPlace) {
  struct Case {
    const char* folder;
    const char* started;
  };
  const Case cases[] = {
      {"C:\\Tools", "C:\\Tools\\MSINFO32.EXE"},
      {"C:\\Tools\\", "C:\\Tools\\\\MSINFO32.EXE"},  // used as it is, with two backslashes
  };
  for (const auto& c : cases) {
    AboutOpen run;
    run.Key(kToolFolderKey)["MSINFO"] = Text(c.folder);
    run.saver.sim.AddProgram(c.started);
    EXPECT_EQ(run.ClickSystemInformation(), Started{c.started}) << c.folder;
    EXPECT_TRUE(run.saver.sim.messages.empty()) << c.folder;
  }
}

TEST(SystemInformation, WithoutTheToolTheMessageIsShownAndTheBoxStaysOpen) {
  struct Case {
    const char* what;
    void (*prepare)(AboutOpen&);
  };
  const Case cases[] = {
      {"neither place", [](AboutOpen&) {}},
      {"a folder without the tool",
       [](AboutOpen& r) { r.Key(kToolFolderKey)["MSINFO"] = Text("C:\\Empty"); }},
      {"a path that starts nothing",
       [](AboutOpen& r) { r.Key(kToolPathKey)["PATH"] = Text("C:\\Gone\\msinfo32.exe"); }},
      {"an expandable text at PATH",
       [](AboutOpen& r) {
         r.Key(kToolPathKey)["PATH"] = {kRegExpandSz, {'C', ':', '\\', 'x', 0}};
         r.Key(kToolFolderKey)["MSINFO"] = Text("C:\\Tools");
         r.saver.sim.AddProgram("C:\\Tools\\MSINFO32.EXE");
       }},
  };
  for (const auto& c : cases) {
    AboutOpen run;
    c.prepare(run);
    EXPECT_EQ(run.ClickSystemInformation(), Started{}) << c.what;
    EXPECT_TRUE(run.SaidUnavailable()) << c.what;
  }
}

TEST(SystemInformation, AnEmptyValueAtTheToolsPathFallsThroughToTheFolder) {
  const std::pair<const char*, sim::RegistryValue> cases[] = {
      {"no data at all", {kRegSz, {}}},
      {"the terminator alone", Text("")},
  };
  for (const auto& [what, stored] : cases) {
    AboutOpen run;
    run.Key(kToolPathKey)["PATH"] = stored;
    run.Key(kToolFolderKey)["MSINFO"] = Text("C:\\Tools");
    run.saver.sim.AddProgram("C:\\Tools\\MSINFO32.EXE");
    EXPECT_EQ(run.ClickSystemInformation(), Started{"C:\\Tools\\MSINFO32.EXE"}) << what;
  }
}

TEST(SystemInformation, KeysAreOpenedForReadingOnly) {
  AboutOpen run;
  run.Key(kToolFolderKey)["MSINFO"] = Text("C:\\Empty");
  run.ClickSystemInformation();
  int opens = 0;
  for (const std::string& call : run.saver.sim.system.calls) {
    if (call.rfind("RegOpenKeyExA", 0) != 0) continue;
    ++opens;
    EXPECT_NE(call.find(", 0, 0x1)"), std::string::npos) << call;
  }
  EXPECT_EQ(opens, 2) << "both places are asked for";
}

struct ValueCase {
  const char* what;
  sim::RegistryValue stored;
  bool read;
  std::string text;
};

TEST(GetKeyValue, ReadsTextAndNumbers) {
  std::vector<std::uint8_t> exactly1024(1023, 'a');
  exactly1024.push_back(0);
  std::vector<std::uint8_t> over1024(1024, 'a');
  over1024.push_back(0);
  const ValueCase cases[] = {
      {"text with its terminator", Text("C:\\x"), true, "C:\\x"},
      {"text without a terminator", Text("C:\\x", false), true, "C:\\x"},
      {"1024 bytes with the terminator", {kRegSz, exactly1024}, true, std::string(1023, 'a')},
      {"1025 bytes", {kRegSz, over1024}, false, ""},
      {"no data at all", {kRegSz, {}}, false, ""},
      {"an empty text", Text(""), false, ""},
      {"number 01 00 00 00", {kRegDword, {1, 0, 0, 0}}, true, "1"},
      {"number 04 03 02 01", {kRegDword, {4, 3, 2, 1}}, true, "16909060"},
      {"expandable text", {kRegExpandSz, {'x', 0}}, true, "as passed"},
  };
  for (const auto& c : cases) {
    Saver saver;
    saver.Start("/c");
    saver.sim.system.registry["K"]["V"] = c.stored;
    std::string value = "as passed";
    const bool read = saver.module->form2().about().GetKeyValue(kLocalMachine, "K", "V", value);
    EXPECT_EQ(read, c.read) << c.what;
    EXPECT_EQ(value, c.text) << c.what;
    EXPECT_TRUE(saver.sim.system.openKeys.empty()) << c.what;
  }
}

TEST(GetKeyValue, AMissingKeyOrValueGivesEmptyText) {
  Saver saver;
  saver.Start("/c");
  saver.sim.system.registry["K"]["V"] = Text("x");
  SFrm_About& about = saver.module->form2().about();
  std::string value = "old";
  EXPECT_FALSE(about.GetKeyValue(kLocalMachine, "Missing", "V", value));
  EXPECT_EQ(value, "");
  value = "old";
  EXPECT_FALSE(about.GetKeyValue(kLocalMachine, "K", "Missing", value));
  EXPECT_EQ(value, "");
  EXPECT_TRUE(saver.sim.system.openKeys.empty());
}

}  // namespace
