#pragma once
// Time as the exam sees it: a millisecond tick for the run's timings and the local calendar time for
// the exam log. Both come through an ExamClock so that runs are replayed exactly in tests.

#include <cstdint>
#include <optional>

namespace rekal {

struct LocalTime {
    int year = 0;
    int month = 0;   // 1 to 12
    int day = 0;     // 1 to 31
    int weekday = 0; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// Calendar arithmetic on a 64-bit millisecond scale (proleptic Gregorian calendar, years 1601 to
// 30827 as the platform's calendar conversion accepts them).
bool isValidCalendarTime(const LocalTime& t);
// Milliseconds since 1601-01-01 00:00; none for a time outside the accepted calendar.
std::optional<std::int64_t> calendarToMilliseconds(const LocalTime& t);
// The calendar time, weekday included, of a millisecond count (none below 0 or past year 30827).
std::optional<LocalTime> millisecondsToCalendar(std::int64_t ms);
// The local time a run started: now less its elapsed milliseconds. A now outside the calendar is
// given back as it is.
LocalTime timeBefore(const LocalTime& now, std::uint32_t elapsedMs);

class ExamClock {
  public:
    virtual ~ExamClock() = default;
    // The platform's millisecond tick count (wraps after 49.7 days; differences stay right).
    virtual std::uint32_t tickCount() = 0;
    virtual LocalTime localTime() = 0;
};

// The real clock: a monotonic millisecond counter and the local time.
class SystemClock : public ExamClock {
  public:
    std::uint32_t tickCount() override;
    LocalTime localTime() override;
};

} // namespace rekal
