// rekal-cli import and export --encoding utf-8: a table brought in, checked with dump, written back
// out as UTF-8 and brought in again.

#include "cli/cli_runner.h"

#include <gtest/gtest.h>

namespace rekal::test {
namespace {

// Sources are compiled to CP932; tables and terminal texts are UTF-8, written as u8 literals.
std::string utf8(const char8_t* s) {
    return std::string(reinterpret_cast<const char*>(s));
}

// What dump prints for a file that loads without a rejected line.
std::string dumpOf(const std::filesystem::path& file) {
    CliResult r = runCli({"dump", file.string()});
    EXPECT_EQ(0, r.exitCode) << r.err;
    return r.out;
}

TEST(CliImport, ATableBecomesABookThatDumpShowsTextForText) {
    TempDir dir;
    const auto table = dir.write("deck.csv", utf8(u8"\uFEFF問題,答え\n"
                                                  u8"\"a,b\",\"say \"\"hi\"\"\"\n"
                                                  u8"#x\\n,[y]|z\n"
                                                  u8"smile \U0001F600,x\n"));
    const auto book = dir.file("deck.rkf");
    CliResult r = runCli({"import", table.string(), book.string(), "--skip-rows", "1"});
    EXPECT_EQ(1, r.exitCode); // written, with a row left out
    EXPECT_EQ("2 rows imported, 1 skipped, 0 changed\n", r.out);
    EXPECT_EQ(utf8(u8"row 4, column 1: U+1F600 (\U0001F600) is not in code page 932; row skipped\n"), r.err);
    EXPECT_EQ(
        utf8(u8"{\"line\":2,\"kind\":2,\"question\":\"a,b\",\"hints\":[],\"rawAnswer\":\"say \\\"hi\\\"\","
             u8"\"answers\":[\"say \\\"hi\\\"\"],\"rawWrongChoices\":null,\"wrongChoices\":[],\"history\":0,"
             u8"\"group\":0,\"displayIndex\":0,\"comment\":null}\n"
             u8"{\"line\":3,\"kind\":2,\"question\":\"#x\\\\n\",\"hints\":[],\"rawAnswer\":\"[y]|z\","
             u8"\"answers\":[\"[y]|z\"],\"rawWrongChoices\":null,\"wrongChoices\":[],\"history\":0,"
             u8"\"group\":0,\"displayIndex\":0,\"comment\":null}\n"),
        dumpOf(book));
    EXPECT_EQ(0, runCli({"check", book.string()}).exitCode);

    // Never over an existing file without --force; with --replace the row comes in changed.
    r = runCli({"import", table.string(), book.string(), "--replace"});
    EXPECT_EQ(2, r.exitCode);
    EXPECT_NE(std::string::npos, r.err.find("--force"));
    r = runCli({"import", table.string(), book.string(), "--replace", "--force", "--title-every", "2"});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("4 rows imported, 0 skipped, 1 changed\n", r.out);
    EXPECT_EQ("4 questions, 2 titles, 6 cards\nencoding: CP932\n", runCli({"check", book.string()}).out);
    // The section titles judge as a question without a title does: every leniency on.
    r = runCli({"judge", book.string(), "3", "[Y]|Z"});
    EXPECT_EQ("right\n", r.out) << r.err;
}

TEST(CliImport, ImportExportAsUtf8AndImportAgainGivesTheSameBook) {
    TempDir dir;
    const auto table =
        dir.write("deck.txt", utf8(u8"#separator:tab\n#html:true\n"
                                   u8"富士山の高さ<br>（メートル）\t3776\t2\tおよそ &quot;3,776&quot;\n"
                                   u8"WAVE DASH 〜 and minus −\t〜−\t\t\n"
                                   u8"\\i\"x.png\" 'quoted'\t(a|b)\t9\ttwo<div>lines</div>\n"));
    const auto first = dir.file("first.rkf");
    CliResult r =
        runCli({"import", table.string(), first.string(), "--columns", "question,answer,group,comment"});
    ASSERT_EQ(0, r.exitCode) << r.err;
    const auto exported = dir.file("first.csv");
    r = runCli({"export", first.string(), exported.string(), "--encoding", "utf-8"});
    ASSERT_EQ(0, r.exitCode) << r.err;
    const std::string csv = slurp(exported);
    EXPECT_EQ("\xEF\xBB\xBF", csv.substr(0, 3));
    EXPECT_NE(std::string::npos, csv.find(utf8(u8"\"富士山の高さ\n（メートル）\",3776,")));

    const auto second = dir.file("second.rkf");
    r = runCli({"import", exported.string(), second.string()});
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ("3 rows imported, 0 skipped, 0 changed\n", r.out);
    EXPECT_EQ(dumpOf(first), dumpOf(second));
    r = runCli({"judge", second.string(), "3", "(a|b)"});
    EXPECT_EQ("right\n", r.out) << r.err;
    EXPECT_EQ(slurp(first), slurp(second));

    // The default export stays code page 932.
    r = runCli({"export", first.string(), exported.string()});
    EXPECT_EQ("\x96\xE2", slurp(exported).substr(0, 2)); // 問
    EXPECT_EQ(2, runCli({"export", first.string(), exported.string(), "--encoding", "latin-1"}).exitCode);
}

TEST(CliImport, BadUsage) {
    TempDir dir;
    const auto table = dir.write("t.txt", "q\ta\n");
    const std::string out = dir.file("o.rkf").string();
    EXPECT_EQ(2, runCli({"import", table.string()}).exitCode);
    EXPECT_EQ(2, runCli({"import", table.string(), out, "--columns", "answer,comment"}).exitCode);
    EXPECT_EQ(2, runCli({"import", table.string(), out, "--columns", "q,bogus"}).exitCode);
    EXPECT_EQ(2, runCli({"import", table.string(), out, "--title-every", "0"}).exitCode);
    EXPECT_EQ(2,
              runCli({"import", table.string(), out, "--title-every", "5", "--title-column", "3"}).exitCode);
    EXPECT_EQ(2, runCli({"import", table.string(), out, "--separator", "two"}).exitCode);
    EXPECT_EQ(2, runCli({"import", dir.file("missing.txt").string(), out}).exitCode);
    EXPECT_FALSE(std::filesystem::exists(out));
    CliResult r = runCli({"import", dir.write("blank.txt", "\n\n").string(), out});
    EXPECT_EQ(2, r.exitCode);
    EXPECT_EQ("0 rows imported, 0 skipped, 0 changed\n", r.out);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace rekal::test
