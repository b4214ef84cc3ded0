#include "about/sfrm_about.h"

#include <string>

#include "platform/run_time_error.h"
#include "platform/system_values.h"
#include "platform/text.h"
#include "ui_texts.h"

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kGrey = 0x808080;

platform::FormDesign AboutDesign(const platform::Form& owner) {
  platform::FormDesign design;
  design.owner = &owner;
  design.window.caption = texts::kAboutCaption;
  design.window.border = platform::BorderStyle::FixedDialog;
  design.window.showInTaskbar = false;
  design.clientSize = platform::TwipsSize{6105, 2880};
  return design;
}

}  // namespace

SFrm_About::SFrm_About(platform::Runtime& runtime, const platform::Form& owner)
    : Form(runtime, AboutDesign(owner)),
      cmdOK(*this, texts::kAboutOk, {4560, 1980, 1380, 345}, {.isDefault = true, .isCancel = true}),
      picIcon(*this, {240, 240, 480, 480}),
      cmdSysInfo(*this, texts::kSystemInfo, {4560, 2400, 1380, 345}, {}),
      // Lies below the client area, out of sight.
      lblDescription(*this, texts::kDescription, {1020, 3420, 3885, 1170}, {.foreColor = kBlack}),
      lblDisclaimer(*this, texts::kDisclaimer, {180, 2160, 4230, 525}, {.foreColor = kBlack}),
      lblTitle(*this, texts::kTitlePlaceholder, {1050, 240, 4905, 285},
               {.font = platform::FontSpec{texts::kTitleFontFace, 9, 700,
                                           platform::system_values::SHIFTJIS_CHARSET},
                .foreColor = kBlack}),
      lblVersion(*this, texts::kVersionWord, {1050, 600, 4905, 225}),
      lblCompanyName(*this, "", {180, 930, 5760, 225}),
      lblLegalCopyright(*this, "", {180, 1200, 5820, 450}),
      Line1_0(*this, {120, 1800, 6000, 1800}, kWhite, 2),
      Line1_1(*this, {120, 1830, 6000, 1830}, kGrey, 1) {
  cmdOK.Click = [this] { cmdOK_Click(); };
  cmdSysInfo.Click = [this] { cmdSysInfo_Click(); };
}

void SFrm_About::Form_Load() {
  SetCaption(App.Title + texts::kAboutCaptionSuffix);
  lblVersion.SetCaption(std::string(texts::kVersionWord) + " " + std::to_string(App.Major) + "." +
                        std::to_string(App.Minor) + "." + std::to_string(App.Revision));
  lblTitle.SetCaption(App.Title);
  lblCompanyName.SetCaption(App.CompanyName);
  // A double space in the copyright line starts a new line.
  lblLegalCopyright.SetCaption(platform::Replace(App.LegalCopyright, "  ", "\r\n"));
  lblDisclaimer.SetCaption("");
}

void SFrm_About::cmdOK_Click() { Unload(); }
