#pragma once
// The version-information box: the application's title, version, company and copyright from
// its own version information, the program's icon, and a button for the system's information
// tool.
#include "platform/dialog_controls.h"
#include "platform/form.h"

class SFrm_About final : public platform::Form {
 public:
  explicit SFrm_About(platform::Runtime& runtime);

  // In tab order.
  platform::CommandButton cmdOK;
  platform::IconBox picIcon;
  platform::CommandButton cmdSysInfo;
  platform::Label lblDescription;
  platform::Label lblDisclaimer;
  platform::Label lblTitle;
  platform::Label lblVersion;
  platform::Label lblCompanyName;
  platform::Label lblLegalCopyright;
  platform::Line Line1_0;
  platform::Line Line1_1;

 private:
  void Form_Load() override;
  void cmdOK_Click();
};
