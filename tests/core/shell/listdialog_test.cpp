// The list dialog's layout: the list over a centred row of buttons, at 96 dpi and scaled.

#include "core/shell/listdialog.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

TEST(ListDialog, TheListFillsTheSpaceAboveACentredRowOfButtons) {
    const ListDialogLayout at96 = layoutListDialog({350, 262}, {75, 23}, 3, 96);
    EXPECT_EQ(at96.list, (PixelRect{0, 1, 350, 262 - 23 - 7}));
    ASSERT_EQ(at96.buttons.size(), 3u);
    // Row of 3 * 75 + 2 * 4 = 233 pixels, centred: (350 - 233) / 2 = 58.
    EXPECT_EQ(at96.buttons[0], (PixelRect{58, 237, 75, 23}));
    EXPECT_EQ(at96.buttons[1], (PixelRect{137, 237, 75, 23}));
    EXPECT_EQ(at96.buttons[2], (PixelRect{216, 237, 75, 23}));

    // At 144 dpi the gaps and margins grow by half; the button size is the window's own.
    const ListDialogLayout at144 = layoutListDialog({525, 400}, {112, 34}, 3, 144);
    EXPECT_EQ(at144.list, (PixelRect{0, 2, 525, 400 - 34 - 11}));
    EXPECT_EQ(at144.buttons[0].left, (525 - (3 * 112 + 2 * 6)) / 2);
    EXPECT_EQ(at144.buttons[1].left - at144.buttons[0].left, 112 + 6);
    EXPECT_EQ(at144.buttons[0].top, 400 - 3 - 34);
    EXPECT_EQ(listDialogMinimumSize(96).width, 200);
    EXPECT_EQ(listDialogMinimumSize(144).height, 180);
}

TEST(ListDialog, ATinyClientGivesNoNegativeSizes) {
    const ListDialogLayout tiny = layoutListDialog({10, 5}, {75, 23}, 3, 96);
    EXPECT_EQ(tiny.list.width, 10);
    EXPECT_EQ(tiny.list.height, 0);
    EXPECT_EQ(tiny.buttons.size(), 3u);
}

} // namespace
} // namespace rekal
