#include "core/display/font.h"

#include <gtest/gtest.h>

using namespace rekal;

TEST(FontHeight, PointsScaledToTheScreenAndRounded) {
    EXPECT_EQ(fontHeightForPoints(12, 96), -16);
    EXPECT_EQ(fontHeightForPoints(10, 96), -13); // 13.33
    EXPECT_EQ(fontHeightForPoints(11, 96), -15); // 14.67
    EXPECT_EQ(fontHeightForPoints(9, 120), -15);
    EXPECT_EQ(mulDivRounded(3, 1, 2), 2); // halves away from zero
    EXPECT_EQ(mulDivRounded(-3, 1, 2), -2);
    EXPECT_EQ(mulDivRounded(1, 1, 0), -1);
    EXPECT_EQ(mulDivRounded(2147483647, 2, 1), -1);
}

TEST(FontOverrides, OnlyGivenPartsReplaceTheSettingsFont) {
    FontSpec base;
    base.size = 12;
    base.charSet = 128;
    base.face = "IPAGothic";
    base.color = 0x123456;
    FontSpec same = fontSpecWithOverrides(base, 0, -1, "");
    EXPECT_EQ(same.size, 12);
    EXPECT_EQ(same.charSet, 128);
    EXPECT_EQ(same.face, "IPAGothic");
    FontSpec changed = fontSpecWithOverrides(base, 20, 0, "Courier");
    EXPECT_EQ(changed.size, 20);
    EXPECT_EQ(changed.charSet, 0);
    EXPECT_EQ(changed.face, "Courier");
    EXPECT_EQ(changed.color, 0x123456u);
}
