#pragma once
// The program's window classes, registered at start-up; each window's header names its class.

#include <windows.h>

namespace rekal::win {

// One class with the program's icon, the arrow cursor and the button-face background; on failure
// the user is told "実行できません。".
bool registerWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* className, int menuId,
                         int extraBytes);

// The four classes of the program; false at the first that fails.
bool registerWindowClasses(HINSTANCE instance);

} // namespace rekal::win
