#pragma once
// The recent-file list in the File menu and in the drop-down under the toolbar's Open button.

#include <windows.h>
#include <commctrl.h>

#include <string_view>

namespace rekal::win {

// Puts a path at the front of the list; false for an empty path or one longer than the settings
// file keeps (it is never shortened: that would name another file).
bool addRecentFile(HWND owner, std::string_view cp932Path);
// The book's file goes to the top of the list and the menu is rebuilt. A file that code page 932
// cannot name (or only at more than the list keeps) stays out of the list and the exam log; the
// user is told why once per run.
void addBookToRecentFiles();
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
