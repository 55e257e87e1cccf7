#include "core/shell/hintlayout.h"

#include <algorithm>

namespace rekal {

HintPlacement placeHintWindow(const PixelRect& main, PixelSize size, const PixelRect& work, int dpi) {
    const int gap = scaleForDpi(5, dpi);
    const int workRight = work.left + work.width;
    int width = size.width;
    if (width > workRight) width /= 2;

    HintPlacement p;
    p.main = main;
    const int mainRight = main.left + main.width;
    const int excess = mainRight + width + gap - workRight;
    if (excess > 0) {
        const int left = std::max(main.left - excess, work.left);
        const int right = std::max(mainRight - excess, left);
        p.main = {left, main.top, right - left, main.height};
    }
    p.hint = {p.main.left + p.main.width + gap, main.top, width, size.height};
    return p;
}

HintControls layoutHintControls(int width, int height, int dpi) {
    auto s = [dpi](int px96) { return scaleForDpi(px96, dpi); };
    const int c = (width - s(66)) / 2;
    const int buttonTop = height - s(31);
    HintControls l;
    l.caption = {s(10), s(10), width - s(20), s(16)};
    l.sentence = {s(10), s(28), width - s(20), height - s(79)};
    l.counter = {s(10), height - s(48), width - s(20), s(16)};
    l.previous = {c - s(40), buttonTop, s(46), s(21)};
    l.close = {c + s(10), buttonTop, s(46), s(21)};
    l.next = {c + s(60), buttonTop, s(46), s(21)};
    return l;
}

PixelSize minimumHintSize(int dpi) {
    // Three buttons side by side with their margins, and a sentence at least a line high.
    return {scaleForDpi(170, dpi), scaleForDpi(120, dpi)};
}

} // namespace rekal
