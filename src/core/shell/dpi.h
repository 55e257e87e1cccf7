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

// The program's own pictures (toolbar images, the idle-panel picture, the first/last glyphs, the
// link cursor) are drawn at 100, 150 and 200 percent. A screen takes the drawing nearest its scale,
// the larger one when it lies halfway: 96 dpi gets 100, 120 and 144 get 150, 192 and more get 200.
inline constexpr int kArtworkPercents[] = {100, 150, 200};
int artworkPercentForDpi(int dpi);

// The size of a picture drawn `px100` pixels wide at 100 percent, in its drawing for `dpi`.
int artworkSizeForDpi(int px100, int dpi);

} // namespace rekal
