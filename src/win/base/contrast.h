#pragma once
// High contrast: while Windows shows a high-contrast theme, the windows that paint in the book's
// and the settings' colours (exam view, choice buttons, answer dialog, list window) paint in the
// system's colours instead. The stored colours stay as they are; only what is drawn changes, and it
// is asked again at every paint, so a theme change shows as soon as the windows repaint (see
// repaintOnThemeChange).

#include <windows.h>

#include <optional>

namespace rekal::win {

// Whether a high-contrast theme is on.
bool highContrastOn();

// Puts the answer of highContrastOn() in place of the system's (none: the system's again). For
// tests on systems whose theme cannot be switched.
void overrideHighContrast(std::optional<bool> on);

// The colour to draw: `own`, or in high contrast the system colour `systemIndex` (COLOR_WINDOW...).
COLORREF shownColour(COLORREF own, int systemIndex);

// The brush to fill with: `own`, or in high contrast the system's brush of `systemIndex`.
HBRUSH shownBrush(HBRUSH own, int systemIndex);

// The answer to WM_CTLCOLORSTATIC and its kind for a text drawn in `text` on `background` filled
// with `brush`: the DC gets the colours (the system's window text on the window colour in high
// contrast), a transparent background, and the brush is returned.
INT_PTR textColours(HDC dc, COLORREF text, COLORREF background, HBRUSH brush);

// For a top-level window's procedure: on WM_SETTINGCHANGE and WM_SYSCOLORCHANGE the window and all
// its children are repainted (the common controls are told of the new colours). True when the
// message was one of them.
bool repaintOnThemeChange(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace rekal::win
