#include "core/display/wrap.h"

#include "core/base/sjis.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <vector>

namespace rekal {

int wrapTextRun(TextSurface& surface, std::string_view text, DisplayRect& rect, unsigned flags,
                int interval) {
    // The interval is a setting of 0 .. 32767 pixels; held there, as the line height is.
    const int lineInterval = clampExtent(interval);
    const bool measureOnly = (flags & WrapMeasureOnly) != 0;
    const bool doubleByte = surface.doubleByteFont();
    const int lineHeight = clampExtent(surface.lineHeight());
    const int available = subtractClamped(rect.right, rect.left);
    const std::size_t end = text.size();

    int y = rect.top;
    int widest = 0;
    std::size_t lineStart = 0;
    std::size_t p = 0;
    // Where the current line may end, after a non-word character; always past lineStart.
    std::optional<std::size_t> breakPoint;
    bool lineAbove = false;

    // The interval goes between lines only: none below the last one, even after a final line break.
    auto emitLine = [&](std::size_t from, std::size_t to) {
        if (lineAbove) y = addClamped(y, lineInterval);
        if (!measureOnly) surface.drawText(rect.left, y, text.substr(from, to - from));
        y = addClamped(y, lineHeight);
        lineAbove = true;
    };
    // Measured once for the whole run where the device can; else each piece from the line start.
    std::vector<int> prefix;
    const bool measuredOnce = end > 0 && surface.prefixWidths(text, prefix) && prefix.size() >= end;
    auto widthOf = [&](std::size_t from, std::size_t to) {
        if (!measuredOnce) return surface.textWidth(text.substr(from, to - from));
        return subtractClamped(prefix[to - 1], from > 0 ? prefix[from - 1] : 0);
    };

    while (p < end) {
        const unsigned char c = static_cast<unsigned char>(text[p]);
        const bool twoBytes = doubleByte && isDoubleByteAt(text, p);
        const std::size_t next = p + (twoBytes ? 2 : 1);
        if (twoBytes || !isWordByte(c)) breakPoint = next;
        const bool forcedBreak = c == '\r' || c == '\n';
        const int width = widthOf(lineStart, next);

        if ((p != lineStart && width > available) || forcedBreak) {
            if (breakPoint && *breakPoint < p) p = *breakPoint;
            emitLine(lineStart, p);
            if (forcedBreak) p += (c == '\r' && p + 1 < end && text[p + 1] == '\n') ? 2 : 1;
            lineStart = p;
            breakPoint.reset();
            continue;
        }
        widest = std::max(widest, width);
        p = next;
    }
    // A text that ends with a line break has no empty line after it.
    if (lineStart < end) emitLine(lineStart, end);
    if (measureOnly) {
        rect.right = addClamped(rect.left, widest);
        rect.bottom = y;
    }
    return subtractClamped(y, rect.top);
}

} // namespace rekal
