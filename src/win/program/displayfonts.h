#pragma once
// The display fonts and background brushes made from the settings: one font and one brush per
// text class, the information-pane font and the choice-button font. Made at start-up and again
// after the customize sheet changes fonts; handed to the exam view's controls.

#include "core/settings/settings.h"

#include <windows.h>

#include <array>

namespace rekal::win {

struct DisplayFonts {
    std::array<HFONT, kStoredFontCount> text{}; // Title, Question, Hint, Answer, Group, Comment
    std::array<HBRUSH, kStoredFontCount> backgrounds{};
    HFONT info = nullptr;
    HBRUSH infoBackground = nullptr;
    HFONT choice = nullptr;

    bool created() const { return text[0] != nullptr; }
};

// Deletes what `fonts` holds, then makes every font and brush from the settings.
void createDisplayFonts(HWND window, const Settings& settings, DisplayFonts& fonts);
void deleteDisplayFonts(DisplayFonts& fonts);

// Gives the exam view's controls their fonts: title, question, answer entry, group and history.
void applyDisplayFonts(HWND examView, const DisplayFonts& fonts);

// The text class whose colours a control of the exam view uses, or -1.
int textClassOfControl(int controlId);

} // namespace rekal::win
