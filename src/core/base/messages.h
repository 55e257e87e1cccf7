#pragma once
// Failure messages shared by every subsystem (CP932 literals).

namespace rekal::msg {

inline constexpr const char* kAppName = "Rekal for Windows";
inline constexpr const char* kOutOfMemory = "メモリ不足です。";
inline constexpr const char* kCannotLock = "メモリをロックできません。";
inline constexpr const char* kFileNotFound = "ファイルが見つかりません。";
inline constexpr const char* kReadFailed = "ファイル読み込みに失敗しました。";
inline constexpr const char* kWriteFailed = "ファイル書き込みに失敗しました。";
inline constexpr const char* kCannotOpenDialog = "ダイアログを開けません。";
inline constexpr const char* kOutOfRange = "値が有効範囲を超えています。";

} // namespace rekal::msg
