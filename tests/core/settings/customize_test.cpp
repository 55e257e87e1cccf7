#include "core/settings/customize.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

Settings defaults() {
    return defaultSettings({"C:\\R\\", 0x000000, 0xC0C0C0});
}

int byteCompare(std::string_view a, std::string_view b) {
    return a.compare(b);
}

TEST(PageNumber, DecimalOrMinusOneForNoNumber) {
    EXPECT_EQ(12, pageNumber("12"));
    EXPECT_EQ(-5, pageNumber("  -5"));
    EXPECT_EQ(-1, pageNumber(""));
    EXPECT_EQ(-1, pageNumber("1a"));
    EXPECT_EQ(INT_MAX, pageNumber("99999999999999999999"));
    EXPECT_EQ(INT_MIN, pageNumber("-99999999999999999999"));
}

TEST(CustomizePages, ResetValuesAreTheBuiltInDefaults) {
    const Settings d = defaults();
    const GeneralPage general = fillGeneralPage(d);
    EXPECT_TRUE(general.loadLastFile);
    EXPECT_TRUE(general.saveExamLog);
    EXPECT_EQ("C:\\R\\EXAMLOG.TXT", general.examLogName);
    EXPECT_EQ(1000, general.examLogSize);

    const SoundPage sound = fillSoundPage(d);
    EXPECT_TRUE(sound.sound);
    EXPECT_EQ("WRONG.WAV", sound.paths[WrongSound]);
    EXPECT_EQ("RESULT.WAV", sound.paths[ResultSound]);

    const ComparePage compare = fillComparePage(d);
    EXPECT_TRUE(compare.useData);
    EXPECT_EQ(0, compare.compareMode);
    EXPECT_FALSE(compareOptionsEnabled(compare));

    const QuestionPage q = fillQuestionPage(d);
    EXPECT_TRUE(q.useData);
    EXPECT_EQ(4, q.defaultSelection);
    EXPECT_EQ(4, q.lineSelection);
    EXPECT_EQ(1, q.selectionHeight);
    EXPECT_TRUE(q.autoLineSelection && q.autoSelectionHeight && q.fromTitle && q.fromGroup);
    EXPECT_EQ(0, q.timeLimit + q.questionShowTime + q.answerStartTime);
    EXPECT_EQ(8, q.lineInterval);

    const AnswerPage a = fillAnswerPage(d);
    EXPECT_EQ(500, a.baseWidth);
    EXPECT_EQ(500, a.baseHeight);
    EXPECT_EQ(0, a.autoClickTime);
    EXPECT_FALSE(autoClickControlsEnabled(a.autoClickTime));
    EXPECT_FALSE(a.noClickWrong);
    EXPECT_EQ(0, a.clickButtonType);
    EXPECT_TRUE(a.showComment);
    EXPECT_FALSE(a.showAlternatives);

    const FontPage f = fillFontPage(d);
    EXPECT_TRUE(f.useData);
    EXPECT_EQ(20, f.fonts[QuestionFont].size);
    EXPECT_EQ(0x0000FFu, f.colorActive);
    EXPECT_EQ(0x0099FFu, f.colorHover);
}

TEST(CustomizePages, StoringAPageChangesOnlyItsOwnUseDataBit) {
    Settings s = defaults();
    ComparePage compare = fillComparePage(s);
    compare.useData = false;
    compare.compareMode = 16 | 1;
    storeComparePage(compare, s);
    EXPECT_EQ(7 & ~2, s.useData);
    EXPECT_EQ(17, s.compareMode);

    QuestionPage q = fillQuestionPage(s);
    q.useData = false;
    q.autoLineSelection = false;
    q.fromGroup = false;
    q.lineInterval = 3;
    storeQuestionPage(q, s);
    EXPECT_EQ(4, s.useData);
    EXPECT_EQ(2, s.selectionAlign);
    EXPECT_EQ(1, s.selectFrom);
    EXPECT_EQ(3, s.lineInterval);

    FontPage f = fillFontPage(s);
    f.useData = false;
    f.fonts[HintFont].face = "Arial";
    storeFontPage(f, s);
    EXPECT_EQ(0, s.useData);
    EXPECT_EQ("Arial", s.fonts[HintFont].face);
    EXPECT_EQ(9, s.fonts[InfoFont].size); // the information-pane font is not the page's

    AnswerPage a = fillAnswerPage(s);
    a.showComment = false;
    a.showAlternatives = true;
    a.noClickWrong = true;
    a.clickButtonType = 2;
    storeAnswerPage(a, s);
    EXPECT_EQ(2, s.answerView);
    EXPECT_TRUE(s.has(AnsDlgNoClickWrong));
    EXPECT_EQ(2, s.ansDlgClickButtonType);

    GeneralPage g = fillGeneralPage(s);
    g.saveExamLog = false; // the path and size are stored all the same
    g.examLogName = "D:\\LOG.TXT";
    g.examLogSize = 0;
    ASSERT_TRUE(checkGeneralPage(g).empty());
    storeGeneralPage(g, s);
    EXPECT_FALSE(s.has(SaveExamLog));
    EXPECT_EQ("D:\\LOG.TXT", s.examLogName);
    EXPECT_EQ(0, s.examLogSize);
}

TEST(CustomizePages, OneWarningInTheStatedPrecedence) {
    GeneralPage g = fillGeneralPage(defaults());
    g.examLogSize = 32768;
    EXPECT_EQ("出題履歴サイズは 0 ～ 32767 の間で指定してください。", checkGeneralPage(g));
    g.examLogSize = -1;
    EXPECT_FALSE(checkGeneralPage(g).empty());

    QuestionPage q = fillQuestionPage(defaults());
    EXPECT_TRUE(checkQuestionPage(q).empty());
    q.selectionHeight = 0;
    EXPECT_EQ("選択肢ボタンの高さは 1 ～ 9 の間で指定してください。", checkQuestionPage(q));
    q.lineSelection = 0; // checked although 自動 disables it
    EXPECT_EQ("一行に表示する選択肢の数は 1 ～ 9 の間で指定してください。", checkQuestionPage(q));
    q.defaultSelection = 10;
    EXPECT_EQ("選択肢の数は 1 ～ 9 の間で指定してください。", checkQuestionPage(q));
    q.answerStartTime = 32768;
    EXPECT_EQ("解答開始時間は 0 ～ 32767 の間で指定してください。", checkQuestionPage(q));
    q.questionShowTime = -1;
    EXPECT_EQ("表示時間は 0 ～ 32767 の間で指定してください。", checkQuestionPage(q));
    q.timeLimit = 40000;
    EXPECT_EQ("制限時間は 0 ～ 32767 の間で指定してください。", checkQuestionPage(q));
    q.lineInterval = -1;
    EXPECT_EQ("行間は 0 ～ 32767 の間で指定してください。", checkQuestionPage(q));

    AnswerPage a = fillAnswerPage(defaults());
    EXPECT_TRUE(checkAnswerPage(a).empty());
    a.baseHeight = 149;
    EXPECT_EQ("答えダイアログの基準高さは 150 ～ 32767 の間で指定してください。", checkAnswerPage(a));
    a.baseWidth = 259;
    EXPECT_EQ("答えダイアログの基準幅は 260 ～ 32767 の間で指定してください。", checkAnswerPage(a));
    a.autoClickTime = 32768;
    EXPECT_EQ("ボタンを自動的にクリックするまでの時間は 0 ～ 32767 の間で指定してください。",
              checkAnswerPage(a));
    EXPECT_TRUE(autoClickControlsEnabled(1));
}

// A name code page 932 cannot hold is refused on apply and never stored with look-alikes.
TEST(CustomizePages, UnstorableNamesAreRefusedAfterTheRangeChecks) {
    GeneralPage g = fillGeneralPage(defaults());
    g.examLogNameStorable = false;
    EXPECT_EQ(kUnstorableExamLogName, checkGeneralPage(g));
    g.examLogSize = 40000; // the size keeps its precedence
    EXPECT_EQ("出題履歴サイズは 0 ～ 32767 の間で指定してください。", checkGeneralPage(g));

    EXPECT_TRUE(storablePathText(std::string(259, 'a')));
    EXPECT_FALSE(storablePathText(std::string(260, 'a'))); // never cut short, least of all inside a character
    EXPECT_FALSE(storablePathText(std::nullopt));

    SoundPage sound = fillSoundPage(defaults());
    EXPECT_TRUE(checkSoundPage(sound).empty());
    EXPECT_TRUE(soundControlsEnabled(sound));
    sound.storable[ResultSound] = false;
    EXPECT_EQ(kUnstorableSoundName, checkSoundPage(sound));
}

VagueList listOf(std::initializer_list<const char*> firsts) {
    VagueList list;
    for (const char* f : firsts)
        list.rows.push_back({f, "x"});
    return list;
}

std::string firsts(const VagueList& list) {
    std::string s;
    for (const VagueRow& row : list.rows)
        s += row.first + (row.selected ? "*" : "");
    return s;
}

TEST(VagueList, AddPutsTheLongerStringFirst) {
    VagueList list;
    EXPECT_EQ(-1, addVagueRow(list, "", ""));
    EXPECT_EQ(0, addVagueRow(list, "わ", "うぁ"));
    EXPECT_EQ("うぁ", list.rows[0].first);
    EXPECT_EQ("わ", list.rows[0].second);
    EXPECT_EQ(1, addVagueRow(list, "", "ab"));
    EXPECT_EQ("ab", list.rows[1].first);
    EXPECT_EQ("", list.rows[1].second);
    EXPECT_EQ(2, addVagueRow(list, "ab", "cd")); // equal lengths keep their order
    EXPECT_EQ("ab", list.rows[2].first);
}

TEST(VagueList, MovesASelectedBlockAndStopsAtTheEnds) {
    VagueList list = listOf({"a", "b", "c", "d"});
    list.rows[1].selected = list.rows[2].selected = true;
    EXPECT_TRUE(moveVagueRowsUp(list));
    EXPECT_EQ("b*c*ad", firsts(list));
    EXPECT_FALSE(moveVagueRowsUp(list)); // the first row is selected
    EXPECT_EQ("b*c*ad", firsts(list));
    EXPECT_TRUE(moveVagueRowsDown(list));
    EXPECT_TRUE(moveVagueRowsDown(list));
    EXPECT_EQ("adb*c*", firsts(list));
    EXPECT_FALSE(moveVagueRowsDown(list));

    list.rows[0].selected = true; // separate rows move together, each one place
    list.rows[3].selected = false;
    EXPECT_TRUE(moveVagueRowsDown(list));
    EXPECT_EQ("da*cb*", firsts(list));

    EXPECT_TRUE(deleteVagueRows(list));
    EXPECT_EQ("dc", firsts(list));
    EXPECT_FALSE(deleteVagueRows(list));
    VagueList empty;
    EXPECT_FALSE(moveVagueRowsUp(empty));
    EXPECT_FALSE(moveVagueRowsDown(empty));
}

TEST(VagueList, FirstClickOnAColumnSortsDescending) {
    VagueList list = listOf({"b", "a", "c"});
    list.rows[0].second = "3";
    list.rows[1].second = "1";
    list.rows[2].second = "2";
    sortVagueList(list, 0, byteCompare);
    EXPECT_EQ("cba", firsts(list));
    sortVagueList(list, 0, byteCompare);
    EXPECT_EQ("abc", firsts(list));
    sortVagueList(list, 1, byteCompare); // the other column keeps its own flag
    EXPECT_EQ("bca", firsts(list));
    EXPECT_FALSE(list.ascending[1]);
    EXPECT_TRUE(list.ascending[0]);
}

TEST(VagueList, ResetAndTheTableRoundTrip) {
    VagueList list = listOf({"a"});
    resetVagueList(list);
    ASSERT_EQ(46u, list.rows.size());
    EXPECT_EQ("うぁ", list.rows[0].first);
    EXPECT_EQ("わ", list.rows[0].second);

    addVagueRow(list, "", "z");
    const VagueTable table = vagueTableFromList(list);
    EXPECT_EQ(47, table.count);
    const VagueList back = vagueListFromTable(table);
    ASSERT_EQ(47u, back.rows.size());
    EXPECT_EQ("z", back.rows[46].first);
    EXPECT_EQ("", back.rows[46].second);

    const VagueTable none = vagueTableFromList(VagueList{});
    EXPECT_EQ(0, none.count);
    EXPECT_TRUE(vaguePairs(none).empty());
}

} // namespace
} // namespace rekal
