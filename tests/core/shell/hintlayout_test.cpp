#include "core/shell/hintlayout.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

const PixelRect kWork{0, 0, 1024, 738};

TEST(HintPlacement, BesideTheMainWindowWhenThereIsRoom) {
    const HintPlacement p = placeHintWindow({100, 50, 500, 400}, {200, 260}, kWork);
    EXPECT_EQ((PixelRect{100, 50, 500, 400}), p.main);
    EXPECT_EQ((PixelRect{605, 50, 200, 260}), p.hint);
    // Exactly touching the right edge still fits.
    EXPECT_EQ((PixelRect{300, 50, 519, 400}), placeHintWindow({300, 50, 519, 400}, {200, 260}, kWork).main);
}

TEST(HintPlacement, MainWindowAtTheRightEdgeMovesLeftAndAtTheLeftEdgeNarrows) {
    // Touching the right edge: moved left by the hint's width and the gap.
    HintPlacement p = placeHintWindow({424, 30, 600, 500}, {200, 260}, kWork);
    EXPECT_EQ((PixelRect{219, 30, 600, 500}), p.main);
    EXPECT_EQ((PixelRect{824, 30, 200, 260}), p.hint);
    // A main window near the left edge stops there and becomes narrower.
    p = placeHintWindow({100, 30, 900, 500}, {200, 260}, kWork);
    EXPECT_EQ((PixelRect{0, 30, 819, 500}), p.main);
    EXPECT_EQ(824, p.hint.left);
    // A work area that does not start at 0 (a taskbar on the left).
    p = placeHintWindow({60, 0, 964, 700}, {200, 260}, {60, 0, 964, 738});
    EXPECT_EQ((PixelRect{60, 0, 759, 700}), p.main);
    EXPECT_EQ((PixelRect{824, 0, 200, 260}), p.hint);
}

TEST(HintPlacement, OverWideHintIsHalvedAndTheMainWindowNeverTurnsInsideOut) {
    HintPlacement p = placeHintWindow({0, 0, 400, 300}, {1500, 260}, kWork);
    EXPECT_EQ(750, p.hint.width);
    EXPECT_EQ((PixelRect{0, 0, 269, 300}), p.main);
    // Wide but not beyond the edge coordinate: kept, and the main window shrinks to nothing.
    p = placeHintWindow({0, 0, 400, 300}, {1024, 260}, kWork);
    EXPECT_EQ(1024, p.hint.width);
    EXPECT_EQ(0, p.main.width);
    EXPECT_EQ(5, p.hint.left);
    // The gap follows the screen's density.
    EXPECT_EQ(610, placeHintWindow({100, 50, 500, 400}, {200, 260}, kWork, 192).hint.left);
}

TEST(HintControls, ButtonsCentredUnderTheHint) {
    const HintControls l = layoutHintControls(200, 260);
    EXPECT_EQ((PixelRect{10, 10, 180, 16}), l.caption);
    EXPECT_EQ((PixelRect{10, 28, 180, 181}), l.sentence);
    EXPECT_EQ((PixelRect{10, 212, 180, 16}), l.counter);
    // c = (200 - 66) / 2 = 67
    EXPECT_EQ((PixelRect{27, 229, 46, 21}), l.previous);
    EXPECT_EQ((PixelRect{77, 229, 46, 21}), l.close);
    EXPECT_EQ((PixelRect{127, 229, 46, 21}), l.next);
    // At 200 % every margin doubles, c = (400 - 132) / 2.
    const HintControls big = layoutHintControls(400, 520, 192);
    EXPECT_EQ((PixelRect{54, 458, 92, 42}), big.previous);
    EXPECT_EQ((PixelRect{254, 458, 92, 42}), big.next);
    // The smallest size keeps the buttons inside and the sentence open.
    const PixelSize min = minimumHintSize();
    const HintControls small = layoutHintControls(min.width, min.height);
    EXPECT_GE(small.previous.left, 0);
    EXPECT_LE(small.next.left + small.next.width, min.width);
    EXPECT_GT(small.sentence.height, 0);
}

} // namespace
} // namespace rekal
