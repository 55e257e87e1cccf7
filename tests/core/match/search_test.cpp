#include "core/match/search.h"

#include "core/settings/vague.h"

#include "core/match/testbook.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

class QuestionSearch : public ::testing::Test {
  protected:
    int find(int start, std::string_view pattern, bool down = true, CompareOptions options = 0) {
        return searchQuestions(book, start, pattern, down, options, table);
    }

    QuestionBook book;
    VagueTable table = defaultVagueTable();
};

TEST_F(QuestionSearch, WalksFromTheStartInEitherDirectionButNeverReportsTheStart) {
    test::fillBook(book, {{"apple"}, {"banana"}, {"apple pie"}, {"cherry"}});
    EXPECT_EQ(2, find(0, "apple"));
    EXPECT_EQ(-1, find(2, "apple"));
    EXPECT_EQ(0, find(2, "apple", false));
    EXPECT_EQ(2, find(3, "apple", false));
    EXPECT_EQ(-1, find(3, "a"));        // downward from the last question
    EXPECT_EQ(-1, find(0, "a", false)); // upward from the first
    EXPECT_EQ(-1, find(4, "a"));        // no such start question
    EXPECT_EQ(-1, find(-1, "a"));
}

TEST_F(QuestionSearch, LooksAtEveryTextOfAQuestion) {
    test::fillBook(book, {{"start"},
                          {"q", std::string("a"), std::string("hint1\x03hint2")},
                          {"q", std::string("x\x03wanted")},
                          {"q", std::string("a"), std::nullopt, std::string("w1\x03w2")},
                          {"q", std::string("a"), std::nullopt, std::nullopt, std::string("note")}});
    EXPECT_EQ(1, find(0, "hint2"));
    EXPECT_EQ(2, find(0, "wanted"));
    EXPECT_EQ(3, find(0, "w2"));
    EXPECT_EQ(4, find(0, "note"));
    EXPECT_EQ(-1, find(0, "absent"));
}

TEST_F(QuestionSearch, FallsBackCorrectlyAfterAPartialMatch) {
    test::fillBook(book, {{"start"}, {"aababb"}, {"abaabaaabb"}});
    EXPECT_EQ(2, find(0, "aabb"));
    EXPECT_EQ(-1, find(0, "aabba"));
    EXPECT_EQ(1, find(0, "aabab"));
    EXPECT_EQ(1, find(0, "ababb"));
    EXPECT_EQ(2, find(0, "abaaba"));
}

TEST_F(QuestionSearch, FoldsCharactersUnderTheCompareMode) {
    test::fillBook(book, {{"start"}, {"ＡＢＣ"}, {"ガッコウ"}, {"ﾊﾟﾝ"}, {"ニュー・ヨーク"}, {"バイオリン"}});
    EXPECT_EQ(-1, find(0, "abc"));
    EXPECT_EQ(-1, find(0, "abc", true, CompareIgnoreWidth)); // ａｂｃ is not ＡＢＣ
    EXPECT_EQ(1, find(0, "abc", true, CompareIgnoreWidth | CompareIgnoreCase));
    EXPECT_EQ(1, find(0, "ａｂｃ", true, CompareIgnoreCase));
    EXPECT_EQ(2, find(0, "ｶﾞｯｺ", true, CompareIgnoreWidth));
    EXPECT_EQ(2, find(0, "がっこう", true, CompareIgnoreKana));
    EXPECT_EQ(2, find(0, "ｶﾞｯｺｳ", true, CompareIgnoreKana | CompareIgnoreWidth));
    EXPECT_EQ(3, find(0, "パン", true, CompareIgnoreWidth));
    EXPECT_EQ(-1, find(0, "パン"));
    EXPECT_EQ(4, find(0, "ニューヨ", true, CompareIgnoreSymbols));
    EXPECT_EQ(5, find(0, "ヴァイオ", true, CompareVague));
}

TEST(SearchCharacters, VoicedMarksJoinTheirKatakana) {
    auto codes = [](std::string_view text, CompareOptions options) {
        std::vector<std::uint16_t> out;
        for (std::size_t pos = 0; pos < text.size();)
            out.push_back(readSearchChar(text, pos, options));
        return out;
    };
    using V = std::vector<std::uint16_t>;
    EXPECT_EQ((V{0x834B, 0x8394, 0x8370, 0x8341, 0x814A}), codes("ｶﾞｳﾞﾊﾟｱﾞ", CompareIgnoreWidth));
    EXPECT_EQ((V{0x8160, 0x818F, 0x8140, 0x03}), codes("~\\ \x03", CompareIgnoreWidth));
    EXPECT_EQ((V{0x82A9, 0x829F}), codes("ｶｧ", CompareIgnoreWidth | CompareIgnoreKana));
    EXPECT_EQ((V{0xB6, 0xDE}), codes("ｶﾞ", 0));
    EXPECT_EQ((V{'A', 0x8260}), codes("aａ", CompareIgnoreCase));
    EXPECT_EQ((V{0x814A}), codes("ﾞ", CompareIgnoreWidth | CompareIgnoreKana)); // a lone mark is ゛
    EXPECT_EQ((V{0x81}), codes("\x81", CompareIgnoreWidth));
}

TEST(SearchCharacters, AHalfWidthTextShorterInBytesThanThePatternCanStillHoldIt) {
    EXPECT_TRUE(containsFolded("ab", "ａｂ", CompareIgnoreWidth));
    EXPECT_TRUE(containsFolded("ｳﾞ", "ヴ", CompareIgnoreWidth));
    EXPECT_FALSE(containsFolded("a", "ａｂ", CompareIgnoreWidth));
    EXPECT_FALSE(containsFolded("ab", "ａｂ", 0));
    EXPECT_TRUE(containsFolded("x", "", 0));
}

TEST_F(QuestionSearch, AHalfWidthVoicedPatternFindsFullWidthTextWithSymbolsOn) {
    test::fillBook(book, {{"start"}, {"マスタング"}, {"パン"}, {"ぶどう"}, {"ふどう"}});
    for (CompareOptions mode : {7, 15, 31})
        EXPECT_EQ(1, find(0, "ﾏｽﾀﾝｸﾞ", true, mode)) << mode;
    EXPECT_EQ(-1, find(0, "ﾏｽﾀﾝｸﾞ", true, CompareIgnoreSymbols)); // without width they never meet
    EXPECT_EQ(2, find(0, "ﾊﾟﾝ", true, 15));
    EXPECT_EQ(3, find(0, "ﾌﾞﾄﾞｳ", true, 15));
    EXPECT_EQ(4, find(0, "ﾌﾄﾞｳ", true, 15));                                          // ふ is not ぶ
    EXPECT_EQ(-1, find(0, "ﾌﾞﾄﾞｳ", true, CompareIgnoreWidth | CompareIgnoreSymbols)); // ぶ needs kana
}

// Whatever the answer comparison holds equal is found by the search under the same options.
TEST(SearchCharacters, WhatTheJudgeAcceptsIsFound) {
    const VagueTable table = defaultVagueTable();
    const char* texts[] = {"マスタング", "ﾏｽﾀﾝｸﾞ",     "マスタンク", "ヴァイオリン", "ｳﾞｧｲｵﾘﾝ",  "パピプペポ",
                           "ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", "ばびぶべぼ", "ハヒフヘホ", "ガッコウ",     "がっこう", "ﾂﾞ"};
    for (CompareOptions mode = 0; mode < 32; ++mode)
        for (const char* a : texts)
            for (const char* b : texts)
                if (foldForCompare(a, mode, table) == foldForCompare(b, mode, table)) {
                    EXPECT_TRUE(containsFolded(
                        foldForCompare(b, mode & (CompareIgnoreSymbols | CompareVague), table),
                        foldForCompare(a, mode & (CompareIgnoreSymbols | CompareVague), table), mode))
                        << a << " / " << b << " mode " << int(mode);
                }
}

// Every voiced and semi-voiced kana as katakana, hiragana and half-width katakana, and its plain
// kana in the same three forms: under every option the voiced kana never equals a plain one, its
// forms are equal exactly when the options fold their differences, and the search agrees.
TEST(SearchCharacters, VoicedKanaUnderEveryOption) {
    const std::string_view voiced[3] = {"ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポヴ",
                                        "がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ",
                                        "ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟｳﾞ"};
    const std::string_view plain[3] = {"カキクケコサシスセソタチツテトハヒフヘホハヒフヘホウ",
                                       "かきくけこさしすせそたちつてとはひふへほはひふへほう",
                                       "ｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾊﾋﾌﾍﾎﾊﾋﾌﾍﾎｳ"};
    const VagueReplacer vague(defaultVagueTable());
    auto fold = [&](std::string_view text, CompareOptions options) {
        return foldForCompare(text, options, vague);
    };
    auto found = [&](std::string_view text, std::string_view pattern, CompareOptions options) {
        const CompareOptions before = options & (CompareIgnoreSymbols | CompareVague);
        return containsFolded(fold(text, before), fold(pattern, before), options);
    };
    auto alike = [](int a, int b, CompareOptions options) { // 0 katakana, 1 hiragana, 2 half width
        const bool kana = (a == 1) == (b == 1) || (options & CompareIgnoreKana);
        const bool width = (a == 2) == (b == 2) || (options & CompareIgnoreWidth);
        return kana && width;
    };
    for (std::size_t k = 0; k < plain[2].size(); ++k) {
        std::string_view forms[6];
        for (int f = 0; f < 3; ++f) {
            const std::size_t v = f == 2 ? 2 : 2 * k < voiced[f].size() ? 2 : 0; // no hiragana ヴ
            forms[f] = voiced[f].substr(2 * k, v);
            forms[3 + f] = plain[f].substr((f == 2 ? 1 : 2) * k, f == 2 ? 1 : 2);
        }
        for (CompareOptions options = 0; options < 32; ++options) {
            for (int a = 0; a < 6; ++a) {
                for (int b = 0; b < 6; ++b) {
                    if (forms[a].empty() || forms[b].empty()) continue;
                    const bool equal = fold(forms[a], options) == fold(forms[b], options);
                    EXPECT_EQ(equal, found(forms[a], forms[b], options) && found(forms[b], forms[a], options))
                        << forms[a] << " / " << forms[b] << " mode " << int(options);
                    if ((a < 3) != (b < 3)) {
                        EXPECT_FALSE(equal) << forms[a] << " / " << forms[b] << " mode " << int(options);
                    } else if (!(options & CompareVague)) { // the vague pairs join ヂ and ジ, say
                        EXPECT_EQ(alike(a % 3, b % 3, options), equal)
                            << forms[a] << " / " << forms[b] << " mode " << int(options);
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace rekal
