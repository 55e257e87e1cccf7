#include "win/exam/resultdialog.h"

namespace rekal::win {

// Until the dialog exists a finished run closes as with OK and no retry.
ResultDialogChoice showResultDialog(HWND, const ResultDialogInput&) {
    ResultDialogChoice choice;
    choice.ok = true;
    return choice;
}

} // namespace rekal::win
