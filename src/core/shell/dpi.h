#pragma once
// Screen scaling of the program's pixel numbers. Every size, margin and band height the windows use
// is a 96-dpi value; a window on a screen of another density scales it by dpi / 96 with this one
// rule before any layout arithmetic. Sizes the user sets and the settings file stores keep their
// 96-dpi meaning, so a settings file reads the same on any screen.

namespace rekal {

inline constexpr int kBaseDpi = 96;

// A 96-dpi pixel number on a screen of `dpi` pixels per inch, rounded to the nearest pixel with
// halves away from zero, as MulDiv rounds. A dpi of 0 or less counts as 96.
int scaleForDpi(int px96, int dpi);

// The inverse: a pixel number on a screen of `dpi` back to its 96-dpi value (for sizes the user
// drags that the settings store).
int unscaleForDpi(int px, int dpi);

} // namespace rekal
