#include "core/exam/infopane.h"
#include "core/shell/dpi.h"

#include "../display/fake_surface.h"
#include "exam_fixture.h"

#include <gtest/gtest.h>

namespace rekal::test {
namespace {

// Ticks until the whole tip is on the pane; the count of ticks it took.
int typeWholeTip(TipTyper& t) {
    int ticks = 0;
    while (t.shown < paneTip(t.tip).size() && ticks < 10000) {
        t.tick();
        ++ticks;
    }
    return ticks;
}

TEST(InfoPaneTips, TypedOneCharacterATickWithAPauseAfterEachSentence) {
    TipTyper t;
    t.setMode(PaneBookLoaded);
    t.setMode(PaneNoBook);
    EXPECT_EQ(0, t.tip);
    EXPECT_EQ("", t.text());
    t.tick();
    EXPECT_EQ("フ", t.text()); // both bytes of a double-byte character at once
    t.tick();
    EXPECT_EQ("ファ", t.text());

    // Tip 8 has a full stop inside: two ticks without a new character after it.
    t.tip = 8;
    t.shown = paneTip(8).find("。");
    t.tick();
    EXPECT_TRUE(t.text().ends_with("します。"));
    const std::size_t afterStop = t.shown;
    t.tick();
    t.tick();
    EXPECT_EQ(afterStop, t.shown);
    t.tick();
    EXPECT_TRUE(t.text().ends_with("。範"));

    // Tip 2 is one sentence of 27 characters: 27 ticks, the final full stop adds no pause.
    t.tip = 2;
    t.shown = 0;
    t.pause = 0;
    EXPECT_EQ(27, typeWholeTip(t));
    EXPECT_EQ(paneTip(2), t.text());
}

TEST(InfoPaneTips, AFinishedTipStaysEightyOneTicksThenTheNextOneStarts) {
    TipTyper loaded;
    loaded.setMode(PaneBookLoaded);
    EXPECT_EQ(1, loaded.tip);
    std::vector<int> order;
    for (int n = 0; n < 9; ++n) {
        typeWholeTip(loaded);
        order.push_back(loaded.tip);
        for (int hold = 1; hold < kTipHoldTicks; ++hold)
            loaded.tick();
        EXPECT_EQ(paneTip(order.back()), loaded.text()) << "left before 81 ticks";
        loaded.tick();
        EXPECT_EQ("", loaded.text());
    }
    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 1}), order);
    EXPECT_EQ(2, loaded.tip);

    // Without a book the first tip comes again and again.
    TipTyper empty;
    for (int n = 0; n < 2; ++n) {
        typeWholeTip(empty);
        for (int hold = 0; hold < kTipHoldTicks; ++hold)
            empty.tick();
        EXPECT_EQ(0, empty.tip);
        EXPECT_EQ(0u, empty.shown);
    }

    // A run takes the pane; when it ends the tips start over from tip 1.
    loaded.tick();
    loaded.setMode(PaneRunning);
    loaded.setMode(PaneRunning);
    loaded.setMode(PaneBookLoaded);
    EXPECT_EQ(1, loaded.tip);
    EXPECT_EQ(0u, loaded.shown);
}

std::string field(const std::vector<PaneField>& fields, std::string_view label) {
    for (const PaneField& f : fields)
        if (f.label == label) return f.value;
    return "(none)";
}

TEST(InfoPaneRunFields, MethodModeRateAndQuestionsLeft) {
    // Question 3 (index 2) is in group 1, which is off.
    ExamRig rig(numberedBook(10, [](int i) { return i == 2 ? 1 : 0; }));
    rig.book.setGroupEnabled(1, false);
    ASSERT_TRUE(startAllRun(rig.run, rig.env));
    auto fields = paneRunFields(rig.run, rig.book, AnswerWritten, rig.clock.tick);
    ASSERT_EQ(5u, fields.size());
    EXPECT_EQ("[出題方法]", fields[0].label);
    EXPECT_EQ("すべて", fields[0].value);
    EXPECT_EQ("記述式", field(fields, "[解答モード]"));
    EXPECT_EQ("－", field(fields, "[正解率]"));
    // In order: the eligible questions behind the current one (10 less the first and the one off).
    EXPECT_EQ("8問", field(fields, "[残り問題]"));
    rig.answerRight();
    rig.answerWrong(); // the third question is skipped by its group
    fields = paneRunFields(rig.run, rig.book, AnswerStandard, rig.clock.tick);
    EXPECT_EQ(3, rig.run.current);
    EXPECT_EQ("6問", field(fields, "[残り問題]"));
    EXPECT_EQ("50.00%", field(fields, "[正解率]"));
    EXPECT_EQ("通常", field(fields, "[解答モード]"));

    // A complete run of 10 eligible questions: "at least 9" while the first is asked.
    ExamRig complete(numberedBook(10));
    ASSERT_TRUE(startCompleteRun(complete.run, complete.env));
    fields = paneRunFields(complete.run, complete.book, AnswerStandard, complete.clock.tick);
    EXPECT_EQ("ランダム(完全)", field(fields, "[出題方法]"));
    EXPECT_EQ("最低9問", field(fields, "[残り問題]"));
    complete.answerWrong();
    EXPECT_EQ("最低9問",
              field(paneRunFields(complete.run, complete.book, 0, complete.clock.tick), "[残り問題]"));
    complete.answerRight();
    EXPECT_EQ("最低8問",
              field(paneRunFields(complete.run, complete.book, 0, complete.clock.tick), "[残り問題]"));

    // Other runs: what is left to draw.
    ExamRig count(numberedBook(10));
    ASSERT_TRUE(startRandomCountRun(count.run, count.env, 4, false));
    EXPECT_EQ("3問", field(paneRunFields(count.run, count.book, 0, count.clock.tick), "[残り問題]"));
}

TEST(InfoPaneRunFields, TimeLeftCountsDownToZeroTimeSpentCountsUp) {
    ExamRig limited(numberedBook(3));
    limited.settings.timeLimit = 10;
    ASSERT_TRUE(startAllRun(limited.run, limited.env));
    const std::uint32_t shown = limited.clock.tick;
    EXPECT_EQ("10秒", field(paneRunFields(limited.run, limited.book, 0, shown), "[残り時間]"));
    EXPECT_EQ("7秒", field(paneRunFields(limited.run, limited.book, 0, shown + 3000), "[残り時間]"));
    EXPECT_EQ("0秒", field(paneRunFields(limited.run, limited.book, 0, shown + 10400), "[残り時間]"));
    EXPECT_EQ("0秒", field(paneRunFields(limited.run, limited.book, 0, shown + 65000), "[残り時間]"));
    EXPECT_EQ("(none)", field(paneRunFields(limited.run, limited.book, 0, shown), "[所要時間]"));

    ExamRig open(numberedBook(3));
    ASSERT_TRUE(startAllRun(open.run, open.env));
    const std::uint32_t start = open.clock.tick;
    EXPECT_EQ("0秒", field(paneRunFields(open.run, open.book, 0, start), "[所要時間]"));
    EXPECT_EQ("1分5秒", field(paneRunFields(open.run, open.book, 0, start + 65000), "[所要時間]"));
    EXPECT_EQ("(none)", field(paneRunFields(open.run, open.book, 0, start), "[残り時間]"));

    // Without a results array there is no time field.
    ExamRun idle;
    EXPECT_EQ(4u, paneRunFields(idle, open.book, 0, start).size());
}

TEST(InfoPaneSpokenFields, OneLineThatTheClockDoesNotChange) {
    ExamRig limited(numberedBook(3));
    limited.settings.timeLimit = 10;
    ASSERT_TRUE(startAllRun(limited.run, limited.env));
    const std::uint32_t shown = limited.clock.tick;
    const std::string first = paneSpokenFields(paneRunFields(limited.run, limited.book, AnswerChoice, shown));
    EXPECT_EQ("出題方法：すべて、解答モード：選択式、正解率：－、残り問題：2問", first);
    // The seconds tick on the pane, the name stays; a verdict and the next question change it.
    EXPECT_EQ(first, paneSpokenFields(paneRunFields(limited.run, limited.book, AnswerChoice, shown + 3000)));
    limited.answerRight();
    EXPECT_EQ("出題方法：すべて、解答モード：選択式、正解率：100.00%、残り問題：1問",
              paneSpokenFields(paneRunFields(limited.run, limited.book, AnswerChoice, limited.clock.tick)));
    // Labels without brackets are taken as they are; no fields, no text.
    EXPECT_EQ("A：1、B：2", paneSpokenFields({{"A", "1"}, {"[B]", "2"}, {"[T]", "9秒", true}}));
    EXPECT_EQ("", paneSpokenFields({}));
}

TEST(InfoPanePainting, LabelBandRampsFromWhiteToGreyGreen) {
    EXPECT_EQ(0xFFFFFFu, labelBandColour(0, 50));
    EXPECT_EQ(0xA0AAA0u, labelBandColour(50, 50)); // RGB(160,170,160) at the label's right end
    const Color middle = labelBandColour(25, 50);  // red and blue (25*160 + 25*255) / 50 = 207
    EXPECT_EQ(207u, middle & 0xFF);
    EXPECT_EQ(212u, (middle >> 8) & 0xFF); // (25*170 + 25*255) / 50
    EXPECT_EQ(207u, middle >> 16);
    for (int e = 1; e <= 50; ++e)
        EXPECT_LE(labelBandColour(e, 50) & 0xFF, labelBandColour(e - 1, 50) & 0xFF);
}

// A canvas on the fixed-width surface that records the fills.
class FakeCanvas : public PaneCanvas {
  public:
    struct Fill {
        DisplayRect r;
        Color colour;
    };
    FakeSurface surface;
    std::vector<Fill> fills;
    std::vector<Color> colours; // the text colour of each line drawn

    int wrapText(std::string_view text, DisplayRect& rect, bool measureOnly, int interval) override {
        const std::size_t before = surface.lines.size();
        const int h =
            wrapTextRun(surface, text, rect, measureOnly ? unsigned{WrapMeasureOnly} : 0u, interval);
        for (std::size_t i = before; i < surface.lines.size(); ++i)
            colours.push_back(colour_);
        return h;
    }
    void setTextColour(Color c) override { colour_ = c; }
    void fillRect(const DisplayRect& r, Color c) override { fills.push_back({r, c}); }

  private:
    Color colour_ = 0;
};

TEST(InfoPanePainting, FieldsStackLabelOnItsBandThenValue) {
    FakeCanvas canvas;
    const std::vector<PaneField> fields = {{"[AB]", "xyz"}, {"[C]", "v"}, {"[D]", "w"}};
    const PaneSpacing spacing = paneSpacing(kBaseDpi, 9);
    EXPECT_EQ(8, spacing.valueGap);
    // Lines are 16 high: field 1 takes 1 + 16 + 4 + 16 + 8 = 45; field 2 starts at 55 and its band
    // is cut at the area's bottom; field 3 starts past the bottom and is left out.
    const int end = drawPaneFields(canvas, fields, {10, 10, 110, 70}, spacing, 0x123456);
    EXPECT_EQ(100, end);
    ASSERT_EQ(4u, canvas.surface.lines.size());
    auto line = [&](std::size_t i) {
        const FakeSurface::Line& l = canvas.surface.lines[i];
        return std::to_string(l.x) + "," + std::to_string(l.y) + " " + l.text;
    };
    EXPECT_EQ("10,11 [AB]", line(0)); // the label one pixel below its band
    EXPECT_EQ("10,31 xyz", line(1));
    EXPECT_EQ("10,56 [C]", line(2));
    EXPECT_EQ((std::vector<Color>{kPaneLabelColour, 0x123456, kPaneLabelColour, 0x123456}), canvas.colours);

    // "[AB]" is 40 wide: 21 white columns, then 19 one-pixel columns ending at RGB(160,170,160).
    ASSERT_GE(canvas.fills.size(), 20u);
    EXPECT_EQ((DisplayRect{10, 10, 31, 28}), canvas.fills[0].r);
    EXPECT_EQ(kPaneWhite, canvas.fills[0].colour);
    EXPECT_EQ((DisplayRect{49, 10, 50, 28}), canvas.fills[19].r);
    EXPECT_EQ(0xA0AAA0u, canvas.fills[19].colour);
    // The second band: 18 high but stopped at the area's bottom.
    EXPECT_EQ((DisplayRect{10, 55, 31, 70}), canvas.fills[20].r);
}

TEST(InfoPanePainting, FrameClockAndBlinkingColon) {
    const PaneFrame f = paneFrame(120, 300, kBaseDpi);
    EXPECT_EQ((DisplayRect{2, 2, 116, 296}), f.frame);
    EXPECT_EQ((DisplayRect{3, 3, 118, 298}), f.shadow);
    EXPECT_EQ((DisplayRect{7, 7, 111, 291}), f.inner); // the client inset by 8, moved up and left by 1
    EXPECT_EQ(24, paneFrame(120, 300, 144).corner);

    LocalTime t;
    t.hour = 9;
    t.minute = 5;
    t.millisecond = 499;
    EXPECT_EQ(" ", clockText(t).separator);
    t.millisecond = 500;
    const ClockText text = clockText(t);
    EXPECT_EQ("09", text.hour);
    EXPECT_EQ(":", text.separator);
    EXPECT_EQ("05", text.minute);

    const ClockPlace p = clockPlace(f.inner, 12, 4);
    EXPECT_EQ((DisplayRect{7, 279, 111, 291}), p.line);
    EXPECT_EQ(57, p.separatorLeft); // 7 + (104 - 4) / 2
    EXPECT_EQ(57, p.hourRight);
    EXPECT_EQ(61, p.minuteLeft);
}

} // namespace
} // namespace rekal::test
