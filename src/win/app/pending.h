#pragma once
// Commands whose windows are still to be written. Each command of the table already reaches its
// place here; until its window exists the command does nothing.

#include <windows.h>

namespace rekal::win {

void openRangeDialog(HWND owner);               // 2306, dialog 600
void startExamCommand(HWND owner, int command); // 2307 to 2312 (count dialog 601, weak-point dialog 602)
void openListWindow(HWND owner);                // 2313, window "RekalWinList"
void toggleHintWindow(HWND owner);              // 2505, dialog 593
void openCustomizeSheet(HWND owner);            // 2506

} // namespace rekal::win
