#pragma once
// Small texts shown by several windows: durations and right/wrong marks (code page 932).

#include <cstdint>
#include <string>
#include <string_view>

namespace rekal {

// The Japanese time-interval text of a duration, rounded to whole seconds, without spaces: hours
// and minutes only when not zero, seconds always ("1時間2分3秒", "59秒", "0秒").
std::string formatDuration(std::uint32_t ms);

// "○" for right (1), "×" for wrong (2), "－" for anything else (the numbers of Verdict).
std::string_view resultMark(int kind);

// The history field of a question: "５４３２１" over one mark per history bit, oldest (bit 0, under
// "５") to newest (bit 4, under "１"): "○" for a right answer, "×" otherwise.
std::string historyText(int history);

} // namespace rekal
