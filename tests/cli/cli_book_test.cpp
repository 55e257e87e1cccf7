// rekal-cli check and dump: loading a question file as the program does and showing its cards.

#include "cli/cli_runner.h"
#include "core/base/textcode.h"

#include <gtest/gtest.h>

namespace rekal::test {
namespace {

// Literals of this file are CP932 (the question files); the terminal speaks UTF-8.
std::string utf8(std::string_view cp932) {
    return cp932ToUtf8(cp932);
}

const char* const kExample =
    "REKALDATA V1.6\r\n"
    "$Group=全般,地理,歴史\r\n"
    "#地理,011100'第一章\r\n"
    "日本一高い山は？\\h静岡県にある,富士(山|さん)\\c北岳|穂高岳,<10'静岡県と山梨県の境\r\n";

TEST(CliCheck, CountsTheCardsOfAGoodFile) {
    TempDir dir;
    auto path = dir.write("book.rkf", kExample);
    CliResult r = runCli({"check", path.string()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "1 questions, 1 titles, 3 cards\nencoding: CP932\n");
    EXPECT_EQ(r.err, "");
}

TEST(CliCheck, RejectedLinesAndMessages) {
    TempDir dir;
    auto path = dir.write("book.rkf", "REKALDATA V1.6\n$Message=ようこそ\\n二行目\nq,a\nq,a,<00\n#章\n");
    CliResult r = runCli({"check", path.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "1 questions, 0 titles, 4 cards\nencoding: CP932\nrejected lines: 3, 5\n");
    EXPECT_EQ(r.err, utf8("info: ようこそ\n二行目\nwarning: 次の行にエラーがありました：\n3, 5\n"));
}

// Media the program would not show are named per line: missing files, and paths it refuses to
// open. Files that are there pass silently, and the exit status is the load's.
TEST(CliCheck, NamesMissingAndRefusedMedia) {
    TempDir dir;
    dir.write("here.png", "x");
    auto path = dir.write("book.rkf", "REKALDATA V1.6\n"
                                      "q\\i\"here.png\",a,<00\n"
                                      "q\\i\"gone.png|width=5\",a\\m\"nul.wav\",<00'\\m\"list.m3u\"\n"
                                      "'\\i\"\\\\evil\\s\\x.png\"\n");
    CliResult r = runCli({"check", path.string()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "2 questions, 0 titles, 3 cards\nencoding: CP932\n"
                     "media: 3: gone.png (missing)\n"
                     "media: 3: nul.wav (refused: device name)\n"
                     "media: 3: list.m3u (refused: playlist)\n"
                     "media: 4: \\\\evil\\s\\x.png (refused: outside the book's drive or share)\n");
}

TEST(CliCheck, FilesThatDoNotLoad) {
    TempDir dir;
    auto titles = dir.write("titles.rkf", "REKALDATA V1.6\n#t,000000\n");
    CliResult r = runCli({"check", titles.string()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, utf8("error: 問題が見つかりません。\n"));

    r = runCli({"check", (dir.path() / "missing.rkf").string()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, utf8("error: ファイルが見つかりません。\n"));

    auto old = dir.write("old.rkf", "REKALDATA V1.1\nq,a,<00\n");
    r = runCli({"check", old.string()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.err, utf8("error: データのバージョンが違います。\n"));

    EXPECT_EQ(runCli({"check"}).exitCode, 2);
    EXPECT_EQ(runCli({"check", "a", "b"}).exitCode, 2);
}

TEST(CliCheck, JapaneseFileNameAndCsvRules) {
    TempDir dir;
    const std::string name = utf8("問題集.CSV");
    auto path = dir.write(name, "REKALDATA V1.5,,,\nq,a,<00'c,extra\n");
    CliResult r = runCli({"check", path.string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "1 questions, 0 titles, 1 cards\nencoding: CP932\n");
}

// A UTF-8 book: check names the encoding and every rejected line with its character, while the
// warning stops after twenty; save writes the book back in UTF-16 when it was read in UTF-16.
TEST(CliCheck, UnicodeBooksAndTheFullListOfRejectedLines) {
    TempDir dir;
    std::u8string text = u8"REKALDATA V1.6\nq,a,<00\n한,a,<00\n";
    for (int i = 0; i < 25; ++i)
        text += u8"bad\n";
    auto path = dir.write("book.rkf", std::string(text.begin(), text.end()));
    CliResult r = runCli({"check", path.string()});
    EXPECT_EQ(r.exitCode, 1);
    std::string all = "3 (U+D55C)";
    for (int line = 4; line <= 28; ++line)
        all += ", " + std::to_string(line);
    EXPECT_EQ(r.out, "1 questions, 0 titles, 27 cards\nencoding: UTF-8\nrejected lines: " + all + "\n");
    EXPECT_NE(r.err.find(utf8("22 ほか 6 行\n")), std::string::npos) << r.err;

    std::string utf16 = "\xFF\xFE";
    for (char c : std::string_view("REKALDATA V1.6\r\n*,a,<00\r\n")) {
        utf16 += c == '*' ? '\x42' : c; // U+3042 あ
        utf16 += c == '*' ? '\x30' : '\0';
    }
    path = dir.write("wide.rkf", utf16);
    r = runCli({"save", path.string(), dir.file("out.rkf").string()});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(slurp(dir.file("out.rkf")), utf16);
    EXPECT_EQ(runCli({"check", path.string()}).out,
              "1 questions, 0 titles, 1 cards\nencoding: UTF-16LE (BOM)\n");
}

TEST(CliDump, TheWorkedExample) {
    TempDir dir;
    auto path = dir.write("book.rkf", kExample);
    CliResult r = runCli({"dump", path.string()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              utf8("{\"line\":2,\"kind\":4,\"names\":[\"全般\",\"地理\",\"歴史\",\"\",\"\",\"\",\"\",\"\","
                   "\"\",\"\"],"
                   "\"comment\":null}\n"
                   "{\"line\":3,\"kind\":1,\"title\":\"地理\",\"choiceCount\":0,\"compareOptions\":7,"
                   "\"comment\":\"第一章\"}\n"
                   "{\"line\":4,\"kind\":2,\"question\":\"日本一高い山は？\",\"hints\":[\"静岡県にある\"],"
                   "\"rawAnswer\":\"富士\\u0006山\\u0003さん\\u0007\",\"answers\":[\"富士山\",\"富士さん\","
                   "\"富士\"],"
                   "\"rawWrongChoices\":\"北岳\\u0003穂高岳\",\"wrongChoices\":[\"北岳\",\"穂高岳\"],"
                   "\"history\":0,\"group\":1,\"displayIndex\":0,\"comment\":\"静岡県と山梨県の境\"}\n"));
}

TEST(CliDump, EveryKindAndEscapes) {
    TempDir dir;
    auto path = dir.write("book.rkf", "REKALDATA V1.6\n"
                                      "\n"
                                      "'\\i\"a b.png\"\n"
                                      "$Message=m\\n\"x\"\\\\'c\n"
                                      "$TimeLimit=30\n"
                                      "$QuestionShowTime=5\n"
                                      "$AnswerStartTime=2'late\n"
                                      "$FontComment=-9,SHIFTJIS,ＭＳ ゴシック\n"
                                      "q,a,[99\n"
                                      "bad\n");
    CliResult r = runCli({"dump", path.string()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, utf8("{\"line\":2,\"kind\":3,\"comment\":null}\n"
                          "{\"line\":3,\"kind\":3,\"comment\":\"\\u0002i\\\"a b.png\\\"\"}\n"
                          "{\"line\":4,\"kind\":5,\"message\":\"m\\n\\\"x\\\"\\\\\",\"comment\":\"c\"}\n"
                          "{\"line\":5,\"kind\":6,\"value\":30,\"comment\":null}\n"
                          "{\"line\":6,\"kind\":7,\"value\":5,\"comment\":null}\n"
                          "{\"line\":7,\"kind\":8,\"value\":2,\"comment\":\"late\"}\n"
                          "{\"line\":8,\"kind\":22,\"size\":-9,\"charset\":128,\"face\":\"ＭＳ ゴシック\","
                          "\"comment\":null}\n"
                          "{\"line\":9,\"kind\":2,\"question\":\"q\",\"hints\":[],\"rawAnswer\":\"a\","
                          "\"answers\":[\"a\"],\"rawWrongChoices\":null,\"wrongChoices\":[],\"history\":31,"
                          "\"group\":9,\"displayIndex\":9,\"comment\":null}\n"
                          "{\"line\":10,\"kind\":3,\"comment\":\"bad\"}\n"));
}

TEST(CliDump, NotLoadedPrintsNothing) {
    TempDir dir;
    auto path = dir.write("x.rkf", "not a question file\n");
    CliResult r = runCli({"dump", path.string()});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, utf8("error: REKAL データではありません。\n"));
}

} // namespace
} // namespace rekal::test
