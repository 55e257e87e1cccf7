#include "win/list/finddialog.h"

#include "core/base/messages.h"
#include "win/program/app.h"
#include "win/base/wintext.h"

#include <dlgs.h>

namespace rekal::win {

void FindDialog::open(HWND owner) {
    if (dialog_) {
        SetFocus(dialog_);
        return;
    }
    record_ = FINDREPLACEW{};
    record_.lStructSize = sizeof record_;
    record_.hwndOwner = owner;
    record_.Flags = FR_DOWN | FR_HIDEMATCHCASE | FR_HIDEWHOLEWORD;
    record_.lpstrFindWhat = text_.data();
    record_.wFindWhatLen = static_cast<WORD>(text_.size());
    dialog_ = FindTextW(&record_);
    app().findDialog = dialog_;
    if (!dialog_) app().notifier.error(msg::kCannotOpenDialog);
}

void FindDialog::close() {
    if (!dialog_) return;
    HWND dialog = dialog_;
    forget();
    if (IsWindow(dialog)) DestroyWindow(dialog);
}

void FindDialog::forget() {
    if (app().findDialog == dialog_) app().findDialog = nullptr;
    dialog_ = nullptr;
}

std::optional<FindRequest> FindDialog::onFindMessage(LPARAM lParam) {
    const auto* record = reinterpret_cast<const FINDREPLACEW*>(lParam);
    if (record != &record_) return std::nullopt;
    if (record->Flags & FR_DIALOGTERM) {
        forget();
        return std::nullopt;
    }
    if (!(record->Flags & FR_FINDNEXT)) return std::nullopt;
    // The text as the dialog's edit holds it: some systems hand the buffer back through the ANSI
    // code page, which loses what it cannot hold.
    if (dialog_) GetDlgItemTextW(dialog_, edt1, text_.data(), static_cast<int>(text_.size()));
    return FindRequest{toCp932Exactly(text_.data()), (record->Flags & FR_DOWN) != 0};
}

} // namespace rekal::win
