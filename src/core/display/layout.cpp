#include "core/display/layout.h"

#include "core/display/markup.h"

#include <algorithm>
#include <climits>

namespace rekal {

ContentSize layoutSentence(SentenceCanvas& canvas, std::string_view text, const DisplayRect& rect,
                           bool measureOnly) {
    int y = rect.top;
    int width = 0;
    auto layRun = [&](std::string_view run) {
        DisplayRect runRect{rect.left, y, rect.right, rect.bottom};
        y = addClamped(y, canvas.textRun(run, runRect, measureOnly));
        if (measureOnly) width = std::max(width, subtractClamped(runRect.right, rect.left));
    };

    std::size_t runStart = 0;
    int index = 0;
    for (auto tag = nextMediaTag(text, 0); tag; tag = nextMediaTag(text, tag->end), ++index) {
        layRun(text.substr(runStart, tag->begin - runStart));
        runStart = tag->end;
        std::optional<ContentSize> size = canvas.objectSize(index);
        if (!size) continue;
        // Sizes come from the file: each band is held within the drawing calls' range, and the
        // sums saturate.
        canvas.placeObject(index, addClamped(rect.left, 1), addClamped(y, 1));
        width = std::max(width, clampExtent(size->width) + 2);
        y = addClamped(y, clampExtent(size->height) + 2);
    }
    layRun(text.substr(runStart));
    return {width, subtractClamped(y, rect.top)};
}

ScrollRanges computeScrollRanges(const SentenceMeasure& measure, DisplayRect area, int horizontalBarHeight,
                                 int verticalBarWidth) {
    ScrollRanges r;
    for (int pass = 0; pass < 2; ++pass) {
        r.content = measure(area);
        if (area.right < r.content.width) area.bottom -= horizontalBarHeight;
        if (area.bottom < r.content.height) area.right -= verticalBarWidth;
    }
    r.area = area;
    r.horizontalMax = std::max(0, r.content.width - 1);
    r.verticalMax = std::max(0, r.content.height - 1);
    return r;
}

ContentSize sentenceSizeNeeded(const ScrollRanges& ranges, int horizontalBarHeight, int verticalBarWidth) {
    ContentSize size = ranges.content;
    if (ranges.content.width >= ranges.area.width()) size.height += horizontalBarHeight;
    if (ranges.content.height >= ranges.area.height()) size.width += verticalBarWidth;
    return size;
}

int clampScrollStep(int position, int step, int maximum) {
    long long target = static_cast<long long>(position) + step;
    target = std::clamp<long long>(target, 0, std::max(0, maximum));
    return static_cast<int>(target - position);
}

WheelStep wheelScrollStep(int delta, int carried, int linesPerNotch, int line, int page) {
    // A turn the other way starts afresh.
    if ((carried > 0 && delta < 0) || (carried < 0 && delta > 0)) carried = 0;
    const long long total = static_cast<long long>(carried) + delta;
    WheelStep step;
    if (linesPerNotch == 0 || total == 0) return step;
    long long pixels = 0;
    if (linesPerNotch == kWheelPageScroll || linesPerNotch < 0) {
        const long long notches = total / kWheelDelta;
        pixels = notches * std::max(1, page);
        step.carried = static_cast<int>(total - notches * kWheelDelta);
    } else {
        const int deltaPerLine = std::max(1, kWheelDelta / linesPerNotch);
        const long long lines = total / deltaPerLine;
        pixels = lines * line;
        step.carried = static_cast<int>(total % deltaPerLine);
    }
    step.pixels = static_cast<int>(std::clamp<long long>(pixels, INT_MIN, INT_MAX));
    return step;
}

} // namespace rekal
