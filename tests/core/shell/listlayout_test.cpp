// The question list window's right pane: the panes between the title and the bottom row, and the
// clamps that keep the two splitters apart as the user drags them or shrinks the window.

#include "core/shell/listlayout.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

// A 400 x 300 client with a one-line title, a 60 x 30 group text and a 50-pixel history text.
ListPaneInput pane(int answerTop, int commentTop, int dpi = 96) {
    ListPaneInput in;
    in.dpi = dpi;
    in.width = scaleForDpi(400, dpi);
    in.height = scaleForDpi(300, dpi);
    in.titleHeight = scaleForDpi(15, dpi);
    in.groupText = {scaleForDpi(60, dpi), scaleForDpi(30, dpi)};
    in.historyTextWidth = scaleForDpi(50, dpi);
    in.answerTop = answerTop;
    in.commentTop = commentTop;
    return in;
}

TEST(ListPane, PanesStackBetweenTheTitleAndTheBottomRow) {
    const ListPaneLayout l = layoutListPane(pane(146, 194));
    EXPECT_EQ(l.title, (PixelRect{68, 0, 332, 15}));
    EXPECT_EQ(l.question, (PixelRect{68, 15, 332, 146 - 7 - 15}));
    EXPECT_EQ(l.answerSplitter, (PixelRect{68, 139, 332, 7}));
    EXPECT_EQ(l.answer, (PixelRect{68, 146, 332, 194 - 7 - 146}));
    EXPECT_EQ(l.commentSplitter, (PixelRect{68, 187, 332, 7}));
    // Bottom row: 30 + 2 high, at 300 - 32 = 268; the comment ends 2 above it.
    EXPECT_EQ(l.comment, (PixelRect{68, 194, 332, 268 - 2 - 194}));
    EXPECT_EQ(l.group, (PixelRect{68, 268, 64, 32}));
    EXPECT_EQ(l.history, (PixelRect{132, 268, 54, 32}));
    EXPECT_EQ(l.answerTop, 146);
    EXPECT_EQ(l.commentTop, 194);
}

TEST(ListPane, TheAnswerSplitterStopsThirtyAboveTheCommentSplitter) {
    // Dragged below the comment splitter, and to the very top.
    ListPaneLayout l = layoutListPane(pane(240, 194));
    EXPECT_EQ(l.answer.top, 164);
    EXPECT_EQ(l.answerTop, 164);
    EXPECT_EQ(l.answer.height, 30 - 7);
    EXPECT_EQ(l.commentTop, 194);
    l = layoutListPane(pane(-50, 194));
    EXPECT_EQ(l.answerTop, 23);
    // The comment splitter dragged past the bottom row stops 16 above it and takes the answer
    // splitter with it when that would be too close.
    l = layoutListPane(pane(230, 5000));
    EXPECT_EQ(l.commentTop, 268 - 16);
    EXPECT_EQ(l.answerTop, 230 - 8);
    EXPECT_EQ(l.comment.height, 16 - 2);
}

TEST(ListPane, AShrinkingWindowPushesTheCommentPaneUpButNeverAboveSixty) {
    ListPaneInput in = pane(146, 194);
    in.height = 200; // row at 168: the comment pane may start at 152 at most
    ListPaneLayout l = layoutListPane(in);
    EXPECT_EQ(l.commentTop, 152);
    EXPECT_EQ(l.answerTop, 122);
    in.height = 60; // row at 28: far above 60, the lowest top wins
    l = layoutListPane(in);
    EXPECT_EQ(l.commentTop, 60);
    EXPECT_EQ(l.answerTop, 30);
    EXPECT_EQ(l.comment.height, 0);
    // A title taller than the question pane's room leaves it empty, not negative.
    in = pane(146, 194);
    in.titleHeight = 400;
    EXPECT_EQ(layoutListPane(in).question.height, 0);
}

TEST(ListPane, StoredTopsAreNinetySixDpiNumbersThatDoNotDrift) {
    // At 144 dpi everything is half as large again; the stored values keep their meaning.
    ListPaneLayout l = layoutListPane(pane(146, 194, 144));
    EXPECT_EQ(l.answer.top, 219);
    EXPECT_EQ(l.comment.top, 291);
    EXPECT_EQ(l.answerTop, 146);
    EXPECT_EQ(l.commentTop, 194);
    // A clamp at 120 dpi (30 * 1.25 = 37.5 rounds to 38) stores the clamped place at 96 dpi.
    l = layoutListPane(pane(500, 194, 120));
    EXPECT_EQ(l.answer.top, scaleForDpi(194, 120) - scaleForDpi(30, 120));
    EXPECT_EQ(l.answerTop, unscaleForDpi(l.answer.top, 120));
}

} // namespace
} // namespace rekal
