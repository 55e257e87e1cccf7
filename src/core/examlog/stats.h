#pragma once
// Study figures worked out from the exam log: the runs and answers of every day, a period's summary
// (days studied, the current run of consecutive days, the rate), and how the questions of one book
// stand now. The study graph window and rekal-cli stats both count through these, so both agree
// with each other and with what the log viewer shows.
//
// Counting rules, as the log viewer shows records:
// - a record's day is the date of its 時刻 line; a run that went past midnight counts on the day it
//   started (the time stamp is the start). A record without a 時刻 line, or with a date the calendar
//   does not know, keeps the date numbers as read (0-00-00 without the line) and sorts by them, as
//   the viewer's date tree files it; such a day never falls inside a period;
// - every record is one run, whether it ended normally, was aborted or has no question rows;
// - the rows after the column header line are the asked questions; one is answered when its third
//   field (正誤) is "○" or "×", and right when it is "○"; "－" (skipped) and anything else is neither.

#include "core/data/book.h"
#include "core/examlog/examlog.h"

#include <array>
#include <compare>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// A calendar date as a log's time stamp gives it.
struct LogDate {
    int year = 0, month = 0, day = 0;
    auto operator<=>(const LogDate&) const = default;
};

LogDate logDateOf(const ExamLogTime& time);

// The day count since 1601-01-01 of a calendar date; none for a date the calendar does not know.
std::optional<long long> dayNumberOf(const LogDate& date);
// The date `days` days after (or before, when negative) a known date; none outside the calendar.
std::optional<LogDate> dateAfter(const LogDate& date, long long days);

// "YYYY-MM-DD".
std::string isoDateText(const LogDate& date);

struct DayTally {
    LogDate date;
    long long runs = 0;
    long long answered = 0; // rows marked "○" or "×"
    long long right = 0;    // rows marked "○"
    bool operator==(const DayTally&) const = default;
};

// Which records count.
enum class LogFileMatch {
    Any,      // every record
    Contains, // records whose ファイル名 contains the text
    Same,     // records of exactly that file (the open book as the log names it)
};
struct LogFileFilter {
    LogFileMatch match = LogFileMatch::Any;
    std::string_view file;
};

// Whether a record's ファイル名 passes the filter. File names are compared as the viewer groups them:
// ASCII letters in either case alike, double-byte characters whole (a text never matches from the
// second byte of one). A record without a ファイル名 line passes only LogFileMatch::Any.
bool passesFileFilter(const ExamLogEntry& entry, const LogFileFilter& filter);

// One tally per day that has runs of the records that pass the filter, oldest first. The log may be
// in any order (as written, or sorted by the viewer).
std::vector<DayTally> tallyExamLogByDays(const ExamLog& log, const LogFileFilter& filter = {});

// The `count` days of the period ending `today` (today included), oldest first, each with the tally
// of its day or zeros. Empty when today is not a calendar date or count is below 1.
std::vector<DayTally> periodDays(std::span<const DayTally> days, const LogDate& today, int count);

// The periods the graph offers.
inline constexpr int kStudyPeriodDays[] = {30, 90, 365};

struct StudySummary {
    int daysStudied = 0;    // days with runs in the period
    int streak = 0;         // the current run of consecutive days with runs (see studySummary)
    long long runs = 0;     // in the period
    long long answered = 0; // in the period
    long long right = 0;    // in the period
    std::string rate;       // rateText of the period's answers: "－" or "66.66%"
};

// The summary of the `count` days ending `today`, from the tallies of tallyExamLogByDays. The streak
// is not cut by the period: it counts the consecutive days with runs that end today, or end yesterday
// when today has no run yet (a streak only breaks once a whole day has gone by without a run).
StudySummary studySummary(std::span<const DayTally> days, const LogDate& today, int count);

// ---- how the questions of a book stand ----

// A question's standing: the number of right answers its history ends with (1 to 5), or none of
// them, or never asked.
enum StandingKind : int {
    StandingRight1 = 0, // the last answer right, the one before it wrong
    StandingRight2,
    StandingRight3,
    StandingRight4,
    StandingRight5, // all five results right
    StandingWrong,  // the last answer wrong
    StandingNeverAsked,
    kStandingKinds
};

// The number of right results a history ends with, newest first (0 to 5).
int rightRunOfHistory(int history);

struct GroupStanding {
    int group = 0; // 0 to 9
    std::array<int, kStandingKinds> counts{};
    int total() const;
};

// One entry per group that has questions, by group number. A question's history alone cannot tell
// five wrong answers from none (both read 0), so a question with history 0 counts as never asked
// when no record of `bookFile` (the book's path as the log names it, compared as LogFileMatch::Same)
// has an answered row for its number; otherwise its history decides.
std::vector<GroupStanding> questionStanding(const QuestionBook& book, const ExamLog& log,
                                            std::string_view bookFile);

} // namespace rekal
