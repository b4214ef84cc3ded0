#pragma once
// The saver's own windows as the probe sees them: their titles, and a control that tells each
// apart from another window of the same title (a message box carries the program's title too).
#include <string>

#include "harness/probe_client.h"

namespace e2e {

inline const std::string kSaverTitle = "スライドショー";
inline const std::string kAboutTitle = "スライドショーのﾊﾞｰｼﾞｮﾝ情報";
inline const Control kNoSettingsLabel{"Static", "設定項目はございません。", {}};
inline const Control kSystemInfoButton{"Button", "ｼｽﾃﾑ情報(&S)...", {}};

}  // namespace e2e
