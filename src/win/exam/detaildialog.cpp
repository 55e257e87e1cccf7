#include "win/exam/detaildialog.h"

#include "core/exam/details.h"
#include "core/shell/dpi.h"
#include "core/shell/helpcontexts.h"
#include "core/shell/listdialog.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/dialogs/commandtable.h"
#include "win/dialogs/dialogkit.h"
#include "win/list/listwindow.h"

#include <commctrl.h>

#include <array>

namespace rekal::win {

namespace {

constexpr std::array<const char*, kDetailColumnCount> kColumnTitles = {"順番", "番号", "正誤", "所要時間",
                                                                       "問題"};
// Posted once the dialog is first shown: the modal loop shows a dialog in its normal state, so a
// stored maximised state is applied after that.
constexpr UINT kMaximiseMessage = WM_APP + 3;
constexpr std::array<int, 3> kButtons = {IDOK, IDC_DETAIL_SHOW, IDC_DETAIL_HELP};

struct DetailState {
    const std::vector<ExamResult>* results = nullptr;
    std::vector<DetailRow> rows; // an item's parameter is its row's index
    DetailSortOrder order;
    PixelSize button; // the buttons keep the size the template gives them
    bool maximiseWhenShown = false;
};

HWND listView(HWND dialog) {
    return GetDlgItem(dialog, IDC_DETAIL_LIST);
}

int platformCompare(std::string_view a, std::string_view b) {
    const std::wstring wa = toWide(a), wb = toWide(b);
    return CompareStringW(LOCALE_USER_DEFAULT, 0, wa.c_str(), static_cast<int>(wa.size()), wb.c_str(),
                          static_cast<int>(wb.size())) -
           CSTR_EQUAL;
}

void setCell(HWND list, int item, int column, const std::string& text) {
    std::wstring wide = toWide(text);
    LVITEMW cell{};
    cell.iSubItem = column;
    cell.pszText = wide.data();
    SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&cell));
}

void fillList(HWND dialog, DetailState& state) {
    HWND list = listView(dialog);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    const Settings& settings = app().settings;
    for (int c = 0; c < kDetailColumnCount; ++c) {
        std::wstring title = toWide(kColumnTitles[static_cast<std::size_t>(c)]);
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        column.pszText = title.data();
        column.cx = scaled(dialog, settings.detailsListWidth[static_cast<std::size_t>(c)]);
        column.iSubItem = c;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
    }
    state.rows = detailRows(*state.results, app().book);
    for (std::size_t i = 0; i < state.rows.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_PARAM;
        item.iItem = static_cast<int>(i);
        item.lParam = static_cast<LPARAM>(i);
        const int at =
            static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        for (int c = 0; c < kDetailColumnCount; ++c)
            setCell(list, at, c, detailCellText(state.rows[i], static_cast<DetailColumn>(c)));
    }
    LVITEMW first{};
    first.stateMask = first.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&first));
}

void layout(HWND dialog, const DetailState& state) {
    RECT client{};
    GetClientRect(dialog, &client);
    const ListDialogLayout place = layoutListDialog({client.right, client.bottom}, state.button,
                                                    static_cast<int>(kButtons.size()), windowDpi(dialog));
    HDWP batch = BeginDeferWindowPos(static_cast<int>(kButtons.size()) + 1);
    auto move = [&](int id, const PixelRect& r) {
        if (batch)
            batch = DeferWindowPos(batch, GetDlgItem(dialog, id), nullptr, r.left, r.top, r.width, r.height,
                                   SWP_NOZORDER | SWP_NOACTIVATE);
    };
    move(IDC_DETAIL_LIST, place.list);
    for (std::size_t i = 0; i < kButtons.size(); ++i)
        move(kButtons[i], place.buttons[i]);
    if (batch) EndDeferWindowPos(batch);
    InvalidateRect(dialog, nullptr, TRUE);
}

// The stored size (screen pixels, like every stored window place; the built-in default is scaled
// for the screen when the defaults are made), centred over the owner, then the stored position.
// The window stays hidden until the modal loop shows it.
void placeWindow(HWND dialog) {
    const Settings& settings = app().settings;
    const WindowRect& stored = settings.detailRect;
    if (stored.width > 0 && stored.height > 0)
        SetWindowPos(dialog, nullptr, 0, 0, stored.width, stored.height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    centreOnOwner(dialog);
    WindowRect place = stored;
    if (place.left != kDefaultPosition && place.top != kDefaultPosition) {
        RECT now{};
        GetWindowRect(dialog, &now);
        place.width = now.right - now.left;
        place.height = now.bottom - now.top;
    }
    restoreStoredPlacement(dialog, place, false, SW_HIDE);
}

// Column widths into the settings as 96-dpi numbers, the window's place as screen pixels.
void storeLayout(HWND dialog) {
    Settings& settings = app().settings;
    const int dpi = windowDpi(dialog);
    for (int c = 0; c < kDetailColumnCount; ++c)
        settings.detailsListWidth[static_cast<std::size_t>(c)] = unscaleForDpi(
            static_cast<int>(SendMessageW(listView(dialog), LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(c), 0)),
            dpi);
    storeWindowPlacement(dialog, settings.detailRect, settings.detailMaximized);
}

INT_PTR onInit(HWND dialog, DetailState& state) {
    RECT button{};
    GetWindowRect(GetDlgItem(dialog, IDOK), &button);
    state.button = {button.right - button.left, button.bottom - button.top};
    fillList(dialog, state);
    placeWindow(dialog);
    state.maximiseWhenShown = app().settings.detailMaximized;
    layout(dialog, state);
    SetFocus(listView(dialog));
    return FALSE;
}

struct SortContext {
    const DetailState* state;
    DetailColumn column;
    bool ascending;
};

int CALLBACK compareItems(LPARAM a, LPARAM b, LPARAM context) {
    const SortContext& sort = *reinterpret_cast<const SortContext*>(context);
    const std::vector<DetailRow>& rows = sort.state->rows;
    return compareDetailRows(rows[static_cast<std::size_t>(a)], rows[static_cast<std::size_t>(b)],
                             sort.column, sort.ascending, platformCompare);
}

void sortByColumn(HWND dialog, DetailState& state, int column) {
    if (column < 0 || column >= kDetailColumnCount) return;
    const DetailColumn which = static_cast<DetailColumn>(column);
    SortContext context{&state, which, state.order.click(which)};
    SendMessageW(listView(dialog), LVM_SORTITEMS, reinterpret_cast<WPARAM>(&context),
                 reinterpret_cast<LPARAM>(compareItems));
}

// The selected row's question in the question list window: opened or restored by its command,
// then its number spinner set. Nothing happens without a selected row.
void showSelectedQuestion(HWND dialog, DetailState& state) {
    HWND list = listView(dialog);
    const int selected =
        static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (selected < 0) return;
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = selected;
    if (!SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return;
    const int number = state.rows[static_cast<std::size_t>(item.lParam)].number;
    SendMessageW(app().mainWindow, WM_COMMAND, CMD_LIST, 0);
    showListQuestion(number);
}

void close(HWND dialog, int result) {
    storeLayout(dialog);
    EndDialog(dialog, result);
}

constexpr DialogCommand<DetailState> kCommands[] = {
    {IDOK, [](HWND dialog, DetailState&) { close(dialog, IDOK); }},
    {IDCANCEL, [](HWND dialog, DetailState&) { close(dialog, IDCANCEL); }},
    {IDC_DETAIL_SHOW, showSelectedQuestion},
};

BOOL onNotify(HWND dialog, DetailState& state, const NMHDR& header) {
    if (header.idFrom != IDC_DETAIL_LIST) return FALSE;
    if (header.code == LVN_COLUMNCLICK) {
        sortByColumn(dialog, state, reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
        return TRUE;
    }
    if (header.code == NM_DBLCLK) {
        showSelectedQuestion(dialog, state);
        return TRUE;
    }
    return FALSE;
}

INT_PTR onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, DetailState& state) {
    switch (message) {
    case WM_SIZE:
        layout(dialog, state);
        return TRUE;
    case WM_SHOWWINDOW:
        if (wParam && state.maximiseWhenShown) {
            state.maximiseWhenShown = false;
            PostMessageW(dialog, kMaximiseMessage, 0, 0);
        }
        return FALSE;
    case kMaximiseMessage:
        ShowWindow(dialog, SW_MAXIMIZE);
        return TRUE;
    case WM_GETMINMAXINFO: {
        const PixelSize minimum = listDialogMinimumSize(windowDpi(dialog));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {minimum.width, minimum.height};
        return TRUE;
    }
    case WM_NOTIFY:
        return onNotify(dialog, state, *reinterpret_cast<const NMHDR*>(lParam));
    case WM_COMMAND:
        return runDialogCommand(kCommands, dialog, state, LOWORD(wParam));
    }
    return FALSE;
}

} // namespace

void showDetailDialog(HWND owner, const std::vector<ExamResult>& results) {
    DetailState state;
    state.results = &results;
    runModalDialog(owner, IDD_DETAIL, kitDialogProc<DetailState, onInit, onMessage, kHelpDetail>, &state);
}

} // namespace rekal::win
