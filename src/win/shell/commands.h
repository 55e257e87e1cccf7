#pragma once
// The main window's command table: every menu item, accelerator and toolbar button arrives here.

#include <windows.h>

namespace rekal::win {

// Runs the command; false for ids the table does not know (they go to the default handling).
bool dispatchCommand(HWND hwnd, int id, WPARAM wParam, LPARAM lParam);

} // namespace rekal::win
