#pragma once
// The program's tooltip window and its tools: controls of the exam view and the question list
// window registered by window with a fixed text, and the texts of the toolbar's own tips.

#include <windows.h>
#include <commctrl.h>

#include <string_view>

namespace rekal::win {

// One topmost tooltip window owned by the main window, showing tips also while it is inactive.
HWND createTooltipWindow(HWND owner);
// On while the ToolHint option is set.
void setTooltipsActive(bool active);

// Registers a control of `dialog` with a fixed text (the tooltip subclasses the control).
void addControlTooltip(HWND dialog, int controlId, std::string_view cp932Text);
// Removes the tool of one control of `dialog` (before the control is destroyed).
void removeControlTooltip(HWND dialog, int controlId);
// Removes the tools of every control of `dialog`.
void removeControlTooltips(HWND dialog);

// Answers a toolbar tip request with the string resource of the button's command; false for
// commands without a tip text.
bool answerToolbarTip(NMTTDISPINFOW& request);

} // namespace rekal::win
