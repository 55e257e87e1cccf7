#pragma once
// Layout of a sentence state on a device context, shared by the control, its measurement and the
// texts drawn without a window of their own; and what the control's host gives.

#include "core/display/layout.h"
#include "win/display/sentence.h"

#include <windows.h>

namespace rekal::win {

// What the host gives (its defaults without one).
std::filesystem::path sentenceMediaBase();
int sentenceLineInterval();
void tellSentenceError(std::string_view text);

// Lays the state's text out in rect with its font (measuring or drawing); an empty state has no size.
ContentSize layoutSentenceOnDc(HDC dc, SentenceState& state, const RECT& rect, bool measureOnly);

// Measures the content wrapped in the area's width on a DC of the window (the screen's for none).
ContentSize measureSentenceContent(HWND window, SentenceState& state, const RECT& area);

} // namespace rekal::win
