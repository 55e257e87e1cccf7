#include "core/display/wrap.h"
#include "fake_surface.h"

#include <gtest/gtest.h>

#include <climits>

using namespace rekal;
using rekal::test::FakeSurface;
using Lines = std::vector<std::string>;

namespace {

// Two double-byte characters: "あい" in code page 932.
const std::string kA = "\x82\xA0";
const std::string kI = "\x82\xA2";

struct Wrapped {
    Lines lines;
    int height;
    FakeSurface surface;
};

Wrapped wrap(const std::string& text, int width, int interval = 0, bool doubleByte = true) {
    Wrapped w;
    w.surface.doubleByte = doubleByte;
    DisplayRect rect{0, 0, width, 1000};
    w.height = wrapTextRun(w.surface, text, rect, 0, interval);
    w.lines = w.surface.texts();
    return w;
}

} // namespace

TEST(WrapTextRun, BreaksAfterTheSpaceThatStillFits) {
    // "ab " is 30 wide and fits; "ab c" (40) does not.
    EXPECT_EQ(wrap("ab cd", 35).lines, (Lines{"ab ", "cd"}));
    // Punctuation is a break opportunity as well.
    EXPECT_EQ(wrap("ab,cd", 35).lines, (Lines{"ab,", "cd"}));
    // The last opportunity that fits wins.
    EXPECT_EQ(wrap("a b c d", 65).lines, (Lines{"a b c ", "d"}));
}

TEST(WrapTextRun, BreaksBetweenAnyTwoDoubleByteCharacters) {
    std::string text = kA + kI + kA + kI + kA;
    EXPECT_EQ(wrap(text, 50).lines, (Lines{kA + kI, kA + kI, kA}));
    // A double-byte character is never cut in two, even when only half of it would fit.
    EXPECT_EQ(wrap(text, 30).lines, (Lines{kA, kI, kA, kI, kA}));
    // A word following double-byte text moves whole to the next line.
    EXPECT_EQ(wrap(kA + "abc", 40).lines, (Lines{kA, "abc"}));
}

TEST(WrapTextRun, TrailByteThatLooksLikeALetterStillBreaks) {
    // 0x83 0x41 is one double-byte character whose second byte is 'A'.
    std::string c = "\x83\x41";
    EXPECT_EQ(wrap(c + c + c, 45).lines, (Lines{c + c, c}));
}

TEST(WrapTextRun, SingleByteFontTakesEveryByteAlone) {
    // With a font that is not Shift-JIS the two bytes of kA are two characters of 10 pixels.
    Wrapped w = wrap(kA + kA, 25, 0, false);
    EXPECT_EQ(w.lines, (Lines{kA, kA}));
}

TEST(WrapTextRun, LongWordIsBrokenInside) {
    EXPECT_EQ(wrap("abcdefgh", 35).lines, (Lines{"abc", "def", "gh"}));
    EXPECT_EQ(wrap("x abcdefgh", 35).lines, (Lines{"x ", "abc", "def", "gh"}));
}

TEST(WrapTextRun, CharacterWiderThanTheLineStaysAloneWithoutEmptyLines) {
    Wrapped w = wrap("abc", 5);
    EXPECT_EQ(w.lines, (Lines{"a", "b", "c"}));
    EXPECT_EQ(w.height, 48);
    DisplayRect rect{0, 0, 5, 0};
    FakeSurface s;
    wrapTextRun(s, "abc", rect, WrapMeasureOnly, 0);
    EXPECT_EQ(rect.right, 10); // the widest line is wider than the rectangle
}

TEST(WrapTextRun, ForcedBreaksCountCrLfAsOne) {
    EXPECT_EQ(wrap("a\r\nb", 100).lines, (Lines{"a", "b"}));
    EXPECT_EQ(wrap("a\rb", 100).lines, (Lines{"a", "b"}));
    EXPECT_EQ(wrap("a\nb", 100).lines, (Lines{"a", "b"}));
    // Two breaks make an empty line between; so do LF CR and CR CR.
    EXPECT_EQ(wrap("a\n\nb", 100).lines, (Lines{"a", "", "b"}));
    EXPECT_EQ(wrap("a\n\rb", 100).lines, (Lines{"a", "", "b"}));
    EXPECT_EQ(wrap("a\r\rb", 100).lines, (Lines{"a", "", "b"}));
    EXPECT_EQ(wrap("a\r\n\r\nb", 100).lines, (Lines{"a", "", "b"}));
}

TEST(WrapTextRun, TrailingLineBreakAddsNoLineAndNoInterval) {
    Wrapped plain = wrap("abc", 100, 5);
    Wrapped trailing = wrap("abc\n", 100, 5);
    Wrapped trailingCrLf = wrap("abc\r\n", 100, 5);
    EXPECT_EQ(trailing.lines, (Lines{"abc"}));
    EXPECT_EQ(trailingCrLf.lines, (Lines{"abc"}));
    EXPECT_EQ(plain.height, 16);
    EXPECT_EQ(trailing.height, 16);
    EXPECT_EQ(trailingCrLf.height, 16);
    // A blank line at the end is the writer's own: it stays.
    EXPECT_EQ(wrap("abc\n\n", 100, 5).height, 16 + 5 + 16);
}

TEST(WrapTextRun, LineIntervalGoesBetweenLinesOnly) {
    Wrapped w = wrap("ab cd ef", 35, 4);
    ASSERT_EQ(w.lines, (Lines{"ab ", "cd ", "ef"}));
    EXPECT_EQ(w.surface.lines[1].y, 20);
    EXPECT_EQ(w.surface.lines[2].y, 40);
    EXPECT_EQ(w.height, 3 * 16 + 2 * 4);
}

TEST(WrapTextRun, BreakPointDoesNotOutliveItsLine) {
    // The break opportunity of the line break lies before the next line's start; a long word on
    // that line must be broken inside it, not produce an empty line.
    EXPECT_EQ(wrap("x\nabcdefgh", 35).lines, (Lines{"x", "abc", "def", "gh"}));
    EXPECT_EQ(wrap("x\r\nabcdefgh", 35).lines, (Lines{"x", "abc", "def", "gh"}));
    // The same after a break opportunity used by a wrapped line.
    EXPECT_EQ(wrap("ab cdefghij", 35).lines, (Lines{"ab ", "cde", "fgh", "ij"}));
}

TEST(WrapTextRun, EmptyTextTakesNoSpace) {
    Wrapped w = wrap("", 100, 8);
    EXPECT_TRUE(w.lines.empty());
    EXPECT_EQ(w.height, 0);
    DisplayRect rect{3, 7, 100, 100};
    FakeSurface s;
    wrapTextRun(s, "", rect, WrapMeasureOnly, 8);
    EXPECT_EQ(rect, (DisplayRect{3, 7, 3, 7}));
}

TEST(WrapTextRun, MeasureOnlyDrawsNothingAndSetsTheExtent) {
    FakeSurface s;
    DisplayRect rect{10, 20, 45, 0};
    int height = wrapTextRun(s, "ab cd efg", rect, WrapMeasureOnly, 2);
    EXPECT_TRUE(s.lines.empty());
    EXPECT_EQ(height, 3 * 16 + 2 * 2);
    EXPECT_EQ(rect.right, 10 + 30);
    EXPECT_EQ(rect.bottom, 20 + height);
}

TEST(WrapTextRun, LinesAreDrawnAtTheLeftFromTheTop) {
    FakeSurface s;
    DisplayRect rect{5, 100, 40, 200};
    wrapTextRun(s, "ab cd", rect, 0, 3);
    ASSERT_EQ(s.lines.size(), 2u);
    EXPECT_EQ(s.lines[0].x, 5);
    EXPECT_EQ(s.lines[0].y, 100);
    EXPECT_EQ(s.lines[1].y, 119);
}

TEST(WrapTextRun, WidthsAreMeasuredFromTheLineStart) {
    FakeSurface s;
    DisplayRect rect{0, 0, 25, 0};
    wrapTextRun(s, "abcd", rect, WrapMeasureOnly, 0);
    EXPECT_EQ(s.measured, (Lines{"a", "ab", "abc", "c", "cd"}));
}

// Measured once, a run breaks exactly where it breaks when every piece is measured from its line
// start, with one measurement however long the text.
TEST(WrapTextRun, MeasuringTheRunOnceBreaksTheSame) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += i % 7 == 0 ? "\r\n" : i % 5 == 0 ? kA + kI : i % 3 == 0 ? "word " : "longerword";
    for (int width : {0, 15, 95, 333, 32000}) {
        FakeSurface each, once;
        once.measuresOnce = true;
        DisplayRect a{0, 0, width, 0}, b{0, 0, width, 0};
        EXPECT_EQ(wrapTextRun(each, text, a, 0, 3), wrapTextRun(once, text, b, 0, 3)) << width;
        EXPECT_EQ(each.texts(), once.texts()) << width;
        DisplayRect c{0, 0, width, 0}, d{0, 0, width, 0};
        wrapTextRun(each, text, c, WrapMeasureOnly, 3);
        wrapTextRun(once, text, d, WrapMeasureOnly, 3);
        EXPECT_EQ(c, d) << width;
        EXPECT_TRUE(once.measured.empty());
        EXPECT_EQ(once.prefixCalls, 2);
    }
}

TEST(WrapTextRun, ExtremeRectanglesAndIntervalsSaturate) {
    FakeSurface s;
    DisplayRect rect{INT_MIN, INT_MAX - 5, INT_MAX, INT_MAX};
    EXPECT_GE(wrapTextRun(s, "a\nb\nc", rect, WrapMeasureOnly, INT_MAX), 0);
    EXPECT_EQ(rect.bottom, INT_MAX);
    DisplayRect low{0, INT_MIN, 10, 0};
    EXPECT_EQ(wrapTextRun(s, "a\nb", low, WrapMeasureOnly, INT_MIN), 32); // a negative interval is none
}
