#include "win/exam/booksave.h"

#include "resource.h"
#include "win/exam/examview.h"
#include "win/list/listwindow.h"
#include "win/program/app.h"

namespace rekal::win {

void StatusSaveHooks::saveStarted() {
    cursor_.begin();
    setStatusText(StatusText::Saving);
}

void StatusSaveHooks::saveFinished() {
    cursor_.end();
    setStatusText(StatusText::Idle);
}

void afterBookSave(const BookSaveResult& result) {
    AppState& a = app();
    if (result.merged) {
        closeListWindow();
        refreshIdlePanel();
        if (a.examView)
            if (HWND pane = GetDlgItem(a.examView, IDC_INFO_PANE)) InvalidateRect(pane, nullptr, FALSE);
    }
    if (result.outcome == BookSave::FileLost && a.saveBookAs &&
        a.notifier.ask(bookFileLostText(a.book.file()) + "\n" + kSaveAsQuestion))
        a.saveBookAs(a.mainWindow);
}

} // namespace rekal::win
