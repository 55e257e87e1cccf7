#include "win/exam/resultdialog.h"

#include "core/exam/method.h"
#include "core/match/format.h"
#include "core/shell/helpcontexts.h"
#include "resource.h"
#include "win/base/wintext.h"
#include "win/dialogs/commandtable.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"
#include "win/exam/detaildialog.h"

#include <mmsystem.h>

#include <string>

namespace rekal::win {

namespace {

constexpr const char* kResultFace = "ＭＳ Ｐゴシック";

struct ResultState {
    const ResultDialogInput* input = nullptr;
    ResultDialogChoice choice;
    OwnedFont font; // labels and values
};

bool ticked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

// The random box takes part only while the retry box is ticked.
void followRetryBox(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_RESULT_RANDOM), ticked(dialog, IDC_RESULT_RETRY));
}

INT_PTR onInit(HWND dialog, ResultState& state) {
    const ResultDialogInput& in = *state.input;
    centreOnOwner(dialog);
    state.font.reset(createInterfaceFont(dialog, 16, FW_BOLD, false, SHIFTJIS_CHARSET, kResultFace));
    for (int id = IDC_RESULT_ASKED_LABEL; id <= IDC_RESULT_TIME; ++id)
        setControlFont(dialog, id, state.font.get());
    const std::pair<int, std::string> values[] = {
        {IDC_RESULT_ASKED, std::to_string(in.asked)},
        {IDC_RESULT_ANSWERED, std::to_string(in.right + in.wrong)},
        {IDC_RESULT_RIGHT, std::to_string(in.right)},
        {IDC_RESULT_RATE, rateText(in.right, in.wrong)},
        {IDC_RESULT_TIME, formatDuration(in.elapsedMs)},
    };
    for (const auto& [id, text] : values)
        setWindowText(GetDlgItem(dialog, id), text);
    CheckDlgButton(dialog, IDC_RESULT_RETRY,
                   in.retryEnabled && in.retryChecked ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_RESULT_RANDOM,
                   in.retryEnabled && in.randomChecked ? BST_CHECKED : BST_UNCHECKED);
    EnableWindow(GetDlgItem(dialog, IDC_RESULT_RETRY), in.retryEnabled);
    followRetryBox(dialog);
    SetFocus(GetDlgItem(dialog, IDOK));
    return FALSE;
}

constexpr DialogCommand<ResultState> kCommands[] = {
    // OK hands both boxes over; the run stores them and starts a retry when one is asked for.
    {IDOK,
     [](HWND dialog, ResultState& state) {
         state.choice.ok = true;
         state.choice.retry = ticked(dialog, IDC_RESULT_RETRY);
         state.choice.random = ticked(dialog, IDC_RESULT_RANDOM);
         EndDialog(dialog, IDOK);
     }},
    // Esc or the close box: nothing is stored and nothing starts.
    {IDCANCEL,
     [](HWND dialog, ResultState& state) {
         state.choice = ResultDialogChoice{};
         EndDialog(dialog, IDCANCEL);
     }},
    {IDC_RESULT_RETRY, [](HWND dialog, ResultState&) { followRetryBox(dialog); }},
    {IDC_RESULT_DETAIL,
     [](HWND dialog, ResultState& state) { showDetailDialog(dialog, state.input->results); }},
};

INT_PTR onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, ResultState& state) {
    switch (message) {
    case WM_COMMAND:
        return runDialogCommand(kCommands, dialog, state, LOWORD(wParam));
    case WM_DESTROY:
        // The result sound may still be playing.
        PlaySoundW(nullptr, nullptr, 0);
        return FALSE;
    }
    return FALSE;
}

} // namespace

ResultDialogChoice showResultDialog(HWND owner, const ResultDialogInput& input) {
    ResultState state;
    state.input = &input;
    runModalDialog(owner, IDD_RESULT, kitDialogProc<ResultState, onInit, onMessage, kHelpResult>, &state);
    return state.choice;
}

} // namespace rekal::win
