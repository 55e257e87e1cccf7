#include "core/shell/shell.h"

#include <gtest/gtest.h>

#include <array>

namespace rekal {
namespace {

TEST(RecentMenuText, NumberPrefixThenThePathAsItIs) {
    EXPECT_EQ("&1 C:\\a.rkf", recentMenuText(1, "C:\\a.rkf"));
    EXPECT_EQ("&10 C:\\My Books\\b.rkf", recentMenuText(10, "C:\\My Books\\b.rkf"));
    // A trail byte 0x5C (表) and an ampersand stay as they are.
    EXPECT_EQ("&3 D:\\&\x95\x5C\\x.rkf", recentMenuText(3, "D:\\&\x95\x5C\\x.rkf"));
}

TEST(ChoiceButtonFont, ThreeQuartersOfTheAnswerSizeTruncated) {
    FontSpec answer{20, 128, 0xFF0000, 0xCCFFFF, "ＭＳ Ｐゴシック"};
    FontSpec choice = choiceButtonFont(answer);
    EXPECT_EQ(15, choice.size);
    EXPECT_EQ(answer.face, choice.face);
    EXPECT_EQ(answer.charSet, choice.charSet);
    EXPECT_EQ(answer.color, choice.color);
    answer.size = 11;
    EXPECT_EQ(8, choiceButtonFont(answer).size);
}

TEST(StoredWindowPlace, WorkAreaOffsetAndSize) {
    WindowRect r = storedWindowPlace(10, 20, 470, 380, 0, 0);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(20, r.top);
    EXPECT_EQ(460, r.width);
    EXPECT_EQ(360, r.height);
    // A task bar on the left or at the top moves the work area; the stored place is the screen's.
    r = storedWindowPlace(10, 20, 470, 380, 48, 30);
    EXPECT_EQ(58, r.left);
    EXPECT_EQ(50, r.top);
    EXPECT_EQ(460, r.width);
}

TEST(DefaultWindowSizes, ScaledForTheScreenPositionsLeftToTheSystem) {
    const auto place = [](const WindowRect& r) {
        return std::array<int, 4>{r.left, r.top, r.width, r.height};
    };
    constexpr int d = kDefaultPosition;
    const Settings plain = defaultSettings({});
    Settings s = plain;
    scaleDefaultWindowSizes(s, 96);
    EXPECT_EQ(place(plain.mainRect), place(s.mainRect));
    EXPECT_EQ(place(plain.hintRect), place(s.hintRect));
    scaleDefaultWindowSizes(s, 144);
    EXPECT_EQ((std::array<int, 4>{d, d, 690, 540}), place(s.mainRect));
    EXPECT_EQ((std::array<int, 4>{d, d, 600, 450}), place(s.listRect));
    EXPECT_EQ((std::array<int, 4>{d, d, 300, 390}), place(s.hintRect));
    EXPECT_EQ((std::array<int, 4>{d, d, 525, 450}), place(s.detailRect));
    // Sizes inside windows keep their 96-dpi meaning.
    EXPECT_EQ(plain.infoPainWidth, s.infoPainWidth);
    EXPECT_EQ(plain.lineInterval, s.lineInterval);
}

} // namespace
} // namespace rekal
