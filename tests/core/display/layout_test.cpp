#include "core/display/layout.h"
#include "fake_surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

using namespace rekal;
using rekal::test::FakeSurface;

namespace {

// Lays text runs out on the fake surface and knows object sizes by index.
class FakeCanvas : public SentenceCanvas {
  public:
    FakeSurface surface;
    int interval = 0;
    std::map<int, ContentSize> objects;
    std::vector<DisplayRect> runRects;
    std::vector<std::pair<int, std::pair<int, int>>> placed;

    int textRun(std::string_view run, DisplayRect& rect, bool measureOnly) override {
        runRects.push_back(rect);
        return wrapTextRun(surface, run, rect, measureOnly ? unsigned{WrapMeasureOnly} : 0u, interval);
    }
    std::optional<ContentSize> objectSize(int index) override {
        auto it = objects.find(index);
        if (it == objects.end()) return std::nullopt;
        return it->second;
    }
    void placeObject(int index, int x, int y) override { placed.push_back({index, {x, y}}); }
};

const std::string kPicture = "\x02i\"p.png\"";

} // namespace

TEST(SentenceLayout, ObjectsTakeBandsBetweenRuns) {
    FakeCanvas c;
    c.objects[0] = {100, 50};
    ContentSize size = layoutSentence(c, "abc" + kPicture + "de", {0, 0, 500, 1000}, true);
    EXPECT_EQ(size, (ContentSize{102, 16 + 52 + 16}));
    ASSERT_EQ(c.placed.size(), 1u);
    EXPECT_EQ(c.placed[0], (std::pair<int, std::pair<int, int>>{0, {1, 17}}));
    ASSERT_EQ(c.runRects.size(), 2u);
    EXPECT_EQ(c.runRects[1].top, 16 + 52);
}

TEST(SentenceLayout, NoLineIntervalBetweenARunAndTheObjectBelow) {
    FakeCanvas c;
    c.interval = 8;
    c.objects[0] = {10, 10};
    ContentSize size = layoutSentence(c, "a\nb" + kPicture, {0, 0, 500, 1000}, true);
    EXPECT_EQ(size.height, 16 + 8 + 16 + 12);
}

TEST(SentenceLayout, MissingObjectsTakeNoSpace) {
    FakeCanvas c;
    c.objects[1] = {20, 30};
    // Tag 0 has no object; tag 1 does; tag 2 is beyond the list.
    ContentSize size = layoutSentence(c, kPicture + kPicture + "x" + kPicture, {0, 0, 500, 1000}, true);
    EXPECT_EQ(size, (ContentSize{22, 32 + 16}));
    ASSERT_EQ(c.placed.size(), 1u);
    EXPECT_EQ(c.placed[0].first, 1);
    EXPECT_EQ(c.placed[0].second, (std::pair<int, int>{1, 1}));
}

TEST(SentenceLayout, PictureWithoutBitmapTakesATwoPixelBand) {
    FakeCanvas c;
    c.objects[0] = {0, 0};
    EXPECT_EQ(layoutSentence(c, kPicture, {0, 0, 500, 1000}, true), (ContentSize{2, 2}));
}

TEST(SentenceLayout, RunsWrapInTheRectangleAndDrawFromItsLeft) {
    FakeCanvas c;
    c.objects[0] = {5, 5};
    layoutSentence(c, "ab cd" + kPicture + "ef", {-7, -3, 28, 90}, false);
    EXPECT_EQ(c.surface.texts(), (std::vector<std::string>{"ab ", "cd", "ef"}));
    EXPECT_EQ(c.surface.lines[0].x, -7);
    EXPECT_EQ(c.surface.lines[0].y, -3);
    ASSERT_EQ(c.placed.size(), 1u);
    EXPECT_EQ(c.placed[0].second, (std::pair<int, int>{-6, -3 + 32 + 1}));
    EXPECT_EQ(c.surface.lines[2].y, -3 + 32 + 7);
    // Every run is clipped from its own top down to the rectangle's bottom.
    EXPECT_EQ(c.runRects[1], (DisplayRect{-7, -3 + 32 + 7, 28, 90}));
}

TEST(SentenceLayout, ContentWidthIsTheWidestRunOrBand) {
    FakeCanvas c;
    c.objects[0] = {30, 5};
    EXPECT_EQ(layoutSentence(c, "abcdefg" + kPicture, {0, 0, 500, 0}, true).width, 70);
    EXPECT_EQ(layoutSentence(c, "ab" + kPicture, {0, 0, 500, 0}, true).width, 32);
}

TEST(SentenceLayout, UnterminatedTagEndsTheText) {
    FakeCanvas c;
    c.objects[0] = {4, 4};
    EXPECT_EQ(layoutSentence(c, "ab\x02i\"p.png tail", {0, 0, 500, 0}, true), (ContentSize{20, 16 + 6}));
}

TEST(SentenceLayout, SizesFromTheFileAreHeldWithinTheDrawingRange) {
    FakeCanvas c;
    c.objects[0] = {INT_MAX, INT_MAX};
    c.objects[1] = {-5, INT_MIN};
    c.objects[2] = {INT_MAX, INT_MAX};
    const ContentSize size = layoutSentence(c, kPicture + kPicture + kPicture, {0, 0, 500, 1000}, true);
    EXPECT_EQ(size, (ContentSize{kMaxDisplayExtent + 2, 2 * (kMaxDisplayExtent + 2) + 2}));
    // Far down, the sums stop at the end of the range instead of wrapping around.
    FakeCanvas far;
    far.objects[0] = {10, 10};
    const ContentSize low =
        layoutSentence(far, "x" + kPicture, {INT_MAX - 20, INT_MAX - 20, INT_MAX, INT_MAX}, true);
    EXPECT_EQ(low.height, 20);
    EXPECT_EQ(far.placed[0].second, (std::pair<int, int>{INT_MAX - 19, INT_MAX - 3}));
}

TEST(SentenceLayout, EmptyTextHasNoSize) {
    FakeCanvas c;
    EXPECT_EQ(layoutSentence(c, "", {0, 0, 500, 0}, true), (ContentSize{0, 0}));
}

namespace {

// Content of a fixed width and height.
SentenceMeasure fixedContent(int width, int height) {
    return [=](const DisplayRect&) { return ContentSize{width, height}; };
}

} // namespace

TEST(ScrollRanges, ContentThatFitsNeedsNoBars) {
    ScrollRanges r = computeScrollRanges(fixedContent(100, 50), {0, 0, 200, 100}, 17, 15);
    EXPECT_EQ(r.area, (DisplayRect{0, 0, 200, 100}));
    EXPECT_EQ(r.horizontalMax, 99);
    EXPECT_EQ(r.verticalMax, 49);
}

TEST(ScrollRanges, EmptyContentHasZeroRanges) {
    ScrollRanges r = computeScrollRanges(fixedContent(0, 0), {0, 0, 200, 100}, 17, 15);
    EXPECT_EQ(r.horizontalMax, 0);
    EXPECT_EQ(r.verticalMax, 0);
}

TEST(ScrollRanges, WideContentMakesRoomForAHorizontalBarThenAVerticalOne) {
    // 300 wide: the bottom gives way (100 -> 83), and 90 no longer fits, so the right gives way too.
    ScrollRanges r = computeScrollRanges(fixedContent(300, 90), {0, 0, 200, 100}, 17, 15);
    // The second pass reduces again: reductions accumulate.
    EXPECT_EQ(r.area, (DisplayRect{0, 0, 200 - 30, 100 - 34}));
    EXPECT_EQ(r.horizontalMax, 299);
    EXPECT_EQ(r.verticalMax, 89);
}

TEST(ScrollRanges, SecondPassMeasuresInTheNarrowedArea) {
    // Text wraps: the narrower the area, the taller the content.
    std::vector<int> widths;
    SentenceMeasure wrapping = [&](const DisplayRect& area) {
        widths.push_back(area.width());
        return ContentSize{std::min(area.width(), 150), area.width() < 150 ? 120 : 80};
    };
    // The first pass fits the width but not the height; the vertical bar narrows the second pass.
    ScrollRanges r = computeScrollRanges(wrapping, {0, 0, 150, 70}, 17, 15);
    EXPECT_EQ(widths, (std::vector<int>{150, 135}));
    EXPECT_EQ(r.content, (ContentSize{135, 120}));
    EXPECT_EQ(r.area, (DisplayRect{0, 0, 120, 70}));
    EXPECT_EQ(r.verticalMax, 119);
}

TEST(ScrollRanges, SizeNeededAddsBarsWhereContentReachesTheArea) {
    ScrollRanges fits = computeScrollRanges(fixedContent(100, 50), {0, 0, 200, 100}, 17, 15);
    EXPECT_EQ(sentenceSizeNeeded(fits, 17, 15), (ContentSize{100, 50}));
    ScrollRanges wide = computeScrollRanges(fixedContent(300, 20), {0, 0, 200, 100}, 17, 15);
    EXPECT_EQ(sentenceSizeNeeded(wide, 17, 15), (ContentSize{300, 37}));
    ScrollRanges tall = computeScrollRanges(fixedContent(20, 300), {0, 0, 200, 100}, 17, 15);
    EXPECT_EQ(sentenceSizeNeeded(tall, 17, 15), (ContentSize{35, 300}));
    // Content exactly as wide as the area counts as reaching it.
    ScrollRanges exact = computeScrollRanges(fixedContent(200, 20), {0, 0, 200, 100}, 17, 15);
    EXPECT_EQ(sentenceSizeNeeded(exact, 17, 15), (ContentSize{200, 37}));
}

TEST(ScrollSteps, ClampedToTheRange) {
    EXPECT_EQ(clampScrollStep(0, -16, 100), 0);
    EXPECT_EQ(clampScrollStep(10, -16, 100), -10);
    EXPECT_EQ(clampScrollStep(90, 16, 100), 10);
    EXPECT_EQ(clampScrollStep(50, 16, 100), 16);
    EXPECT_EQ(clampScrollStep(0, 16, 0), 0);
    EXPECT_EQ(clampScrollStep(5, INT_MAX, 100), 95);
}

TEST(ScrollSteps, TheWheelScrollsLinesPerNotchAndKeepsPartsOfANotch) {
    // Three lines a notch, 16-pixel lines: one notch down is 48 pixels, one up -48.
    WheelStep s = wheelScrollStep(120, 0, 3, 16, 200);
    EXPECT_EQ(s.pixels, 48);
    EXPECT_EQ(s.carried, 0);
    EXPECT_EQ(wheelScrollStep(-240, 0, 3, 16, 200).pixels, -96);
    // A fine wheel sends 30 at a time: a line every 40, the rest waits for the next message.
    s = wheelScrollStep(30, 0, 3, 16, 200);
    EXPECT_EQ(s.pixels, 0);
    EXPECT_EQ(s.carried, 30);
    s = wheelScrollStep(30, s.carried, 3, 16, 200);
    EXPECT_EQ(s.pixels, 16);
    EXPECT_EQ(s.carried, 20);
    // Turned back, what was kept is dropped.
    s = wheelScrollStep(-30, s.carried, 3, 16, 200);
    EXPECT_EQ(s.pixels, 0);
    EXPECT_EQ(s.carried, -30);
    // A page per notch, no scrolling at all, and more lines than the notch has units.
    EXPECT_EQ(wheelScrollStep(-120, 0, kWheelPageScroll, 16, 200).pixels, -200);
    EXPECT_EQ(wheelScrollStep(120, 0, kWheelPageScroll, 16, 0).pixels, 1);
    EXPECT_EQ(wheelScrollStep(120, 0, 0, 16, 200).pixels, 0);
    EXPECT_EQ(wheelScrollStep(120, 0, 0, 16, 200).carried, 0);
    EXPECT_EQ(wheelScrollStep(1, 0, 500, 16, 200).pixels, 16);
    // Huge deltas do not overflow; the position is clamped afterwards.
    s = wheelScrollStep(INT_MAX, 0, 100, INT_MAX, 200);
    EXPECT_EQ(s.pixels, INT_MAX);
    EXPECT_EQ(clampScrollStep(10, s.pixels, 300), 290);
}
