#include "core/base/fileio.h"
#include "core/data/save.h"

#include "core/data/book_fixture.h"
#include "support/book_describe.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rekal {
namespace {

using test::loadText;
using test::settingsWithCharSet;
constexpr auto describe = test::describeCards;

// Loads text, writes the book, loads what was written; the two books must hold the same cards.
// Gives the written file text.
std::string roundTrip(std::string_view text, std::string_view path = "test.rkf",
                      const Settings& settings = settingsWithCharSet()) {
    QuestionBook first, second;
    EXPECT_TRUE(loadText(first, text, path, settings).ok);
    const std::string written = formatBook(first, settings);
    auto again = loadText(second, written, path, settings);
    EXPECT_TRUE(again.ok);
    EXPECT_TRUE(again.report.rejectedLines.empty()) << written;
    EXPECT_EQ(describe(first), describe(second)) << written;
    EXPECT_EQ(written, formatBook(second, settings)); // a second save changes nothing more
    return written;
}

constexpr std::string_view kExample =
    "REKALDATA V1.6\r\n"
    "$Group=全般,地理,歴史\r\n"
    "#地理,011100'第一章\r\n"
    "日本一高い山は？\\h静岡県にある,富士(山|さん)\\c北岳|穂高岳,<10'静岡県と山梨県の境\r\n";

TEST(SaveRoundTrip, ReaderExamplesComeBackAsTheSameCards) {
    EXPECT_EQ(kExample, roundTrip(kExample));
    roundTrip("REKALDATA V1.6\n[東|西]京,[a|b][c|d],<00\na(b|c)d|e,[a(b)|c],<00\n問題,答え,<00\n#章\n");
    roundTrip("REKALDATA V1.2\nq,a|b,<00\n");
    roundTrip("REKALDATA V1.3\nq,a|b,<00\n");
    roundTrip("REKALDATA V1.6\nソ,答え,<00\n表\\,示,\\[x\\],<00\n");
    roundTrip(
        "REKALDATA "
        "V1.6\n$TimeLimit=-5\n$TimeLimit=\n$TIMELIMIT=30\n$FontTitle=,,\n$FontTitle=12,KOREAN\nq,a,<00\n");
    roundTrip("REKALDATA V1.5,,,\nq,a,<00,,,\n#t,011100,,\n", "test.csv");
}

TEST(SaveRoundTrip, EveryEscapeAndMarkOfEveryField) {
    roundTrip("REKALDATA V1.6\n"
              "#a\\,b\\\\c\\nd,900001'c\\,o\\'m\\\\m\\n\\i\"p,q.bmp\"\n"
              "\\#q\\h\\$x,a\\|b\\(c\\)\\[d\\]\\cw\\,1|w\\(2\\)\\c(w3),[59'x\n"
              "\\i\"x.bmp\"\\m\"y.avi\"\\h\\i\"h,1.bmp\"\\h\\hh2\\n,[\\i\"a.bmp\"|b]\\c\\m\"s.wav\",<00\n"
              "'q,a,<00\n"
              "\\'q,a,<00\n"
              "\\$q,a,<00\n"
              "$Group=a\\,b,c\\\\,d\\nd,,,,,,,ten\\'s'comment\\, here\n"
              "$Message=it\\'s\\, ok\\n'and\\'a comment\n"
              "$FontComment=-9,RUSSIAN,Face \\'x\\, y'note\n"
              "$QuestionShowTime=007,after\n");
}

TEST(SaveRoundTrip, DoubleByteCharactersEndingInABackslashOrLetter) {
    // ソ and 表 end in 0x5C, ヂ in 0x61 ('a'): copied as they are, never escaped or unescaped.
    const std::string written =
        roundTrip("REKALDATA V1.6\nソ\\hヂ,表\\c能,<00'十\n$Message=ソ'表\n$Group=ソ,表\n");
    EXPECT_NE(std::string::npos, written.find("ソ\\hヂ,表\\c能,<00'十\r\n"));
}

TEST(SaveRoundTrip, SingleByteClassesEscapeEverySecondByteBackslash) {
    // With the Question class on ANSI, ソ is two single bytes, the second one a backslash.
    const std::string text = "REKALDATA V1.6\n$FontQuestion=,ANSI\n\x83\\\\,a,<00\n";
    const std::string written = roundTrip(text);
    EXPECT_NE(std::string::npos, written.find("\r\n\x83\\\\,a,<00\r\n"));
    roundTrip(text, "test.rkf", settingsWithCharSet(0));
}

TEST(SaveRoundTrip, AFontCardWithoutACharacterSetKeepsTheCurrentOne) {
    // The second card names no set, so the Question class stays ANSI for the line after it, as
    // the reader sees it; the writer must escape the question's second byte the same way.
    const std::string written =
        roundTrip("REKALDATA V1.6\n$FontQuestion=,ANSI\n$FontQuestion=12\n\x83\\\\,a,<00\n");
    EXPECT_NE(std::string::npos, written.find("\r\n\x83\\\\,a,<00\r\n"));
}

TEST(SaveRoundTrip, OlderVersionsWriteOnlyTheEscapesTheyRead) {
    // Before 1.3 a raw list separator in an answer is a plain byte and | a plain character; before
    // 1.4 a raw tag byte is no picture tag, and before 1.6 \m is the letter m.
    EXPECT_EQ("REKALDATA V1.2\r\nq,a\x03|[,<00\r\n", roundTrip("REKALDATA V1.2\nq,a\x03|\\[,<00\n"));
    // An escaped mark byte is a plain byte before 1.3; a raw one, even a balanced pair, rejects the
    // line (there is no mark before 1.3 that a save could write), so it comes back as it was read.
    EXPECT_EQ("REKALDATA V1.2\r\nq,a\\\x04"
              "b\\\x07,<00\r\n",
              roundTrip("REKALDATA V1.2\nq,a\\\x04"
                        "b\\\x07,<00\n"));
    for (std::string_view line : {"q,a\x04"
                                  "b\x05,<00",
                                  "q,a\x06"
                                  "b\x07,<00",
                                  "\x0f\x04\\10__\x8b\x9e,[\x0f\x04\\10_\x05,<40"}) {
        const std::string text = "REKALDATA V1.2\n" + std::string(line) + "\nq,a,<00\n";
        QuestionBook book;
        EXPECT_EQ(std::vector<int>{2}, loadText(book, text, "test.csv").report.rejectedLines) << line;
        EXPECT_EQ(0u, roundTrip(text, "test.csv").find("REKALDATA V1.2\r\n'")) << line;
    }
    // From 1.3 on the same bytes are the marks they stand for.
    EXPECT_EQ("REKALDATA V1.3\r\nq,a[b],<00\r\n", roundTrip("REKALDATA V1.3\nq,a\x04"
                                                            "b\x05,<00\n"));
    EXPECT_EQ("REKALDATA V1.3\r\n\x02i\"x.bmp\",a,<00\r\n",
              roundTrip("REKALDATA V1.3\n\x02i\"x.bmp\",a,<00\n"));
    EXPECT_EQ("REKALDATA V1.5\r\n\\i\"x.bmp\"\x02m\"y.avi\",a,<00\r\n",
              roundTrip("REKALDATA V1.5\n\\i\"x.bmp\"\x02m\"y.avi\",a,<00\n"));
}

TEST(SaveRoundTrip, AnApostropheInsideAnswersAndWrongChoicesOfEveryVersion) {
    // From 1.3 on the answer field turns [ ] ( ) | into marks; an apostrophe is none of them.
    for (const char* version : {"1.2", "1.3", "1.4", "1.5", "1.6"}) {
        const std::string line =
            std::string(version) >= "1.5" ? "q,don't\\cwon't|can't,<00'it's" : "q,don't,<00'it's";
        QuestionBook book;
        ASSERT_TRUE(loadText(book, std::string("REKALDATA V") + version + "\n" + line + "\n").ok) << version;
        const QuestionCard* q = book.questionAt(0);
        EXPECT_EQ(test::items(q->answers), std::vector<std::string>{"don't"}) << version;
        if (std::string(version) >= "1.5") {
            EXPECT_EQ(test::items(q->wrongChoices), (std::vector<std::string>{"won't", "can't"})) << version;
        }
        EXPECT_EQ("it's", q->comment.view()) << version;
        const std::string written = roundTrip(std::string("REKALDATA V") + version + "\n" + line + "\n");
        EXPECT_NE(std::string::npos, written.find("\r\n" + line + "\r\n")) << written;
    }
}

TEST(SaveRoundTrip, OnlyALeadByteTakesTheBackslashBeforeAComma) {
    // Q, a byte, backslash, comma: after a lead byte (0x81-0x9F, 0xE0-0xFC) the backslash is its
    // second byte and the comma ends the question; after any other byte the backslash escapes the
    // comma, which stays in the question and is written back escaped.
    for (int b = 0x80; b <= 0xFF; ++b) {
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        const std::string text =
            "REKALDATA V1.6\nQ" + std::string(1, static_cast<char>(b)) + "\\,R,A,<00\nq,a,<00\n";
        QuestionBook book;
        const auto loaded = loadText(book, text);
        ASSERT_TRUE(loaded.ok);
        if (lead) {
            EXPECT_EQ(std::vector<int>{2}, loaded.report.rejectedLines) << std::hex << b;
        } else {
            EXPECT_TRUE(loaded.report.rejectedLines.empty()) << std::hex << b;
            EXPECT_EQ("Q" + std::string(1, static_cast<char>(b)) + ",R", book.questionAt(0)->question.view())
                << std::hex << b;
        }
        roundTrip(text);
    }
}

TEST(SaveRoundTrip, LeadByteStartingNoCharacterBeforeACommaInACommentOrMessage) {
    // A rejected line and a message holding a broken character (0x83) before a comma.
    const std::string written =
        roundTrip("REKALDATA V1.6\nx\x83,y\n$Message=a\x83,b\x82\x9F,c'd\x83,e\nq,a,<00\n");
    EXPECT_NE(std::string::npos, written.find("\r\n'x\x83,y\r\n$Message=a\x83,b\x82\x9F\\,c'd\x83,e\r\n"));
}

TEST(SaveRoundTrip, LeadByteStartingNoCharacterBeforeAnApostropheInACsvMessage) {
    const std::string written = roundTrip("REKALDATA V1.5\n$Message=a\x83'b's,c\nq,a,<00\n", "x.csv");
    EXPECT_NE(std::string::npos, written.find("$Message=a\x83'b\\'s,c\r\n"));
}

TEST(SaveRoundTrip, CsvMessageKeepsItsComment) {
    const std::string written = roundTrip("REKALDATA V1.5\n$Message=hello,note\nq,a,<00\n", "test.csv");
    EXPECT_NE(std::string::npos, written.find("$Message=hello,note\r\n"));
}

TEST(SaveNormalises, WhatASaveChanges) {
    QuestionBook book;
    const std::string text = "REKALDATA V1.6\n"
                             "'\n"
                             "\n"
                             "#t,092345\n"
                             "$timelimit=007'c\n"
                             "$fonttitle=+12,shiftjis,ＭＳ 明朝\n"
                             "$Group=a,b,,,\n"
                             "\\x\\y\\.,a\\b,<99\n"
                             "bad line\n";
    ASSERT_TRUE(loadText(book, text).ok);
    EXPECT_EQ("REKALDATA V1.6\r\n"
              "\r\n"
              "\r\n"
              "#t,011111\r\n"
              "$TimeLimit=7'c\r\n"
              "$FontTitle=12,SHIFTJIS,ＭＳ 明朝\r\n"
              "$Group=a,b\r\n"
              "xy.,ab,<99\r\n"
              "'bad line\r\n",
              formatBook(book, settingsWithCharSet()));
}

TEST(SaveNormalises, CsvIsWrittenInTheNativeLayout) {
    QuestionBook book;
    ASSERT_TRUE(loadText(book, "REKALDATA V1.5,,,\r\nq,a,<00,,,\r\n#t,011100,,\r\n'c,,\r\n", "x.csv").ok);
    EXPECT_EQ("REKALDATA V1.5\r\nq,a,<00\r\n#t,011100\r\n'c\r\n", formatBook(book, settingsWithCharSet()));
}

TEST(SaveFormat, GroupNamesAreWrittenUpToTheLastNameOrAllTenWithAComment) {
    QuestionBook book;
    // Only the tenth name ends at an apostrophe: in the fourth line it is part of name 6.
    const std::string text =
        "REKALDATA V1.6\r\n$Group=全般,地理\r\n$Group=,,,,,,,,,a'b\r\n$Group=x,,,,,,,,,'c\r\n"
        "$Group=x,,,,,,'c\r\n$Group=\r\nq,a,<00\r\n";
    ASSERT_TRUE(loadText(book, text).ok);
    EXPECT_EQ("'c", test::text(asGroupNames(book.firstCard()->next->next->next)->names[6]));
    EXPECT_EQ(text, formatBook(book, settingsWithCharSet()));
}

TEST(SaveFormat, FontCardsWriteOnlyWhatIsGiven) {
    QuestionBook book;
    ASSERT_TRUE(loadText(book,
                         "REKALDATA V1.6\n$FontTitle=\n$FontTitle=,200\n$FontTitle=,,'c\n$FontTitle=5,,f\n"
                         "$FontTitle=,default\nq,a,<00\n")
                    .ok);
    EXPECT_EQ("REKALDATA V1.6\r\n$FontTitle=\r\n$FontTitle=,200\r\n$FontTitle=,,'c\r\n$FontTitle=5,,f\r\n"
              "$FontTitle=,DEFAULT\r\nq,a,<00\r\n",
              formatBook(book, settingsWithCharSet()));
}

TEST(SaveFormat, QuestionTextStartingWithALineMarkIsEscaped) {
    QuestionBook book, again;
    ASSERT_TRUE(loadText(book, "REKALDATA V1.6\n\\#1,a,<00\n\\'2,a,<00\n\\$3,a,<00\n").ok);
    const std::string written = formatBook(book, settingsWithCharSet());
    EXPECT_EQ("REKALDATA V1.6\r\n\\#1,a,<00\r\n\\'2,a,<00\r\n\\$3,a,<00\r\n", written);
    ASSERT_TRUE(loadText(again, written).ok);
    EXPECT_EQ(3, again.questionCount());
}

TEST(SaveFormat, AnswerMarksComeBackAsTheSameAlternatives) {
    QuestionBook book, again;
    ASSERT_TRUE(loadText(book, kExample).ok);
    const std::string written = formatBook(book, settingsWithCharSet());
    EXPECT_NE(std::string::npos, written.find(",富士(山|さん)\\c北岳|穂高岳,"));
    ASSERT_TRUE(loadText(again, written).ok);
    EXPECT_EQ((std::vector<std::string>{"富士山", "富士さん", "富士"}),
              test::items(again.questionAt(0)->answers));
}

class SaveToFile : public ::testing::Test {
  protected:
    void SetUp() override {
        path = folder.write("book.rkf", original);
        ASSERT_TRUE(loadBook(book, path, settings, notifier));
        book.recordResult(book.questionAt(0), Verdict::Right);
        ASSERT_TRUE(book.isDirty());
    }

    test::TestFolder folder;
    const std::string original = "REKALDATA V1.6\nq,a,<00\n";
    const std::string changed = "REKALDATA V1.6\r\nq,a,L00\r\n";
    std::string path;
    Settings settings = settingsWithCharSet();
    RecordingNotifier notifier;
    QuestionBook book;
};

TEST_F(SaveToFile, DirtyBookIsWrittenAndBecomesClean) {
    EXPECT_TRUE(saveBook(book, settings, notifier));
    EXPECT_FALSE(book.isDirty());
    EXPECT_EQ(changed, test::readBytes(path));
    EXPECT_TRUE(notifier.messages.empty());
}

TEST_F(SaveToFile, CleanBookIsNotWritten) {
    book.setDirty(false);
    std::filesystem::remove(path);
    EXPECT_TRUE(saveBook(book, settings, notifier));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(SaveToFile, FailedWriteKeepsTheOldFileAndTheBookDirty) {
    failNextReplaceForTesting(1);
    EXPECT_FALSE(saveBook(book, settings, notifier));
    failNextReplaceForTesting(0);
    EXPECT_EQ(original, test::readBytes(path));
    EXPECT_TRUE(book.isDirty());
    ASSERT_EQ(1u, notifier.messages.size());
    EXPECT_EQ(RecordingNotifier::Kind::Error, notifier.messages[0].kind);
    EXPECT_EQ("ファイル書き込みに失敗しました。", notifier.messages[0].text);
    // The next occasion tries again.
    EXPECT_TRUE(saveBook(book, settings, notifier));
    EXPECT_EQ(changed, test::readBytes(path));
}

TEST_F(SaveToFile, MissingFolderIsAWriteFailure) {
    book.setFile(folder.file("no such folder/book.rkf"));
    EXPECT_FALSE(saveBook(book, settings, notifier));
    EXPECT_TRUE(book.isDirty());
    EXPECT_EQ("ファイル書き込みに失敗しました。", notifier.messages.at(0).text);
}

TEST_F(SaveToFile, ReadOnlyFileAnsweredNoIsKept) {
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    notifier.answers = {false};
    EXPECT_FALSE(saveBook(book, settings, notifier));
    EXPECT_TRUE(book.isDirty());
    EXPECT_EQ(original, test::readBytes(path));
    ASSERT_EQ(1u, notifier.messages.size());
    EXPECT_EQ(RecordingNotifier::Kind::Ask, notifier.messages[0].kind);
    EXPECT_EQ(path + " は読み込み専用ファイルです。保存しますか？", notifier.messages[0].text);
}

TEST_F(SaveToFile, ReadOnlyFileAnsweredYesIsWrittenAndNoLongerReadOnly) {
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    notifier.answers = {true};
    EXPECT_TRUE(saveBook(book, settings, notifier));
    EXPECT_FALSE(book.isDirty());
    EXPECT_EQ(changed, test::readBytes(path));
    const auto perms = std::filesystem::status(path).permissions();
    EXPECT_NE(std::filesystem::perms::none, perms & std::filesystem::perms::owner_write);
}

} // namespace
} // namespace rekal
