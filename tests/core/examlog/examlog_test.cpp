// The exam log: record layout byte for byte, appending, trimming to the size limit, and the tolerant
// reader.

#include "core/exam/exam_fixture.h"

#include "core/base/fileio.h"
#include "core/examlog/examlog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace rekal {
namespace {

using test::loadText;
using test::numberedBook;

std::string slurp(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

class TempFolder {
  public:
    TempFolder() {
        path_ = std::filesystem::temp_directory_path() /
                ("rekal-examlog-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() { std::filesystem::remove_all(path_); }
    std::string file(const char* name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

const char* kBook = "REKALDATA V1.6\n"
                    "$Group=全般,地理,歴\"史\n"
                    "#地理,011100\n"
                    "日本一高い山は？,富士(山|さん),<10'静岡県と山梨県の境\n"
                    "1\\,000円の本,a\"b,<00\n"
                    "改行\\nあり,x,<10'見て\\i\"pic.png\"\n";

ExamLogRecord sampleRecord(const std::vector<ExamResult>& results) {
    ExamLogRecord record;
    record.start = LocalTime{2024, 5, 17, 5, 12, 30, 0, 0};
    record.filePath = "C:\\drill\\test.rkf";
    record.first = 0;
    record.last = 2;
    record.groups = {true, true, false, false, true, false, false, false, false};
    record.method = kMethodWeakNoRepeat;
    record.answerMode = AnswerChoice;
    record.right = 2;
    record.wrong = 1;
    record.elapsedMs = 3723000;
    record.results = results;
    return record;
}

const std::vector<ExamResult> kResults = {{5000, 0, Verdict::Right},
                                          {12345, 1, Verdict::Wrong},
                                          {61000, 2, Verdict::Skipped},
                                          {800, 0, Verdict::Right}};

const char* kRecord = "Rekal for Windows Ver.1.63 出題履歴\r\n"
                      "[   時刻   ] 2024年5月17日(金) 12時30分\r\n"
                      "[ファイル名] C:\\drill\\test.rkf\r\n"
                      "[ 出題範囲 ] 1～3\r\n"
                      "[ グループ ] 全般,地理,\"歴\"\"史\",５\r\n"
                      "[ 出題方法 ] ランダム(弱点問題)(一度出題した問題は出題しない)\r\n"
                      "[解答モード] 選択式\r\n"
                      "[  正解率  ] 66.66%\r\n"
                      "[ 所要時間 ] 1時間2分3秒\r\n"
                      "順番,問題番号,正誤,所要時間,問題,答え,グループ,コメント\r\n"
                      "1,1,○,5秒,日本一高い山は？,富士山,地理,静岡県と山梨県の境\r\n"
                      "2,2,×,12秒,\"1,000円の本\",\"a\"\"b\",全般,\r\n"
                      "3,3,－,1分1秒,\"改行\nあり\",x,地理,\"見て\\i\"\"pic.png\"\"\"\r\n"
                      "4,1,○,1秒,日本一高い山は？,富士山,地理,静岡県と山梨県の境\r\n";

// ---- the record -------------------------------------------------------------------------------------

TEST(ExamLogRecordLayout, EveryLineByteForByte) {
    QuestionBook book;
    loadText(book, kBook);
    const FormattedRecord text = formatExamLogRecord(sampleRecord(kResults), book);
    EXPECT_EQ(text.head + text.details, kRecord);
    EXPECT_TRUE(text.detailsComplete);
}

TEST(ExamLogRecordLayout, MethodAndModeNames) {
    EXPECT_EQ(methodName(1), "すべて");
    EXPECT_EQ(methodName(0x31), "ランダム(すべて)");
    EXPECT_EQ(methodName(0x10), "ランダム");
    EXPECT_EQ(methodName(0x30), "ランダム(一度出題した問題は出題しない)");
    EXPECT_EQ(methodName(0x12), "ランダム(弱点問題)");
    EXPECT_EQ(methodName(0x33), "ランダム(完全)");
    EXPECT_EQ(methodName(0x44), "間違えた問題を再出題");
    EXPECT_EQ(methodName(0x55), "すべての問題を再出題(ランダム)");
    EXPECT_EQ(methodName(0x46), "選択された問題を再出題");
    EXPECT_EQ(methodName(0x07), "不明");
    EXPECT_EQ(methodName(0x02), "不明");
    EXPECT_STREQ(answerModeName(0), "通常");
    EXPECT_STREQ(answerModeName(3), "確認");
    EXPECT_STREQ(answerModeName(7), "通常");
}

TEST(ExamLogRecordLayout, RateIsTruncatedAndIgnoresSkips) {
    EXPECT_EQ(rateText(2, 1), "66.66%");
    EXPECT_EQ(rateText(1, 0), "100.00%");
    EXPECT_EQ(rateText(0, 0), "－");
    EXPECT_EQ(rateText(3, 1), "75.00%");
    EXPECT_EQ(rateText(1, 7), "12.50%");
    EXPECT_EQ(rateText(0, 3), "0.00%");
}

TEST(ExamLogRecordLayout, AnExamWithNothingAskedStillWritesItsHead) {
    QuestionBook book;
    loadText(book, kBook);
    ExamLogRecord record = sampleRecord({});
    record.right = record.wrong = 0;
    const FormattedRecord text = formatExamLogRecord(record, book);
    EXPECT_TRUE(text.details.empty());
    EXPECT_NE(text.head.find("[  正解率  ] －\r\n"), std::string::npos);
    EXPECT_TRUE(text.head.ends_with("順番,問題番号,正誤,所要時間,問題,答え,グループ,コメント\r\n"));
}

TEST(ExamLogRecordLayout, DetailLinesStopAtAQuestionWithoutDisplayedAnswer) {
    QuestionBook book;
    loadText(book, "REKALDATA V1.6\nq1,a,<00\nq2,b,<07\nq3,c,<00\n");
    const std::vector<ExamResult> results = {
        {1000, 0, Verdict::Right}, {1000, 1, Verdict::Right}, {1000, 2, Verdict::Right}};
    const FormattedRecord text = formatExamLogRecord(sampleRecord(results), book);
    EXPECT_EQ(text.details, "1,1,○,1秒,q1,a,全般,\r\n");
    EXPECT_FALSE(text.detailsComplete);
}

TEST(ExamLogRecordLayout, TimeStampIsTheRunsStart) {
    QuestionBook book;
    loadText(book, numberedBook(2));
    ExamRun run;
    run.elapsedMs = 2 * 3600 * 1000;
    Settings settings = test::testSettings();
    ExamLogRecord record = examLogRecordOf(run, book, settings, LocalTime{2024, 5, 17, 5, 12, 30, 10, 0});
    EXPECT_EQ(record.start.hour, 10);
    EXPECT_EQ(record.start.minute, 30);
    EXPECT_EQ(record.start.weekday, 5);

    run.elapsedMs = 3600 * 1000 + 1;
    record = examLogRecordOf(run, book, settings, LocalTime{2024, 3, 1, 5, 0, 30, 0, 0});
    const std::string head = formatExamLogRecord(record, book).head;
    EXPECT_NE(head.find("[   時刻   ] 2024年2月29日(木) 23時29分\r\n"), std::string::npos) << head;
}

// ---- append and trim --------------------------------------------------------------------------------

TEST(ExamLogAppend, FirstRecordAtByteZeroLaterOnesAfterTwoEmptyLines) {
    TempFolder dir;
    QuestionBook book;
    loadText(book, kBook);
    RecordingNotifier notifier;
    const std::string path = dir.file("EXAMLOG.TXT");
    appendExamLog(path, 1000, sampleRecord(kResults), book, notifier);
    EXPECT_EQ(slurp(path), kRecord);
    appendExamLog(path, 1000, sampleRecord(kResults), book, notifier);
    EXPECT_EQ(slurp(path), std::string(kRecord) + "\r\n\r\n" + kRecord);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST(ExamLogAppend, AFolderThatDoesNotExistIsTold) {
    TempFolder dir;
    QuestionBook book;
    loadText(book, kBook);
    RecordingNotifier notifier;
    appendExamLog(dir.file("missing/EXAMLOG.TXT"), 1000, sampleRecord(kResults), book, notifier);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "ファイル書き込みに失敗しました。");
}

TEST(ExamLogTrim, BoundariesOfTheScan) {
    const std::size_t none = 99999;
    auto start = [](std::string_view log, std::size_t limit) {
        return trimStart(log, limit).value_or(99999);
    };
    const std::string log = "AAAA\r\n\r\n\r\nRekal 2\r\n";
    EXPECT_EQ(start(log, log.size()), none);          // exactly the limit: kept as it is
    EXPECT_EQ(start(log, log.size() - 1), 10u);       // one byte over: from the next record
    EXPECT_EQ(start(log, 0), none);                   // no limit
    EXPECT_EQ(start("AAAA\r\n\r\nBC", 7), 8u);        // two pairs are enough
    EXPECT_EQ(start("AAAA\r\nB\r\nC", 7), none);      // no blank line
    EXPECT_EQ(start("AAAA\r\n\r\n\r\nB", 7), none);   // the found byte is the last one
    EXPECT_EQ(start("AA\n\r\n\r\nRR", 8), 7u);        // a window starting at a LF
    EXPECT_EQ(start("AA\r\r\n\r\nXYZ", 9), none);     // a CR where a LF is due restarts without counting
    EXPECT_EQ(start("AA\r\n\r\n\rXYZ", 9), none);     // an odd run does not count
    EXPECT_EQ(start("A\r\n\r\n\r\n\r\nXYZ", 11), 9u); // a longer run ends at its last LF
}

TEST(ExamLogTrim, AppendKeepsTheLogWithinItsLimitInWholeRecords) {
    TempFolder dir;
    QuestionBook book;
    loadText(book, kBook);
    RecordingNotifier notifier;
    const std::string path = dir.file("EXAMLOG.TXT");
    appendExamLog(path, 2, sampleRecord(kResults), book, notifier);
    // The trim rewrites the log; it stays the user's file with its permissions.
    namespace fs = std::filesystem;
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    for (int i = 0; i < 5; ++i)
        appendExamLog(path, 2, sampleRecord(kResults), book, notifier);
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const std::string log = slurp(path);
    EXPECT_LE(log.size(), 2048u);
    EXPECT_TRUE(log.starts_with("Rekal for Windows"));
    EXPECT_TRUE(log.ends_with(std::string(kRecord)));
    const ExamLog parsed = parseExamLog(log);
    EXPECT_EQ(parsed.entries.size(), (log.size() + 4) / (std::string(kRecord).size() + 4));
    for (const ExamLogEntry& e : parsed.entries)
        EXPECT_EQ(e.rowCount, 5u);
    EXPECT_TRUE(notifier.messages.empty());

    // A limit of 0 never trims.
    for (int i = 0; i < 6; ++i)
        appendExamLog(path, 0, sampleRecord(kResults), book, notifier);
    EXPECT_GT(slurp(path).size(), 4096u);
}

TEST(ExamLogTrim, ALogOfExactlyItsLimitIsKeptWholeOneByteMoreIsTrimmed) {
    TempFolder dir;
    QuestionBook book;
    loadText(book, kBook);
    RecordingNotifier notifier;
    const std::string path = dir.file("EXAMLOG.TXT");
    const std::size_t record = std::string(kRecord).size() + 4; // with the blank line before it
    for (const std::size_t over : {0, 1}) {
        const std::string earlier(2048 - record + over, 'x');
        std::ofstream(path, std::ios::binary) << earlier;
        appendExamLog(path, 2, sampleRecord(kResults), book, notifier);
        const std::string log = slurp(path);
        EXPECT_EQ(log, over == 0 ? earlier + "\r\n\r\n" + kRecord : std::string(kRecord)) << over;
    }
    EXPECT_TRUE(notifier.messages.empty());
}

TEST(ExamLogTrim, OneHugeRecordStaysOverTheLimit) {
    TempFolder dir;
    QuestionBook book;
    loadText(book, numberedBook(100));
    std::vector<ExamResult> results;
    for (int i = 0; i < 100; ++i)
        results.push_back({1000, i, Verdict::Right});
    RecordingNotifier notifier;
    const std::string path = dir.file("EXAMLOG.TXT");
    appendExamLog(path, 1, sampleRecord(results), book, notifier);
    EXPECT_GT(slurp(path).size(), 1024u);
    EXPECT_TRUE(notifier.messages.empty());
}

TEST(ExamLogTrim, AFailedRewriteLeavesTheWholeLog) {
    TempFolder dir;
    QuestionBook book;
    loadText(book, kBook);
    RecordingNotifier notifier;
    const std::string path = dir.file("EXAMLOG.TXT");
    for (int i = 0; i < 2; ++i)
        appendExamLog(path, 0, sampleRecord(kResults), book, notifier);
    const std::string before = slurp(path);
    failNextReplaceForTesting(1);
    appendExamLog(path, 1, sampleRecord(kResults), book, notifier);
    failNextReplaceForTesting(0);
    EXPECT_EQ(slurp(path), before + "\r\n\r\n" + kRecord);
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "ファイル書き込みに失敗しました。");
}

TEST(ExamLogAppend, TheEngineLogsThroughTheSettingsFile) {
    TempFolder dir;
    test::ExamRig rig(numberedBook(3));
    RecordingNotifier notifier;
    ExamLogFile file(rig.book, rig.settings, rig.clock, notifier);
    // "保存中..." is shown from before the file is touched until the record is in it.
    struct SavingIndicator : BusyIndicator {
        std::string path;
        std::vector<std::string> calls;
        void beginBusy(std::string_view text) override {
            calls.push_back("begin " + std::string(text) + " " + std::to_string(slurp(path).size()));
        }
        void endBusy() override { calls.push_back(slurp(path).empty() ? "end empty" : "end written"); }
    } saving;
    file.setBusyIndicator(&saving);
    rig.env.log = &file;
    rig.settings.examLogName = dir.file("log.txt");
    saving.path = rig.settings.examLogName;
    startAllRun(rig.run, rig.env);
    rig.clock.advance(4000);
    rig.answerRight();
    rig.answerWrong();
    onAbortCommand(rig.run, rig.env);
    EXPECT_EQ(saving.calls, (std::vector<std::string>{"begin 保存中... 0", "end written"}));
    const ExamLog log = parseExamLog(slurp(rig.settings.examLogName));
    ASSERT_EQ(log.entries.size(), 1u);
    const ExamLogEntry& e = log.entries[0];
    EXPECT_EQ(*e.method, "すべて");
    EXPECT_EQ(*e.rate, "50.00%");
    EXPECT_EQ(*e.elapsed, "4秒");
    EXPECT_EQ(*e.groups, "全般,１,２,３,４,５,６,７,８,９");
    EXPECT_EQ(*e.range, "1～3");
    EXPECT_EQ(e.rowCount, 3u);
    EXPECT_EQ(e.time.hour, 12);
    EXPECT_EQ(e.time.minute, 29); // started four seconds before 12:30:00
}

// ---- reading ----------------------------------------------------------------------------------------

std::vector<std::string> fieldsOf(const ExamLog& log, const ExamLogRow& row) {
    std::vector<std::string> out;
    for (std::string_view f : log.fieldsOf(row))
        out.emplace_back(f);
    return out;
}

TEST(ExamLogRead, ReadsBackWhatWasWritten) {
    QuestionBook book;
    loadText(book, kBook);
    const ExamLog log = parseExamLog(std::string(kRecord) + "\r\n\r\n" + kRecord);
    ASSERT_EQ(log.entries.size(), 2u);
    const ExamLogEntry& e = log.entries[1];
    EXPECT_EQ(e.time.year, 2024);
    EXPECT_EQ(e.time.month, 5);
    EXPECT_EQ(e.time.day, 17);
    EXPECT_EQ(e.time.weekday, 5);
    EXPECT_EQ(e.time.hour, 12);
    EXPECT_EQ(e.time.minute, 30);
    EXPECT_EQ(e.time.second, 0);
    EXPECT_EQ(*e.file, "C:\\drill\\test.rkf");
    EXPECT_EQ(*e.range, "1～3");
    EXPECT_EQ(*e.groups, "全般,地理,\"歴\"\"史\",５");
    EXPECT_EQ(*e.method, "ランダム(弱点問題)(一度出題した問題は出題しない)");
    EXPECT_EQ(*e.mode, "選択式");
    EXPECT_EQ(*e.rate, "66.66%");
    EXPECT_EQ(*e.elapsed, "1時間2分3秒");
    const auto rows = log.rowsOf(e);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(fieldsOf(log, rows[0]), (std::vector<std::string>{"順番", "問題番号", "正誤", "所要時間",
                                                                "問題", "答え", "グループ", "コメント"}));
    EXPECT_EQ(fieldsOf(log, rows[2]),
              (std::vector<std::string>{"2", "2", "×", "12秒", "1,000円の本", "a\"b", "全般", ""}));
    EXPECT_EQ(fieldsOf(log, rows[3]), (std::vector<std::string>{"3", "3", "－", "1分1秒", "改行\nあり", "x",
                                                                "地理", "見て\\i\"pic.png\""}));
}

TEST(ExamLogRead, ToleratesSpacingOldLabelsUnknownLabelsStrayTextAndTrailingLines) {
    const std::string text = "some notes\r\nmore notes\r\n\r\n"
                             "Rekal for Windows whatever follows\n"
                             "[時刻] 2023年12月31日(x) 23時59分58秒\n"
                             "[ 解答方法 ]    記述式\n"
                             "[ ??? ] ignored\n"
                             "[正解率] 1%\n"
                             "[ 正 解 率 ] 2%\n"
                             "[no bracket\n"
                             "a,b\r"
                             "\r\r\n\n";
    const ExamLog log = parseExamLog(text);
    ASSERT_EQ(log.entries.size(), 1u);
    const ExamLogEntry& e = log.entries[0];
    EXPECT_EQ(e.time.year, 2023);
    EXPECT_EQ(e.time.month, 12);
    EXPECT_EQ(e.time.day, 31);
    EXPECT_EQ(e.time.weekday, 0);
    EXPECT_EQ(e.time.second, 58);
    EXPECT_EQ(*e.mode, "記述式");
    EXPECT_EQ(*e.rate, "2%"); // a later line with the same label wins
    EXPECT_FALSE(e.file.has_value());
    const auto rows = log.rowsOf(e);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(fieldsOf(log, rows[0]), (std::vector<std::string>{"[no bracket"}));
    EXPECT_EQ(fieldsOf(log, rows[1]), (std::vector<std::string>{"a", "b"}));
}

TEST(ExamLogRead, QuotedFieldsSpanLinesAndEndAtASingleQuote) {
    const ExamLog log = parseExamLog("Rekal for Windows\r\n"
                                     "\"multi\r\nline, \"\"text\"\"\",\"q\"tail,,\"\"\r\n"
                                     "\"unterminated,\r\n\r\nstill");
    ASSERT_EQ(log.entries.size(), 1u);
    const auto rows = log.rowsOf(log.entries[0]);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(fieldsOf(log, rows[0]), (std::vector<std::string>{"multi\r\nline, \"text\"", "qtail", "", ""}));
    EXPECT_EQ(fieldsOf(log, rows[1]), (std::vector<std::string>{"unterminated,\r\n\r\nstill"}));
}

TEST(ExamLogRead, ADateTheCalendarDoesNotKnowKeepsItsNumbers) {
    const ExamLog log = parseExamLog("Rekal for Windows\n[時刻] 2023年2月30日 25時0分\n\n"
                                     "Rekal for Windows\n[時刻] 99999年1月1日\n");
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[0].time.month, 2);
    EXPECT_EQ(log.entries[0].time.day, 30);
    EXPECT_EQ(log.entries[0].time.hour, 25);
    EXPECT_EQ(log.entries[0].time.weekday, 0);
    EXPECT_EQ(log.entries[1].time.year, 0xFFFF);
}

TEST(ExamLogRead, LabelsAreFoundAfterDoubleByteCharactersEndingInABracketByte) {
    // ゾ is 0x83 0x5D: its second byte is the code of ']' and must not close the label.
    const ExamLog log = parseExamLog("Rekal for Windows\n[ゾ] x\n[ 所要時間 ] 3秒\n");
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(*log.entries[0].elapsed, "3秒");
    EXPECT_EQ(log.entries[0].rowCount, 0u);
}

TEST(ExamLogRead, MissingFileIsTold) {
    TempFolder dir;
    RecordingNotifier notifier;
    EXPECT_FALSE(readExamLog(dir.file("none.txt"), notifier).has_value());
    ASSERT_EQ(notifier.messages.size(), 1u);
    EXPECT_EQ(notifier.messages[0].text, "ファイルが見つかりません。");
}

TEST(ExamLogRead, TheLogOutlivesMovesOfItsText) {
    ExamLog moved;
    {
        ExamLog log = parseExamLog("Rekal for Windows\n[ファイル名] short\na,b\n");
        moved = std::move(log);
    }
    ASSERT_EQ(moved.entries.size(), 1u);
    EXPECT_EQ(*moved.entries[0].file, "short");
    EXPECT_EQ(fieldsOf(moved, moved.rowsOf(moved.entries[0])[0]), (std::vector<std::string>{"a", "b"}));
}

} // namespace
} // namespace rekal
