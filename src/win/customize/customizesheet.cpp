#include "win/customize/customizesheet.h"

#include "win/program/app.h"
#include "win/program/help.h"
#include "win/base/winnotifier.h"
#include "win/base/wintext.h"
#include "win/customize/customizepages.h"
#include "win/dialogs/dialogkit.h"
#include "resource.h"

#include <commctrl.h>
#include <prsht.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace rekal::win {

namespace {

// One page of an open sheet: its rules and whether its controls are being filled by the program
// (their change notices are then no user edit).
struct PageState {
    const CustomizePage* page = nullptr;
    bool filling = false;
    std::unique_ptr<PageExtra> extra;
};

void markChanged(HWND page) {
    SendMessageW(GetParent(page), PSM_CHANGED, reinterpret_cast<WPARAM>(page), 0);
}

// The controls from a settings record, without marking the sheet changed.
void fill(HWND page, PageState& state, const Settings& from) {
    state.filling = true;
    state.page->show(page, from);
    state.page->enable(page);
    state.filling = false;
}

BOOL onInit(HWND page, PageState& state) {
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(GetParent(page), PSM_GETTABCONTROL, 0, 0));
    if (tabs) SetWindowLongPtrW(tabs, GWL_STYLE, GetWindowLongPtrW(tabs, GWL_STYLE) | TCS_HOTTRACK);
    state.filling = true;
    state.page->setUp(page, app().settings);
    state.filling = false;
    fill(page, state, app().settings);
    return TRUE;
}

// A user edit: a box clicked, a text changed, a list choice made.
bool isEdit(int code) {
    return code == BN_CLICKED || code == EN_CHANGE || code == CBN_SELCHANGE;
}

BOOL onCommand(HWND page, PageState& state, int id, int code) {
    if (id == IDC_RESET && code == BN_CLICKED) {
        fill(page, state, app().defaults);
        markChanged(page);
        return TRUE;
    }
    if (state.filling) return FALSE;
    if (state.page->command) {
        const PageCommand done = state.page->command(page, id, code);
        if (done == PageCommand::Changed) {
            state.page->enable(page);
            markChanged(page);
        }
        if (done != PageCommand::NotMine) return TRUE;
    }
    if (!isEdit(code)) return FALSE;
    state.page->enable(page);
    markChanged(page);
    return TRUE;
}

// Checks the page, then stores it; an invalid page is shown with its warning and keeps the sheet
// open on itself.
LRESULT onApply(HWND page, PageState& state) {
    const std::string_view warning = state.page->check(page);
    if (!warning.empty()) {
        HWND sheet = GetParent(page);
        const LRESULT position = SendMessageW(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0);
        if (position >= 0) SendMessageW(sheet, PSM_SETCURSEL, static_cast<WPARAM>(position), 0);
        showMessage(page, warning, MB_OK | MB_ICONWARNING);
        return PSNRET_INVALID_NOCHANGEPAGE;
    }
    state.page->store(page, app().settings);
    return PSNRET_NOERROR;
}

// Every page's template size, in its own dialog units.
constexpr int kPageWidth = 226, kPageHeight = 156;

void growWindow(HWND window, int dx, int dy) {
    RECT r;
    GetWindowRect(window, &r);
    SetWindowPos(window, nullptr, 0, 0, r.right - r.left + dx, r.bottom - r.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void moveChild(HWND child, int dx, int dy) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The sheet measures the page area in its own font, the pages are laid out in theirs: the sheet,
// its tab control and the area of its pages grow by what a page's template lacks, and its buttons
// move along, so that no page is cut off. The page shown fills the area.
void fitSheetToPage(HWND sheet, HWND page) {
    HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
    if (!tabs) return;
    RECT need{0, 0, kPageWidth, kPageHeight};
    MapDialogRect(page, &need);
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const int dx = std::max(0, static_cast<int>(need.right - (area.right - area.left)));
    const int dy = std::max(0, static_cast<int>(need.bottom - (area.bottom - area.top)));
    if (dx > 0 || dy > 0) {
        for (HWND child = GetWindow(sheet, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            wchar_t cls[16] = {};
            GetClassNameW(child, cls, 16);
            if (std::wstring_view(cls) == L"Button") moveChild(child, dx, dy);
        }
        growWindow(sheet, dx, dy);
        growWindow(tabs, dx, dy);
        centreOnOwner(sheet);
    }
    GetClientRect(tabs, &area);
    SendMessageW(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tabs, sheet, reinterpret_cast<POINT*>(&area), 2);
    SetWindowPos(page, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL onNotify(HWND page, PageState& state, const NMHDR& header) {
    LRESULT result = 0;
    switch (header.code) {
    case PSN_SETACTIVE:
        app().customizeStartPage = state.page->index;
        fitSheetToPage(GetParent(page), page);
        break;
    case PSN_APPLY:
        result = onApply(page, state);
        break;
    case PSN_HELP:
        showHelpTopic(page, state.page->helpContext);
        break;
    default:
        return FALSE;
    }
    SetWindowLongPtrW(page, DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR CALLBACK pageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto* sheetPage = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
        return onInit(page, hangDialogState<PageState>(page, sheetPage->lParam));
    }
    PageState* state = dialogState<PageState>(page);
    if (!state) return FALSE;
    if (handleCommonDialogMessage(page, message, wParam, state->page->helpContext)) return TRUE;
    if (state->page->message && state->page->message(page, message, wParam, lParam)) return TRUE;
    switch (message) {
    case WM_COMMAND:
        return onCommand(page, *state, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY:
        return onNotify(page, *state, *reinterpret_cast<const NMHDR*>(lParam));
    default:
        return FALSE;
    }
}

// F1 with the focus on the sheet's own controls (the tabs, OK, キャンセル, 適用) reaches the sheet,
// not a page: it opens the topic of the page shown.
LRESULT CALLBACK sheetHelpProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                               DWORD_PTR) {
    if (message == WM_HELP) {
        HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        if (PageState* state = page ? dialogState<PageState>(page) : nullptr) {
            showHelpTopic(page, state->page->helpContext);
            return TRUE;
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(sheet, sheetHelpProc, id);
    }
    return DefSubclassProc(sheet, message, wParam, lParam);
}

int CALLBACK sheetCallback(HWND sheet, UINT message, LPARAM) {
    if (message == PSCB_INITIALIZED) SetWindowSubclass(sheet, sheetHelpProc, 1, 0);
    return 0;
}

} // namespace

void attachPageExtra(HWND page, std::unique_ptr<PageExtra> extra) {
    if (PageState* state = dialogState<PageState>(page)) state->extra = std::move(extra);
}

PageExtra* pageExtraOf(HWND page) {
    PageState* state = dialogState<PageState>(page);
    return state ? state->extra.get() : nullptr;
}

QuietFill::QuietFill(HWND page) : page_(page), was_(false) {
    if (PageState* state = dialogState<PageState>(page_)) was_ = std::exchange(state->filling, true);
}

QuietFill::~QuietFill() {
    if (PageState* state = dialogState<PageState>(page_)) state->filling = was_;
}

void openCustomizeSheet(HWND owner) {
    const std::span<const CustomizePage> pages = customizePages();
    std::vector<PageState> states(pages.size());
    std::vector<PROPSHEETPAGEW> sheetPages(pages.size());
    UINT start = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        states[i].page = &pages[i];
        PROPSHEETPAGEW& p = sheetPages[i];
        p.dwSize = sizeof p;
        p.dwFlags = PSP_HASHELP;
        p.hInstance = app().instance;
        p.pszTemplate = MAKEINTRESOURCEW(pages[i].templateId);
        p.pfnDlgProc = pageProc;
        p.lParam = reinterpret_cast<LPARAM>(&states[i]);
        if (pages[i].index == app().customizeStartPage) start = static_cast<UINT>(i);
    }
    const std::wstring title = toWide("カスタマイズ");
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_HASHELP | PSH_NOCONTEXTHELP | PSH_USECALLBACK;
    header.pfnCallback = sheetCallback;
    header.hwndParent = owner;
    header.hInstance = app().instance;
    header.pszCaption = title.c_str();
    header.nPages = static_cast<UINT>(sheetPages.size());
    header.nStartPage = start;
    header.ppsp = sheetPages.data();
    PropertySheetW(&header);
}

} // namespace rekal::win
