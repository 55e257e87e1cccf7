// The start dialogs' numbers: range numbers read and counted with the chosen groups, and the
// largest count of the count and weak-point dialogs.

#include "exam_fixture.h"

#include "core/exam/startlimits.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

using test::loadText;
using test::numberedBook;

constexpr std::array<bool, 9> kAllGroups{true, true, true, true, true, true, true, true, true};
constexpr std::array<bool, 9> kNoGroups{};

int countOf(const QuestionBook& book, bool byTitle, std::string_view s, std::string_view e,
            const std::array<bool, 9>& groups = kAllGroups) {
    return checkRange(book, RangeChoice{byTitle, s, e, groups}).count;
}

TEST(RangeDialogCount, RefusesBadNumbersAndCountsWithTheChosenGroups) {
    QuestionBook book;
    loadText(book, numberedBook(12, [](int i) { return i % 3 + 1; })); // groups 1, 2, 3 in turn
    EXPECT_EQ(rangeNumberLimit(book, false), 12);
    EXPECT_EQ(countOf(book, false, "1", "12"), 12);
    EXPECT_EQ(countOf(book, false, "5", "3"), 0); // start after end
    EXPECT_EQ(countOf(book, false, "3", "3"), 1);
    for (std::string_view bad : {"", "0", "-1", "13", "x", "4294967297", "99999999999999999999"})
        EXPECT_EQ(countOf(book, false, "1", bad), 0) << bad;
    EXPECT_EQ(countOf(book, false, "4294967297", "5"), 0);

    std::array<bool, 9> onlyTwo{};
    onlyTwo[1] = true;
    const RangeCheck two = checkRange(book, RangeChoice{false, " 2", "12 ", onlyTwo});
    EXPECT_EQ(two.count, 4);
    EXPECT_EQ(two.first, 1);
    EXPECT_EQ(two.last, 11);
    EXPECT_EQ(countOf(book, false, "1", "12", kNoGroups), 0); // every question is in a group

    // Group-0 questions keep the count above 0 with every group deselected.
    QuestionBook mixed;
    loadText(mixed, numberedBook(10, [](int i) { return i < 3 ? 0 : 5; }));
    EXPECT_EQ(countOf(mixed, false, "1", "10", kNoGroups), 3);
    EXPECT_EQ(countOf(mixed, false, "4", "10", kNoGroups), 0);

    // Storing keeps the indices and flags; a refused range stores nothing.
    storeRange(book, two, onlyTwo);
    EXPECT_EQ(book.rangeFirst(), 1);
    EXPECT_EQ(book.rangeLast(), 11);
    EXPECT_FALSE(book.groupEnabled(1));
    EXPECT_TRUE(book.groupEnabled(2));
    storeRange(book, checkRange(book, RangeChoice{false, "5", "3", kAllGroups}), kAllGroups);
    EXPECT_EQ(book.rangeFirst(), 1);
    EXPECT_FALSE(book.groupEnabled(1));
}

TEST(RangeDialogCount, TitleNumbersSelectTheirSections) {
    QuestionBook book;
    loadText(book, "REKALDATA V1.6\n"
                   "q0,a,<00\n"
                   "#one,000000\n"
                   "q1,a,<00\n"
                   "q2,a,<00\n"
                   "#two,000000\n"
                   "q3,a,<00\n"
                   "q4,a,<00\n"
                   "q5,a,<00\n"
                   "#three,000000\n"
                   "q6,a,<00\n");
    EXPECT_EQ(rangeNumberLimit(book, true), 3);
    const RangeCheck second = checkRange(book, RangeChoice{true, "2", "2", kAllGroups});
    EXPECT_EQ(second.count, 3);
    EXPECT_EQ(second.first, 3);
    EXPECT_EQ(second.last, 5);
    EXPECT_EQ(countOf(book, true, "1", "3"), 6);
    EXPECT_EQ(countOf(book, true, "3", "2"), 0);
    EXPECT_EQ(countOf(book, true, "1", "4"), 0);  // past the last title
    EXPECT_EQ(countOf(book, false, "1", "7"), 7); // the same numbers as question numbers

    QuestionBook untitled;
    loadText(untitled, numberedBook(3));
    EXPECT_EQ(countOf(untitled, true, "1", "1"), 0);
}

TEST(ExamCountMaximum, NoRepeatFollowsTheEligibleQuestionsOfTheStoredRange) {
    QuestionBook book;
    loadText(book, numberedBook(20, [](int i) { return i % 2; }));
    book.setGroupEnabled(1, false);
    EXPECT_EQ(examCountMaximum(book, true), 10);
    EXPECT_EQ(examCountMaximum(book, false), 32767);
    book.setExamRange(0, 3);
    EXPECT_EQ(examCountMaximum(book, true), 2);

    // A book far larger than the stored counts: the maximum, the range numbers and the count all
    // reach its last question, and the count kept for next time stays what the settings hold.
    QuestionBook large;
    loadText(large, numberedBook(100000, [](int i) { return i % 10 == 0 ? 1 : 0; }));
    EXPECT_EQ(examCountMaximum(large, true), 100000);
    EXPECT_EQ(examCountMaximum(large, false), 32767);
    const RangeCheck tail = checkRange(large, RangeChoice{false, "40000", "100000", kNoGroups});
    EXPECT_EQ(tail.count, 54001); // 60001 questions, 6000 of them in group 1
    EXPECT_EQ(tail.first, 39999);
    EXPECT_EQ(tail.last, 99999);
    EXPECT_EQ(countOf(large, false, "1", "100001"), 0);
    EXPECT_EQ(storedExamCount(100000), 32767);
    EXPECT_EQ(storedExamCount(12), 12);
    EXPECT_EQ(storedExamCount(0), 1);

    // The dialogs open with the kept count brought within the limit the box gives.
    Settings settings;
    settings.initialExamCount = 10;
    EXPECT_EQ(openingExamCount(settings, examCountMaximum(book, true)), 2);
    EXPECT_EQ(openingExamCount(settings, examCountMaximum(book, false)), 10);
    settings.initialExamCount = 0;
    EXPECT_EQ(openingExamCount(settings, 2), 1);
}

TEST(ExamCountDialog, OkKeepsBoxAndStrengthAndAcceptsCountsUpToTheMaximum) {
    QuestionBook book;
    loadText(book, numberedBook(15));
    book.setExamRange(0, 11); // 12 eligible questions
    Settings settings;
    settings.initialExamCount = 10;
    settings.weakPointStrength = 8;
    auto accept = [&](std::string_view text, bool noRepeat, std::optional<int> strength = std::nullopt) {
        return acceptExamCount(book, settings, CountChoice{text, noRepeat, strength});
    };

    EXPECT_EQ(accept("12", true), 12);
    EXPECT_TRUE(settings.has(NoAlready));
    EXPECT_EQ(settings.initialExamCount, 12);
    // Refused: the box and the strength are kept all the same, the initial count is not.
    EXPECT_EQ(accept("13", true, 3), std::nullopt);
    EXPECT_EQ(settings.weakPointStrength, 3);
    EXPECT_EQ(settings.initialExamCount, 12);
    EXPECT_EQ(accept("13", false), 13); // questions may come again
    EXPECT_FALSE(settings.has(NoAlready));
    EXPECT_EQ(settings.weakPointStrength, 3); // the count dialog has no strength
    for (bool noRepeat : {false, true})
        for (std::string_view bad : {"", "0", "-3", "x1", "99999999999"})
            EXPECT_EQ(accept(bad, noRepeat), std::nullopt) << bad << " " << noRepeat;
    EXPECT_EQ(accept("32767", false, 10), 32767);
    EXPECT_EQ(accept("32768", false), std::nullopt);

    // A book of 100000 questions: with the box every one of them may be asked once; the count kept
    // for next time stays within what the settings file holds.
    QuestionBook large;
    loadText(large, numberedBook(100000));
    Settings big;
    EXPECT_EQ(acceptExamCount(large, big, CountChoice{"100000", true, std::nullopt}), 100000);
    EXPECT_EQ(big.initialExamCount, 32767);
    EXPECT_EQ(acceptExamCount(large, big, CountChoice{"100001", true, std::nullopt}), std::nullopt);
    EXPECT_EQ(numberLimitText(100000), "(1～100000)");
}

} // namespace
} // namespace rekal
