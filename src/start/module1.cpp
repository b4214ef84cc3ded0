#include "start/module1.h"

#include "platform/run_time_error.h"
#include "platform/text.h"
#include "screen/form1.h"
#include "settings/form2.h"
#include "ui_texts.h"

using platform::OnErrorExit;

Module1::Module1(platform::Runtime& runtime) : runtime_(runtime) {}

Module1::~Module1() = default;

Form1& Module1::form1() {
  if (!form1_) form1_ = std::make_unique<Form1>(runtime_, *this);
  return *form1_;
}

Form2& Module1::form2() {
  if (!form2_) form2_ = std::make_unique<Form2>(runtime_, *this);
  return *form2_;
}

void Module1::Main() {
  OnErrorExit([&] {
    if (runtime_.App.PrevInstance) runtime_.End();
    if (!BuildIniFilePath()) runtime_.End();

    // Only the first two characters count; whatever follows (a window handle) is ignored.
    const std::string request = platform::UCase(platform::Left(runtime_.Command(), 2));
    if (request == "/A") {
      runtime_.MsgBox(texts::kPasswordsNotSupported, runtime_.App.Title);
      runtime_.End();
    } else if (request == "/C" || request.empty()) {
      form2().Load();
      form2().Show();
    } else if (request == "/P") {
      // No preview is drawn: with no window open, the program ends.
    } else {
      form1().Load();
      form1().Show();
      form1().SetWindowState(platform::WindowState::Maximized);
    }
  });
}

bool Module1::BuildIniFilePath() {
  bool built = false;
  OnErrorExit([&] {
    std::string path = runtime_.App.Path;
    if (platform::Right(path, 1) != "\\") path += "\\";
    IniFilePath = path + runtime_.App.EXEName + ".ini";
    built = true;
  });
  return built;
}

bool Module1::SaveSettings() {
  // There is nothing to store: the path is read and no file is touched.
  [[maybe_unused]] const std::string path = IniFilePath;
  return true;
}
