#pragma once
// The words both the exam-log writer and its reader key on, as code page 932 bytes.

#include <string_view>

namespace rekal::examlog {

inline constexpr std::string_view kHeader = "Rekal for Windows"; // what opens a record

inline constexpr std::string_view kLabelTime = "\x8E\x9E\x8D\x8F";                         // 時刻
inline constexpr std::string_view kLabelFile = "\x83\x74\x83\x40\x83\x43\x83\x8B\x96\xBC"; // ファイル名
inline constexpr std::string_view kLabelRange = "\x8F\x6F\x91\xE8\x94\xCD\x88\xCD";        // 出題範囲
inline constexpr std::string_view kLabelGroups = "\x83\x4F\x83\x8B\x81\x5B\x83\x76";       // グループ
inline constexpr std::string_view kLabelMethod = "\x8F\x6F\x91\xE8\x95\xFB\x96\x40";       // 出題方法
inline constexpr std::string_view kLabelMode = "\x89\xF0\x93\x9A\x83\x82\x81\x5B\x83\x68"; // 解答モード
inline constexpr std::string_view kLabelModeOld = "\x89\xF0\x93\x9A\x95\xFB\x96\x40";      // 解答方法
inline constexpr std::string_view kLabelRate = "\x90\xB3\x89\xF0\x97\xA6";                 // 正解率
inline constexpr std::string_view kLabelElapsed = "\x8F\x8A\x97\x76\x8E\x9E\x8A\xD4";      // 所要時間

inline constexpr std::string_view kYear = "\x94\x4E";   // 年
inline constexpr std::string_view kMonth = "\x8C\x8E";  // 月
inline constexpr std::string_view kDay = "\x93\xFA";    // 日
inline constexpr std::string_view kHour = "\x8E\x9E";   // 時
inline constexpr std::string_view kMinute = "\x95\xAA"; // 分
inline constexpr std::string_view kSecond = "\x95\x62"; // 秒

} // namespace rekal::examlog
