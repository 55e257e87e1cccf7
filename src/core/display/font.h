#pragma once
// Font arithmetic of the display: the character height for a point size and the font of a text
// class when a font card of the question file overrides parts of the settings' font.

#include "core/settings/settings.h"

#include <optional>
#include <string>
#include <string_view>

namespace rekal {

// a * b / c rounded to the nearest integer (halves away from zero); -1 when c is 0 or the result
// does not fit in an int.
int mulDivRounded(int a, int b, int c);

// The largest font size a question file or the settings may ask for, in points.
inline constexpr int kMaxFontPoints = 1000;

// A font size held within 1 .. kMaxFontPoints in magnitude, its sign kept; 0 (not given) stays 0.
constexpr int clampFontPoints(int points) {
    if (points == 0) return 0;
    if (points > 0) return points < kMaxFontPoints ? points : kMaxFontPoints;
    return points > -kMaxFontPoints ? points : -kMaxFontPoints;
}

// The (negative) character height of a font of `points` points on a screen of `dpi` pixels per inch.
inline int fontHeightForPoints(int points, int dpi) {
    return -mulDivRounded(clampFontPoints(points), dpi, 72);
}

// A character height in pixels on a screen of `dpi` back in points, rounded to the nearest point.
inline int pointsForFontHeight(int height, int dpi) {
    return mulDivRounded(height < 0 ? -height : height, 72, dpi > 0 ? dpi : 96);
}

// What the font chooser returned: the face (none when code page 932 cannot name it), the character
// height in pixels on a screen of `dpi`, the character set and the colour. The font takes them, its
// size back in points; weight, italics and the other effects are not kept. False (the font
// unchanged) for a face the settings cannot store: none, empty or longer than 31 bytes.
bool takeChosenFont(FontSpec& font, const std::optional<std::string>& face, int height, int charSet,
                    Color color, int dpi);

// The settings' font of a class with a font card's overrides: a non-zero size (held within
// kMaxFontPoints), a character set other than -1 and a non-empty face name replace the settings'
// values; colours stay.
FontSpec fontSpecWithOverrides(const FontSpec& settingsFont, int size, int charSet, std::string_view face);

} // namespace rekal
