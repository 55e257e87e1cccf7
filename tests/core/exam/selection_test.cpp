// Question selection: the generator, the draws of every method, weak points, retry lists, shuffles
// and title numbers.

#include "exam_fixture.h"

#include "core/exam/selection.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace rekal {
namespace {

using test::loadText;
using test::numberedBook;

// ---- generator ------------------------------------------------------------------------------------

TEST(RandomGenerator, SeedingAdvancesOnceAndValuesAreBits16To30) {
    // Reference values computed independently from state = state * 22695477 + 1.
    RandomGenerator zero(0);
    EXPECT_EQ(zero.state(), 1u);
    const int expectedZero[] = {346, 130, 10982, 1090, 11656, 7117};
    for (int v : expectedZero)
        EXPECT_EQ(zero.next(), v);

    RandomGenerator big(0xFFFFFFFFu);
    EXPECT_EQ(big.state(), 4272271820u);
    const int expectedBig[] = {561, 22046, 20874, 23292, 16195, 29407};
    for (int v : expectedBig)
        EXPECT_EQ(big.next(), v);
}

TEST(RandomGenerator, SmallSetsUseOneValueModuloLargeSetsReachEveryPart) {
    RandomGenerator a(12345), b(12345);
    for (int n : {1, 2, 7, 1000, 32768})
        EXPECT_EQ(a.below(n), b.next() % n);

    RandomGenerator r(7);
    int highest = 0;
    for (int i = 0; i < 20000; ++i) {
        const int v = r.below(100000);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 100000);
        highest = std::max(highest, v);
    }
    EXPECT_GT(highest, 90000); // a single 15-bit value could never pass 32767
}

TEST(RandomGenerator, SeedTextTakesTheWholeStateAndNothingElse) {
    EXPECT_EQ(parseSeed("0"), 0u);
    EXPECT_EQ(parseSeed("20261207"), 20261207u);
    EXPECT_EQ(parseSeed("4294967295"), 0xFFFFFFFFu);
    for (const char* bad : {"", "4294967296", "99999999999", "-1", "12a", " 12", "1.5"})
        EXPECT_FALSE(parseSeed(bad).has_value()) << bad;
}

TEST(RandomGenerator, DiscardMovesOnAsManyValuesAsNext) {
    for (std::uint64_t n : {0ull, 1ull, 2ull, 3ull, 1000ull, 123457ull}) {
        RandomGenerator a(99), b(99);
        a.discard(n);
        for (std::uint64_t i = 0; i < n; ++i)
            b.next();
        EXPECT_EQ(a.state(), b.state()) << n;
    }
}

// ---- helpers --------------------------------------------------------------------------------------

// A selection over the book's whole range and group flags, as a start command sets it up.
ExamSelection selectionOf(const QuestionBook& book, ExamMethod method, int remaining = 0) {
    ExamSelection run;
    run.range = examRangeOf(book);
    run.method = method;
    run.remaining = remaining;
    run.current = run.range.first - 1;
    return run;
}

// Records a verdict on the current pick, as the run does after the answer.
void finish(ExamSelection& run, const QuestionBook& book, Verdict verdict) {
    if (!hasFlag(run.method, MethodFixedList)) run.results.resize(static_cast<std::size_t>(run.asked) + 1);
    run.results[static_cast<std::size_t>(run.asked)] = ExamResult{0, run.current, verdict};
    run.askedSet.note(book, run.range, run.current, verdict);
    ++run.asked;
}

// Picks until the run ends, giving every pick the verdict chosen by verdictOf; at most limit picks.
std::vector<int> drain(ExamSelection& run, const QuestionBook& book, RandomGenerator& random,
                       const std::function<Verdict(int)>& verdictOf, int limit = 100000) {
    std::vector<int> picks;
    while (static_cast<int>(picks.size()) < limit) {
        const int q = pickNext(run, book, random, 8);
        if (q == kNoQuestion) break;
        picks.push_back(q);
        finish(run, book, verdictOf(q));
    }
    return picks;
}

Verdict allRight(int) {
    return Verdict::Right;
}

// ---- in order -------------------------------------------------------------------------------------

TEST(PickInOrder, SkipsSwitchedOffGroupsAndEndsAtTheLastEligible) {
    QuestionBook book;
    // Groups: 0 1 2 0 2 1 2
    const int groups[] = {0, 1, 2, 0, 2, 1, 2};
    loadText(book, numberedBook(7, [&](int i) { return groups[i]; }));
    book.setGroupEnabled(2, false);
    RandomGenerator random(1);
    ExamSelection run = selectionOf(book, kMethodAll);
    EXPECT_EQ(drain(run, book, random, allRight), (std::vector<int>{0, 1, 3, 5}));

    // A range whose last question is filtered out ends at the last eligible one before it.
    book.setExamRange(2, 4);
    run = selectionOf(book, kMethodAll);
    EXPECT_EQ(drain(run, book, random, allRight), (std::vector<int>{3}));
    EXPECT_EQ(random.state(), RandomGenerator(1).state()); // no random value was used
}

// ---- random draws ---------------------------------------------------------------------------------

TEST(PickRandom, RandomAllAsksEveryEligibleQuestionOnceInTheGeneratorsOrder) {
    QuestionBook book;
    loadText(book, numberedBook(10));
    RandomGenerator random(99);
    ExamSelection run = selectionOf(book, kMethodRandomAll, countEligible(book, examRangeOf(book)));
    // Reference order computed independently: value mod 10, repeats rejected.
    EXPECT_EQ(drain(run, book, random, allRight), (std::vector<int>{3, 0, 8, 7, 2, 5, 4, 6, 1, 9}));
    EXPECT_EQ(run.remaining, 0);
}

TEST(PickRandom, RandomAllWithGroupsOffAsksOnlyEligibleOnes) {
    QuestionBook book;
    loadText(book, numberedBook(30, [](int i) { return i % 3; }));
    book.setGroupEnabled(1, false);
    book.setExamRange(3, 26);
    RandomGenerator random(4);
    ExamSelection run = selectionOf(book, kMethodRandomAll, countEligible(book, examRangeOf(book)));
    EXPECT_EQ(run.remaining, 16);
    std::vector<int> picks = drain(run, book, random, allRight);
    ASSERT_EQ(picks.size(), 16u);
    std::sort(picks.begin(), picks.end());
    EXPECT_EQ(std::adjacent_find(picks.begin(), picks.end()), picks.end());
    for (int q : picks) {
        EXPECT_NE(q % 3, 1);
        EXPECT_GE(q, 3);
        EXPECT_LE(q, 26);
    }
}

TEST(PickRandom, RandomCountMayRepeatEvenInARow) {
    QuestionBook book;
    loadText(book, numberedBook(8));
    book.setExamRange(2, 7);
    RandomGenerator random(5);
    ExamSelection run = selectionOf(book, kMethodRandomCount, 5);
    EXPECT_EQ(drain(run, book, random, allRight), (std::vector<int>{4, 6, 7, 3, 5}));

    QuestionBook two;
    loadText(two, numberedBook(2));
    ExamSelection again = selectionOf(two, kMethodRandomCount, 12);
    const std::vector<int> picks = drain(again, two, random, allRight);
    ASSERT_EQ(picks.size(), 12u);
    EXPECT_NE(std::adjacent_find(picks.begin(), picks.end()), picks.end());
}

TEST(PickRandom, OneQuestionOnlyAsksExactlyOne) {
    QuestionBook book;
    loadText(book, numberedBook(5));
    RandomGenerator random(3);
    ExamSelection run = selectionOf(book, kMethodRandomCount, 1);
    EXPECT_EQ(drain(run, book, random, allRight).size(), 1u);
}

TEST(PickRandom, NoRepeatCountLargerThanTheEligibleQuestionsEndsWhenTheyAreUsedUp) {
    QuestionBook book;
    loadText(book, numberedBook(6));
    RandomGenerator random(8);
    ExamSelection run = selectionOf(book, kMethodRandomCountNoRepeat, 50);
    EXPECT_EQ(drain(run, book, random, allRight).size(), 6u);
}

TEST(PickRandom, NothingEligibleEndsAtOnce) {
    QuestionBook book;
    loadText(book, numberedBook(4, [](int) { return 5; }));
    book.setGroupEnabled(5, false);
    RandomGenerator random(8);
    ExamSelection run = selectionOf(book, kMethodRandomCount, 3);
    EXPECT_EQ(pickNext(run, book, random, 8), kNoQuestion);
}

TEST(PickRandom, RangesBeyond32768QuestionsAreDrawnWhole) {
    QuestionBook book;
    loadText(book, numberedBook(40000));
    RandomGenerator random(2024);
    ExamSelection run = selectionOf(book, kMethodRandomAll, 40000);
    const std::vector<int> picks = drain(run, book, random, allRight);
    ASSERT_EQ(picks.size(), 40000u);
    EXPECT_EQ(std::set<int>(picks.begin(), picks.end()).size(), 40000u);
    EXPECT_GT(*std::max_element(picks.begin(), picks.begin() + 100), 32767);
}

// ---- complete -------------------------------------------------------------------------------------

TEST(PickComplete, GoesOnUntilEveryQuestionWasRightOnceAndReasksWrongOnes) {
    QuestionBook book;
    loadText(book, numberedBook(5));
    RandomGenerator random(11);
    ExamSelection run = selectionOf(book, kMethodComplete, 5);
    std::map<int, int> wrongLeft = {{1, 2}, {3, 1}}; // question 1 wrong twice, 3 once
    std::vector<int> rightOnes;
    const std::vector<int> picks = drain(run, book, random, [&](int q) {
        if (wrongLeft[q] > 0) {
            --wrongLeft[q];
            return Verdict::Wrong;
        }
        rightOnes.push_back(q);
        --run.remaining; // the run takes a right answer off the count
        return Verdict::Right;
    });
    EXPECT_EQ(picks.size(), 8u);
    std::sort(rightOnes.begin(), rightOnes.end());
    EXPECT_EQ(rightOnes, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(PickComplete, OnlySkippedQuestionsLeftComeAgainInsteadOfDrawingForEver) {
    QuestionBook book;
    loadText(book, numberedBook(3));
    RandomGenerator random(21);
    ExamSelection run = selectionOf(book, kMethodComplete, 3);
    int skips = 0;
    const std::vector<int> picks = drain(run, book, random, [&](int q) {
        if (q == 2 && skips < 3) {
            ++skips;
            return Verdict::Skipped;
        }
        --run.remaining;
        return Verdict::Right;
    });
    EXPECT_EQ(skips, 3);
    EXPECT_EQ(std::count(picks.begin(), picks.end(), 2), 4);
    EXPECT_EQ(run.remaining, 0);
}

// ---- weak points ----------------------------------------------------------------------------------

TEST(PickWeak, PrefersQuestionsNotRightAtTheLatestResult) {
    QuestionBook book;
    // Every question right at its latest result except question 7.
    loadText(book, numberedBook(10, nullptr, [](int i) { return i == 7 ? 15 : 16; }));
    RandomGenerator random(31);
    ExamSelection run = selectionOf(book, kMethodWeak, 1);
    EXPECT_EQ(pickNext(run, book, random, 10), 7);
}

TEST(PickWeak, StrengthTenOverQuestionsAllRightEndsAfterEveryLevelRefused) {
    QuestionBook book;
    loadText(book, numberedBook(10, nullptr, [](int) { return 31; }));
    RandomGenerator random(41);
    ExamSelection run = selectionOf(book, kMethodWeak, 1);
    test::FakeScreen screen;
    const int pick = pickNext(run, book, random, 10, &screen);
    // 10 * 10 * 2 / 10 = 20 refused draws at each of the masks 16, 8, 4, 2, 1; the 101st is taken.
    RandomGenerator reference(41);
    int expected = 0;
    for (int i = 0; i < 101; ++i)
        expected = reference.next() % 10;
    EXPECT_EQ(pick, expected);
    EXPECT_EQ(random.state(), reference.state());
    EXPECT_EQ(screen.events, (std::vector<std::string>{"busy 選択中..."}));
}

TEST(PickWeak, LargeRangeAllRightTakesTheDrawAfterEveryRefusedLevel) {
    QuestionBook book;
    loadText(book, numberedBook(40000, nullptr, [](int) { return 31; }));
    RandomGenerator random(47);
    ExamSelection run = selectionOf(book, kMethodWeak, 1);
    const int pick = pickNext(run, book, random, 1);
    // 40000 * 1 * 2 / 10 = 8000 refused draws at each of five levels, two values each.
    RandomGenerator reference(47);
    for (int i = 0; i < 5 * 8000; ++i)
        reference.below(40000);
    EXPECT_EQ(pick, reference.below(40000));
    EXPECT_EQ(random.state(), reference.state());
}

TEST(PickWeak, RefusalsAmongFilteredQuestionsFollowTheDrawsOneByOne) {
    QuestionBook book;
    // Half the questions are in a switched-off group, so draws may take more than one value.
    loadText(book, numberedBook(
                       50, [](int i) { return i % 2; }, [](int i) { return i == 33 ? 8 : 24; }));
    book.setGroupEnabled(1, false);
    RandomGenerator random(53);
    ExamSelection run = selectionOf(book, kMethodWeak, 1);
    const int pick = pickNext(run, book, random, 2);
    // Reference: 50 * 2 * 2 / 10 = 20 tries per level; masks 16 and 8 refuse every eligible question
    // (history 24), mask 4 takes the first eligible draw.
    RandomGenerator reference(53);
    auto draw = [&] {
        for (;;) {
            const int v = reference.next() % 50;
            if (v % 2 == 0) return v;
        }
    };
    for (int i = 0; i < 40; ++i)
        draw();
    EXPECT_EQ(pick, draw());
    EXPECT_EQ(random.state(), reference.state());
}

TEST(PickWeak, StrengthZeroStartsAtTheSecondLevelAndNeedsAtMostFiveDraws) {
    QuestionBook book;
    loadText(book, numberedBook(4, nullptr, [](int) { return 31; }));
    RandomGenerator random(43);
    ExamSelection run = selectionOf(book, kMethodWeak, 1);
    ASSERT_NE(pickNext(run, book, random, 0), kNoQuestion);
    RandomGenerator reference(43);
    for (int i = 0; i < 5; ++i)
        reference.next();
    EXPECT_EQ(random.state(), reference.state());
}

TEST(PickWeak, NoRepeatRunOverAllRightQuestionsEndsWhenAllWereAsked) {
    QuestionBook book;
    loadText(book, numberedBook(300, nullptr, [](int) { return 31; }));
    RandomGenerator random(45);
    ExamSelection run = selectionOf(book, kMethodWeakNoRepeat, 1000);
    const std::vector<int> picks = drain(run, book, random, allRight);
    EXPECT_EQ(picks.size(), 300u);
    EXPECT_EQ(std::set<int>(picks.begin(), picks.end()).size(), 300u);
}

// ---- fixed lists ----------------------------------------------------------------------------------

TEST(FixedList, RetryListKeepsAskingOrderAndRepeatsTwiceWrongQuestions) {
    ExamSelection run;
    run.method = kMethodRandomCount;
    run.results = {{10, 7, Verdict::Wrong},   {10, 2, Verdict::Right}, {10, 3, Verdict::Wrong},
                   {10, 5, Verdict::Skipped}, {10, 7, Verdict::Wrong}, {0, 9, Verdict::None}};
    run.asked = 5;
    buildRetryList(run);
    EXPECT_EQ(run.method, 0x44u);
    EXPECT_EQ(run.remaining, 3);
    ASSERT_EQ(run.results.size(), 3u);
    EXPECT_EQ(run.results[0].question, 7);
    EXPECT_EQ(run.results[1].question, 3);
    EXPECT_EQ(run.results[2].question, 7);
    for (const ExamResult& r : run.results)
        EXPECT_EQ(r.verdict, Verdict::None);
}

TEST(FixedList, ShuffleSwapsEachEntryWithADrawnOneAndSetsTheRandomFlag) {
    ExamSelection run;
    setFixedList(run, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, KindRetryWrong);
    RandomGenerator random(7);
    shuffleFixedList(run, random);
    EXPECT_EQ(run.method, 0x54u);
    std::vector<int> order;
    for (const ExamResult& r : run.results)
        order.push_back(r.question);
    // Reference: for i = 9 down to 0 swap i with value mod 10.
    EXPECT_EQ(order, (std::vector<int>{8, 2, 1, 4, 6, 0, 5, 9, 7, 3}));

    ExamSelection empty;
    setFixedList(empty, {}, KindReexamAll);
    shuffleFixedList(empty, random); // nothing to draw from: no division by zero
    EXPECT_EQ(empty.method, 0x55u);
}

TEST(FixedList, EntriesNamingMissingQuestionsAreSkipped) {
    QuestionBook book;
    loadText(book, numberedBook(5));
    RandomGenerator random(1);
    ExamSelection run;
    run.range = examRangeOf(book);
    setFixedList(run, {4, 12, 1, -3, 9, 0}, KindReexamSelected);
    EXPECT_EQ(drain(run, book, random, allRight), (std::vector<int>{4, 1, 0}));
    EXPECT_EQ(run.remaining, 0);
    EXPECT_EQ(run.asked, 3);
}

// ---- counting and title numbers ---------------------------------------------------------------------

TEST(Counting, CountsEligibleQuestionsOfTheRange) {
    QuestionBook book;
    loadText(book, numberedBook(20, [](int i) { return i % 4; }));
    book.setGroupEnabled(3, false);
    ExamRange range = examRangeOf(book);
    EXPECT_EQ(countEligible(book, range), 15);
    range.first = -5;
    range.last = 7;
    EXPECT_EQ(countEligible(book, range), 6);
    range.first = 9;
    range.last = 3;
    EXPECT_EQ(countEligible(book, range), 0);
}

TEST(TitleNumbers, ConvertToTheQuestionsOfTheirSections) {
    QuestionBook book;
    loadText(book, "REKALDATA V1.6\n"
                   "q0,a,<00\n"
                   "#one,000000\n"
                   "q1,a,<00\n"
                   "q2,a,<00\n"
                   "#two,000000\n"
                   "#three,000000\n"
                   "q3,a,<00\n"
                   "#four,000000\n");
    auto span = [&](int a, int b) {
        std::optional<QuestionSpan> s = titleRangeToQuestions(book, a, b);
        return s ? std::make_pair(s->first, s->last) : std::make_pair(-99, -99);
    };
    EXPECT_EQ(span(1, 1), std::make_pair(1, 2));
    EXPECT_EQ(span(2, 2), std::make_pair(3, 2)); // an empty section: its next question, up to before it
    EXPECT_EQ(span(1, 3), std::make_pair(1, 3));
    EXPECT_EQ(span(4, 4), std::make_pair(3, 3)); // no question after the title: the last one
    EXPECT_EQ(span(3, 4), std::make_pair(3, 3));
    EXPECT_EQ(span(0, 1), std::make_pair(-99, -99));
    EXPECT_EQ(span(1, 5), std::make_pair(-99, -99));
}

} // namespace
} // namespace rekal
