#pragma once

#include <windows.h>

namespace rekal::win {

inline constexpr const wchar_t* kMainWindowClass = L"RekalWin";
inline constexpr const wchar_t* kListWindowClass = L"RekalWinList";
inline constexpr const wchar_t* kSentenceClass = L"RekalWinSentence";
inline constexpr const wchar_t* kSeparatorClass = L"RekalWinSeparator";

// One class with the program's icon, the arrow cursor and the button-face background; on failure
// the user is told "実行できません。".
bool registerWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* className, int menuId,
                         int extraBytes);

// The four classes of the program; false at the first that fails.
bool registerWindowClasses(HINSTANCE instance);

} // namespace rekal::win
