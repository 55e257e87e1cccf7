#pragma once
// The screen density of a window, and the program's 96-dpi pixel numbers scaled to it. Every
// window computes its sizes through scaled() before handing them to the core's layout arithmetic.

#include "core/shell/dpi.h"

#include <windows.h>

namespace rekal::win {

// The dots per inch of the monitor the window is on (per-monitor aware), or of the screen when the
// system cannot tell per window; 96 for a null window on such a system.
int windowDpi(HWND hwnd);

// A 96-dpi pixel number scaled to the window's dpi.
inline int scaled(HWND hwnd, int px96) {
    return scaleForDpi(px96, windowDpi(hwnd));
}

} // namespace rekal::win
