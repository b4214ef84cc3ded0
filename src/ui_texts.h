#pragma once
// Every text of the interface, in one place, exactly as the user sees it. Half-width katakana
// stay half-width and full-width letters full-width.

namespace texts {

// Start-up
inline constexpr const char* kPasswordsNotSupported = "パスワードには対応しておりません。";

// Settings dialog
inline constexpr const char* kSettingsCaption = "設定";
inline constexpr const char* kOk = "ＯＫ";
inline constexpr const char* kCancel = "キャンセル";
inline constexpr const char* kNoSettings = "設定項目はございません。";
inline constexpr const char* kHelpMenu = "ヘルプ(&H)";
inline constexpr const char* kVersionMenu = "バージョン情報(&V)...";

// About box
inline constexpr const char* kAboutCaption = "ﾊﾞｰｼﾞｮﾝ情報";
inline constexpr const char* kAboutCaptionSuffix = "のﾊﾞｰｼﾞｮﾝ情報";
inline constexpr const char* kAboutOk = "OK";
inline constexpr const char* kSystemInfo = "ｼｽﾃﾑ情報(&S)...";
inline constexpr const char* kDescription = "ｱﾌﾟﾘｹｰｼｮﾝの説明";
inline constexpr const char* kDisclaimer = "警告: ...";
inline constexpr const char* kTitlePlaceholder = "ｱﾌﾟﾘｹｰｼｮﾝ ﾀｲﾄﾙ";
inline constexpr const char* kVersionWord = "ﾊﾞｰｼﾞｮﾝ";
inline constexpr const char* kTitleFontFace = "ＭＳ Ｐゴシック";
inline constexpr const char* kSystemInfoUnavailable = "この環境ではシステム情報を使用できません。";

}  // namespace texts
