#include "win/customize/vaguedialog.h"

#include "core/base/messages.h"
#include "core/settings/customize.h"
#include "core/shell/helpcontexts.h"
#include "resource.h"
#include "win/base/dpi.h"
#include "win/base/winnotifier.h"
#include "win/base/wintext.h"
#include "win/dialogs/commandtable.h"
#include "win/dialogs/dialogkit.h"

#include <commctrl.h>

namespace rekal::win {

namespace {

constexpr int kColumnWidth = 75; // each of the two columns, 96-dpi pixels
constexpr const char* kNothingToAdd = "少なくとも１つに文字列を入力してください。";

struct VagueState {
    VagueDialogData* data = nullptr;
    VagueList list;
};

HWND listView(HWND dialog) {
    return GetDlgItem(dialog, IDC_VAGUE_LIST);
}

// The platform's locale-aware, case-sensitive comparison of two CP932 texts.
int compareLocale(std::string_view a, std::string_view b) {
    const std::wstring wa = toWide(a), wb = toWide(b);
    return CompareStringW(LOCALE_USER_DEFAULT, 0, wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                          static_cast<int>(wb.size())) -
           CSTR_EQUAL;
}

// The list's selection and focus into the rows, before an operation works on them.
void readSelection(HWND dialog, VagueList& list) {
    HWND view = listView(dialog);
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        const UINT state =
            static_cast<UINT>(SendMessageW(view, LVM_GETITEMSTATE, i, LVIS_SELECTED | LVIS_FOCUSED));
        list.rows[i].selected = (state & LVIS_SELECTED) != 0;
        list.rows[i].focused = (state & LVIS_FOCUSED) != 0;
    }
}

void setItemText(HWND view, int row, int column, const std::string& cp932) {
    std::wstring text = toWide(cp932);
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    SendMessageW(view, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

// The list shows the rows again, with their selection and focus; the focus row is kept in view.
void showRows(HWND dialog, const VagueList& list) {
    HWND view = listView(dialog);
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    SendMessageW(view, LVM_DELETEALLITEMS, 0, 0);
    int focus = -1;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
        const VagueRow& row = list.rows[i];
        LVITEMW item{};
        item.mask = LVIF_STATE;
        item.iItem = static_cast<int>(i);
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        item.state = (row.selected ? LVIS_SELECTED : 0u) | (row.focused ? LVIS_FOCUSED : 0u);
        SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        setItemText(view, item.iItem, 0, row.first);
        setItemText(view, item.iItem, 1, row.second);
        if (row.focused) focus = item.iItem;
    }
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    if (focus >= 0) SendMessageW(view, LVM_ENSUREVISIBLE, focus, FALSE);
    InvalidateRect(view, nullptr, TRUE);
}

void addColumn(HWND view, int index, const char* title) {
    std::wstring text = toWide(title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = scaled(view, kColumnWidth);
    column.pszText = text.data();
    column.iSubItem = index;
    SendMessageW(view, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
}

INT_PTR onInit(HWND dialog, VagueState& state) {
    centreOnOwner(dialog);
    HWND view = listView(dialog);
    SendMessageW(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    addColumn(view, 0, "文字列１");
    addColumn(view, 1, "文字列２");
    state.list = vagueListFromTable(*state.data->table);
    showRows(dialog, state.list);
    return TRUE;
}

void onAdd(HWND dialog, VagueState& state) {
    HWND firstEdit = GetDlgItem(dialog, IDC_VAGUE_FIRST);
    HWND secondEdit = GetDlgItem(dialog, IDC_VAGUE_SECOND);
    // A character code page 932 lacks is refused, never stored as a look-alike or '?'.
    const std::optional<std::string> first = toCp932Exactly(wideWindowText(firstEdit));
    const std::optional<std::string> second = toCp932Exactly(wideWindowText(secondEdit));
    if (!first || !second) {
        showMessage(dialog, kUnstorableVagueText, MB_OK | MB_ICONWARNING);
        HWND refused = first ? secondEdit : firstEdit;
        SetFocus(refused);
        SendMessageW(refused, EM_SETSEL, 0, -1);
        return;
    }
    readSelection(dialog, state.list);
    const int row = addVagueRow(state.list, *first, *second);
    if (row < 0) {
        showMessage(dialog, kNothingToAdd, MB_OK | MB_ICONINFORMATION);
        return;
    }
    showRows(dialog, state.list);
    SendMessageW(listView(dialog), LVM_ENSUREVISIBLE, row, FALSE);
    SetWindowTextW(firstEdit, L"");
    SetWindowTextW(secondEdit, L"");
    SetFocus(firstEdit);
}

// Runs one of the list operations on the rows as the list shows them selected.
template <class Operation> void onListOperation(HWND dialog, VagueState& state, Operation operation) {
    readSelection(dialog, state.list);
    operation(state.list);
    showRows(dialog, state.list);
}

void onOk(HWND dialog, VagueState& state) {
    *state.data->table = vagueTableFromList(state.list);
    // Written at once, so that a later crash does not lose the edit (it is written again at exit).
    if (!state.data->file.empty() && !saveVagueTable(state.data->file, *state.data->table))
        showMessage(dialog, msg::kWriteFailed, MB_OK | MB_ICONERROR);
    EndDialog(dialog, IDOK);
}

constexpr DialogCommand<VagueState> kCommands[] = {
    {IDC_VAGUE_ADD, onAdd},
    {IDC_VAGUE_UP, [](HWND dialog, VagueState& state) { onListOperation(dialog, state, moveVagueRowsUp); }},
    {IDC_VAGUE_DOWN,
     [](HWND dialog, VagueState& state) { onListOperation(dialog, state, moveVagueRowsDown); }},
    {IDC_VAGUE_DELETE,
     [](HWND dialog, VagueState& state) { onListOperation(dialog, state, deleteVagueRows); }},
    {IDC_RESET, [](HWND dialog, VagueState& state) { onListOperation(dialog, state, resetVagueList); }},
    {IDOK, onOk},
    {IDCANCEL, [](HWND dialog, VagueState&) { EndDialog(dialog, IDCANCEL); }},
};

BOOL onNotify(HWND dialog, VagueState& state, const NMHDR& header) {
    if (header.idFrom != IDC_VAGUE_LIST || header.code != LVN_COLUMNCLICK) return FALSE;
    const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
    onListOperation(dialog, state,
                    [&](VagueList& list) { sortVagueList(list, click.iSubItem, compareLocale); });
    return TRUE;
}

INT_PTR onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, VagueState& state) {
    switch (message) {
    case WM_COMMAND:
        return runDialogCommand(kCommands, dialog, state, LOWORD(wParam));
    case WM_NOTIFY:
        return onNotify(dialog, state, *reinterpret_cast<const NMHDR*>(lParam));
    default:
        return FALSE;
    }
}

} // namespace

int showVagueDialog(HWND owner, VagueDialogData& data) {
    if (!data.table) return IDCANCEL;
    VagueState state;
    state.data = &data;
    const INT_PTR result =
        runModalDialog(owner, IDD_VAGUE, kitDialogProc<VagueState, onInit, onMessage, kHelpVague>, &state);
    return result == IDOK ? IDOK : IDCANCEL;
}

} // namespace rekal::win
