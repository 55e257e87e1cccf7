#pragma once
// The information pane, control 1029 of the exam view: a static control whose painting and timer
// are taken over. Every 100 ms it paints into a bitmap of its size, then onto the screen: the tips
// typed out while idle, the run's fields while an exam runs, and always the blinking clock.

#include <windows.h>

namespace rekal::win {

// Takes the pane's painting over and starts its timer; both go with the control.
void attachInfoPane(HWND pane);

// While frozen (the answer or the result dialog is open) only the clock is painted anew; the rest
// keeps its last picture.
void freezeInfoPane(HWND pane, bool frozen);
bool infoPaneFrozen(HWND pane);

} // namespace rekal::win
