#include "core/display/font.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace rekal {

int mulDivRounded(int a, int b, int c) {
    if (c == 0) return -1;
    std::int64_t product = std::int64_t{a} * b;
    bool negative = (product < 0) != (c < 0);
    std::int64_t magnitude = (std::llabs(product) + std::llabs(c) / 2) / std::llabs(c);
    std::int64_t result = negative ? -magnitude : magnitude;
    if (result > INT_MAX || result < INT_MIN) return -1;
    return static_cast<int>(result);
}

FontSpec fontSpecWithOverrides(const FontSpec& settingsFont, int size, int charSet, std::string_view face) {
    FontSpec font = settingsFont;
    if (size != 0) font.size = clampFontPoints(size);
    if (charSet != -1) font.charSet = charSet;
    if (!face.empty()) font.face = std::string(face.substr(0, kMaxFaceName));
    return font;
}

bool takeChosenFont(FontSpec& font, const std::optional<std::string>& face, int height, int charSet,
                    Color color, int dpi) {
    if (!face || face->empty() || face->size() > kMaxFaceName) return false;
    font.face = *face;
    font.size = pointsForFontHeight(height, dpi);
    font.charSet = charSet;
    font.color = color;
    return true;
}

} // namespace rekal
