// rekal-cli drill, log and export, driven as a user would: answers on standard input.

#include "cli/cli_runner.h"
#include "core/base/notifier.h"
#include "core/base/textcode.h"
#include "core/data/reader.h"
#include "core/exam/selection.h"

#include <gtest/gtest.h>

namespace rekal::test {
namespace {

std::string utf8(std::string_view cp932) {
    return cp932ToUtf8(cp932);
}

const std::string kBook = "REKALDATA V1.6\n"
                          "#地理,011100\n"
                          "日本一高い山は？,富士(山|さん),<10'静岡県と山梨県の境\n"
                          "日本の首都は？,東京,<00\n"
                          "q3,x\"y,<00\n"
                          "#算数,300000\n"
                          "1+1,2,<00\n"
                          "2+2,4,<00\n"
                          "3+3,6,<00\n";

class CliExam : public ::testing::Test {
  protected:
    TempDir dir;
    std::string book = dir.write("book.rkf", kBook).string();
    std::string log = (dir.path() / "log.txt").string();

    CliResult drill(std::vector<std::string> options, const std::string& input) {
        std::vector<std::string> args = {"drill", book, "--log", log};
        args.insert(args.end(), options.begin(), options.end());
        return runCli(args, input);
    }
    // The question numbers in the order the drill showed them.
    static std::vector<int> shownOrder(const std::string& out) {
        std::vector<int> order;
        for (std::size_t at = out.find(utf8("[問題 ")); at != std::string::npos;
             at = out.find(utf8("[問題 "), at + 1))
            order.push_back(std::stoi(out.substr(at + utf8("[問題 ").size())));
        return order;
    }
};

TEST_F(CliExam, DrillAllInOrderJudgesSavesAndLogs) {
    const CliResult r = drill({"--mode", "written", "--range", "1-3"}, utf8("富士さん\nおおさか\nx\"y\n"));
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(utf8("[問題 1]\n地理\n日本一高い山は？\n○ 正解！\n"
                   "[問題 2]\n地理\n日本の首都は？\n× 東京\n"
                   "[問題 3]\n地理\nq3\n○ 正解！\n"
                   "出題数：3\n解答数：3\n正解数：2\n正解率：66.66%\n所要時間：0秒\n"),
              r.out);
    const std::string saved = slurp(book);
    EXPECT_NE(std::string::npos, saved.find("日本一高い山は？,富士(山|さん),L10'静岡県と山梨県の境\r\n"))
        << saved;
    EXPECT_NE(std::string::npos, saved.find("q3,x\"y,L00\r\n"));

    const CliResult parsed = runCli({"log", log});
    EXPECT_EQ(0, parsed.exitCode);
    EXPECT_NE(std::string::npos,
              parsed.out.find(utf8("\"method\":\"すべて\",\"mode\":\"記述式\",\"rate\":\"66.66%\"")));
    EXPECT_NE(std::string::npos,
              parsed.out.find(utf8("[\"3\",\"3\",\"○\",\"0秒\",\"q3\",\"x\\\"y\",\"全般\",\"\"]")))
        << parsed.out;
}

TEST_F(CliExam, SeedReproducesTheEnginesOrder) {
    const CliResult first = drill({"--method", "random-all", "--seed", "4242"}, "");
    // End of input aborts after the first question; the same seed always gives the same first pick.
    const CliResult again =
        drill({"--method", "random-all", "--seed", "4242", "--mode", "written"}, "a\nb\nc\nd\ne\nf\n");
    ASSERT_EQ(0, again.exitCode) << again.err;
    const std::vector<int> order = shownOrder(again.out);
    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(shownOrder(first.out).front(), order.front());

    // The same draws through the engine in this process.
    QuestionBook expectedBook;
    RecordingNotifier notifier;
    ASSERT_TRUE(loadBookFromBytes(expectedBook, "b.rkf", kBook, Settings{}, notifier));
    ExamSelection run;
    run.range = examRangeOf(expectedBook);
    run.method = kMethodRandomAll;
    run.remaining = 6;
    RandomGenerator random(4242);
    std::vector<int> expected;
    for (int q; (q = pickNext(run, expectedBook, random, 8)) != kNoQuestion;) {
        expected.push_back(q + 1);
        run.results.resize(static_cast<std::size_t>(run.asked) + 1);
        run.results[static_cast<std::size_t>(run.asked)] = ExamResult{0, q, Verdict::Wrong};
        run.askedSet.note(expectedBook, run.range, q, Verdict::Wrong);
        ++run.asked;
    }
    EXPECT_EQ(order, expected);
}

TEST_F(CliExam, StandardModeShowsTheTitlesChoicesAndTakesTheirNumbers) {
    const CliResult r = drill({"--titles", "2-2", "--method", "one", "--seed", "1"}, "1\n");
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find(utf8("算数\n")));
    EXPECT_NE(std::string::npos, r.out.find("1. "));
    EXPECT_NE(std::string::npos, r.out.find("3. "));
    EXPECT_EQ(std::string::npos, r.out.find("4. "));
    EXPECT_NE(std::string::npos, r.out.find(utf8("出題数：1\n")));
}

TEST_F(CliExam, ConfirmModeTakesTheUsersGrades) {
    const CliResult r = drill({"--mode", "confirm", "--range", "4-6"}, "r\ns\nw\n");
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_NE(std::string::npos, r.out.find(utf8("答え：2\n")));
    EXPECT_NE(std::string::npos, r.out.find(utf8("出題数：3\n解答数：2\n正解数：1\n正解率：50.00%\n")));
}

TEST_F(CliExam, EndOfInputAbortsAndLogsWithoutResult) {
    const CliResult r = drill({"--method", "complete", "--seed", "9"}, "");
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(1u, shownOrder(r.out).size());
    EXPECT_EQ(std::string::npos, r.out.find(utf8("出題数")));
    const std::string written = slurp(log);
    EXPECT_NE(std::string::npos, written.find("ランダム(完全)"));
    EXPECT_TRUE(written.ends_with("順番,問題番号,正誤,所要時間,問題,答え,グループ,コメント\r\n"));
    EXPECT_EQ(kBook, slurp(book)); // nothing answered: the book is not rewritten
}

TEST_F(CliExam, RetryAsksTheWrongQuestionsAgain) {
    const CliResult r = drill({"--mode", "written", "--range", "4-6", "--retry"}, "2\n5\n5\n4\n");
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ((std::vector<int>{4, 5, 6, 5, 6}), shownOrder(r.out));
    const CliResult parsed = runCli({"log", log});
    EXPECT_NE(std::string::npos, parsed.out.find(utf8("\"method\":\"間違えた問題を再出題\"")));
}

TEST_F(CliExam, BadOptionsAndFilesExitWithTwo) {
    EXPECT_EQ(2, drill({"--method", "sometimes"}, "").exitCode);
    EXPECT_EQ(2, drill({"--mode", "oral"}, "").exitCode);
    EXPECT_EQ(2, drill({"--range", "3-9"}, "").exitCode);
    EXPECT_EQ(2, drill({"--titles", "2-1"}, "").exitCode);
    EXPECT_EQ(2, drill({"--method", "count", "--count", "7", "--no-repeat"}, "").exitCode);
    EXPECT_EQ(2, drill({"--method", "count", "--count", "0"}, "").exitCode);
    EXPECT_EQ(2, drill({"--method", "weak", "--strength", "11"}, "").exitCode);
    EXPECT_EQ(2, drill({"--range", "1-1", "--groups", "2"}, "").exitCode); // question 1 is in group 1
    EXPECT_EQ(2, runCli({"drill", (dir.path() / "none.rkf").string()}).exitCode);
    EXPECT_EQ(2, runCli({"log", (dir.path() / "none.txt").string()}).exitCode);
    EXPECT_FALSE(std::filesystem::exists(log));
}

TEST_F(CliExam, GroupsOptionLeavesOnlyTheNamedGroupsAndGroupZero) {
    const CliResult r = drill({"--mode", "written", "--range", "1-3", "--groups", "0"}, "a\nb\n");
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ((std::vector<int>{2, 3}), shownOrder(r.out));
    EXPECT_NE(std::string::npos, slurp(log).find("[ グループ ] 全般\r\n"));
}

TEST_F(CliExam, CountWithoutNoRepeatMayExceedTheQuestions) {
    const CliResult r = drill({"--method", "count", "--count", "9", "--mode", "written", "--seed", "3"},
                              "a\na\na\na\na\na\na\na\na\n");
    ASSERT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(9u, shownOrder(r.out).size());
}

TEST_F(CliExam, ExportWritesTheTable) {
    const std::string out = (dir.path() / "out.csv").string();
    ASSERT_EQ(0, runCli({"export", book, out}).exitCode);
    const std::string table = slurp(out);
    EXPECT_TRUE(table.starts_with(
        "問題番号,問題,答え,正誤履歴5,正誤履歴4,正誤履歴3,正誤履歴2,正誤履歴1,グループ,コメント\r\n"
        "1,日本一高い山は？,富士山,×,×,×,×,×,１,静岡県と山梨県の境\r\n"
        "2,日本の首都は？,東京,×,×,×,×,×,全般,\r\n"
        "3,q3,\"x\"\"y\",×,×,×,×,×,全般,\r\n"));
    ASSERT_EQ(0, runCli({"export", book, out, "--tab"}).exitCode);
    EXPECT_TRUE(slurp(out).starts_with("問題番号\t問題\t答え\t"));
    EXPECT_EQ(2, runCli({"export", book}).exitCode);
    EXPECT_EQ(2, runCli({"export", book, (dir.path() / "no" / "x.csv").string()}).exitCode);
}

TEST_F(CliExam, LogPrintsEveryRecordAsJson) {
    const std::string text = "stray\r\n\r\n"
                             "Rekal for Windows Ver.1.63 出題履歴\r\n"
                             "[   時刻   ] 2024年5月17日(金) 12時30分\r\n"
                             "[ 解答方法 ] 確認\r\n"
                             "順番,問題番号\r\n"
                             "1,\"a\nb\"\r\n";
    const std::string path = dir.write("EXAMLOG.TXT", text).string();
    const CliResult r = runCli({"log", path});
    EXPECT_EQ(0, r.exitCode);
    EXPECT_EQ(
        utf8("{\"time\":{\"year\":2024,\"month\":5,\"day\":17,\"weekday\":5,\"hour\":12,\"minute\":30,"
             "\"second\":0},\"file\":null,\"range\":null,\"groups\":null,\"method\":null,\"mode\":\"確認\","
             "\"rate\":null,\"elapsed\":null,\"rows\":[[\"順番\",\"問題番号\"],[\"1\",\"a\\nb\"]]}\n"),
        r.out);
}

TEST_F(CliExam, StatsCountsEachDaysRunsAndAnswers) {
    // A run of book.rkf and its retry, a run of other.rkf, and a record of another day added by hand
    // that names the book in capitals and has no rows.
    ASSERT_EQ(0,
              drill({"--mode", "written", "--range", "1-2", "--retry"}, utf8("富士山\nx\n東京\n")).exitCode);
    const std::string other = dir.write("other.rkf", kBook).string();
    ASSERT_EQ(0,
              runCli({"drill", other, "--log", log, "--mode", "written", "--range", "4-4"}, "2\n").exitCode);
    std::ofstream(log, std::ios::binary | std::ios::app)
        << "\r\n\r\nRekal for Windows Ver.1.63 出題履歴\r\n[   時刻   ] 2001年2月3日(土) 4時5分\r\n"
           "[ファイル名] C:\\X\\BOOK.RKF\r\n";

    const CliResult all = runCli({"stats", log});
    EXPECT_EQ(0, all.exitCode) << all.err;
    const std::size_t lineEnd = all.out.find('\n');
    ASSERT_NE(std::string::npos, lineEnd) << all.out;
    EXPECT_EQ(all.out.substr(0, lineEnd), "2001-02-03 1 0 0");
    // Today's line: three runs, four answers, three of them right.
    const std::string today = all.out.substr(lineEnd + 1);
    EXPECT_NE(std::string::npos, today.find(" 3 4 3\n")) << today;

    const CliResult json = runCli({"stats", log, "--json", "--file", "book.RKF"});
    EXPECT_EQ(0, json.exitCode);
    EXPECT_TRUE(json.out.starts_with("{\"date\":\"2001-02-03\",\"runs\":1,\"answered\":0,\"right\":0}\n"))
        << json.out;
    EXPECT_NE(std::string::npos, json.out.find(",\"runs\":2,\"answered\":3,\"right\":2}\n")) << json.out;

    EXPECT_EQ(2, runCli({"stats", log, "--file"}).exitCode);
    EXPECT_EQ(2, runCli({"stats", (dir.path() / "none.txt").string()}).exitCode);
}

} // namespace
} // namespace rekal::test
