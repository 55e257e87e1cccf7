#pragma once
// A static text of a dialog shown as a link: blue on a transparent background, with the program's
// link cursor while the mouse is over it. The static has SS_NOTIFY; its clicks arrive as STN_CLICKED.

#include <windows.h>

namespace rekal::win {

// Answers WM_CTLCOLORSTATIC and WM_SETCURSOR for the link control `linkId`. True when the message
// was one of them for the link; the dialog procedure then returns `result`.
bool handleLinkMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, int linkId, INT_PTR& result);

} // namespace rekal::win
