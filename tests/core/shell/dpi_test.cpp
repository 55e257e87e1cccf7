#include "core/shell/dpi.h"

#include <gtest/gtest.h>

#include <climits>

namespace rekal {
namespace {

TEST(Dpi, ScalesAsMulDivRoundsAndStaysExactAt96) {
    for (int px : {0, 1, 7, 16, 200, 460, -3})
        EXPECT_EQ(scaleForDpi(px, 96), px);
    EXPECT_EQ(scaleForDpi(460, 144), 690);
    EXPECT_EQ(scaleForDpi(360, 144), 540);
    EXPECT_EQ(scaleForDpi(16, 120), 20);
    EXPECT_EQ(scaleForDpi(1, 144), 2);   // 1.5 rounds up
    EXPECT_EQ(scaleForDpi(-1, 144), -2); // halves away from zero, like MulDiv
    EXPECT_EQ(scaleForDpi(3, 120), 4);   // 3.75
    EXPECT_EQ(scaleForDpi(5, 192), 10);
    EXPECT_EQ(scaleForDpi(7, 0), 7);
    EXPECT_EQ(scaleForDpi(INT_MAX, 192), INT_MAX);
    EXPECT_EQ(unscaleForDpi(690, 144), 460);
    EXPECT_EQ(unscaleForDpi(scaleForDpi(333, 120), 120), 333);
}

TEST(Dpi, ArtworkIsTakenFromTheDrawingNearestTheScreen) {
    EXPECT_EQ(100, artworkPercentForDpi(96));
    EXPECT_EQ(100, artworkPercentForDpi(72));
    EXPECT_EQ(100, artworkPercentForDpi(0));
    EXPECT_EQ(150, artworkPercentForDpi(120)); // 125 %: halfway, the larger drawing
    EXPECT_EQ(150, artworkPercentForDpi(144));
    EXPECT_EQ(200, artworkPercentForDpi(168));
    EXPECT_EQ(200, artworkPercentForDpi(192));
    EXPECT_EQ(200, artworkPercentForDpi(288));
    EXPECT_EQ(16, artworkSizeForDpi(16, 96));
    EXPECT_EQ(24, artworkSizeForDpi(16, 144));
    EXPECT_EQ(32, artworkSizeForDpi(16, 192));
    EXPECT_EQ(16, artworkSizeForDpi(11, 144)); // the glyphs' 1.5 x drawing is truncated
    EXPECT_EQ(48, artworkSizeForDpi(32, 120));
}

} // namespace
} // namespace rekal
