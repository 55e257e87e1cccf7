#include "core/shell/shell.h"

#include "core/base/messages.h"
#include "core/shell/dpi.h"

namespace rekal {

std::string recentMenuText(int n, std::string_view path) {
    std::string text = "&";
    text += std::to_string(n);
    text += ' ';
    text += path;
    return text;
}

FontSpec choiceButtonFont(const FontSpec& answerFont) {
    FontSpec font = answerFont;
    font.size = answerFont.size * 3 / 4;
    return font;
}

WindowRect storedWindowPlace(int normalLeft, int normalTop, int normalRight, int normalBottom, int workLeft,
                             int workTop) {
    return {normalLeft + workLeft, normalTop + workTop, normalRight - normalLeft, normalBottom - normalTop};
}

std::optional<PixelRect> storedPlaceOnScreen(const WindowRect& stored, const PixelRect& work) {
    if (stored.left == kDefaultPosition || stored.top == kDefaultPosition || stored.width <= 0 ||
        stored.height <= 0)
        return std::nullopt;
    return keptInside({stored.left, stored.top, stored.width, stored.height}, work);
}

void scaleDefaultWindowSizes(Settings& defaults, int dpi) {
    for (WindowRect* r : {&defaults.mainRect, &defaults.listRect, &defaults.hintRect, &defaults.detailRect,
                          &defaults.graphRect}) {
        r->width = scaleForDpi(r->width, dpi);
        r->height = scaleForDpi(r->height, dpi);
    }
}

} // namespace rekal
