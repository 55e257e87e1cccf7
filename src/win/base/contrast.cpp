#include "win/base/contrast.h"

namespace rekal::win {

namespace {

std::optional<bool> overridden;

BOOL CALLBACK forwardColourChange(HWND child, LPARAM) {
    SendMessageW(child, WM_SYSCOLORCHANGE, 0, 0);
    return TRUE;
}

} // namespace

bool highContrastOn() {
    if (overridden) return *overridden;
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void overrideHighContrast(std::optional<bool> on) {
    overridden = on;
}

COLORREF shownColour(COLORREF own, int systemIndex) {
    return highContrastOn() ? GetSysColor(systemIndex) : own;
}

HBRUSH shownBrush(HBRUSH own, int systemIndex) {
    return highContrastOn() ? GetSysColorBrush(systemIndex) : own;
}

INT_PTR textColours(HDC dc, COLORREF text, COLORREF background, HBRUSH brush) {
    const bool contrast = highContrastOn();
    SetTextColor(dc, contrast ? GetSysColor(COLOR_WINDOWTEXT) : text);
    SetBkColor(dc, contrast ? GetSysColor(COLOR_WINDOW) : background);
    SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<INT_PTR>(contrast ? GetSysColorBrush(COLOR_WINDOW) : brush);
}

bool repaintOnThemeChange(HWND window, UINT message, WPARAM, LPARAM) {
    if (message != WM_SETTINGCHANGE && message != WM_SYSCOLORCHANGE) return false;
    if (message == WM_SYSCOLORCHANGE) EnumChildWindows(window, forwardColourChange, 0);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    return true;
}

} // namespace rekal::win
