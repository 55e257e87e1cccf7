#ifndef _WIN32
#include "core/base/tick.h"

#include <ctime>

namespace rekal {

std::uint32_t monotonicTickCount() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000 +
                                      static_cast<std::uint64_t>(ts.tv_nsec) / 1'000'000);
}

} // namespace rekal
#endif
