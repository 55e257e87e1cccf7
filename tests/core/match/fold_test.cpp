#include "core/base/sjis.h"
#include "core/match/answer.h"
#include "core/match/fold.h"
#include "core/match/format.h"
#include "core/match/sjistext.h"

#include "core/match/testbook.h"

#include "core/data/book.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

const VagueTable& defaults() {
    static const VagueTable table = defaultVagueTable();
    return table;
}

std::string fold(std::string_view text, CompareOptions options) {
    return foldForCompare(text, options, defaults());
}

// Judges answer against one question whose alternatives are given as a list text.
bool judge(std::string_view answer, const std::string& alternatives, CompareOptions options) {
    QuestionBook book;
    test::fillBook(book, {{"q", alternatives}});
    return isAnswerRight(book.questionAt(0), answer, options, defaults());
}

constexpr CompareOptions kKanaWidth = CompareIgnoreKana | CompareIgnoreWidth;

TEST(AnswerJudge, CaseOnlyWithItsBit) {
    EXPECT_FALSE(judge("Tokyo", "tokyo", 0));
    EXPECT_TRUE(judge("Tokyo", "tokyo", CompareIgnoreCase));
    EXPECT_TRUE(judge("ＴＯＫＹＯ", "ｔｏｋｙｏ", CompareIgnoreCase));
    EXPECT_FALSE(judge("ＴＯＫＹＯ", "tokyo", CompareIgnoreCase));
    EXPECT_TRUE(judge("ＴＯＫＹＯ", "tokyo", CompareIgnoreCase | CompareIgnoreWidth));
}

TEST(AnswerJudge, KanaAndWidthTogetherMeetInHalfWidthKatakana) {
    EXPECT_TRUE(judge("とうきょう", "ﾄｳｷｮｳ", kKanaWidth));
    EXPECT_TRUE(judge("とうきょう", "トウキョウ", kKanaWidth));
    EXPECT_TRUE(judge("がっこう", "ｶﾞｯｺｳ", kKanaWidth));
    EXPECT_FALSE(judge("とうきょう", "ﾄｳｷｮｳ", CompareIgnoreKana));
    EXPECT_FALSE(judge("とうきょう", "トウキョウ", CompareIgnoreWidth));
}

TEST(AnswerJudge, WidthFolding) {
    EXPECT_TRUE(judge("ヴ", "ｳﾞ", CompareIgnoreWidth));
    EXPECT_TRUE(judge("ａｂｃ", "abc", CompareIgnoreWidth));
    EXPECT_TRUE(judge("１２３（ｘ）", "123(x)", CompareIgnoreWidth));
    EXPECT_TRUE(judge("パン", "ﾊﾟﾝ", CompareIgnoreWidth));
    EXPECT_FALSE(judge("ヰ", "ｲ", CompareIgnoreWidth)); // no half-width form: stays
}

TEST(AnswerJudge, SymbolsAreRemoved) {
    EXPECT_TRUE(judge("ニューヨーク", "ニュー・ヨーク", CompareIgnoreSymbols));
    EXPECT_EQ("ニュヨク", fold("ニュー・ヨーク", CompareIgnoreSymbols));
    EXPECT_TRUE(judge("1,000", "1000", CompareIgnoreSymbols));
    EXPECT_FALSE(judge("1,000", "1000", 0));
}

TEST(AnswerJudge, SymbolsKeepTheSoundMarksOfVoicedKana) {
    constexpr CompareOptions kWidthSymbols = CompareIgnoreWidth | CompareIgnoreSymbols;
    EXPECT_FALSE(judge("かっこう", "がっこう", kWidthSymbols | CompareIgnoreKana));
    EXPECT_FALSE(judge("ほうてい", "ぼうてい", kWidthSymbols | CompareIgnoreKana));
    EXPECT_FALSE(judge("ﾎｳﾃｲ", "ボウテイ", kWidthSymbols));
    EXPECT_TRUE(judge("ﾎﾞｳﾃｲ", "ボウテイ", kWidthSymbols));
    EXPECT_EQ("ｶﾞﾊﾟｳﾞ", fold("ガパヴ", kWidthSymbols));
    // A mark standing alone is a symbol: ゛ and ゜ always, ﾞ and ﾟ after what does not take them.
    EXPECT_EQ("ｶｶｱﾏｶﾊﾟ", fold("カ゛ｶ゜ｱﾞﾏﾟｶ・ﾞﾊﾟﾞ", kWidthSymbols));
    EXPECT_EQ("カﾊﾟﾏﾊ", fold("カﾞﾊﾟﾞﾏﾟﾊ゜", CompareIgnoreSymbols));
}

TEST(AnswerJudge, VagueWithTheDefaultTable) {
    EXPECT_TRUE(judge("ヴァイオリン", "バイオリン", CompareVague));
    EXPECT_FALSE(judge("ヴァイオリン", "バイオリン", 0));
    EXPECT_EQ("ビ", fold("ヴィ", CompareVague));           // pair 12 comes before pair 14
    EXPECT_EQ("ブェール", fold("ヴェール", CompareVague)); // pair 14 comes before pair 16
    EXPECT_EQ("ﾊﾞｲｵﾘﾝ", fold("ｳﾞｧｲｵﾘﾝ", CompareVague));
}

TEST(AnswerJudge, AlternativesAndLineBreaks) {
    EXPECT_TRUE(judge("富士", "富士山\x03富士さん\x03富士", 0));
    EXPECT_TRUE(judge("富士さん", "富士山\x03富士さん\x03富士", 0));
    EXPECT_FALSE(judge("富", "富士山\x03富士さん\x03富士", 0));
    EXPECT_TRUE(judge("abcdef", "abc\ndef", 0));
    EXPECT_FALSE(judge("abc\ndef", "abc\ndef", 0)); // only the alternatives lose their line breaks
}

TEST(AnswerJudge, EmptyAnswerList) {
    EXPECT_TRUE(judge("", "", 0)); // one empty alternative
    EXPECT_FALSE(judge("x", "", 0));
    QuestionBook book;
    test::fillBook(book, {{"q", std::nullopt}});
    EXPECT_FALSE(isAnswerRight(book.questionAt(0), "", 0, defaults()));
    EXPECT_FALSE(isAnswerRight(nullptr, "", 0, defaults()));
}

TEST(AnswerJudge, EveryOptionAtOnce) {
    EXPECT_TRUE(judge("ヴァいおりん", "ﾊﾞｲｵﾘﾝ", kAllCompareOptions));
    EXPECT_TRUE(judge("ＴＨＥ・ｂｅａｔｌｅｓ", "the beatles", kAllCompareOptions));
}

TEST(FoldSteps, SecondBytesOfDoubleByteCharactersAreNeverTakenForLetters) {
    // ヂ is 0x83 0x61 ('a'), ソ is 0x83 0x5C ('\'), ア is 0x83 0x41 ('A').
    EXPECT_EQ("ヂ", fold("ヂ", CompareIgnoreCase));
    EXPECT_EQ("ｿ", fold("ソ", CompareIgnoreWidth));
    EXPECT_EQ("ソ", fold("ソ", CompareIgnoreSymbols));
    EXPECT_EQ("表", fold("表", kAllCompareOptions));                           // 0x95 0x5C
    EXPECT_EQ("AB", fold("ab\x81", CompareIgnoreCase | CompareIgnoreSymbols)); // a lone lead byte is one byte
}

TEST(FoldSteps, CaseFollowsAnsiUpperCasing) {
    EXPECT_EQ("ABCＸＹＺΑΩАЯЁ", fold("abcｘｙｚαωаяё", CompareIgnoreCase));
    EXPECT_EQ("\x87\x54\x87\x5D", fold("\xFA\x40\xEE\xF8", CompareIgnoreCase)); // small roman numerals
}

TEST(FoldSteps, KanaCoversTheWholeHiraganaRow) {
    EXPECT_EQ("ァミムン", fold("ぁみむん", CompareIgnoreKana));
    EXPECT_EQ("ヴ", fold("ヴ", CompareIgnoreKana));
}

TEST(FoldSteps, WidthKatakanaTable) {
    EXPECT_EQ("ｧｱｶﾞﾊﾟﾐﾑﾜｦﾝｳﾞｶｶ", fold("ァアガパミムワヲンヴヵヶ", CompareIgnoreWidth));
    EXPECT_EQ("ヮヰヱ", fold("ヮヰヱ", CompareIgnoreWidth));
    EXPECT_EQ(" ､｡ｰ｢｣~", fold("　、。ー「」~", CompareIgnoreWidth));
    EXPECT_EQ("～", fold("～", CompareIgnoreWidth)); // not in the table
}

TEST(FoldSteps, SymbolRanges) {
    EXPECT_EQ("0aZｱ\x01", fold(" !/0:@[`a{Z~\xA1\xA5ｱｰﾞﾟ\xE0\xFF\x01", CompareIgnoreSymbols));
    EXPECT_EQ("Ａ亜", fold("①─Ａ亜", CompareIgnoreSymbols));
}

// Each folding range from one end to the other, and the characters just outside it, which stay.
TEST(FoldSteps, WholeRangesAndTheCharactersBesideThem) {
    const auto code = [](unsigned c) {
        return std::string{static_cast<char>(c >> 8), static_cast<char>(c & 0xFF)};
    };
    const auto one = [](int c) { return std::string(1, static_cast<char>(c)); };
    // Case: a-z and ａ-ｚ become capitals; @ [ ` { and the codes beside Ａ-Ｚ and ａ-ｚ stay.
    for (int c = 0x20; c < 0x7F; ++c)
        EXPECT_EQ(c >= 'a' && c <= 'z' ? one(c - 0x20) : one(c), fold(one(c), CompareIgnoreCase)) << c;
    for (unsigned i = 0; i < 26; ++i) {
        EXPECT_EQ(code(0x8260 + i), fold(code(0x8281 + i), CompareIgnoreCase)) << i;
        EXPECT_EQ(code(0x8260 + i), fold(code(0x8260 + i), CompareIgnoreCase)) << i;
    }
    for (unsigned c : {0x825Fu, 0x827Au, 0x8280u, 0x829Bu})
        EXPECT_EQ(code(c), fold(code(c), CompareIgnoreCase)) << std::hex << c;
    // Width: ０-９, Ａ-Ｚ and ａ-ｚ become 0-9, A-Z and a-z; the codes beside them keep their width.
    for (unsigned i = 0; i < 10; ++i)
        EXPECT_EQ(one('0' + static_cast<int>(i)), fold(code(0x824F + i), CompareIgnoreWidth)) << i;
    for (unsigned i = 0; i < 26; ++i) {
        EXPECT_EQ(one('A' + static_cast<int>(i)), fold(code(0x8260 + i), CompareIgnoreWidth)) << i;
        EXPECT_EQ(one('a' + static_cast<int>(i)), fold(code(0x8281 + i), CompareIgnoreWidth)) << i;
    }
    for (unsigned c : {0x824Eu, 0x8259u, 0x825Fu, 0x827Au, 0x8280u, 0x829Bu})
        EXPECT_EQ(code(c), fold(code(c), CompareIgnoreWidth)) << std::hex << c;
    // Symbols: every ASCII character but the letters and digits goes, and every double-byte code
    // from 0x8140 up to 0x824E, the one just before ０; ０ itself stays.
    for (int c = 0x20; c < 0x7F; ++c) {
        const bool kept = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        EXPECT_EQ(kept ? one(c) : "", fold(one(c), CompareIgnoreSymbols)) << c;
    }
    for (unsigned c = 0x8140; c <= 0x824E; ++c) {
        if (isTrailByte(static_cast<unsigned char>(c & 0xFF))) {
            EXPECT_EQ("", fold(code(c), CompareIgnoreSymbols)) << std::hex << c;
        }
    }
    EXPECT_EQ(code(0x824F), fold(code(0x824F), CompareIgnoreSymbols));
}

// Symbols are dropped before the width step runs, so that a sound mark is judged where it stood in
// the text: the width step's own marks belong to their kana.
TEST(FoldSteps, AllStepsTogetherEqualTheStepsOneAfterTheOther) {
    // Texts of bytes that matter: lead and trail bytes, kana, voiced marks, letters, symbols.
    const unsigned char bytes[] = {0x81, 0x82, 0x83, 0x84, 0x87, 0xEE, 0xFA, 0xFC, 0x40, 0x4A, 0x5B,
                                   0x5C, 0x60, 0x61, 0x7A, 0x7F, 0x80, 0x94, 0x9F, 0xA1, 0xB3, 0xB6,
                                   0xCA, 0xDE, 0xDF, 0xEF, 0xF1, 0x20, 0x2C, 0x30, 0x0A, 0x03};
    std::uint32_t seed = 12345;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        for (int i = 0; i < 12; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += static_cast<char>(bytes[(seed >> 16) % sizeof bytes]);
        }
        const CompareOptions options = static_cast<CompareOptions>(round % 16);
        std::string stepwise = text;
        if (options & CompareIgnoreCase) foldCase(stepwise);
        if (options & CompareIgnoreKana) foldKana(stepwise);
        if (options & CompareIgnoreSymbols) removeSymbols(stepwise);
        if (options & CompareIgnoreWidth) foldWidth(stepwise);
        ASSERT_EQ(stepwise, fold(text, options)) << round;
    }
}

TEST(VagueStep, TableOrderAndEdgeCases) {
    VagueTable table;
    appendVaguePair(table, "", "x"); // never applies
    appendVaguePair(table, "ab", "1");
    appendVaguePair(table, "a", "long"); // output may grow
    appendVaguePair(table, "abc", "2");  // after "ab": never reached
    appendVaguePair(table, "表", "T");
    VagueReplacer vague(table);
    EXPECT_EQ("1clongzT", foldForCompare("abcaz表", CompareVague, vague));
    // A pair never starts in the middle of a double-byte character: \x5C is the second byte of 表.
    VagueTable backslash;
    appendVaguePair(backslash, "\\", "Y");
    EXPECT_EQ("表Y", foldForCompare("表\\", CompareVague, VagueReplacer(backslash)));
    EXPECT_EQ("ab", foldForCompare("ab", CompareVague, VagueReplacer()));
}

TEST(TextUtilities, RemoveAndReplaceKeepDoubleByteCharacters) {
    std::string text = "ソ\\a\\表";
    removeChar(text, '\\');
    EXPECT_EQ("ソa表", text);
    text = "表,ソ,a";
    replaceChar(text, ',', '\t');
    EXPECT_EQ("表\tソ\ta", text);
    text = "表\\";
    replaceChar(text, '\\', '/');
    EXPECT_EQ("表/", text);
    EXPECT_TRUE(isDoubleByte("表"));
    EXPECT_FALSE(isDoubleByte("\x81"));
}

TEST(SmallTexts, DurationRoundsToSecondsAndLeavesOutZeroHoursAndMinutes) {
    EXPECT_EQ("1時間2分3秒", formatDuration(3723000));
    EXPECT_EQ("59秒", formatDuration(59000));
    EXPECT_EQ("0秒", formatDuration(0));
    EXPECT_EQ("0秒", formatDuration(499));
    EXPECT_EQ("1秒", formatDuration(500));
    EXPECT_EQ("1分0秒", formatDuration(60000));
    EXPECT_EQ("1時間0秒", formatDuration(3600000));
    EXPECT_EQ("1193時間2分47秒", formatDuration(0xFFFFFFFFu)); // no wrap-around in the rounding
}

TEST(SmallTexts, ResultMarks) {
    EXPECT_EQ("○", resultMark(1));
    EXPECT_EQ("×", resultMark(2));
    EXPECT_EQ("－", resultMark(0));
    EXPECT_EQ("－", resultMark(3));
}

TEST(SmallTexts, HistoryMarksRunFromTheOldestUnderFiveToTheNewestUnderOne) {
    EXPECT_EQ("５４３２１\n×××××", historyText(0));
    EXPECT_EQ("５４３２１\n○○○○○", historyText(31));
    // One right answer after a fresh history: the newest mark, under "１".
    EXPECT_EQ("５４３２１\n××××○", historyText(historyAfter(0, Verdict::Right)));
    EXPECT_EQ("５４３２１\n○××××", historyText(1));
}

} // namespace
} // namespace rekal
