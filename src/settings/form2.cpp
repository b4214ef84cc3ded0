#include "settings/form2.h"

#include "about/sfrm_about.h"
#include "platform/run_time_error.h"
#include "start/module1.h"
#include "ui_texts.h"

using platform::OnErrorExit;

namespace {

platform::FormDesign Form2Design() {
  platform::FormDesign design;
  design.window.caption = texts::kSettingsCaption;
  design.window.border = platform::BorderStyle::FixedSingle;
  design.window.showInTaskbar = true;
  design.window.programIcon = true;
  design.clientSize = platform::TwipsSize{6495, 1095};
  return design;
}

}  // namespace

Form2::Form2(platform::Runtime& runtime, Module1& module)
    : Form(runtime, Form2Design()),
      Cmd_OK(*this, texts::kOk, {5160, 120, 1215, 375}, {.isDefault = true}),
      Cmd_Cancel(*this, texts::kCancel, {5160, 600, 1215, 375}, {.isCancel = true}),
      Label1(*this, texts::kNoSettings, {120, 240, 3135, 255}),
      MENU_HELP(*this, texts::kHelpMenu),
      MENU_Version(MENU_HELP, texts::kVersionMenu),
      module_(module) {
  Cmd_OK.Click = [this] { Cmd_OK_Click(); };
  Cmd_Cancel.Click = [this] { Cmd_Cancel_Click(); };
  MENU_Version.Click = [this] { MENU_Version_Click(); };
}

Form2::~Form2() = default;

SFrm_About& Form2::about() {
  if (!about_) about_ = std::make_unique<SFrm_About>(runtime_, *this);
  return *about_;
}

void Form2::Form_Load() {
  OnErrorExit([&] { SetCaption(App.Title); });
}

void Form2::Cmd_OK_Click() {
  OnErrorExit([&] {
    module_.SaveSettings();
    runtime_.End();
  });
}

void Form2::Cmd_Cancel_Click() {
  OnErrorExit([&] { runtime_.End(); });
}

void Form2::MENU_Version_Click() {
  OnErrorExit([&] { about().ShowModal(); });
}
