#ifdef _WIN32
#include "core/base/tick.h"

#include <windows.h>

namespace rekal {

std::uint32_t monotonicTickCount() {
    return GetTickCount();
}

} // namespace rekal
#endif
