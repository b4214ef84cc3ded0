#pragma once
// The interface's texts, exactly as the user sees them.

namespace texts {

inline constexpr const char* kPasswordsNotSupported = "パスワードには対応しておりません。";

}  // namespace texts
