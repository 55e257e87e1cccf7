#include "core/shell/dpi.h"

#include <gtest/gtest.h>

#include <climits>

namespace rekal {
namespace {

TEST(Dpi, ScalesAsMulDivRoundsAndStaysExactAt96) {
    for (int px : {0, 1, 7, 16, 200, 460, -3}) EXPECT_EQ(scaleForDpi(px, 96), px);
    EXPECT_EQ(scaleForDpi(460, 144), 690);
    EXPECT_EQ(scaleForDpi(360, 144), 540);
    EXPECT_EQ(scaleForDpi(16, 120), 20);
    EXPECT_EQ(scaleForDpi(1, 144), 2);  // 1.5 rounds up
    EXPECT_EQ(scaleForDpi(-1, 144), -2); // halves away from zero, like MulDiv
    EXPECT_EQ(scaleForDpi(3, 120), 4);   // 3.75
    EXPECT_EQ(scaleForDpi(5, 192), 10);
    EXPECT_EQ(scaleForDpi(7, 0), 7);
    EXPECT_EQ(scaleForDpi(INT_MAX, 192), INT_MAX);
    EXPECT_EQ(unscaleForDpi(690, 144), 460);
    EXPECT_EQ(unscaleForDpi(scaleForDpi(333, 120), 120), 333);
}

} // namespace
} // namespace rekal
