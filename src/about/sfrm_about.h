#pragma once
// The version-information box: the application's title, version, company and copyright from
// its own version information, the program's icon, and a button for the system's information
// tool.
#include <string>

#include "platform/dialog_controls.h"
#include "platform/form.h"

class SFrm_About final : public platform::Form {
 public:
  // Its window is owned by the window of `owner`, the form that opens it.
  SFrm_About(platform::Runtime& runtime, const platform::Form& owner);

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

  // Finds the system's information tool through the registry and starts it, or says that it
  // cannot be used here. Never raises an error.
  void StartSysInfo();
  // Reads one registry value as text into KeyVal: True when it was read. KeyVal becomes empty
  // when it was not, and stays as passed for value types other than text and number.
  bool GetKeyValue(platform::Handle KeyRoot, const std::string& KeyName,
                   const std::string& SubKeyRef, std::string& KeyVal);

 private:
  void Form_Load() override;
  void cmdOK_Click();
  void cmdSysInfo_Click();
  // The tool's path from the registry, when it names one; raises run-time errors.
  bool FindSysInfo(std::string& path);
};
