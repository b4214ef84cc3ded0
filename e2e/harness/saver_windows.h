#pragma once
// The saver's own windows as the probe sees them: their titles, and a control that tells each
// apart from another window of the same title (a message box carries the program's title too).
#include <algorithm>
#include <string>

#include "harness/probe_client.h"

namespace e2e {

inline const std::string kSaverTitle = "スライドショー";
inline const std::string kAboutTitle = "スライドショーのﾊﾞｰｼﾞｮﾝ情報";
inline const Control kNoSettingsLabel{"Static", "設定項目はございません。", {}};
inline const Control kSystemInfoButton{"Button", "ｼｽﾃﾑ情報(&S)...", {}};

// A message box with nothing to choose: a dialog whose one button is OK.
inline bool IsOkOnlyMessageBox(const TopWindow& window) {
  const auto buttons = std::count_if(window.controls.begin(), window.controls.end(),
                                     [](const Control& c) { return c.class_name == "Button"; });
  return window.class_name == "#32770" && buttons == 1 && FindControl(window, "Button", "OK");
}

}  // namespace e2e
