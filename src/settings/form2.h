#pragma once
// The settings dialog. The saver has nothing to set: the dialog says so and offers OK, Cancel
// and the version information.
#include <memory>

#include "platform/dialog_controls.h"
#include "platform/form.h"

class Module1;
class SFrm_About;

class Form2 final : public platform::Form {
 public:
  Form2(platform::Runtime& runtime, Module1& module);
  Form2(const Form2&) = delete;
  Form2& operator=(const Form2&) = delete;
  ~Form2() override;

  // In tab order.
  platform::CommandButton Cmd_OK;
  platform::CommandButton Cmd_Cancel;
  platform::Label Label1;
  platform::Menu MENU_HELP;
  platform::Menu MENU_Version;

  // The version-information box, created on first use and owned by this dialog.
  SFrm_About& about();

 private:
  void Form_Load() override;
  void Cmd_OK_Click();
  void Cmd_Cancel_Click();
  void MENU_Version_Click();

  Module1& module_;
  std::unique_ptr<SFrm_About> about_;
};
