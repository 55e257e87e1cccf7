#pragma once
// The main window "RekalWin": menu bar, the messages it answers and its caption. The command table
// is commands.h's; the state of the commands (greyed, checked) is the exam view's commandstate.h.

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace rekal::win {

inline constexpr const wchar_t* kMainWindowClass = L"RekalWin";

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The caption: path + " - Rekal for Windows", or the program name alone.
void setCaption(const std::optional<std::filesystem::path>& file);

// The file named on the command line: at most 259 characters, the first path only, without its
// enclosing quotes. Empty when the line names none.
std::wstring commandLinePath(std::wstring_view commandLine);
// Opens the file on the command line, or the last used one when the settings ask for it.
void openStartupFile(std::wstring_view commandLine);

} // namespace rekal::win
