// The customize dialogs driven as the user would: the vague settings dialog's list operations and
// its table written to RKLVAGUE.DAT as soon as OK is pressed.
#include "shelltest.h"
#include "win/customize/vaguedialog.h"

#include <prsht.h>

using namespace shelltest;

namespace {

// Thread-safe readers of another thread's dialog (the dialog runs its modal loop on the main thread).
int rowCount(HWND view) {
    return static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring cell(HWND view, int row, int column) {
    wchar_t buffer[256] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 256;
    SendMessageW(view, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

bool selected(HWND view, int row) {
    return (SendMessageW(view, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void selectOnly(HWND view, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void clickHeader(HWND dialog, int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = GetDlgItem(dialog, IDC_VAGUE_LIST);
    click.hdr.idFrom = IDC_VAGUE_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(dialog, WM_NOTIFY, IDC_VAGUE_LIST, reinterpret_cast<LPARAM>(&click));
}

} // namespace

WINTEST(vaguePairAddedMovedDeletedAndWrittenAtOnce) {
    auto dir = makeFolder(L"rekal-vague");
    ok(start(dir), "start-up failed");
    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    int shown = 0, added = 0, afterMoves = 0;
    bool movedKeptSelection = false, addedLongerFirst = false, sortedDescending = false;
    std::wstring firstAfterDelete;
    {
        DialogWatcher watcher(L"あいまい設定", [&](HWND dialog) {
            HWND view = GetDlgItem(dialog, IDC_VAGUE_LIST);
            shown = rowCount(view);
            click(dialog, IDC_VAGUE_ADD); // both empty: refused with a message
            SetDlgItemTextW(dialog, IDC_VAGUE_FIRST, L"ば");
            SetDlgItemTextW(dialog, IDC_VAGUE_SECOND, L"ヴァァ");
            click(dialog, IDC_VAGUE_ADD);
            added = rowCount(view);
            addedLongerFirst = cell(view, 46, 0) == L"ヴァァ" && cell(view, 46, 1) == L"ば";
            selectOnly(view, 46);
            click(dialog, IDC_VAGUE_UP);
            click(dialog, IDC_VAGUE_UP);
            click(dialog, IDC_VAGUE_DOWN);
            afterMoves = cell(view, 45, 0) == L"ヴァァ" ? 45 : -1;
            movedKeptSelection = selected(view, 45) && !selected(view, 46);
            selectOnly(view, 0);
            click(dialog, IDC_VAGUE_UP); // the first row selected: nothing moves
            click(dialog, IDC_VAGUE_DELETE);
            firstAfterDelete = cell(view, 0, 0);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        rekal::win::VagueDialogData data{&app().vague, app().vaguePath};
        ok(rekal::win::showVagueDialog(app().mainWindow, data) == IDOK, "OK was not reported");
        ok(watcher.seen() == 1, "the vague dialog was not shown");
    }
    ok(shown == 46, "built-in pairs shown: %d", shown);
    ok(added == 47 && addedLongerFirst, "added: %d rows, longer first %d", added, addedLongerFirst);
    ok(afterMoves == 45 && movedKeptSelection, "the moved row is at %d", afterMoves);
    ok(firstAfterDelete == L"ウァ", "first row after delete %s", wintest::utf8(firstAfterDelete).c_str());
    const std::vector<std::wstring> messages = boxes.texts();
    ok(messages.size() == 1 && messages[0] == L"少なくとも１つに文字列を入力してください。", "messages: %d",
       static_cast<int>(messages.size()));

    // On disk before the program ends.
    rekal::VagueTable stored = rekal::parseVagueTable(readBytes(dir / L"RKLVAGUE.DAT"));
    std::vector<rekal::VaguePair> pairs = rekal::vaguePairs(stored);
    ok(pairs.size() == 46, "pairs stored: %d", static_cast<int>(pairs.size()));
    if (pairs.size() == 46) {
        ok(pairs[0].first == cp932(L"ウァ"), "first pair");
        ok(pairs[44].first == cp932(L"ヴァァ") && pairs[44].second == cp932(L"ば"), "the added pair's place");
    }

    // Sort and reset, then キャンセル: the table stays as it was.
    {
        DialogWatcher watcher(L"あいまい設定", [&](HWND dialog) {
            HWND view = GetDlgItem(dialog, IDC_VAGUE_LIST);
            clickHeader(dialog, 0);
            const std::wstring top = cell(view, 0, 0), bottom = cell(view, rowCount(view) - 1, 0);
            sortedDescending = CompareStringW(LOCALE_USER_DEFAULT, 0, top.c_str(), -1, bottom.c_str(), -1) ==
                               CSTR_GREATER_THAN;
            click(dialog, IDC_RESET);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        rekal::win::VagueDialogData data{&app().vague, app().vaguePath};
        ok(rekal::win::showVagueDialog(app().mainWindow, data) == IDCANCEL, "キャンセル was not reported");
    }
    ok(sortedDescending, "the first click on a column does not sort it descending");
    ok(app().vague.count == 46 && app().vague.block == stored.block, "キャンセル changed the table");
    closeProgram();
    ok(readBytes(dir / L"RKLVAGUE.DAT") == rekal::formatVagueTable(stored),
       "the table written at exit differs");
    removeFolder(dir);
}

namespace {

constexpr int kApplyButton = 0x3021;

HWND currentPage(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND showPage(HWND sheet, int position) {
    SendMessageW(sheet, PSM_SETCURSEL, position, 0);
    return currentPage(sheet);
}

bool applyEnabled(HWND sheet) {
    return IsWindowEnabled(GetDlgItem(sheet, kApplyButton)) != FALSE;
}

void typeText(HWND page, int id, const wchar_t* text) {
    SetDlgItemTextW(page, id, text);
}

bool hasLine(const std::string& file, const std::string& line) {
    return file.find("\r\n" + line + "\r\n") != std::string::npos;
}

} // namespace

WINTEST(customizeSheetAppliesCheckedValuesAndRemembersItsPage) {
    auto dir = makeFolder(L"rekal-customize");
    ok(start(dir), "start-up failed");
    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    bool firstIsGeneral = false, applyOffAtOpen = false, applyOffAfterFill = false, applyOnAfterEdit = false;
    bool stayedOnAnswer = false, unchangedAfterWarning = false, greyed = false;
    {
        DialogWatcher watcher(L"カスタマイズ", [&](HWND sheet) {
            HWND general = currentPage(sheet);
            firstIsGeneral = general && GetDlgItem(general, IDC_PAGE_1026) != nullptr;
            applyOffAtOpen = !applyEnabled(sheet);
            HWND answer = showPage(sheet, 3);
            applyOffAfterFill = !applyEnabled(sheet);
            typeText(answer, IDC_PAGE_1024, L"100");
            applyOnAfterEdit = applyEnabled(sheet);
            SendMessageW(sheet, PSM_APPLY, 0, 0); // the width is out of range
            stayedOnAnswer = currentPage(sheet) == answer;
            unchangedAfterWarning = app().settings.baseWidthWndAnswer == 500;
            typeText(answer, IDC_PAGE_1024, L"600");
            HWND compare = showPage(sheet, 1);
            click(compare, IDC_PAGE_USE_DATA); // on by default: now off, the options enabled
            CheckDlgButton(compare, IDC_PAGE_1024, BST_CHECKED);
            click(compare, IDC_PAGE_1024);
            CheckDlgButton(compare, IDC_PAGE_USE_DATA, BST_CHECKED);
            click(compare, IDC_PAGE_USE_DATA);
            greyed = !IsWindowEnabled(GetDlgItem(compare, IDC_PAGE_1024));
            CheckDlgButton(compare, IDC_PAGE_USE_DATA, BST_UNCHECKED);
            click(compare, IDC_PAGE_USE_DATA);
            HWND question = showPage(sheet, 2);
            typeText(question, IDC_PAGE_1041, L"12");
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        command(CMD_CUSTOMIZE);
        ok(watcher.seen() == 1, "the sheet was not shown");
    }
    ok(firstIsGeneral, "the sheet did not open on 一般");
    ok(applyOffAtOpen && applyOffAfterFill, "適用 enabled without an edit");
    ok(applyOnAfterEdit, "an edit did not enable 適用");
    ok(stayedOnAnswer && unchangedAfterWarning, "an invalid width left the page or was stored");
    const std::vector<std::wstring> messages = boxes.texts();
    ok(messages.size() == 1 &&
           messages[0] == L"答えダイアログの基準幅は 260 ～ 32767 の間で指定してください。",
       "warnings: %d", static_cast<int>(messages.size()));
    ok(greyed, "the question file's settings did not grey the options");
    ok(app().settings.baseWidthWndAnswer == 600, "width %d", app().settings.baseWidthWndAnswer);
    ok(app().settings.compareMode == 1 && (app().settings.useData & 2) == 0, "compare %d use %d",
       app().settings.compareMode, app().settings.useData);
    ok(app().settings.lineInterval == 12, "line spacing %d", app().settings.lineInterval);

    bool reopenedOnQuestion = false;
    {
        DialogWatcher watcher(L"カスタマイズ", [&](HWND sheet) {
            reopenedOnQuestion = GetDlgItem(currentPage(sheet), IDC_PAGE_1041) != nullptr;
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        });
        command(CMD_CUSTOMIZE);
    }
    ok(reopenedOnQuestion, "the sheet did not reopen on 問題");
    closeProgram();
    const std::string ini = readBytes(dir / L"REKALWIN.INI");
    ok(hasLine(ini, "BaseWidthWndAnswer=600") && hasLine(ini, "LineInterval=12") &&
           hasLine(ini, "CompareMode=1") && hasLine(ini, "UseData=5"),
       "the applied values are not in REKALWIN.INI");
    removeFolder(dir);
}

WINTEST_MAIN("customize")
