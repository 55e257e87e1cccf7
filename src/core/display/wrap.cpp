#include "core/display/wrap.h"

#include "core/base/sjis.h"

#include <algorithm>
#include <cstddef>
#include <optional>

namespace rekal {

int wrapTextRun(TextSurface& surface, std::string_view text, DisplayRect& rect, unsigned flags,
                int lineInterval) {
    const bool measureOnly = (flags & WrapMeasureOnly) != 0;
    const bool doubleByte = surface.doubleByteFont();
    const int lineHeight = surface.lineHeight();
    const int available = rect.right - rect.left;
    const std::size_t end = text.size();

    int y = rect.top;
    int widest = 0;
    std::size_t lineStart = 0;
    std::size_t p = 0;
    // Where the current line may end, after a non-word character; always past lineStart.
    std::optional<std::size_t> breakPoint;
    bool endedWithBreak = false;

    auto emitLine = [&](std::size_t from, std::size_t to) {
        if (!measureOnly) surface.drawText(rect.left, y, text.substr(from, to - from));
    };

    while (p < end) {
        const unsigned char c = static_cast<unsigned char>(text[p]);
        const bool twoBytes = doubleByte && isDoubleByteAt(text, p);
        const std::size_t next = p + (twoBytes ? 2 : 1);
        if (twoBytes || !isWordByte(c)) breakPoint = next;
        const bool forcedBreak = c == '\r' || c == '\n';
        const int width = surface.textWidth(text.substr(lineStart, next - lineStart));

        if ((p != lineStart && width > available) || forcedBreak) {
            if (breakPoint && *breakPoint < p) p = *breakPoint;
            emitLine(lineStart, p);
            if (forcedBreak) p += (c == '\r' && p + 1 < end && text[p + 1] == '\n') ? 2 : 1;
            y += lineHeight + lineInterval;
            lineStart = p;
            breakPoint.reset();
            endedWithBreak = forcedBreak;
            continue;
        }
        widest = std::max(widest, width);
        p = next;
    }
    if (lineStart < end) {
        emitLine(lineStart, end);
        y += lineHeight;
    } else if (endedWithBreak) {
        // A text that ends with a line break has no empty line after it, and no interval below its
        // last line.
        y -= lineInterval;
    }
    if (measureOnly) {
        rect.right = rect.left + widest;
        rect.bottom = y;
    }
    return y - rect.top;
}

} // namespace rekal
