#pragma once
// Font arithmetic of the display: the character height for a point size and the font of a text
// class when a font card of the question file overrides parts of the settings' font.

#include "core/settings/settings.h"

#include <string_view>

namespace rekal {

// a * b / c rounded to the nearest integer (halves away from zero); -1 when c is 0 or the result
// does not fit in an int.
int mulDivRounded(int a, int b, int c);

// The (negative) character height of a font of `points` points on a screen of `dpi` pixels per inch.
inline int fontHeightForPoints(int points, int dpi) {
    return -mulDivRounded(points, dpi, 72);
}

// The settings' font of a class with a font card's overrides: a non-zero size, a character set
// other than -1 and a non-empty face name replace the settings' values; colours stay.
FontSpec fontSpecWithOverrides(const FontSpec& settingsFont, int size, int charSet, std::string_view face);

} // namespace rekal
