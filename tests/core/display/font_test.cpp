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
    // Sizes from a file are held within 1000 points either way.
    EXPECT_EQ(fontHeightForPoints(2147483647, 96), fontHeightForPoints(1000, 96));
    EXPECT_EQ(fontHeightForPoints(-2147483647, 96), 1333);
    EXPECT_EQ(fontSpecWithOverrides(FontSpec{}, 5000, -1, "").size, 1000);
}

// The font chooser's result: the height back in points as the platform's multiply-divide rounds,
// effects dropped, and a face the settings file cannot keep refused with the font unchanged.
TEST(ChosenFont, TakesFaceSizeCharacterSetAndColourOnly) {
    FontSpec font{20, 128, 0xFFFFFF, 0x808000, "old"};
    ASSERT_TRUE(takeChosenFont(font, std::string("new face"), -37, 0, 0x0000FF, 96));
    EXPECT_EQ(28, font.size); // 37 * 72 / 96 = 27.75
    EXPECT_EQ("new face", font.face);
    EXPECT_EQ(0, font.charSet);
    EXPECT_EQ(0x0000FFu, font.color);
    EXPECT_EQ(0x808000u, font.backColor);
    EXPECT_EQ(12, pointsForFontHeight(-24, 144));
    EXPECT_EQ(11, pointsForFontHeight(15, 96)); // 11.25, and a positive cell height alike

    const FontSpec before = font;
    EXPECT_FALSE(takeChosenFont(font, std::nullopt, -20, 128, 0, 96));
    EXPECT_FALSE(takeChosenFont(font, std::string(32, 'x'), -20, 128, 0, 96));
    EXPECT_EQ(before.face, font.face);
    EXPECT_EQ(before.size, font.size);
    EXPECT_TRUE(takeChosenFont(font, std::string(31, 'x'), -20, 128, 0, 96));
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
