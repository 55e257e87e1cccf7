// The recent-file list: order after opening files, letter case, RecentFileMax, clearing, the
// toolbar drop-down, and opening an entry after saving a changed book.

#include "shelltest.h"

#include "win/shell/bookfile.h"

namespace {

using namespace shelltest;

std::wstring entry(int n, const fs::path& p) {
    return L"&" + std::to_wstring(n) + L" " + p.wstring();
}

// The texts of the popup menu the toolbar drop-down shows, read while it is open (from a timer of
// the popup's own modal loop), then the popup is closed.
std::vector<std::wstring> g_popupTexts;
std::vector<bool> g_popupGreyed;
void CALLBACK readPopup(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND popup = FindWindowW(L"#32768", nullptr);
    if (!popup) return;
    KillTimer(nullptr, timer);
    HMENU menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        g_popupTexts.push_back(menuItemText(menu, static_cast<UINT>(i), MF_BYPOSITION));
        g_popupGreyed.push_back((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0);
    }
    EndMenu();
}

void pressDropDown() {
    g_popupTexts.clear();
    g_popupGreyed.clear();
    SetTimer(nullptr, 0, 100, readPopup);
    NMTOOLBARW notification{};
    notification.hdr = {toolbar(), IDC_TOOLBAR, TBN_DROPDOWN};
    notification.iItem = 2001;
    SendMessageW(app().examView, WM_NOTIFY, IDC_TOOLBAR, reinterpret_cast<LPARAM>(&notification));
    wintest::flushEvents();
}

} // namespace

WINTEST(newestFirstWithoutDuplicatesWhateverTheLetterCase) {
    auto dir = makeFolder(L"rekal-recent");
    std::vector<fs::path> books;
    for (const wchar_t* name : {L"a.rkf", L"b.rkf", L"c.rkf"})
        books.push_back(writeBook(dir, name, "本"));
    ok(start(dir), "start-up failed");
    for (const fs::path& p : books)
        rekal::win::openBookFile(p);
    ok(recentEntries() ==
           std::vector<std::wstring>({entry(1, books[2]), entry(2, books[1]), entry(3, books[0])}),
       "three files newest first");

    // The third entry opened again moves to the front; the others keep their order.
    rekal::win::openBookFile(books[0]);
    ok(recentEntries() ==
           std::vector<std::wstring>({entry(1, books[0]), entry(2, books[2]), entry(3, books[1])}),
       "reopened file first");

    // Another spelling of the same path: one entry, as the newest open wrote it.
    fs::path upper = dir / L"B.RKF";
    rekal::win::openBookFile(upper);
    ok(app().book.isLoaded(), "B.RKF did not load");
    ok(recentEntries() ==
           std::vector<std::wstring>({entry(1, upper), entry(2, books[0]), entry(3, books[2])}),
       "letter case: %d entries", static_cast<int>(recentEntries().size()));
    closeProgram();
    const std::string ini = readBytes(dir / L"REKALWIN.INI");
    ok(ini.find("File1=" + cp932(upper.wstring()) + "\r\nFile2=" + cp932(books[0].wstring()) +
                "\r\nFile3=" + cp932(books[2].wstring()) + "\r\n\r\n") != std::string::npos,
       "files in the settings:\n%s", ini.c_str());
    removeFolder(dir);
}

WINTEST(recentFileMaxBoundsTheMenuAndTheFile) {
    auto dir = makeFolder(L"rekal-recent-max");
    writeBytes(dir / L"REKALWIN.INI", "RecentFileMax=3\r\nLoadLastFile=0\r\n");
    std::vector<fs::path> books;
    for (int i = 1; i <= 4; ++i)
        books.push_back(writeBook(dir, L"本" + std::to_wstring(i) + L".rkf", "本"));
    ok(start(dir), "start-up failed");
    for (const fs::path& p : books)
        rekal::win::openBookFile(p);
    ok(recentEntries() ==
           std::vector<std::wstring>({entry(1, books[3]), entry(2, books[2]), entry(3, books[1])}),
       "the oldest entry is dropped");
    // The entries stand between the empty item 2700 and "履歴のクリア(&C)".
    HMENU file = GetSubMenu(mainMenu(), 0);
    const int count = GetMenuItemCount(file);
    ok(GetMenuItemID(file, count - 5) == 2700, "entries do not follow item 2700");
    ok(GetMenuItemID(file, count - 1) == 2711, "clear item is not last");
    closeProgram();
    const std::string ini = readBytes(dir / L"REKALWIN.INI");
    ok(ini.find("File3=") != std::string::npos && ini.find("File4=") == std::string::npos,
       "settings hold more than three files:\n%s", ini.c_str());
    removeFolder(dir);
}

WINTEST(clearingEmptiesTheListAndTheDropDown) {
    auto dir = makeFolder(L"rekal-recent-clear");
    auto a = writeBook(dir, L"a.rkf", "あ");
    auto b = writeBook(dir, L"b.rkf", "い");
    ok(start(dir), "start-up failed");
    pressDropDown();
    ok(g_popupTexts == std::vector<std::wstring>{L"ファイル履歴がありません"}, "empty drop-down: %d items",
       static_cast<int>(g_popupTexts.size()));
    ok(g_popupGreyed.size() == 1 && g_popupGreyed[0], "the empty drop-down item is not greyed");

    rekal::win::openBookFile(a);
    rekal::win::openBookFile(b);
    pressDropDown();
    ok(g_popupTexts == std::vector<std::wstring>({entry(1, b), entry(2, a)}), "drop-down entries: %d",
       static_cast<int>(g_popupTexts.size()));

    command(2711);
    ok(recentEntries().empty(), "entries left after clearing");
    ok(menuGreyed(2711), "clear item not greyed");
    ok(app().recent.paths.empty(), "list still exists");
    pressDropDown();
    ok(g_popupTexts == std::vector<std::wstring>{L"ファイル履歴がありません"}, "drop-down after clearing");

    rekal::win::openBookFile(a);
    ok(recentEntries() == std::vector<std::wstring>{entry(1, a)}, "a new one-entry list");
    ok(!menuGreyed(2711), "clear item greyed with one entry");
    closeProgram();
    removeFolder(dir);
}

WINTEST(choosingAnEntrySavesTheChangedBookFirst) {
    auto dir = makeFolder(L"rekal-recent-save");
    auto first = dir / L"一.rkf";
    writeBytes(first, "REKALDATA V1.6\r\nq1,a1,[00\r\n");
    auto second = writeBook(dir, L"二.rkf", "二", 3);
    ok(start(dir), "start-up failed");
    rekal::win::openBookFile(first);
    rekal::win::openBookFile(second);
    command(2702); // the first book, now second in the list
    ok(app().book.file() == first, "entry 2 opened %s", wintest::utf8(app().book.file().wstring()).c_str());
    {
        DialogWatcher yes = DialogWatcher::pressing(IDYES);
        command(2314);
    }
    ok(app().book.isDirty(), "the book did not change");
    command(2702); // the second book
    ok(app().book.file() == second, "entry 2 opened %s", wintest::utf8(app().book.file().wstring()).c_str());
    ok(readBytes(first) == "REKALDATA V1.6\r\nq1,a1,<00\r\n", "changed book not saved:\n%s",
       readBytes(first).c_str());
    closeProgram();
    removeFolder(dir);
}

WINTEST_MAIN("recentfiles")
