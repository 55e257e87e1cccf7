#include "core/shell/numberfield.h"

#include <cstdint>

namespace rekal {

std::optional<int> parseNumberField(std::string_view text, int minimum, int maximum) {
    std::size_t i = 0, end = text.size();
    while (i < end && text[i] == ' ')
        ++i;
    while (end > i && text[end - 1] == ' ')
        --end;
    bool negative = false;
    if (i < end && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    if (i == end) return std::nullopt;
    std::int64_t value = 0;
    for (; i < end; ++i) {
        const char c = text[i];
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
        // Past any int: out of range whatever follows.
        if (value > std::int64_t{1} << 32) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < minimum || value > maximum) return std::nullopt;
    return static_cast<int>(value);
}

} // namespace rekal
