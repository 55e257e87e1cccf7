#include "win/exam/countdialog.h"

#include "core/base/messages.h"
#include "core/exam/startlimits.h"
#include "core/shell/helpcontexts.h"
#include "resource.h"
#include "win/base/winnotifier.h"
#include "win/base/wintext.h"
#include "win/dialogs/commandtable.h"
#include "win/dialogs/dialogkit.h"

#include <commctrl.h>

#include <string>

namespace rekal::win {

namespace {

constexpr int kMaxStrength = 10;

struct CountState {
    const QuestionBook* book = nullptr;
    Settings* settings = nullptr;
    bool weakPoints = false; // the weak-point dialog, with its trackbar
    std::optional<ExamCount> accepted;
};

bool noRepeatTicked(HWND dialog) {
    return IsDlgButtonChecked(dialog, IDC_COUNT_NO_REPEAT) == BST_CHECKED;
}

// The box decides the largest count: the up-down's range and the "(1～%d)" beside it follow it.
// The edit keeps what it shows; "OK" checks it.
int applyNoRepeat(HWND dialog, const CountState& state) {
    const int maximum = examCountMaximum(*state.book, noRepeatTicked(dialog));
    SendDlgItemMessageW(dialog, IDC_COUNT_SPIN, UDM_SETRANGE32, 1, maximum);
    setWindowText(GetDlgItem(dialog, IDC_COUNT_LIMIT), numberLimitText(maximum));
    return maximum;
}

BOOL onInit(HWND dialog, CountState& state) {
    centreOnOwner(dialog);
    const Settings& settings = *state.settings;
    CheckDlgButton(dialog, IDC_COUNT_NO_REPEAT, settings.has(NoAlready) ? BST_CHECKED : BST_UNCHECKED);
    const int maximum = applyNoRepeat(dialog, state);
    setUpNumberEdit(dialog, IDC_COUNT_EDIT, IDC_COUNT_SPIN, 1, maximum, openingExamCount(settings, maximum));
    if (state.weakPoints) {
        HWND bar = GetDlgItem(dialog, IDC_COUNT_STRENGTH);
        SendMessageW(bar, TBM_SETRANGE, FALSE, MAKELPARAM(0, kMaxStrength));
        SendMessageW(bar, TBM_SETTICFREQ, 1, 0);
        SendMessageW(bar, TBM_SETPOS, TRUE, settings.weakPointStrength);
    }
    HWND edit = GetDlgItem(dialog, IDC_COUNT_EDIT);
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    return FALSE; // the focus is set
}

void onOk(HWND dialog, CountState& state) {
    const std::string text = windowText(GetDlgItem(dialog, IDC_COUNT_EDIT));
    CountChoice choice{text, noRepeatTicked(dialog), std::nullopt};
    if (state.weakPoints)
        choice.weakPointStrength =
            static_cast<int>(SendDlgItemMessageW(dialog, IDC_COUNT_STRENGTH, TBM_GETPOS, 0, 0));
    if (const std::optional<int> count = acceptExamCount(*state.book, *state.settings, choice)) {
        state.accepted = ExamCount{*count, choice.noRepeat};
        EndDialog(dialog, IDOK);
        return;
    }
    showMessage(dialog, msg::kOutOfRange, MB_OK | MB_ICONERROR);
    // The count dialog gives the edit the focus again (its text selected); the weak-point dialog
    // leaves the focus where it was.
    if (!state.weakPoints)
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_COUNT_EDIT)),
                     TRUE);
}

constexpr DialogCommand<CountState> kCommands[] = {
    {IDOK, onOk},
    {IDCANCEL, [](HWND dialog, CountState&) { EndDialog(dialog, IDCANCEL); }},
    {IDC_COUNT_NO_REPEAT, [](HWND dialog, CountState& state) { applyNoRepeat(dialog, state); }},
};

INT_PTR CALLBACK countProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return onInit(dialog, hangDialogState<CountState>(dialog, lParam));
    CountState* state = dialogState<CountState>(dialog);
    if (!state) return FALSE;
    if (handleCommonDialogMessage(dialog, message, wParam, state->weakPoints ? kHelpWeakPoints : kHelpCount))
        return TRUE;
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED) return FALSE;
    return runDialogCommand(kCommands, dialog, *state, LOWORD(wParam));
}

std::optional<ExamCount> showStartCountDialog(HWND owner, const QuestionBook& book, Settings& settings,
                                              bool weakPoints) {
    CountState state;
    state.book = &book;
    state.settings = &settings;
    state.weakPoints = weakPoints;
    runModalDialog(owner, weakPoints ? IDD_WEAK_POINT : IDD_COUNT, countProc, &state);
    return state.accepted;
}

} // namespace

std::optional<ExamCount> showCountDialog(HWND owner, const QuestionBook& book, Settings& settings) {
    return showStartCountDialog(owner, book, settings, false);
}

std::optional<ExamCount> showWeakPointDialog(HWND owner, const QuestionBook& book, Settings& settings) {
    return showStartCountDialog(owner, book, settings, true);
}

} // namespace rekal::win
