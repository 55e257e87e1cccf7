#include "core/exam/clock.h"

#include "core/base/tick.h"

#include <ctime>

#include <sys/time.h>

namespace rekal {

namespace {

constexpr std::int64_t kMsPerDay = 86'400'000;
constexpr int kFirstYear = 1601;
constexpr int kLastYear = 30827;

bool isLeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : kDays[m - 1];
}

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
constexpr std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

constexpr std::int64_t kEpochDays = daysFromCivil(kFirstYear, 1, 1); // 1601-01-01 from 1970-01-01

} // namespace

bool isValidCalendarTime(const LocalTime& t) {
    return t.year >= kFirstYear && t.year <= kLastYear && t.month >= 1 && t.month <= 12 && t.day >= 1 &&
           t.day <= daysInMonth(t.year, t.month) && t.hour >= 0 && t.hour < 24 && t.minute >= 0 &&
           t.minute < 60 && t.second >= 0 && t.second < 60 && t.millisecond >= 0 && t.millisecond < 1000;
}

std::optional<std::int64_t> calendarToMilliseconds(const LocalTime& t) {
    if (!isValidCalendarTime(t)) return std::nullopt;
    const std::int64_t days =
        daysFromCivil(t.year, static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
    return (days - kEpochDays) * kMsPerDay + ((t.hour * 60LL + t.minute) * 60 + t.second) * 1000 +
           t.millisecond;
}

std::optional<LocalTime> millisecondsToCalendar(std::int64_t ms) {
    if (ms < 0) return std::nullopt;
    const std::int64_t days = ms / kMsPerDay;
    std::int64_t rest = ms % kMsPerDay;
    LocalTime t;
    civilFromDays(days + kEpochDays, t.year, t.month, t.day);
    if (t.year > kLastYear) return std::nullopt;
    // 1601-01-01 was a Monday.
    t.weekday = static_cast<int>((days + 1) % 7);
    t.millisecond = static_cast<int>(rest % 1000);
    rest /= 1000;
    t.second = static_cast<int>(rest % 60);
    rest /= 60;
    t.minute = static_cast<int>(rest % 60);
    t.hour = static_cast<int>(rest / 60);
    return t;
}

LocalTime timeBefore(const LocalTime& now, std::uint32_t elapsedMs) {
    std::optional<std::int64_t> ms = calendarToMilliseconds(now);
    if (!ms) return now;
    std::optional<LocalTime> start = millisecondsToCalendar(*ms - elapsedMs);
    return start ? *start : now;
}

// The run's timings follow the monotonic tick, so a step of the wall clock during a run neither
// fires a time limit nor changes the times in the log.
std::uint32_t SystemClock::tickCount() {
    return monotonicTickCount();
}

// The C library's wall clock (<chrono> cannot be compiled with the code page 932 execution character
// set, and timespec_get is missing from the Windows runtime).

LocalTime SystemClock::localTime() {
    timeval tv{};
    gettimeofday(&tv, nullptr);
    const std::time_t seconds = tv.tv_sec;
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &seconds);
#else
    localtime_r(&seconds, &tm);
#endif
    LocalTime t;
    t.year = tm.tm_year + 1900;
    t.month = tm.tm_mon + 1;
    t.day = tm.tm_mday;
    t.weekday = tm.tm_wday;
    t.hour = tm.tm_hour;
    t.minute = tm.tm_min;
    t.second = tm.tm_sec < 60 ? tm.tm_sec : 59;
    t.millisecond = static_cast<int>(tv.tv_usec / 1000);
    return t;
}

} // namespace rekal
