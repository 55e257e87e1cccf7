#include "win/exam/rangedialog.h"

#include "core/base/messages.h"
#include "core/display/markup.h"
#include "core/exam/startlimits.h"
#include "core/shell/helpcontexts.h"
#include "resource.h"
#include "win/base/winnotifier.h"
#include "win/base/wintext.h"
#include "win/dialogs/commandtable.h"
#include "win/dialogs/dialogkit.h"
#include "win/program/app.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <utility>

namespace rekal::win {

namespace {

struct RangeState {
    QuestionBook* book = nullptr;
    bool stored = false;
    bool ready = false; // the controls are filled: edits' changes recount from here on
};

bool byTitle(HWND dialog) {
    return IsDlgButtonChecked(dialog, IDC_RANGE_BY_TITLE) == BST_CHECKED;
}

std::array<bool, 9> selectedGroups(HWND dialog) {
    std::array<bool, 9> groups{};
    for (int g = 0; g < 9; ++g)
        groups[static_cast<std::size_t>(g)] =
            SendDlgItemMessageW(dialog, IDC_RANGE_GROUPS, LB_GETSEL, g, 0) > 0;
    return groups;
}

void selectAllGroups(HWND dialog, bool on) {
    SendDlgItemMessageW(dialog, IDC_RANGE_GROUPS, LB_SETSEL, on ? TRUE : FALSE, -1);
}

// The question's or title's text on one line, as it was written.
std::string oneLine(StoredText text) {
    std::string line = clipboardText(text.view());
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

std::string numberedText(const QuestionBook& book, bool titles, const std::optional<int>& number) {
    if (!number) return {};
    if (titles) {
        const TitleCard* t = book.titleAt(*number - 1);
        return t ? oneLine(t->title) : std::string();
    }
    const QuestionCard* q = book.questionAt(*number - 1);
    return q ? oneLine(q->question) : std::string();
}

RangeCheck currentCheck(HWND dialog, const QuestionBook& book) {
    const std::string start = windowText(GetDlgItem(dialog, IDC_RANGE_START));
    const std::string end = windowText(GetDlgItem(dialog, IDC_RANGE_END));
    return checkRange(book, RangeChoice{byTitle(dialog), start, end, selectedGroups(dialog)});
}

void recount(HWND dialog, const RangeState& state) {
    if (!state.ready) return;
    const RangeCheck check = currentCheck(dialog, *state.book);
    const bool titles = byTitle(dialog);
    setWindowText(GetDlgItem(dialog, IDC_RANGE_START_TEXT), numberedText(*state.book, titles, check.start));
    setWindowText(GetDlgItem(dialog, IDC_RANGE_END_TEXT), numberedText(*state.book, titles, check.end));
    setWindowText(GetDlgItem(dialog, IDC_RANGE_COUNT), std::to_string(check.count) + "問");
}

// Question or title numbers: both edits run over the whole book in that kind of number.
void selectNumbering(HWND dialog, RangeState& state, bool titles) {
    CheckRadioButton(dialog, IDC_RANGE_BY_QUESTION, IDC_RANGE_BY_TITLE,
                     titles ? IDC_RANGE_BY_TITLE : IDC_RANGE_BY_QUESTION);
    const int limit = rangeNumberLimit(*state.book, titles);
    const std::string limitText = numberLimitText(limit);
    const bool wasReady = std::exchange(state.ready, false);
    setUpNumberEdit(dialog, IDC_RANGE_START, IDC_RANGE_START_SPIN, 1, std::max(limit, 1), 1);
    setUpNumberEdit(dialog, IDC_RANGE_END, IDC_RANGE_END_SPIN, 1, std::max(limit, 1), limit);
    state.ready = wasReady;
    setWindowText(GetDlgItem(dialog, IDC_RANGE_START_LIMIT), limitText);
    setWindowText(GetDlgItem(dialog, IDC_RANGE_END_LIMIT), limitText);
    recount(dialog, state);
}

void focusOk(HWND dialog) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
}

INT_PTR onInit(HWND dialog, RangeState& state) {
    centreOnOwner(dialog);
    const QuestionBook& book = *state.book;
    HWND list = GetDlgItem(dialog, IDC_RANGE_GROUPS);
    for (int g = 1; g <= 9; ++g) {
        const std::wstring name = toWide(book.groupName(g).value_or(std::string(defaultGroupName(g))));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
        SendMessageW(list, LB_SETSEL, book.groupEnabled(g) ? TRUE : FALSE, g - 1);
    }
    SendMessageW(list, LB_SETTOPINDEX, 0, 0); // selecting scrolled the list to its last group
    selectNumbering(dialog, state, false);
    setWindowText(GetDlgItem(dialog, IDC_RANGE_START), std::to_string(book.rangeFirst() + 1));
    setWindowText(GetDlgItem(dialog, IDC_RANGE_END), std::to_string(book.rangeLast() + 1));
    SendDlgItemMessageW(dialog, IDC_RANGE_START_SPIN, UDM_SETPOS32, 0, book.rangeFirst() + 1);
    SendDlgItemMessageW(dialog, IDC_RANGE_END_SPIN, UDM_SETPOS32, 0, book.rangeLast() + 1);
    state.ready = true;
    recount(dialog, state);
    return TRUE;
}

constexpr DialogCommand<RangeState> kCommands[] = {
    {IDOK,
     [](HWND dialog, RangeState& state) {
         const RangeCheck check = currentCheck(dialog, *state.book);
         if (!check.valid()) {
             showMessage(dialog, msg::kOutOfRange, MB_OK | MB_ICONERROR);
             return;
         }
         storeRange(*state.book, check, selectedGroups(dialog));
         state.stored = true;
         EndDialog(dialog, IDOK);
     }},
    {IDCANCEL, [](HWND dialog, RangeState&) { EndDialog(dialog, IDCANCEL); }},
    {IDC_RANGE_BY_QUESTION, [](HWND dialog, RangeState& state) { selectNumbering(dialog, state, false); }},
    {IDC_RANGE_BY_TITLE, [](HWND dialog, RangeState& state) { selectNumbering(dialog, state, true); }},
    {IDC_RANGE_DEFAULT,
     [](HWND dialog, RangeState& state) {
         selectAllGroups(dialog, true);
         selectNumbering(dialog, state, false);
         focusOk(dialog);
     }},
    {IDC_RANGE_NO_GROUPS,
     [](HWND dialog, RangeState& state) {
         selectAllGroups(dialog, false);
         recount(dialog, state);
         focusOk(dialog);
     }},
};

INT_PTR onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, RangeState& state) {
    if (message != WM_COMMAND) return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if ((id == IDC_RANGE_START || id == IDC_RANGE_END) && code == EN_CHANGE) {
        recount(dialog, state);
        return TRUE;
    }
    if (id == IDC_RANGE_GROUPS && code == LBN_SELCHANGE) {
        recount(dialog, state);
        return TRUE;
    }
    if (code != BN_CLICKED && id != IDOK && id != IDCANCEL) return FALSE;
    return runDialogCommand(kCommands, dialog, state, id);
}

} // namespace

bool showRangeDialog(HWND owner, QuestionBook& book) {
    RangeState state;
    state.book = &book;
    runModalDialog(owner, IDD_RANGE, kitDialogProc<RangeState, onInit, onMessage, kHelpRange>, &state);
    return state.stored;
}

void openRangeDialog(HWND owner) {
    if (app().book.questionCount() > 0 && !examRunning()) showRangeDialog(owner, app().book);
}

} // namespace rekal::win
