// rekal-cli save, fold, judge and search, driven as a user would.

#include "cli/cli_runner.h"
#include "core/base/textcode.h"
#include "core/settings/vague.h"

#include <gtest/gtest.h>

namespace rekal::test {
namespace {

// Narrow literals are code page 932; arguments and terminal output are UTF-8.
std::string utf8(std::string_view cp932) {
    return cp932ToUtf8(cp932);
}

const std::string kBook = "REKALDATA V1.6\n"
                          "$Group=全般,地理\n"
                          "q0,Tokyo,<00\n"
                          "#地理,011100'第一章\n"
                          "日本一高い山は？\\h静岡県にある,富士(山|さん),<10'静岡県と山梨県の境\n"
                          "q2,ヴァイオリン\\cビオラ,<00\n"
                          "q3,x,<00\n";

class CliMatch : public ::testing::Test {
  protected:
    TempDir dir;
    std::string book = dir.write("book.rkf", kBook).string();
};

TEST(CliFold, PrintsTheFoldedText) {
    CliResult r = runCli({"fold", utf8("ヴェール"), "--compare", "16"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(utf8("ブェール") + "\n", r.out);
    r = runCli({"fold", utf8("ＴＯＫＹＯ・とうきょう"), "--compare", "31"});
    EXPECT_EQ(utf8("TOKYOﾄｳｷｮｳ") + "\n", r.out);
}

TEST(CliFold, CompareOptionIsRequiredAndBounded) {
    EXPECT_EQ(2, runCli({"fold", "x"}).exitCode);
    EXPECT_EQ(2, runCli({"fold", "x", "--compare", "32"}).exitCode);
    EXPECT_EQ(2, runCli({"fold", "x", "--compare"}).exitCode);
    EXPECT_EQ(2, runCli({"fold", "x", "--compare", "1x"}).exitCode);
}

TEST_F(CliMatch, JudgeWithExplicitOptions) {
    CliResult r = runCli({"judge", book, "1", "TOKYO", "--compare", "1"});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("right\n", r.out);
    r = runCli({"judge", book, "1", "TOKYO", "--compare", "0"});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("wrong\n", r.out);
    EXPECT_EQ(0, runCli({"judge", book, "2", utf8("富士")}).exitCode);
    EXPECT_EQ(0, runCli({"judge", book, "3", utf8("バイオリン"), "--compare", "16"}).exitCode);
}

TEST_F(CliMatch, JudgeWithoutOptionsUsesWhatAnExamWould) {
    // By default the settings' CompareMode (0) counts; with UseData 2 the title's options do.
    EXPECT_EQ(1, runCli({"judge", book, "2", utf8("ふじさん")}).exitCode);
    const std::string ini = dir.write("REKALWIN.INI", "UseData=2\r\n").string();
    EXPECT_EQ(1, runCli({"--ini", ini, "judge", book, "2", utf8("ふじさん")}).exitCode); // kanji still differ
    EXPECT_EQ(0, runCli({"--ini", ini, "judge", book, "2", utf8("富士サン")}).exitCode);
    // A question above every title is judged with every option.
    EXPECT_EQ(0, runCli({"--ini", ini, "judge", book, "1", utf8("ｔｏｋｙｏ")}).exitCode);
    const std::string caseIni = dir.write("case.ini", "CompareMode=1\r\n").string();
    EXPECT_EQ(0, runCli({"--ini", caseIni, "judge", book, "1", "tokyo"}).exitCode);
}

TEST_F(CliMatch, JudgeUsesTheGivenVagueTable) {
    VagueTable table;
    appendVaguePair(table, "x", "y");
    const std::string vague = dir.write("v.dat", formatVagueTable(table)).string();
    EXPECT_EQ(0, runCli({"--vague", vague, "judge", book, "4", "y", "--compare", "16"}).exitCode);
    EXPECT_EQ(1, runCli({"judge", book, "4", "y", "--compare", "16"}).exitCode);
}

TEST_F(CliMatch, JudgeRejectsBadQuestionNumbersAndFiles) {
    EXPECT_EQ(2, runCli({"judge", book, "0", "x"}).exitCode);
    EXPECT_EQ(2, runCli({"judge", book, "5", "x"}).exitCode);
    EXPECT_EQ(2, runCli({"judge", book, "one", "x"}).exitCode);
    CliResult missing = runCli({"judge", dir.file("none.rkf").string(), "1", "x"});
    EXPECT_EQ(2, missing.exitCode);
    EXPECT_NE(std::string::npos, missing.err.find("error: " + utf8("ファイルが見つかりません。")));
}

TEST_F(CliMatch, SearchFindsTheNextQuestionEitherWay) {
    CliResult r = runCli({"search", book, "1", utf8("静岡")});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ("2\n", r.out);
    EXPECT_EQ("2\n", runCli({"search", book, "4", utf8("境"), "--up"}).out);
    r = runCli({"search", book, "2", utf8("静岡")});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_EQ("none\n", r.out);
    EXPECT_EQ("none\n", runCli({"search", book, "9", "q"}).out);
    EXPECT_EQ(2, runCli({"search", book, "1"}).exitCode);
}

TEST_F(CliMatch, SearchUsesTheSettingsCompareMode) {
    EXPECT_EQ("none\n", runCli({"search", book, "1", utf8("ﾋﾞｵﾗ")}).out);
    const std::string ini = dir.write("w.ini", "CompareMode=4\r\n").string();
    EXPECT_EQ("3\n", runCli({"--ini", ini, "search", book, "1", utf8("ﾋﾞｵﾗ")}).out);
}

TEST_F(CliMatch, SaveWritesTheBookAsTheProgramDoes) {
    const std::string out = dir.file("out.rkf").string();
    CliResult r = runCli({"save", book, out});
    EXPECT_EQ(0, r.exitCode) << r.err;
    std::string expected = kBook;
    for (std::size_t at = 0; (at = expected.find('\n', at)) != std::string::npos; at += 2)
        expected.insert(at, "\r");
    EXPECT_EQ(expected, slurp(out));
    EXPECT_EQ(kBook, slurp(book));
}

TEST_F(CliMatch, SaveThatCannotWriteExitsWithTwo) {
    CliResult r = runCli({"save", book, dir.file("no folder/out.rkf").string()});
    EXPECT_EQ(2, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("error: " + utf8("ファイル書き込みに失敗しました。")));
    EXPECT_EQ(2, runCli({"save", book}).exitCode);
}

} // namespace
} // namespace rekal::test
