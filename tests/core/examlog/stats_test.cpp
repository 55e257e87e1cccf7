// The study figures of the exam log: days as the time stamps give them, what counts as a run and an
// answer, the file filter, the period and its streak, and how a book's questions stand.

#include "core/exam/exam_fixture.h"

#include "core/examlog/stats.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace rekal {
namespace {

// One record: its time line (none when empty), its file line (none when empty) and its rows after
// the column header line (no header either when `header` is false).
struct Rec {
    std::string time;
    std::string file;
    std::vector<std::string> rows = {};
    bool header = true;
};

std::string logText(const std::vector<Rec>& records) {
    std::string text = "stray text\r\n\r\n";
    for (const Rec& r : records) {
        text += "Rekal for Windows Ver.1.63 出題履歴\r\n";
        if (!r.time.empty()) text += "[   時刻   ] " + r.time + "\r\n";
        if (!r.file.empty()) text += "[ファイル名] " + r.file + "\r\n";
        if (r.header) text += "順番,問題番号,正誤,所要時間,問題,答え,グループ,コメント\r\n";
        for (const std::string& row : r.rows)
            text += row + "\r\n";
        text += "\r\n\r\n";
    }
    return text;
}

std::string row(int question, const char* mark) {
    return "1," + std::to_string(question) + "," + mark + ",1秒,Q,A,全般,";
}

TEST(StudyTally, DaysRunsAndAnswersAsTheViewerShowsTheRecords) {
    const ExamLog log = parseExamLog(logText({
        // Written out of order, as a hand-merged log or the viewer's sorted copy may be.
        {"2024年5月18日(土) 9時0分", "C:\\drill\\a.rkf", {row(1, "○"), row(2, "×"), row(3, "－")}},
        // Started before midnight, ended after: its day is the start's.
        {"2024年5月17日(金) 23時50分", "C:\\drill\\a.rkf", {row(1, "○"), row(2, "○")}},
        // Aborted at once: a run without answers.
        {"2024年5月18日(土) 21時5分", "C:\\drill\\b.rkf", {row(4, "－")}},
        // No rows at all, not even the column header line.
        {"2024年5月17日(金) 8時0分", "C:\\drill\\b.rkf", {}, false},
        // A verdict field that is neither mark, and a row too short to have one.
        {"2024年5月17日(金) 9時0分", "C:\\drill\\b.rkf", {"1,2,?,1秒", "1,2"}},
        // No time line: filed under 0-00-00, first.
        {"", "C:\\drill\\a.rkf", {row(1, "×")}},
    }));
    const std::vector<DayTally> days = tallyExamLogByDays(log);
    EXPECT_EQ(days, (std::vector<DayTally>{
                        {{0, 0, 0}, 1, 1, 0}, {{2024, 5, 17}, 3, 2, 2}, {{2024, 5, 18}, 2, 2, 1}}));
    EXPECT_EQ(isoDateText(days[0].date), "0000-00-00");
    EXPECT_EQ(isoDateText(days[2].date), "2024-05-18");
}

TEST(StudyTally, TheFileFilterMatchesWholeCharactersIgnoringLetterCase) {
    const ExamLog log = parseExamLog(logText({
        {"2024年5月17日(金) 9時0分", "C:\\Drill\\Words.rkf", {row(1, "○")}},
        {"2024年5月18日(土) 9時0分", "C:\\drill\\表.rkf", {row(1, "○")}}, // 表 ends in the byte of "\"
        {"2024年5月19日(日) 9時0分", "D:\\アイ.rkf", {row(1, "○")}},      // ア ends in the byte of "A"
        {"2024年5月20日(月) 9時0分", "", {row(1, "○")}},
    }));
    const auto datesOf = [&log](LogFileMatch match, std::string_view file) {
        std::vector<int> dayNumbers;
        for (const DayTally& d : tallyExamLogByDays(log, {match, file}))
            dayNumbers.push_back(d.date.day);
        return dayNumbers;
    };
    EXPECT_EQ(datesOf(LogFileMatch::Any, ""), (std::vector<int>{17, 18, 19, 20}));
    EXPECT_EQ(datesOf(LogFileMatch::Contains, ""), (std::vector<int>{17, 18, 19}));
    EXPECT_EQ(datesOf(LogFileMatch::Contains, "drill\\w"), (std::vector<int>{17}));
    EXPECT_EQ(datesOf(LogFileMatch::Contains, "表.RKF"), (std::vector<int>{18}));
    EXPECT_EQ(datesOf(LogFileMatch::Contains, "\\.rkf"), (std::vector<int>{}));
    EXPECT_EQ(datesOf(LogFileMatch::Contains, "a"), (std::vector<int>{}));
    EXPECT_EQ(datesOf(LogFileMatch::Contains, "\x83"), (std::vector<int>{})); // half a character
    EXPECT_EQ(datesOf(LogFileMatch::Same, "c:\\drill\\words.RKF"), (std::vector<int>{17}));
    EXPECT_EQ(datesOf(LogFileMatch::Same, "C:\\Drill\\Words"), (std::vector<int>{}));
}

TEST(StudySummary, ThePeriodCountsItsOwnDaysTheStreakRunsBackFromTodayOrYesterday) {
    const std::vector<DayTally> days = {
        {{0, 0, 0}, 4, 40, 40},                               // undated: in no period
        {{2023, 12, 31}, 1, 10, 5},                           // just before a 30-day period ending 2024-01-30
        {{2024, 1, 1}, 1, 3, 2},                              // the period's first day
        {{2024, 1, 28}, 2, 0, 0},                             // runs without answers still make a day
        {{2024, 1, 29}, 1, 3, 1},   {{2024, 1, 31}, 1, 1, 1}, // after "today": not counted
    };
    const std::vector<DayTally> period = periodDays(days, {2024, 1, 30}, 30);
    ASSERT_EQ(period.size(), 30u);
    EXPECT_EQ(period.front(), (DayTally{{2024, 1, 1}, 1, 3, 2}));
    EXPECT_EQ(period[1], (DayTally{{2024, 1, 2}}));
    EXPECT_EQ(period.back(), (DayTally{{2024, 1, 30}}));

    StudySummary s = studySummary(days, {2024, 1, 30}, 30);
    EXPECT_EQ(s.daysStudied, 3);
    EXPECT_EQ(s.runs, 4);
    EXPECT_EQ(s.answered, 6);
    EXPECT_EQ(s.right, 3);
    EXPECT_EQ(s.rate, "50.00%");
    EXPECT_EQ(s.streak, 2); // today not studied yet: 1/29 and 1/28

    EXPECT_EQ(studySummary(days, {2024, 1, 29}, 30).streak, 2);
    EXPECT_EQ(studySummary(days, {2024, 1, 31}, 30).streak, 1);
    EXPECT_EQ(studySummary(days, {2024, 2, 1}, 30).streak, 1);
    EXPECT_EQ(studySummary(days, {2024, 2, 2}, 30).streak, 0);
    // The streak reaches past the period; a year boundary does not break it.
    EXPECT_EQ(studySummary(days, {2024, 1, 1}, 1).streak, 2);

    const StudySummary empty = studySummary({}, {2024, 2, 29}, 365);
    EXPECT_EQ(empty.daysStudied, 0);
    EXPECT_EQ(empty.rate, "－");
    EXPECT_TRUE(periodDays(days, {2024, 2, 30}, 30).empty());
    EXPECT_EQ(periodDays({}, {2024, 3, 1}, 2).front().date, (LogDate{2024, 2, 29}));
}

TEST(QuestionStanding, HistoriesDecideAndTheLogTellsNeverAskedFromAllWrong) {
    // Histories (newest result in bit 4): 31 five right, 24 two right, 16 one right, 15 last wrong,
    // 0 twice (question 5 answered wrong in the log, question 6 never), 28 three right in group 2.
    const int histories[] = {31, 24, 16, 15, 0, 0, 28};
    QuestionBook book;
    test::loadText(
        book, test::numberedBook(
                  7, [](int i) { return i == 6 ? 2 : 0; }, [&histories](int i) { return histories[i]; }));
    const ExamLog log = parseExamLog(logText({
        {"2024年5月17日(金) 9時0分", "c:\\DRILL\\test.rkf", {row(5, "×"), row(6, "－")}},
        {"2024年5月17日(金) 10時0分", "C:\\other.rkf", {row(6, "×")}},
    }));
    const std::vector<GroupStanding> standing = questionStanding(book, log, "C:\\drill\\test.rkf");
    ASSERT_EQ(standing.size(), 2u);
    EXPECT_EQ(standing[0].group, 0);
    EXPECT_EQ(standing[0].counts, (std::array<int, kStandingKinds>{1, 1, 0, 0, 1, 2, 1}));
    EXPECT_EQ(standing[0].total(), 6);
    EXPECT_EQ(standing[1].group, 2);
    EXPECT_EQ(standing[1].counts[StandingRight3], 1);
}

} // namespace
} // namespace rekal
