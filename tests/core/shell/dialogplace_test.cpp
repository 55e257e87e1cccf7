#include "core/shell/numberfield.h"
#include "core/shell/shell.h"

#include <gtest/gtest.h>

#include <climits>

namespace rekal {
namespace {

TEST(NumberField, WholeNumbersInsideTheRangeOnly) {
    EXPECT_EQ(5, parseNumberField("5", 1, 9999));
    EXPECT_EQ(9999, parseNumberField(" 9999 ", 1, 9999));
    EXPECT_EQ(-3, parseNumberField("-3", -10, 10));
    EXPECT_EQ(0, parseNumberField("+0", 0, 0));
    // Out of range, however long: no wrap-around into the range.
    EXPECT_FALSE(parseNumberField("0", 1, 9999));
    EXPECT_FALSE(parseNumberField("10000", 1, 9999));
    EXPECT_FALSE(parseNumberField("4294967297", 1, 9999));
    EXPECT_FALSE(parseNumberField("99999999999999999999999", 0, INT_MAX));
    EXPECT_EQ(INT_MAX, parseNumberField("2147483647", 0, INT_MAX));
    EXPECT_FALSE(parseNumberField("2147483648", 0, INT_MAX));
    EXPECT_EQ(INT_MIN, parseNumberField("-2147483648", INT_MIN, 0));
    // Not a number: empty, a sign alone, separators, full-width digits, decimals.
    for (const char* text : {"", " ", "-", "1,000", "１２", "1.5", "1 2", "0x10"})
        EXPECT_FALSE(parseNumberField(text, INT_MIN, INT_MAX)) << text;
}

TEST(StoredPlace, NeverStoredKeepsTheSystemsPlaceOtherwiseKeptInsideTheWorkArea) {
    const PixelRect work{0, 0, 1024, 738};
    EXPECT_FALSE(storedPlaceOnScreen({kDefaultPosition, 10, 300, 200}, work));
    EXPECT_FALSE(storedPlaceOnScreen({10, kDefaultPosition, 300, 200}, work));
    EXPECT_FALSE(storedPlaceOnScreen({10, 10, 0, 200}, work));
    EXPECT_EQ((PixelRect{10, 20, 300, 200}), storedPlaceOnScreen({10, 20, 300, 200}, work));
    // Stored on a larger screen or a monitor that is gone: pulled back, size kept.
    EXPECT_EQ((PixelRect{724, 538, 300, 200}), storedPlaceOnScreen({1500, 900, 300, 200}, work));
    EXPECT_EQ((PixelRect{0, 0, 300, 200}), storedPlaceOnScreen({-2000, -50, 300, 200}, work));
    // The stored form round-trips through the placement's work-relative rectangle.
    const WindowRect stored = storedWindowPlace(10, 20, 310, 220, 60, 0);
    EXPECT_EQ((PixelRect{70, 20, 300, 200}), storedPlaceOnScreen(stored, {60, 0, 964, 768}));
}

} // namespace
} // namespace rekal
