#include "win/shell/exportdialog.h"

#include "core/base/messages.h"
#include "core/data/export.h"
#include "core/shell/filename.h"
#include "core/shell/helpcontexts.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/dialogs/filedialog.h"
#include "win/base/waitcursor.h"
#include "win/base/winnotifier.h"
#include "win/base/wintext.h"
#include "win/dialogs/commandtable.h"
#include "win/dialogs/dialogkit.h"
#include "win/exam/examview.h"

#include <filesystem>
#include <string>

namespace rekal::win {

namespace {

constexpr const char* kOverwriteQuestion = "ファイルはすでに存在します。上書きしますか？";

std::filesystem::path editedFile(HWND dialog) {
    return std::filesystem::path(wideWindowText(GetDlgItem(dialog, IDC_EXPORT_FILE)));
}

INT_PTR onInit(HWND dialog, ExportDialogData& data) {
    centreOnOwner(dialog);
    SetDlgItemTextW(dialog, IDC_EXPORT_FILE, proposedExportFile(data.book->file()).c_str());
    CheckRadioButton(dialog, IDC_EXPORT_COMMA, IDC_EXPORT_TAB, IDC_EXPORT_COMMA);
    return TRUE;
}

// 参照: a save dialog starting from the edit's text; the chosen name replaces it.
void browse(HWND dialog, ExportDialogData& data) {
    const std::optional<std::filesystem::path> chosen = chooseSaveFile(dialog, editedFile(dialog),
                                                                       {{"CSV ファイル (*.csv)", "*.csv"},
                                                                        {"テキストファイル (*.txt)", "*.txt"},
                                                                        {"すべてのファイル (*.*)", "*.*"}},
                                                                       *data.notifier);
    if (!chosen) return;
    SetDlgItemTextW(dialog, IDC_EXPORT_FILE, chosen->c_str());
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDOK)), TRUE);
}

// 保存: an existing file is overwritten only on Yes; No closes without exporting, Cancel stays.
void save(HWND dialog, ExportDialogData& data) {
    const std::filesystem::path file = editedFile(dialog);
    std::error_code error;
    if (std::filesystem::exists(file, error)) {
        switch (showMessage(dialog, kOverwriteQuestion, MB_YESNOCANCEL | MB_ICONQUESTION)) {
        case IDYES:
            break;
        case IDNO:
            EndDialog(dialog, IDCANCEL);
            return;
        default:
            return;
        }
    }
    const bool comma = IsDlgButtonChecked(dialog, IDC_EXPORT_COMMA) == BST_CHECKED;
    WaitCursor cursor;
    cursor.begin();
    setStatusText(StatusText::Saving);
    data.exported = exportBook(*data.book, file, comma, *data.notifier);
    setStatusText(StatusText::Idle);
    cursor.end();
    EndDialog(dialog, IDOK);
}

constexpr DialogCommand<ExportDialogData> kCommands[] = {
    {IDC_EXPORT_BROWSE, browse},
    {IDOK, save},
    {IDCANCEL, [](HWND dialog, ExportDialogData&) { EndDialog(dialog, IDCANCEL); }},
};

INT_PTR onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, ExportDialogData& data) {
    if (message == WM_COMMAND) return runDialogCommand(kCommands, dialog, data, LOWORD(wParam));
    return FALSE;
}

} // namespace

void showExportDialog(HWND owner, ExportDialogData& data) {
    if (!data.book || !data.notifier || !data.book->isLoaded()) return;
    runModalDialog(owner, IDD_EXPORT, kitDialogProc<ExportDialogData, onInit, onMessage, kHelpExport>, &data);
}

void openExportDialog(HWND owner) {
    ExportDialogData data;
    data.book = &app().book;
    data.notifier = &app().notifier;
    showExportDialog(owner, data);
}

} // namespace rekal::win
