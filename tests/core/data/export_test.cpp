// The export table: header, the ten fields, quoting in the CSV-field form, rows without an answer.

#include "book_fixture.h"

#include "core/base/fileio.h"
#include "core/data/export.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace rekal {
namespace {

const char* kBook = "REKALDATA V1.6\n"
                    "$Group=全般,地理\n"
                    "1\\,000円,ans,<00\n"
                    "say \"hi\"\ttab,x\"y,P30'note\n"
                    "line\\nbreak\\i\"p.png\",a,L10\n";

TEST(CsvField, QuotesOnlyWhenNeededAndWritesTagsAsBackslashes) {
    auto field = [](std::string_view text) {
        std::string out = "<";
        appendCsvField(out, text);
        return out;
    };
    EXPECT_EQ(field("plain"), "<plain");
    EXPECT_EQ(field(""), "<");
    EXPECT_EQ(field("a,b"), "<\"a,b\"");
    EXPECT_EQ(field("a\"b"), "<\"a\"\"b\"");
    EXPECT_EQ(field("a\nb"), "<\"a\nb\"");
    EXPECT_EQ(field("a\rb\tc"), "<a\rb\tc"); // a CR or a tab alone causes no quoting
    EXPECT_EQ(field("\x02i\"x.png\""), "<\"\\i\"\"x.png\"\"\"");
    // ソ (0x83 0x5C) and 表 (0x95 0x5C) are copied whole; a lone trailing lead byte is copied as it is.
    EXPECT_EQ(field("\x83\x5C\x95\x5C"), "<\x83\x5C\x95\x5C");
    EXPECT_EQ(field("a\x83"), "<a\x83");
}

TEST(ExportTable, CommaSeparatedRowsByteForByte) {
    QuestionBook book;
    ASSERT_TRUE(test::loadText(book, kBook).ok);
    EXPECT_EQ(formatExportTable(book, true),
              "問題番号,問題,答え,正誤履歴5,正誤履歴4,正誤履歴3,正誤履歴2,正誤履歴1,グループ,コメント\r\n"
              "1,\"1,000円\",ans,×,×,×,×,×,全般,\r\n"
              "2,\"say \"\"hi\"\"\ttab\",\"x\"\"y\",×,×,○,×,○,３,note\r\n"
              "3,\"line\nbreak\\i\"\"p.png\"\"\",a,×,×,×,×,○,地理,\r\n");
}

TEST(ExportTable, TabSeparatedKeepsTheSameQuoting) {
    QuestionBook book;
    ASSERT_TRUE(test::loadText(book, kBook).ok);
    const std::string table = formatExportTable(book, false);
    EXPECT_TRUE(table.starts_with(
        "問題番号\t問題\t答え\t正誤履歴5\t正誤履歴4\t正誤履歴3\t正誤履歴2\t正誤履歴1\tグループ\tコメント\r\n"
        "1\t\"1,000円\"\tans\t×\t×\t×\t×\t×\t全般\t\r\n"));
}

TEST(ExportTable, AMissingDisplayedAnswerLeavesItsFieldEmptyAndTheRowsGoOn) {
    QuestionBook book;
    ASSERT_TRUE(test::loadText(book, "REKALDATA V1.6\nq1,a,<00\nq2,b,<07\nq3,c,<00\nq4,d,<07\n").ok);
    int missing = -1;
    EXPECT_EQ(formatExportTable(book, true, &missing),
              "問題番号,問題,答え,正誤履歴5,正誤履歴4,正誤履歴3,正誤履歴2,正誤履歴1,グループ,コメント\r\n"
              "1,q1,a,×,×,×,×,×,全般,\r\n"
              "2,q2,,×,×,×,×,×,全般,\r\n"
              "3,q3,c,×,×,×,×,×,全般,\r\n"
              "4,q4,,×,×,×,×,×,全般,\r\n");
    EXPECT_EQ(missing, 2);

    const std::filesystem::path path = std::filesystem::temp_directory_path() / "rekal-export-missing.csv";
    RecordingNotifier notifier;
    EXPECT_TRUE(exportBook(book, path, true, notifier));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].kind, RecordingNotifier::Kind::Warning);
    EXPECT_NE(notifier.messages[0].text.find(" 2 "), std::string::npos) << notifier.messages[0].text;
    std::filesystem::remove(path);
}

TEST(ExportBook, WritesTheFileAndTellsWhenItCannot) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "rekal-export-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    QuestionBook book;
    RecordingNotifier notifier;
    const std::string path = (dir / "out.csv").string();
    EXPECT_FALSE(exportBook(book, path, true, notifier)); // no book: nothing happens
    EXPECT_FALSE(std::filesystem::exists(path));

    ASSERT_TRUE(test::loadText(book, kBook).ok);
    std::ofstream(path) << "old content that is longer than nothing";
    // An export over an older table keeps that file's permissions; a failed one keeps the table.
    namespace fs = std::filesystem;
    const fs::perms shared = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(path, shared);
    failNextReplaceForTesting(1);
    EXPECT_FALSE(exportBook(book, path, true, notifier));
    failNextReplaceForTesting(0);
    EXPECT_EQ("old content that is longer than nothing", test::readBytes(path));
    notifier.messages.clear();
    EXPECT_TRUE(exportBook(book, path, true, notifier));
    EXPECT_EQ(fs::status(path).permissions(), shared);
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    EXPECT_EQ(ss.str(), formatExportTable(book, true));
    EXPECT_TRUE(notifier.messages.empty());

    EXPECT_FALSE(exportBook(book, (dir / "no" / "out.csv").string(), true, notifier));
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "ファイル書き込みに失敗しました。");

    // A write failing halfway leaves the old table whole.
    failNextReplaceForTesting(1);
    EXPECT_FALSE(exportBook(book, path, false, notifier));
    failNextReplaceForTesting(0);
    std::ifstream again(path, std::ios::binary);
    std::stringstream kept;
    kept << again.rdbuf();
    EXPECT_EQ(kept.str(), formatExportTable(book, true));
    EXPECT_EQ(notifier.messages.size(), 2u);
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace rekal
