#pragma once
// The recent-file list in the File menu and in the drop-down under the toolbar's Open button.

#include <windows.h>
#include <commctrl.h>

#include <string_view>

namespace rekal::win {

// Puts a path at the front of the list; false for an empty path.
bool addRecentFile(HWND owner, std::string_view cp932Path);
// Rebuilds the entries "&n path" in `menu` (before "履歴のクリア(&C)" when the menu has it) and
// greys that item when there is none; returns the number of entries.
int buildRecentMenu(HWND owner, HMENU menu);
// "履歴のクリア(&C)": the entries go and the list no longer exists.
void clearRecentFiles(HWND window);
// A recent-file entry chosen: saves a changed book, then opens the entry's file.
void openRecentFile(HWND window, int commandId);
// The Open button's drop-down arrow: the entries as a popup under the button, or one greyed item
// "ファイル履歴がありません".
void showRecentDropDown(HWND window, const NMTOOLBARW& notification);

} // namespace rekal::win
