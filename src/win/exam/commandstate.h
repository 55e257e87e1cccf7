#pragma once
// The state of the commands that the main window's menu and the exam view's toolbar both show:
// the commands that need a book (greyed without one), the parts of the view that can be hidden, and
// the answer mode.

#include <windows.h>

namespace rekal::win {

// Greys or enables the commands that need a loaded book: Save, Save As and Export in the menu,
// the range, exam, list and history commands in the menu and on the toolbar.
void setFileCommandsEnabled(bool enabled);
// Shows or hides a part of the exam view with its View menu check mark. With apply false the
// option flag is flipped first; with apply true it is taken as it is.
void toggleDisplayPart(int controlId, int menuId, unsigned flag, bool apply);
// Checks the menu item and presses the toolbar button of one answer mode (2301 to 2304), and keeps
// the mode in the settings.
void setAnswerMode(int command);

} // namespace rekal::win
