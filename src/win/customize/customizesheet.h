#pragma once
// The customize property sheet "カスタマイズ": the pages that edit the program-wide settings.

#include <windows.h>

namespace rekal::win {

// Modal over the owner, on the page last shown; applied values are in the settings at once.
void openCustomizeSheet(HWND owner);

} // namespace rekal::win
