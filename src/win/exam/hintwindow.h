#pragma once
// The hint window (dialog 593): a rounded modeless pop-up beside the main window that shows the
// current question's hints one at a time. The main window makes room for it at the work area's
// right edge and goes back when it closes; its size is kept in the settings.

#include <windows.h>

namespace rekal::win {

// ヒントの表示/非表示 (Ctrl+H): closes the window when it is open; otherwise, while an exam runs and
// its question has hints, opens it on the first hint.
void toggleHintWindow(HWND owner);

// Closes the window; nothing happens when there is none.
void closeHintWindow();

// Gives the open window the fonts and colours of the settings again (after the customize sheet has
// applied them); nothing happens when there is none.
void restyleHintWindow();

} // namespace rekal::win
