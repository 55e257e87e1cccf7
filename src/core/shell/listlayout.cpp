#include "core/shell/listlayout.h"

#include <algorithm>

namespace rekal {

namespace {

constexpr int kPaneLeft = 68;
constexpr int kSplitterHeight = 7;
constexpr int kCommentAboveRow = 16;
constexpr int kCommentLowestTop = 60;
constexpr int kAnswerLowestTop = 23;
constexpr int kAnswerAboveComment = 30;
constexpr int kCommentGap = 2;
constexpr int kBoxWidthMargin = 4;
constexpr int kBoxHeightMargin = 2;

// The stored value while the clamp keeps its scaled place, else the clamped place unscaled (so a
// value that fits never drifts by rounding).
int keptValue(int stored, int scaledStored, int clamped, int dpi) {
    return clamped == scaledStored ? stored : unscaleForDpi(clamped, dpi);
}

} // namespace

ListPaneLayout layoutListPane(const ListPaneInput& in) {
    const auto px = [&](int px96) { return scaleForDpi(px96, in.dpi); };
    const auto rows = [](int top, int bottom) { return std::max(bottom - top, 0); };
    const int left = px(kPaneLeft);
    const int width = listPaneWidth(in.width, in.dpi);
    const int splitter = px(kSplitterHeight);

    const int groupWidth = in.groupText.width + px(kBoxWidthMargin);
    const int rowHeight = in.groupText.height + px(kBoxHeightMargin);
    const int historyWidth = in.historyTextWidth + px(kBoxWidthMargin);
    const int rowTop = in.height - rowHeight;

    const int storedComment = px(in.commentTop);
    const int comment =
        std::max(std::min(storedComment, rowTop - px(kCommentAboveRow)), px(kCommentLowestTop));
    const int storedAnswer = px(in.answerTop);
    const int answer =
        std::min(std::max(storedAnswer, px(kAnswerLowestTop)), comment - px(kAnswerAboveComment));

    ListPaneLayout l;
    l.title = {left, 0, width, std::max(in.titleHeight, 0)};
    l.question = {left, l.title.height, width, rows(l.title.height, answer - splitter)};
    l.answerSplitter = {left, answer - splitter, width, splitter};
    l.answer = {left, answer, width, rows(answer, comment - splitter)};
    l.commentSplitter = {left, comment - splitter, width, splitter};
    l.comment = {left, comment, width, rows(comment, rowTop - px(kCommentGap))};
    l.group = {left, rowTop, groupWidth, rowHeight};
    l.history = {left + groupWidth, rowTop, historyWidth, rowHeight};
    l.answerTop = keptValue(in.answerTop, storedAnswer, answer, in.dpi);
    l.commentTop = keptValue(in.commentTop, storedComment, comment, in.dpi);
    return l;
}

int listPaneWidth(int clientWidth, int dpi) {
    return std::max(clientWidth - scaleForDpi(kPaneLeft, dpi), 0);
}

} // namespace rekal
