#pragma once
// Where the hint window goes beside the main window, how the main window makes room for it at the
// work area's right edge, and where the hint window's controls go in its client area.

#include "core/shell/dpi.h"
#include "core/shell/geometry.h"

namespace rekal {

struct HintPlacement {
    PixelRect main; // the main window, moved left (and at the left edge narrowed) to make room
    PixelRect hint;
};

// The hint window `size` (the stored width and height) 5 pixels right of the main window and
// top-aligned with it. A width beyond the work area's right edge coordinate is halved. When the
// hint window would pass the work area's right edge, the main window's right edge moves left by
// the excess and its left edge with it, stopping at the work area's left edge; the main window
// never gets a negative width.
HintPlacement placeHintWindow(const PixelRect& main, PixelSize size, const PixelRect& work,
                              int dpi = kBaseDpi);

// The controls of the hint window in a client area width x height.
struct HintControls {
    PixelRect caption;  // "ヒント"
    PixelRect sentence; // the hint text
    PixelRect counter;  // "%d / %d"
    PixelRect previous; // "<<"
    PixelRect close;    // "閉じる"
    PixelRect next;     // ">>"
};
HintControls layoutHintControls(int width, int height, int dpi = kBaseDpi);

// The smallest client size at which the controls do not overlap.
PixelSize minimumHintSize(int dpi = kBaseDpi);

} // namespace rekal
