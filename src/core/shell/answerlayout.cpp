#include "core/shell/answerlayout.h"

#include "core/shell/dpi.h"

#include <algorithm>

namespace rekal {

namespace {

struct Scaled {
    int dpi;
    int operator()(int px96) const { return scaleForDpi(px96, dpi); }
};

// D: the mark's width and the gap after it; none in confirm mode.
int markRoom(const AnswerDialogMetrics& m) {
    return m.confirmMode ? 0 : m.markHeight + Scaled{m.dpi}(10);
}

int baseWidth(const AnswerDialogMetrics& m) {
    return Scaled{m.dpi}(m.baseWidth);
}
int baseHeight(const AnswerDialogMetrics& m) {
    return Scaled{m.dpi}(m.baseHeight);
}

PixelSize clampedAnswer(const AnswerDialogMetrics& m, PixelSize answer) {
    const Scaled px{m.dpi};
    const PixelSize limit = answerLimit(m);
    return {std::clamp(answer.width, px(16), std::max(px(16), limit.width)),
            std::clamp(answer.height, px(16), std::max(px(16), limit.height))};
}

} // namespace

PixelSize answerLimit(const AnswerDialogMetrics& m) {
    const Scaled px{m.dpi};
    return {baseWidth(m) - markRoom(m), baseHeight(m) - px(78)};
}

int commentMeasureWidth(const AnswerDialogMetrics& m, PixelSize answer) {
    const int clientWidth = clampedAnswer(m, answer).width + markRoom(m) + Scaled{m.dpi}(2);
    return std::min(clientWidth, baseWidth(m)) - Scaled{m.dpi}(16);
}

AnswerDialogLayout layoutAnswerDialog(const AnswerDialogMetrics& m, PixelSize answerMeasured,
                                      PixelSize commentMeasured) {
    const Scaled px{m.dpi};
    const int bw = baseWidth(m), bh = baseHeight(m);
    const int d = markRoom(m);
    const int mark = m.confirmMode ? 0 : m.markHeight;
    const PixelSize answer = clampedAnswer(m, answerMeasured);

    int cw = answer.width + d + px(2);
    const int tb = std::max(mark, answer.height) + px(7);

    PixelSize comment{0, 0};
    if (m.comment) {
        comment.width = std::clamp(commentMeasured.width, px(254), std::max(px(254), bw));
        comment.height = commentMeasured.height;
        if (tb + comment.height > bh) comment.height = std::max(px(32), bh - tb);
    }
    cw = std::max({cw, comment.width, px(254)});

    int height = tb + px(54) + 2 * m.frameHeight + m.captionHeight;
    if (m.comment && comment.height + height > bh) comment.height = std::max(px(32), bh - height);
    height += comment.height;

    AnswerDialogLayout l;
    if (m.alternatives) {
        height += px(70);
        l.list = {px(1), tb + comment.height + px(1), cw - px(2), px(68)};
    }
    if (!m.confirmMode) height -= px(25);
    l.window = {cw + 2 * m.frameWidth, height};
    l.client = {cw, height - 2 * m.frameHeight - m.captionHeight};

    const int markX = (cw - answer.width - d) / 2;
    l.mark = {markX, (tb - mark) / 2, mark, mark};
    l.answer = {markX + d, (tb - answer.height) / 2, answer.width, answer.height};
    l.comment =
        m.comment ? PixelRect{(cw - comment.width) / 2, tb, comment.width, comment.height} : PixelRect{};

    const int w = l.client.width, h = l.client.height;
    const int bwid = px(80), bhgt = px(21);
    const int lower = h - px(24), upper = h - px(47);
    l.ok = {w / 2 - px(122), lower, bwid, bhgt};
    l.alternativesButton = {w / 2 - px(40), lower, bwid, bhgt};
    l.help = {w / 2 + px(42), lower, bwid, bhgt};
    l.right = {w / 2 - px(122), upper, bwid, bhgt};
    l.wrong = {w / 2 - px(40), upper, bwid, bhgt};
    l.skip = {w / 2 + px(42), upper, bwid, bhgt};
    return l;
}

} // namespace rekal
