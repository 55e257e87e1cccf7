#pragma once
// The main window "RekalWin": menu bar, accelerators and the command table.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace rekal::win {

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Greys or enables the commands that need a loaded book.
void setFileCommandsEnabled(bool enabled);
// The caption: path + " - Rekal for Windows", or the program name alone.
void setCaption(std::optional<std::string_view> cp932Path);

// The file named on the command line: at most 259 characters, the first path only, without its
// enclosing quotes. Empty when the line names none.
std::wstring commandLinePath(std::wstring_view commandLine);
// Opens the file on the command line, or the last used one when the settings ask for it.
void openStartupFile(std::wstring_view commandLine);

} // namespace rekal::win
