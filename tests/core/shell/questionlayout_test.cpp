#include "core/shell/answerlayout.h"
#include "core/shell/questionlayout.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

TEST(QuestionBand, MeasuredGroupTextOrFontHeightsOr24) {
    const BandSizes measured = bandSizes(true, true, 60, 30, 15, 96);
    EXPECT_EQ(75, measured.groupWidth);   // w + hg / 2
    EXPECT_EQ(82, measured.historyWidth); // 5.5 * (hg / 2), truncated
    EXPECT_EQ(32, measured.height);       // hg + 2
    const BandSizes unmeasured = bandSizes(true, false, 0, 0, 13, 96);
    EXPECT_EQ(65 + 13, unmeasured.groupWidth);
    EXPECT_EQ(28, unmeasured.height);
    const BandSizes off = bandSizes(false, true, 60, 30, 15, 96);
    EXPECT_EQ(24, off.groupWidth);
    EXPECT_EQ(24, off.historyWidth);
    EXPECT_EQ(24, off.height);
    EXPECT_EQ(36, bandSizes(false, true, 0, 0, 0, 144).height); // 24 at 150 %
}

TEST(ChoiceRows, PerRowFromTheSettingOrAsManyAsFit) {
    EXPECT_EQ(4, choicesPerRow(4, false, 500, 300, 2)); // the setting as it is
    EXPECT_EQ(3, choicesPerRow(4, true, 100, 350, 9));
    EXPECT_EQ(1, choicesPerRow(4, true, 500, 300, 9)); // at least one
    EXPECT_EQ(2, choicesPerRow(4, true, 10, 300, 2));  // at most the number of buttons
    EXPECT_EQ(20 + 2 * 2 + 4, choiceRowHeight(20, 2, 96));
}

TEST(QuestionArea, ChoiceRowsStackUpFromTheBandAndTheSentenceFillsTheRest) {
    QuestionAreaInput in;
    in.area = {127, 30, 500, 400};
    in.bandTop = 400;
    in.band = bandSizes(false, false, 0, 0, 0, 96);
    in.titleHeight = 20;
    in.choiceCount = 5;
    in.choicesPerRow = 2;
    in.rowHeights = {30, 40, 50};
    const QuestionAreaLayout l = layoutQuestionArea(in);
    ASSERT_EQ(5u, l.choices.size());
    // Rows of 30, 40 and 50 end one pixel above the band: 279-309, 309-349, 349-399.
    EXPECT_EQ((PixelRect{127, 279, 250, 30}), l.choices[0]);
    EXPECT_EQ((PixelRect{377, 279, 250, 30}), l.choices[1]);
    EXPECT_EQ((PixelRect{377, 309, 250, 40}), l.choices[3]);
    EXPECT_EQ((PixelRect{127, 349, 250, 50}), l.choices[4]);
    EXPECT_EQ((PixelRect{127, 30, 500, 20}), l.title);
    EXPECT_EQ((PixelRect{127, 50, 500, 229}), l.sentence);
    EXPECT_EQ((PixelRect{127 + 500 - 188, 400, 90, 24}), l.answerButton);
    EXPECT_EQ((PixelRect{127 + 500 - 94, 400, 90, 24}), l.abortButton);
    EXPECT_EQ((PixelRect{0, 403, 24, 24}), l.group);
    EXPECT_EQ((PixelRect{24, 403, 24, 24}), l.history);
}

TEST(QuestionArea, TheEditSitsOnTheBandExceptInConfirmMode) {
    QuestionAreaInput in;
    in.area = {0, 30, 600, 400};
    in.bandTop = 400;
    in.band = bandSizes(true, true, 60, 30, 15, 96);
    in.editHeight = 24;
    const QuestionAreaLayout typed = layoutQuestionArea(in);
    EXPECT_EQ((PixelRect{0, 376, 600, 24}), typed.edit);
    EXPECT_EQ((PixelRect{0, 30, 600, 344}), typed.sentence); // ends 2 pixels above the edit, no title
    in.confirmMode = true;
    const QuestionAreaLayout confirm = layoutQuestionArea(in);
    EXPECT_EQ((PixelRect{0, 30, 600, 370}), confirm.sentence);
    EXPECT_EQ(0, confirm.edit.height);
    // At 192 dpi the fixed numbers double, the measured ones stay.
    in.dpi = 192;
    in.confirmMode = false;
    const QuestionAreaLayout doubled = layoutQuestionArea(in);
    EXPECT_EQ((PixelRect{600 - 376, 400, 180, 32}), doubled.answerButton);
    EXPECT_EQ(376 - 4 - 30, doubled.sentence.height);
}

TEST(StripeColour, BrightestInTheMiddleOfTheRunCappedAt255) {
    const std::uint32_t face = 0x00C0D0E0;
    // A 90-wide button: a run of 106, brightened by 159 in the middle, nothing at the ends.
    EXPECT_EQ(0x00FFFFFFu, stripeColour(face, 53, 90));
    EXPECT_EQ(face, stripeColour(face, 0, 90));
    EXPECT_EQ(face, stripeColour(face, 106, 90));
    EXPECT_EQ(0x00C0D0E0u + 0x00030303u * 10, stripeColour(face, 10, 90)); // 30 brighter, no channel capped
}

AnswerDialogMetrics metrics(bool confirm) {
    AnswerDialogMetrics m;
    m.baseWidth = 500;
    m.baseHeight = 500;
    m.markHeight = confirm ? 0 : 30;
    m.confirmMode = confirm;
    m.frameWidth = 4;
    m.frameHeight = 4;
    m.captionHeight = 20;
    return m;
}

TEST(AnswerDialogSize, ShortAnswerWithoutCommentIsAtLeast254Wide) {
    AnswerDialogMetrics m = metrics(false);
    EXPECT_EQ((PixelSize{460, 422}).width, answerLimit(m).width); // 500 - (30 + 10)
    EXPECT_EQ(422, answerLimit(m).height);
    const AnswerDialogLayout l = layoutAnswerDialog(m, {50, 10}, {});
    // Answer clamped up to 16 high; Tb = max(30, 16) + 7 = 37; client 254 wide.
    EXPECT_EQ(254 + 8, l.window.width);
    EXPECT_EQ(37 + 54 + 8 + 20 - 25, l.window.height);
    EXPECT_EQ((PixelRect{(254 - 50 - 40) / 2, 3, 30, 30}), l.mark);
    EXPECT_EQ((PixelRect{(254 - 50 - 40) / 2 + 40, 10, 50, 16}), l.answer);
    EXPECT_EQ(0, l.comment.width);
    EXPECT_EQ(0, l.list.width);
    const int h = l.client.height;
    EXPECT_EQ((PixelRect{127 - 122, h - 24, 80, 21}), l.ok);
    EXPECT_EQ((PixelRect{127 + 42, h - 24, 80, 21}), l.help);
}

TEST(AnswerDialogSize, LongCommentIsCutToTheBaseHeightAndAlternativesAddTheList) {
    AnswerDialogMetrics m = metrics(true);
    m.comment = true;
    m.alternatives = true;
    const PixelSize answer{600, 900}; // larger than the limits: clamped to 500 x 422 (no mark)
    EXPECT_EQ(500 - 16, commentMeasureWidth(m, answer)); // the client (502) capped at the base
    const AnswerDialogLayout l = layoutAnswerDialog(m, answer, {484, 2000});
    // Tb = 429; the comment is cut to 500 - 429 = 71, then to 500 - (429 + 54 + 28) -> at least 32.
    EXPECT_EQ(32, l.comment.height);
    EXPECT_EQ(484, l.comment.width);
    EXPECT_EQ(429 + 54 + 28 + 32 + 70, l.window.height); // confirm mode keeps its button row
    EXPECT_EQ((PixelRect{1, 429 + 32 + 1, 502 - 2, 68}), l.list);
    EXPECT_EQ(0, l.mark.width);
    EXPECT_EQ((PixelRect{1, 3, 500, 422}), l.answer);
    EXPECT_EQ(l.client.height - 47, l.right.top);
}

} // namespace
} // namespace rekal
