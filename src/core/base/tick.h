#pragma once
// The platform's millisecond tick: a monotonic counter that a change of the wall clock (by the user,
// by time synchronisation, by a change to summer time) does not move. It wraps after 49.7 days;
// differences of two ticks stay right across the wrap. Implemented with CLOCK_MONOTONIC on POSIX
// and with GetTickCount on Windows (tick_win.cpp).

#include <cstdint>

namespace rekal {

std::uint32_t monotonicTickCount();

} // namespace rekal
