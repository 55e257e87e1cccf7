#pragma once
// The main window "RekalWin": menu bar, the messages it answers, the state of its commands (greyed
// file commands, display parts, answer mode) and its caption. The command table is commands.h's.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rekal::win {

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Greys or enables the commands that need a loaded book: Save, Save As and Export in the menu,
// the range, exam, list and history commands in the menu and on the toolbar.
void setFileCommandsEnabled(bool enabled);
// The caption: path + " - Rekal for Windows", or the program name alone.
void setCaption(const std::optional<std::filesystem::path>& file);

// Shows or hides a part of the exam view with its View menu check mark. With apply false the
// option flag is flipped first; with apply true it is taken as it is.
void toggleDisplayPart(int controlId, int menuId, unsigned flag, bool apply);
// Checks the menu item and presses the toolbar button of one answer mode (2301 to 2304), and keeps
// the mode in the settings.
void setAnswerMode(int command);

// The file named on the command line: at most 259 characters, the first path only, without its
// enclosing quotes. Empty when the line names none.
std::wstring commandLinePath(std::wstring_view commandLine);
// Opens the file on the command line, or the last used one when the settings ask for it.
void openStartupFile(std::wstring_view commandLine);

} // namespace rekal::win
