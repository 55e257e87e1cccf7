// The real clock: the run's tick is monotonic. The wall clock is stepped by interposing the C
// library's wall-clock calls in this test program.
#include "core/exam/clock.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/time.h>
#include <time.h>

namespace {

long long wallClockStepSeconds = 0;

using ClockGettime = int (*)(clockid_t, timespec*);

int realClockGettime(clockid_t id, timespec* ts) {
    static const auto real = reinterpret_cast<ClockGettime>(dlsym(RTLD_NEXT, "clock_gettime"));
    return real(id, ts);
}

} // namespace

// The wall clock as the program sees it: the real one moved by the test's step.
extern "C" int clock_gettime(clockid_t id, timespec* ts) {
    const int result = realClockGettime(id, ts);
    if (result == 0 && id == CLOCK_REALTIME) ts->tv_sec += wallClockStepSeconds;
    return result;
}

extern "C" int gettimeofday(timeval* tv, void*) {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    tv->tv_sec = ts.tv_sec;
    tv->tv_usec = ts.tv_nsec / 1000;
    return 0;
}

namespace rekal {
namespace {

std::int64_t msOf(const LocalTime& t) {
    return calendarToMilliseconds(t).value_or(0);
}

TEST(SystemClock, AWallClockStepMovesTheLocalTimeButNotTheRunTick) {
    SystemClock clock;
    for (long long step : {5 * 3600LL, -3 * 3600LL}) {
        const LocalTime wallBefore = clock.localTime();
        const std::uint32_t tickBefore = clock.tickCount();
        wallClockStepSeconds = step;
        const std::uint32_t tickAfter = clock.tickCount();
        const LocalTime wallAfter = clock.localTime();
        wallClockStepSeconds = 0;
        // The tick goes on by the real time passed (well under a second), forwards only.
        EXPECT_LT(static_cast<std::uint32_t>(tickAfter - tickBefore), 1000u) << step;
        // The local time for the log follows the wall clock.
        EXPECT_NEAR(static_cast<double>(msOf(wallAfter) - msOf(wallBefore)), step * 1000.0, 2000.0) << step;
    }
}

} // namespace
} // namespace rekal
