#include "core/match/format.h"

namespace rekal {

namespace {

// Unit words as code page 932 bytes.
constexpr std::string_view kHours = "\x8E\x9E\x8A\xD4"; // 時間
constexpr std::string_view kMinutes = "\x95\xAA";       // 分
constexpr std::string_view kSeconds = "\x95\x62";       // 秒

void appendCount(std::string& out, std::uint64_t value, std::string_view unit) {
    out += std::to_string(value);
    out += unit;
}

} // namespace

std::string formatDuration(std::uint32_t ms) {
    // Computed in 64 bits so that the rounding never wraps around near the top of the range.
    std::uint64_t seconds = (std::uint64_t{ms} + 500) / 1000;
    const std::uint64_t hours = seconds / 3600;
    seconds -= hours * 3600;
    const std::uint64_t minutes = seconds / 60;
    seconds -= minutes * 60;
    std::string out;
    if (hours != 0) appendCount(out, hours, kHours);
    if (minutes != 0) appendCount(out, minutes, kMinutes);
    appendCount(out, seconds, kSeconds);
    return out;
}

std::string_view resultMark(int kind) {
    switch (kind) {
    case 1:
        return "\x81\x9B"; // ○
    case 2:
        return "\x81\x7E"; // ×
    default:
        return "\x81\x7C"; // －
    }
}

std::string historyText(int history) {
    std::string text = "５４３２１\n";
    for (int bit = 0; bit < 5; ++bit)
        text += resultMark((history >> bit) & 1 ? 1 : 2);
    return text;
}

} // namespace rekal
