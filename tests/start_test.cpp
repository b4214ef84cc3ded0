#include <gtest/gtest.h>

#include "saver_fixture.h"
#include "screen/form1.h"
#include "settings/form2.h"

namespace {

enum class Outcome { SlideShow, Settings, NothingOpened, PasswordMessage, EndedSilently };

const char* Name(Outcome outcome) {
  switch (outcome) {
    case Outcome::SlideShow:
      return "slide show";
    case Outcome::Settings:
      return "settings";
    case Outcome::NothingOpened:
      return "nothing opened";
    case Outcome::PasswordMessage:
      return "password message";
    case Outcome::EndedSilently:
      return "ended silently";
  }
  return "?";
}

Outcome OutcomeOf(const Saver& saver) {
  if (!saver.sim.messages.empty()) return Outcome::PasswordMessage;
  if (saver.sim.ended) return Outcome::EndedSilently;
  if (saver.module->form1().Loaded()) return Outcome::SlideShow;
  if (saver.module->form2().Loaded()) return Outcome::Settings;
  return Outcome::NothingOpened;
}

struct SwitchCase {
  const char* commandLine;
  Outcome expected;
};

TEST(CommandLine, TheFirstTwoCharactersUpperCasedChooseTheRequest) {
  const SwitchCase cases[] = {
      {"/s", Outcome::SlideShow},       {"/S", Outcome::SlideShow},
      {"/s 1234", Outcome::SlideShow},  {"-s", Outcome::SlideShow},
      {"/x", Outcome::SlideShow},       {"ab", Outcome::SlideShow},
      {" /c", Outcome::SlideShow},  // a blank and a slash is no known switch
      {"/", Outcome::SlideShow},        {"/c", Outcome::Settings},
      {"/C", Outcome::Settings},        {"/c:1234", Outcome::Settings},
      {"", Outcome::Settings},          {"/p 1234", Outcome::NothingOpened},
      {"/P", Outcome::NothingOpened},   {"/a 5678", Outcome::PasswordMessage},
      {"/A", Outcome::PasswordMessage}, {"/sなにか", Outcome::SlideShow},
      {"／ｓ", Outcome::SlideShow},  // full-width characters are no switch
  };
  for (const auto& c : cases) {
    Saver saver;
    saver.Start(c.commandLine);
    EXPECT_STREQ(Name(OutcomeOf(saver)), Name(c.expected))
        << "command line '" << c.commandLine << "'";
  }
}

TEST(CommandLine, ALongCommandLineIsJudgedByItsFirstTwoCharacters) {
  Saver saver;
  saver.Start("/p" + std::string(100000, 'x'));
  EXPECT_FALSE(saver.module->form1().Loaded());
  EXPECT_TRUE(saver.sim.Windows().empty());
}

TEST(CommandLine, PasswordRequestShowsTheMessageThenEnds) {
  Saver saver;
  saver.sim.app.Title = "スライドショー";
  saver.Start("/a 5678");
  ASSERT_EQ(saver.sim.messages.size(), 1U);
  EXPECT_EQ(saver.sim.messages[0].text, "パスワードには対応しておりません。");
  EXPECT_EQ(saver.sim.messages[0].title, "スライドショー");
  EXPECT_TRUE(saver.sim.ended);
  EXPECT_TRUE(saver.sim.Windows().empty());
}

TEST(CommandLine, SlideShowIsShownMaximized) {
  Saver saver;
  saver.Start("/s");
  Form1& form = saver.module->form1();
  ASSERT_TRUE(form.Loaded());
  EXPECT_TRUE(form.Visible());
  EXPECT_EQ(form.GetWindowState(), platform::WindowState::Maximized);
  EXPECT_FALSE(saver.Ended());
}

// The process has run out of handles: a window, a control or a timer cannot be made. Nothing of
// the half-made form is left, so the program ends as when no window was opened; the show's load
// handler never ran, so the desktop was never touched.
TEST(StartWithoutHandles, LeavesNoWindowAndEndsAsWithNoneOpen) {
  struct Case {
    const char* what;
    const char* commandLine;
    int handlesLeft;
  };
  const Case cases[] = {
      {"no show window", "/s", 0},
      {"a show window and its cover, no timer", "/s", 2},
      {"no settings dialog", "/c", 0},
      {"a settings dialog with one of its three controls", "/c", 2},
  };
  for (const auto& c : cases) {
    Saver saver;
    saver.sim.monitors.push_back({{1024, 0, 800, 600}, 96});
    saver.sim.handlesLeft = c.handlesLeft;
    saver.Start(c.commandLine);
    EXPECT_STREQ(Name(OutcomeOf(saver)), Name(Outcome::NothingOpened)) << c.what;
    EXPECT_TRUE(saver.sim.Windows().empty()) << c.what;
    EXPECT_TRUE(saver.Ended()) << c.what;
    EXPECT_TRUE(saver.sim.system.calls.empty()) << c.what;
  }
}

TEST(SecondInstance, EndsSilentlyWhateverTheCommandLine) {
  for (const char* commandLine : {"/s", "/a", "/c", "/p 1", ""}) {
    Saver saver;
    saver.sim.app.PrevInstance = true;
    saver.Start(commandLine);
    EXPECT_TRUE(saver.sim.ended) << commandLine;
    EXPECT_TRUE(saver.sim.messages.empty()) << commandLine;
    EXPECT_TRUE(saver.sim.Windows().empty()) << commandLine;
    EXPECT_TRUE(saver.sim.system.calls.empty()) << commandLine;
  }
}

TEST(SettingsFile, IsTheProgramFolderTheExecutableNameAndIni) {
  struct Case {
    const char* folder;
    const char* exeName;
    const char* expected;
  };
  const Case cases[] = {
      {"C:\\Saver", "Show", "C:\\Saver\\Show.ini"},
      {"D:\\", "Show", "D:\\Show.ini"},
      {"C:\\写真 フォルダ", "スライド", "C:\\写真 フォルダ\\スライド.ini"},
  };
  for (const auto& c : cases) {
    Saver saver;
    saver.sim.app.Path = c.folder;
    saver.sim.app.EXEName = c.exeName;
    saver.Start("/p");
    EXPECT_EQ(saver.module->IniFilePath, c.expected);
    EXPECT_TRUE(saver.module->SaveSettings());
  }
}

}  // namespace
