#include "win/shell/recentfiles.h"

#include "core/base/fileio.h"
#include "core/shell/shell.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/shell/bookfile.h"
#include "win/base/wintext.h"

#include <algorithm>

namespace rekal::win {

namespace {

constexpr const char* kNoRecentFiles = "ファイル履歴がありません";
constexpr const char* kUnstorableName =
    "このファイル名はシフトJISで表せないため、ファイル履歴と出題履歴には記録しません。";

// Entries beyond a RecentFileMax lowered since the menu was built go as well.
void deleteRecentEntries(HMENU menu) {
    for (int n = 1; n <= kMaxRecentFiles; ++n)
        DeleteMenu(menu, kRecentCommandBase + n, MF_BYCOMMAND);
}

void enableClearItem(HMENU menu, bool enabled) {
    EnableMenuItem(menu, kRecentClearCommand, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

} // namespace

bool addRecentFile(HWND, std::string_view cp932Path) {
    AppState& a = app();
    if (cp932Path.size() > kMaxPathText) return false;
    return a.recent.add(cp932Path, a.settings.recentFileMax);
}

void addBookToRecentFiles() {
    AppState& a = app();
    const std::string& name = a.book.path();
    if (name.empty() || name.size() > kMaxPathText) {
        if (!a.toldUnstorableName) a.notifier.warning(displayPath(a.book.file()) + "\n" + kUnstorableName);
        a.toldUnstorableName = true;
        return;
    }
    addRecentFile(a.mainWindow, name);
    if (a.mainWindow) buildRecentMenu(a.mainWindow, GetMenu(a.mainWindow));
}

int buildRecentMenu(HWND owner, HMENU menu) {
    AppState& a = app();
    if (!menu) return 0;
    deleteRecentEntries(menu);
    const bool hasClearItem = GetMenuState(menu, kRecentClearCommand, MF_BYCOMMAND) != static_cast<UINT>(-1);
    int count = 0;
    for (const std::string& path : a.recent.paths) {
        if (count >= a.settings.recentFileMax || path.empty()) break;
        ++count;
        const std::wstring text = toWide(recentMenuText(count, path));
        if (hasClearItem)
            InsertMenuW(menu, kRecentClearCommand, MF_BYCOMMAND | MF_STRING, kRecentCommandBase + count,
                        text.c_str());
        else
            AppendMenuW(menu, MF_STRING, kRecentCommandBase + count, text.c_str());
    }
    enableClearItem(menu, count > 0);
    if (owner && GetMenu(owner) == menu) DrawMenuBar(owner);
    return count;
}

void clearRecentFiles(HWND window) {
    HMENU menu = GetMenu(window);
    deleteRecentEntries(menu);
    enableClearItem(menu, false);
    DrawMenuBar(window);
    app().recent.clear();
}

void openRecentFile(HWND, int commandId) {
    AppState& a = app();
    const int n = commandId - kRecentCommandBase;
    if (n < 1 || n > a.settings.recentFileMax || n > static_cast<int>(a.recent.paths.size())) return;
    openAnotherBook(nativePath(a.recent.paths[static_cast<std::size_t>(n - 1)]));
}

void showRecentDropDown(HWND window, const NMTOOLBARW& notification) {
    HWND toolbar = notification.hdr.hwndFrom;
    RECT button{};
    SendMessageW(toolbar, TB_GETRECT, notification.iItem, reinterpret_cast<LPARAM>(&button));
    MapWindowPoints(toolbar, HWND_DESKTOP, reinterpret_cast<POINT*>(&button), 2);
    HMENU popup = CreatePopupMenu();
    if (!popup) return;
    if (buildRecentMenu(window, popup) == 0)
        AppendMenuW(popup, MF_STRING | MF_GRAYED | MF_DISABLED, 0, toWide(kNoRecentFiles).c_str());
    TPMPARAMS params{sizeof params, button};
    TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL, button.left, button.bottom, window,
                     &params);
    DestroyMenu(popup);
}

} // namespace rekal::win
