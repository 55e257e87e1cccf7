#include "core/examlog/stats.h"

#include "core/base/sjis.h"
#include "core/exam/clock.h"
#include "core/exam/method.h"
#include "core/match/format.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <map>
#include <unordered_set>

namespace rekal {

namespace {

constexpr long long kMsPerDay = 24LL * 60 * 60 * 1000;
constexpr std::size_t kVerdictField = 2;  // 正誤, the third column
constexpr std::size_t kQuestionField = 1; // 問題番号, the second column

enum class RowVerdict { None, Right, Wrong };

RowVerdict verdictOf(const ExamLog& log, const ExamLogRow& row) {
    const std::span<const std::string_view> fields = log.fieldsOf(row);
    if (fields.size() <= kVerdictField) return RowVerdict::None;
    if (fields[kVerdictField] == resultMark(1)) return RowVerdict::Right;
    if (fields[kVerdictField] == resultMark(2)) return RowVerdict::Wrong;
    return RowVerdict::None;
}

// The question rows of an entry: every row after the column header line.
std::span<const ExamLogRow> questionRows(const ExamLog& log, const ExamLogEntry& entry) {
    const std::span<const ExamLogRow> rows = log.rowsOf(entry);
    return rows.empty() ? rows : rows.subspan(1);
}

char foldLetter(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `name` holds `part` at byte i (a character boundary): single-byte characters with ASCII
// letters folded, double-byte characters byte for byte and whole.
bool matchesAt(std::string_view name, std::size_t i, std::string_view part) {
    if (name.size() - i < part.size()) return false;
    for (std::size_t k = 0; k < part.size();) {
        const std::size_t p = i + k;
        if (isDoubleByteAt(name, p)) {
            if (k + 1 >= part.size()) return false; // the part ends inside a character of the name
            if (name[p] != part[k] || name[p + 1] != part[k + 1]) return false;
            k += 2;
        } else {
            if (foldLetter(name[p]) != foldLetter(part[k])) return false;
            ++k;
        }
    }
    return true;
}

bool containsFolded(std::string_view name, std::string_view part) {
    if (part.empty()) return true;
    for (std::size_t i = 0; i < name.size(); i += isDoubleByteAt(name, i) ? 2 : 1) {
        if (matchesAt(name, i, part)) return true;
    }
    return false;
}

bool equalFolded(std::string_view a, std::string_view b) {
    return a.size() == b.size() && matchesAt(a, 0, b);
}

// A question number as the log writes it: decimal digits only.
std::optional<int> questionIndexOf(std::string_view field) {
    if (field.empty() || field.size() > 9) return std::nullopt;
    int n = 0;
    for (char c : field) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n >= 1 ? std::optional<int>(n - 1) : std::nullopt;
}

} // namespace

LogDate logDateOf(const ExamLogTime& time) {
    return {time.year, time.month, time.day};
}

std::optional<long long> dayNumberOf(const LogDate& date) {
    LocalTime t;
    t.year = date.year;
    t.month = date.month;
    t.day = date.day;
    const std::optional<std::int64_t> ms = calendarToMilliseconds(t);
    if (!ms) return std::nullopt;
    return *ms / kMsPerDay;
}

std::optional<LogDate> dateAfter(const LogDate& date, long long days) {
    const std::optional<long long> from = dayNumberOf(date);
    if (!from) return std::nullopt;
    const long long to = *from + days;
    if (to < 0 || to > std::numeric_limits<std::int64_t>::max() / kMsPerDay) return std::nullopt;
    const std::optional<LocalTime> t = millisecondsToCalendar(to * kMsPerDay);
    if (!t) return std::nullopt;
    return LogDate{t->year, t->month, t->day};
}

std::string isoDateText(const LogDate& date) {
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", date.year, date.month, date.day);
    return buffer;
}

bool passesFileFilter(const ExamLogEntry& entry, const LogFileFilter& filter) {
    if (filter.match == LogFileMatch::Any) return true;
    if (!entry.file) return false;
    return filter.match == LogFileMatch::Same ? equalFolded(*entry.file, filter.file)
                                              : containsFolded(*entry.file, filter.file);
}

std::vector<DayTally> tallyExamLogByDays(const ExamLog& log, const LogFileFilter& filter) {
    std::map<LogDate, DayTally> byDay;
    for (const ExamLogEntry& entry : log.entries) {
        if (!passesFileFilter(entry, filter)) continue;
        const LogDate date = logDateOf(entry.time);
        DayTally& day = byDay[date];
        day.date = date;
        ++day.runs;
        for (const ExamLogRow& row : questionRows(log, entry)) {
            const RowVerdict v = verdictOf(log, row);
            if (v == RowVerdict::None) continue;
            ++day.answered;
            if (v == RowVerdict::Right) ++day.right;
        }
    }
    std::vector<DayTally> days;
    days.reserve(byDay.size());
    for (const auto& [date, tally] : byDay)
        days.push_back(tally);
    return days;
}

std::vector<DayTally> periodDays(std::span<const DayTally> days, const LogDate& today, int count) {
    std::vector<DayTally> period;
    const std::optional<long long> last = dayNumberOf(today);
    if (!last || count < 1) return period;
    const std::optional<LogDate> first = dateAfter(today, -(count - 1));
    if (!first) return period;
    period.reserve(static_cast<std::size_t>(count));
    // The tallies are oldest first: walk them alongside the period's days.
    auto it = std::lower_bound(days.begin(), days.end(), *first,
                               [](const DayTally& d, const LogDate& date) { return d.date < date; });
    for (int i = 0; i < count; ++i) {
        const std::optional<LogDate> date = dateAfter(*first, i);
        if (!date) break;
        while (it != days.end() && it->date < *date)
            ++it;
        if (it != days.end() && it->date == *date)
            period.push_back(*it);
        else
            period.push_back(DayTally{*date});
    }
    return period;
}

StudySummary studySummary(std::span<const DayTally> days, const LogDate& today, int count) {
    StudySummary s;
    for (const DayTally& day : periodDays(days, today, count)) {
        if (day.runs == 0) continue;
        ++s.daysStudied;
        s.runs += day.runs;
        s.answered += day.answered;
        s.right += day.right;
    }
    s.rate = rateText(s.right, s.answered - s.right);

    // The streak, walking back from today over the days with runs (oldest first, so from the end).
    const std::optional<long long> todayNumber = dayNumberOf(today);
    if (todayNumber) {
        long long expected = *todayNumber;
        bool first = true;
        for (auto it = days.rbegin(); it != days.rend(); ++it) {
            const std::optional<long long> n = dayNumberOf(it->date);
            if (!n || it->runs == 0 || *n > expected) continue; // undated, or after today
            if (first && *n == expected - 1) expected = *n;     // today not studied yet
            first = false;
            if (*n != expected) break;
            ++s.streak;
            --expected;
        }
    }
    return s;
}

int rightRunOfHistory(int history) {
    int run = 0;
    for (int bit = 16; bit != 0 && (history & bit) != 0; bit >>= 1)
        ++run;
    return run;
}

int GroupStanding::total() const {
    int sum = 0;
    for (int c : counts)
        sum += c;
    return sum;
}

std::vector<GroupStanding> questionStanding(const QuestionBook& book, const ExamLog& log,
                                            std::string_view bookFile) {
    std::unordered_set<int> answered;
    const LogFileFilter filter{LogFileMatch::Same, bookFile};
    for (const ExamLogEntry& entry : log.entries) {
        if (!passesFileFilter(entry, filter)) continue;
        for (const ExamLogRow& row : questionRows(log, entry)) {
            if (verdictOf(log, row) == RowVerdict::None) continue;
            const std::span<const std::string_view> fields = log.fieldsOf(row);
            if (const std::optional<int> q = questionIndexOf(fields[kQuestionField])) answered.insert(*q);
        }
    }

    std::array<GroupStanding, 10> groups{};
    std::array<bool, 10> used{};
    for (const Card* card = book.firstCard(); card; card = card->next) {
        const QuestionCard* q = asQuestion(card);
        if (!q || q->group > 9) continue;
        int kind = StandingWrong;
        if (const int run = rightRunOfHistory(q->history); run > 0)
            kind = StandingRight1 + run - 1;
        else if (q->history == 0 && !answered.contains(q->kindIndex))
            kind = StandingNeverAsked;
        groups[q->group].group = q->group;
        ++groups[q->group].counts[static_cast<std::size_t>(kind)];
        used[q->group] = true;
    }
    std::vector<GroupStanding> standing;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (used[g]) standing.push_back(groups[g]);
    }
    return standing;
}

} // namespace rekal
