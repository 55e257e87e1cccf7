#include "core/shell/viewframe.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

ViewFrameInput view(int width, int height) {
    ViewFrameInput in;
    in.width = width;
    in.height = height;
    in.toolbarHeight = 26;
    in.statusHeight = 20;
    in.infoPaneWidth = 120;
    in.scrollBarWidth = 17;
    in.idlePanel = {300, 120};
    return in;
}

TEST(StatusFields, FourEqualFieldsEndShortOfTheSizeGrip) {
    // p = 20 * 7 / 2 = 70; the last field ends at 600 - 20.
    EXPECT_EQ((std::array<int, 5>{300, 370, 440, 510, 580}), statusFieldEdges(600, 20));
    // Odd heights: the field width is truncated (23 * 7 / 2 = 80).
    EXPECT_EQ((std::array<int, 5>{257, 337, 417, 497, 577}), statusFieldEdges(600, 23));
    // No status bar: everything ends at the right edge.
    EXPECT_EQ((std::array<int, 5>{600, 600, 600, 600, 600}), statusFieldEdges(600, 0));
}

TEST(InfoPaneWidth, StaysBetweenTheScrollBarBoundAndTheRightMargin) {
    EXPECT_EQ(120, clampInfoPaneWidth(120, 600, 17));
    EXPECT_EQ(573, clampInfoPaneWidth(5000, 600, 17)); // dragged to the far right: W - 27
    EXPECT_EQ(36, clampInfoPaneWidth(-40, 600, 17));   // dragged to the far left: scroll bar + 19
    EXPECT_EQ(36, clampInfoPaneWidth(36, 600, 17));
    // A view narrower than both bounds: the pane never runs past the view.
    EXPECT_EQ(13, clampInfoPaneWidth(120, 40, 17));
}

TEST(ViewFrameLayout, PaneSplitterAndQuestionAreaShareTheWidth) {
    ViewFrame f = layoutViewFrame(view(600, 400));
    EXPECT_EQ(29, f.top);
    EXPECT_EQ((PixelRect{0, 26, 601, 2}), f.etchedLine); // as wide as the view and one more
    EXPECT_EQ((PixelRect{0, 29, 120, 348}), f.infoPane); // 400 - 20 - 29 - 3
    EXPECT_EQ((PixelRect{120, 29, 7, 348}), f.splitter);
    EXPECT_EQ((PixelRect{127, 29, 473, 351}), f.questionArea);
    EXPECT_EQ(400 - 20 - 24 - 3, f.bandTop);
}

TEST(ViewFrameLayout, HiddenPartsGiveTheirRoomToTheQuestionArea) {
    ViewFrameInput in = view(600, 400);
    in.infoPaneShown = false;
    in.toolbarHeight = 0;
    in.statusHeight = 0;
    ViewFrame f = layoutViewFrame(in);
    EXPECT_EQ(3, f.top);
    EXPECT_EQ((PixelRect{0, 3, 600, 397}), f.questionArea);
    EXPECT_EQ((PixelRect{0, 0, 601, 2}), f.etchedLine);
}

TEST(ViewFrameLayout, PaneStopsAboveTheBandWhileARunIsActive) {
    ViewFrameInput in = view(600, 400);
    in.runActive = true;
    in.bandHeight = 40;
    ViewFrame f = layoutViewFrame(in);
    EXPECT_EQ(348 - 40, f.infoPane.height);
    EXPECT_EQ(348 - 40, f.splitter.height);
    EXPECT_EQ(400 - 20 - 40 - 3, f.bandTop);
}

TEST(ViewFrameLayout, StoredPaneWidthIsClampedToTheView) {
    ViewFrameInput in = view(300, 400);
    in.infoPaneWidth = 1000;
    ViewFrame f = layoutViewFrame(in);
    EXPECT_EQ(273, f.infoPaneWidth);
    EXPECT_EQ(273, f.splitter.left);
    EXPECT_EQ(280, f.questionArea.left);
    EXPECT_EQ(20, f.questionArea.width);
}

// The same view on screens of 96, 120, 144 and 192 dpi: the bars measured by the windows grow with
// the screen, and the frame's own margins, the splitter and the stored pane width grow with them.
TEST(ViewFrameLayout, TheSameViewAtFourScreenDensities) {
    struct Expect {
        int dpi;
        int top;
        PixelRect etchedLine, infoPane, splitter, questionArea;
        int bandTop;
    };
    const Expect expects[] = {
        {96, 29, {0, 26, 601, 2}, {0, 29, 120, 348}, {120, 29, 7, 348}, {127, 29, 473, 351}, 353},
        {120, 37, {0, 33, 751, 3}, {0, 37, 150, 434}, {150, 37, 9, 434}, {159, 37, 591, 438}, 441},
        {144, 44, {0, 39, 901, 3}, {0, 44, 180, 521}, {180, 44, 11, 521}, {191, 44, 709, 526}, 529},
        {192, 58, {0, 52, 1201, 4}, {0, 58, 240, 696}, {240, 58, 14, 696}, {254, 58, 946, 702}, 706},
    };
    for (const Expect& e : expects) {
        SCOPED_TRACE(e.dpi);
        const auto px = [&](int v) { return scaleForDpi(v, e.dpi); };
        ViewFrameInput in = view(px(600), px(400));
        in.dpi = e.dpi;
        in.toolbarHeight = px(26);
        in.statusHeight = px(20);
        in.scrollBarWidth = px(17);
        in.bandHeight = px(24);
        in.infoPaneWidth = 120; // as the settings file keeps it, whatever the screen
        const ViewFrame f = layoutViewFrame(in);
        EXPECT_EQ(e.top, f.top);
        EXPECT_EQ(e.etchedLine, f.etchedLine);
        EXPECT_EQ(e.infoPane, f.infoPane);
        EXPECT_EQ(e.splitter, f.splitter);
        EXPECT_EQ(e.questionArea, f.questionArea);
        EXPECT_EQ(e.bandTop, f.bandTop);
        EXPECT_EQ(statusFieldEdges(px(600), px(20)), f.statusEdges);
    }
}

TEST(InfoPaneWidth, ADraggedSplitterIsStoredAsA96DpiWidth) {
    EXPECT_EQ(193, infoPaneWidthFromSplitter(200, 600, 17, 96));
    EXPECT_EQ(193, infoPaneWidthFromSplitter(300, 900, 26, 144)); // 300 - 11 = 289 screen pixels
    // Stored and laid out again, the pane ends where it was dragged to, within a pixel.
    EXPECT_NEAR(289, scaleForDpi(infoPaneWidthFromSplitter(300, 900, 26, 144), 144), 1);
    EXPECT_EQ(573, infoPaneWidthFromSplitter(5000, 900, 26, 144)); // 900 - 41, as at 96 dpi
    EXPECT_EQ(37, infoPaneWidthFromSplitter(-50, 900, 26, 144));   // 26 + 29
    EXPECT_EQ(36, infoPaneWidthFromSplitter(-50, 600, 17, 96));
}

TEST(IdlePanel, CentredInTheQuestionAreaButNeverOutsideItsTopLeft) {
    ViewFrame f = layoutViewFrame(view(600, 400));
    // Area (127, 29, 473, 351), panel 300 x 120.
    EXPECT_EQ((PixelRect{127 + 86, 29 + 115, 300, 120}), f.idlePanel);

    ViewFrameInput small = view(300, 150);
    ViewFrame g = layoutViewFrame(small);
    EXPECT_EQ(g.questionArea.left, g.idlePanel.left);
    EXPECT_EQ(g.questionArea.top, g.idlePanel.top);
}

TEST(DialogPlace, CentredOverTheOwnerThenKeptInsideTheWorkArea) {
    const PixelRect work{0, 0, 1024, 738};
    EXPECT_EQ((PixelRect{250, 200, 100, 60}), centredOverOwner({100, 100, 400, 260}, {100, 60}, work));
    // An owner at the bottom right corner: the dialog is pulled back inside.
    EXPECT_EQ((PixelRect{824, 638, 200, 100}), centredOverOwner({900, 700, 200, 100}, {200, 100}, work));
    // An owner partly off the top left: the left and top edges are kept inside.
    EXPECT_EQ((PixelRect{0, 0, 200, 100}), centredOverOwner({-300, -200, 200, 100}, {200, 100}, work));
    // Larger than the work area: the top left corner wins.
    EXPECT_EQ((PixelRect{0, 0, 2000, 900}), centredOverOwner({0, 0, 400, 300}, {2000, 900}, work));
    // A work area that does not start at the origin (a task bar on the left).
    EXPECT_EQ((PixelRect{60, 10, 100, 60}),
              centredOverOwner({-100, 0, 100, 80}, {100, 60}, {60, 0, 964, 768}));
}

} // namespace
} // namespace rekal
