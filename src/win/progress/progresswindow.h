#pragma once
// The study graph "学習グラフ" (class "RekalWinGraph"): from the exam log, per day of the last 30 days,
// 90 days or year, a bar of the questions answered (right and wrong) and a line of the rate, a
// summary beside it and, for the open book, how its questions stand per group. Top-level, sizeable,
// owned by the main window; one at a time. Its place and its two choices are kept in the settings.
// It reads the log when it opens and again when told (kRefreshProgressMessage: a run was logged,
// another book was opened).

#include <windows.h>

namespace rekal::win {

inline constexpr const wchar_t* kProgressWindowClass = L"RekalWinGraph";

// Ctrl+G: brings the window that exists to the front, or creates it at its stored place.
void openProgressWindow(HWND owner);

LRESULT CALLBACK progressWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace rekal::win
