#pragma once
// Commands whose windows are still to be written. Each command of the table already reaches its
// place here; until its window exists the command does nothing.

#include <windows.h>

namespace rekal::win {

void openRangeDialog(HWND owner); // 2306, dialog 600

} // namespace rekal::win
