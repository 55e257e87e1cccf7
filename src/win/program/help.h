#pragma once
// HTML Help, reached through hhctrl.ocx loaded at run time: initialised at start-up, offered every
// message first, opened at a context topic, the contents or the index, closed at shutdown.

#include <windows.h>

namespace rekal::win {

// The control's entry point (HtmlHelpW).
using HtmlHelpFunction = HWND(WINAPI*)(HWND caller, LPCWSTR file, UINT command, DWORD_PTR data);

// Commands of the entry point.
enum HelpCommand : UINT {
    HelpContents = 1,
    HelpIndex = 2,
    HelpContext = 15,
    HelpCloseAll = 18,
    HelpInitialise = 28,
    HelpUninitialise = 29,
    HelpPreTranslate = 253,
};

struct HelpSystem {
    HMODULE module = nullptr;
    HtmlHelpFunction call = nullptr; // null when the control is missing: help then does nothing
    DWORD_PTR cookie = 0;
};

void initialiseHelp(HelpSystem& help);
// True when help consumed the message (keys of an open help window).
bool preTranslateHelpMessage(HelpSystem& help, MSG& msg);
// Opens the help file (REKALWIN.CHM beside the program) at a context number.
void showHelpTopic(HWND owner, int context);
void showHelpContents(HWND owner);
void showHelpIndex(HWND owner);
// Closes every help window and uninitialises the control.
void closeHelp(HelpSystem& help);

} // namespace rekal::win
