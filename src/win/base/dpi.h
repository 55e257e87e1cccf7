#pragma once
// Where the Windows layer begins, the one rule for sizes on screens of any density:
//
// - Every pixel number the program is built with (window and dialog sizes, margins, band heights,
//   splitter clamps, stripe widths, button sizes, the scroll step, the line interval, picture
//   sizes) is a 96-dpi value. A window scales it by its own dpi / 96 with scaled() (rounding as
//   MulDiv does) and hands the result to the core's layout arithmetic, which works in plain screen
//   pixels and is tested natively.
// - Sizes the user sets inside windows and the settings file stores (InfoPainWidth, ListAnswerTop,
//   LineInterval, the answer window's base size...) keep their 96-dpi meaning, so a settings file
//   reads the same on any screen: scaled when used, unscaled (unscaleForDpi) when a drag sets them.
// - The placements of top-level windows stay screen pixels as the settings file holds them; only
//   their built-in default sizes are scaled, when the defaults are made.
// - Fonts are made from point sizes at the window's dpi; system metrics are asked for that dpi.
// - The program's pictures are drawn at 1 x, 1.5 x and 2 x; a window takes the drawing for its dpi.
// - The program is aware of each monitor's dpi: a window that moves to another monitor takes the
//   suggested rectangle, makes its fonts and pictures again and lays itself out again.
// At 96 dpi every scaled number is the number itself.

#include "core/shell/dpi.h"

#include <windows.h>

namespace rekal::win {

// The dots per inch of the monitor the window is on (per-monitor aware), or of the screen when the
// system cannot tell per window; the screen's for a null window on such a system.
int windowDpi(HWND hwnd);

// A 96-dpi pixel number scaled to the window's dpi.
inline int scaled(HWND hwnd, int px96) {
    return scaleForDpi(px96, windowDpi(hwnd));
}

// The dpi of what a device context paints: its window's, or the screen's for a DC without one.
int dcDpi(HDC dc);

// A system metric (scroll-bar width, border, icon size) for the window's dpi.
int systemMetric(HWND hwnd, int index);

// The resource of a picture drawn at 1 x for a window of `dpi`: the id itself, or for the 1.5 x
// and 2 x drawings the id times 10 plus 1 or 2.
inline int artworkResource(int id100, int dpi) {
    switch (artworkPercentForDpi(dpi)) {
    case 150:
        return id100 * 10 + 1;
    case 200:
        return id100 * 10 + 2;
    default:
        return id100;
    }
}

} // namespace rekal::win
