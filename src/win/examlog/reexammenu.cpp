#include "win/examlog/reexammenu.h"

#include "core/shell/helpcontexts.h"
#include "resource.h"
#include "win/dialogs/dialogkit.h"

namespace rekal::win {

namespace {

constexpr int kChoiceButtons[] = {IDC_REEXAM_WRONG, IDC_REEXAM_ALL, IDC_REEXAM_SELECTED};

void onInit(HWND dialog, ReexamMenuData& data) {
    centreOnOwner(dialog);
    EnableWindow(GetDlgItem(dialog, IDC_REEXAM_SELECTED), data.selectionAvailable);
    CheckRadioButton(dialog, IDC_REEXAM_WRONG, IDC_REEXAM_SELECTED, IDC_REEXAM_WRONG);
    CheckDlgButton(dialog, IDC_REEXAM_RANDOM, data.random ? BST_CHECKED : BST_UNCHECKED);
}

void onOk(HWND dialog, ReexamMenuData& data) {
    for (int i = 0; i < 3; ++i)
        if (IsDlgButtonChecked(dialog, kChoiceButtons[i]) == BST_CHECKED)
            data.choice = static_cast<ReexamChoice>(i);
    data.random = IsDlgButtonChecked(dialog, IDC_REEXAM_RANDOM) == BST_CHECKED;
    EndDialog(dialog, IDOK);
}

INT_PTR CALLBACK reexamMenuProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        onInit(dialog, hangDialogState<ReexamMenuData>(dialog, lParam));
        return TRUE;
    }
    ReexamMenuData* data = dialogState<ReexamMenuData>(dialog);
    if (!data) return FALSE;
    if (handleCommonDialogMessage(dialog, message, wParam, kHelpReexamMenu)) return TRUE;
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        onOk(dialog, *data);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

bool showReexamMenu(HWND owner, ReexamMenuData& data) {
    return runModalDialog(owner, IDD_REEXAM, reexamMenuProc, &data) == IDOK;
}

} // namespace rekal::win
