#pragma once
// The question list window "RekalWinList" ("リスト"): any question of the book chosen by its number,
// with its section title, question, displayed answer, comment, group and history, a Find over the
// book's texts and the card's other answers. Top-level, sizeable, owned by the main window; only
// one exists at a time. Its place, maximised state and splitter places are kept in the settings.

#include <windows.h>

namespace rekal::win {

inline constexpr const wchar_t* kListWindowClass = L"RekalWinList";

// Command 2313: restores the window that exists and gives it the focus, or creates it at its
// stored place showing question 1.
void openListWindow(HWND owner);
// Closes the window (and its Find dialog); nothing happens without one.
void closeListWindow();
// Shows question `number` (from 1) in the window that exists, also when it is the one on screen:
// a run may have changed its history since. Nothing happens without a window.
void showListQuestion(int number);
// Makes the fonts and colours again from the settings (after the customize sheet applied them)
// and lays the window out again; nothing happens without one.
void restyleListWindow();

LRESULT CALLBACK listWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace rekal::win
