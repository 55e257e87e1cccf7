#include "core/shell/dpi.h"

#include <climits>
#include <cstdint>

namespace rekal {

namespace {

// a * b / c with halves rounded away from zero; the value clamped to the int range.
int mulDivNearest(int a, int b, int c) {
    const std::int64_t product = std::int64_t{a} * b;
    const std::int64_t magnitude = ((product < 0 ? -product : product) + c / 2) / c;
    const std::int64_t result = product < 0 ? -magnitude : magnitude;
    if (result > INT_MAX) return INT_MAX;
    if (result < INT_MIN) return INT_MIN;
    return static_cast<int>(result);
}

} // namespace

int scaleForDpi(int px96, int dpi) {
    return dpi <= 0 ? px96 : mulDivNearest(px96, dpi, kBaseDpi);
}

int unscaleForDpi(int px, int dpi) {
    return dpi <= 0 ? px : mulDivNearest(px, kBaseDpi, dpi);
}

int artworkPercentForDpi(int dpi) {
    const int percent = dpi <= 0 ? 100 : scaleForDpi(100, dpi);
    int best = kArtworkPercents[0];
    for (int candidate : kArtworkPercents) {
        const int distance = candidate > percent ? candidate - percent : percent - candidate;
        const int bestDistance = best > percent ? best - percent : percent - best;
        if (distance <= bestDistance) best = candidate;
    }
    return best;
}

int artworkSizeForDpi(int px100, int dpi) {
    return px100 * artworkPercentForDpi(dpi) / 100;
}

} // namespace rekal
