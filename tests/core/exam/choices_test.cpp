// Choice buttons: how many, where the wrong options come from, no equal buttons, the right answer at a
// drawn place.

#include "exam_fixture.h"

#include "core/exam/choices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace rekal {
namespace {

using test::loadText;
using test::numberedBook;
using test::testSettings;

std::vector<std::string> textsOf(const std::vector<Choice>& choices) {
    std::vector<std::string> texts;
    for (const Choice& c : choices)
        texts.push_back(c.text);
    return texts;
}

std::vector<std::string> sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

struct ChoiceRig {
    QuestionBook book;
    Settings settings = testSettings();
    RandomGenerator random{77};
    VagueTable vague = defaultVagueTable();
    CompareOptions options = kAllCompareOptions;
    std::vector<Choice> out;

    explicit ChoiceRig(std::string_view file) { loadText(book, file, settings); }
    bool build(int q, int mode = AnswerChoice) {
        return buildChoices(out, book, settings, random, *book.questionAt(q), mode, {options, &vague});
    }
};

TEST(Choices, ChoiceModeOverTwoQuestionsGivesTwoButtons) {
    ChoiceRig rig("REKALDATA V1.6\n#s,000000\nq1,apple,<00\nq2,pear,<00\n");
    ASSERT_TRUE(rig.build(0));
    EXPECT_EQ(sorted(textsOf(rig.out)), (std::vector<std::string>{"apple", "pear"}));
}

TEST(Choices, TheRightAnswerLandsAtTheDrawnPlace) {
    ChoiceRig rig(numberedBook(12));
    ASSERT_TRUE(rig.build(5));
    // Reference: four pool draws (positions k-th of the remaining ones), then the place mod 4.
    RandomGenerator reference(77);
    std::vector<int> pool(12);
    for (int i = 0; i < 12; ++i)
        pool[static_cast<std::size_t>(i)] = i;
    std::vector<std::string> expected = {"A6"};
    while (expected.size() < 4) {
        const int k = reference.next() % static_cast<int>(pool.size());
        const int q = pool[static_cast<std::size_t>(k)];
        pool.erase(pool.begin() + k);
        const std::string text = "A" + std::to_string(q + 1);
        if (std::find(expected.begin(), expected.end(), text) == expected.end()) expected.push_back(text);
    }
    std::swap(expected[0], expected[static_cast<std::size_t>(reference.next() % 4)]);
    EXPECT_EQ(textsOf(rig.out), expected);
    EXPECT_EQ(rig.random.state(), reference.state());
}

TEST(Choices, EqualAnswersNeverMakeTwoEqualButtons) {
    ChoiceRig rig("REKALDATA V1.6\nq1,same,<00\nq2,same,<00\nq3,same,<00\nq4,other,<00\nq5,same,<00\n");
    for (int q = 0; q < 5; ++q) {
        ASSERT_TRUE(rig.build(q));
        const std::vector<std::string> texts = textsOf(rig.out);
        EXPECT_EQ(std::set<std::string>(texts.begin(), texts.end()).size(), texts.size());
        EXPECT_EQ(texts.size(), 2u);
    }
}

TEST(Choices, NoWrongChoiceIsOneTheQuestionAccepts) {
    // 出 accepts スイ, the answer of 水: offering it as a wrong choice would score a right answer.
    const char* file = "REKALDATA V1.6\n"
                       "出,シュツ|スイ,<00\n"
                       "水,スイ,<00\n"
                       "火,カ,<00\n"
                       "木,すい,<00\n"
                       "金,ｽｲ,<00\n"
                       "土,ド,<00\n";
    ChoiceRig rig(file);
    rig.settings.defaultSelection = 9;
    for (int round = 0; round < 8; ++round) {
        ASSERT_TRUE(rig.build(0));
        EXPECT_EQ(sorted(textsOf(rig.out)), sorted({"シュツ", "カ", "ド"}));
    }
    // Judged as the exam judges: without kana and width folding the other spellings are wrong.
    rig.options = CompareIgnoreCase;
    ASSERT_TRUE(rig.build(0));
    EXPECT_EQ(sorted(textsOf(rig.out)), sorted({"シュツ", "カ", "すい", "ｽｲ", "ド"}));
    // The question's own wrong choices are judged the same way.
    ChoiceRig own("REKALDATA V1.6\nq1,right|ok\\cOK|wrong,<00\n");
    for (int round = 0; round < 4; ++round) {
        ASSERT_TRUE(own.build(0));
        EXPECT_EQ(sorted(textsOf(own.out)), sorted({"right", "wrong"}));
    }
}

TEST(Choices, ThePoolFollowsSectionAndGroup) {
    const char* file = "REKALDATA V1.6\n"
                       "q0,x0,<10\n"
                       "#one,000000\n"
                       "q1,x1,<10\n"
                       "q2,x2,<20\n"
                       "q3,x3,<00\n"
                       "#two,000000\n"
                       "q4,x4,<10\n"
                       "q5,x5,<20\n";
    ChoiceRig rig(file);
    rig.settings.defaultSelection = 9;
    auto choicesOf = [&](int q, int selectFrom) {
        rig.settings.selectFrom = static_cast<std::uint8_t>(selectFrom);
        EXPECT_TRUE(rig.build(q));
        return sorted(textsOf(rig.out));
    };
    EXPECT_EQ(choicesOf(1, 3), (std::vector<std::string>{"x1", "x3"}));
    EXPECT_EQ(choicesOf(1, 1), (std::vector<std::string>{"x1", "x2", "x3"}));
    EXPECT_EQ(choicesOf(1, 2), (std::vector<std::string>{"x0", "x1", "x3", "x4"}));
    EXPECT_EQ(choicesOf(1, 0), (std::vector<std::string>{"x0", "x1", "x2", "x3", "x4", "x5"}));
    // Before the first title: from the first question of the book up to the first title.
    EXPECT_EQ(choicesOf(0, 1), (std::vector<std::string>{"x0"}));
    EXPECT_EQ(choicesOf(5, 3), (std::vector<std::string>{"x5"}));
}

TEST(Choices, OwnWrongChoicesWhenTheFileSettingsAreUsed) {
    const char* file = "REKALDATA V1.6\n"
                       "q1,right\\cwrong1|wrong2|right,<00\n"
                       "q2,other,<00\n";
    ChoiceRig rig(file);
    ASSERT_TRUE(rig.build(0));
    EXPECT_EQ(sorted(textsOf(rig.out)), (std::vector<std::string>{"right", "wrong1", "wrong2"}));
    rig.settings.useData &= static_cast<std::uint8_t>(~UseQuestionSettings);
    ASSERT_TRUE(rig.build(0));
    EXPECT_EQ(sorted(textsOf(rig.out)), (std::vector<std::string>{"other", "right"}));
}

TEST(Choices, WhichModesHaveButtons) {
    const char* file = "REKALDATA V1.6\n"
                       "q0,a0,<00\n"
                       "#none,000000\n"
                       "q1,a1,<00\n"
                       "#three,300000\n"
                       "q2,a2,<00\n"
                       "q3,a3,<00\n"
                       "q4,a4,<00\n"
                       "q5,a5,<00\n";
    ChoiceRig rig(file);
    EXPECT_FALSE(rig.build(0, AnswerStandard)); // no title
    EXPECT_FALSE(rig.build(1, AnswerStandard)); // choice count 0
    ASSERT_TRUE(rig.build(2, AnswerStandard));
    EXPECT_EQ(rig.out.size(), 3u);
    EXPECT_FALSE(rig.build(2, AnswerWritten));
    EXPECT_TRUE(rig.out.empty());
    rig.settings.defaultSelection = 2;
    ASSERT_TRUE(rig.build(3, AnswerChoice));
    EXPECT_EQ(rig.out.size(), 2u);
    ASSERT_TRUE(rig.build(0, AnswerChoice)); // alone in its section: the right answer only
    EXPECT_EQ(textsOf(rig.out), (std::vector<std::string>{"a0"}));
}

TEST(Choices, NoDisplayedAnswerMeansNoButtons) {
    // Display index 5 of a single answer.
    ChoiceRig rig("REKALDATA V1.6\nq1,a,<05\nq2,b,<00\n");
    EXPECT_FALSE(rig.build(0));
    EXPECT_TRUE(rig.out.empty());
}

TEST(Choices, EachChoiceCarriesTheAnswerFontOfItsQuestion) {
    const char* file = "REKALDATA V1.6\n"
                       "q1,a1,<00\n"
                       "$FontAnswer=33\n"
                       "q2,a2,<00\n";
    ChoiceRig rig(file);
    ASSERT_TRUE(rig.build(0));
    for (const Choice& c : rig.out)
        EXPECT_EQ(c.font.size, c.text == "a2" ? 33 : 20) << c.text;
}

} // namespace
} // namespace rekal
