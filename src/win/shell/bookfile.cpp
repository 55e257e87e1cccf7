#include "win/shell/bookfile.h"

#include "core/base/messages.h"
#include "core/data/reader.h"
#include "core/data/merge.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/dialogs/filedialog.h"
#include "win/shell/mainwindow.h"
#include "win/exam/commandstate.h"
#include "win/shell/recentfiles.h"
#include "win/base/waitcursor.h"
#include "win/base/wintext.h"
#include "win/exam/booksave.h"
#include "win/exam/examview.h"
#include "win/list/listwindow.h"

#include <commdlg.h>

#include <vector>

namespace rekal::win {

namespace {

constexpr const char* kClearHistoriesQuestion = "すべての問題の正誤履歴をクリアします。よろしいですか？";

// The window steps of the load procedure.
class ShellLoadHooks : public LoadHooks {
  public:
    void endRunningExam() override { endExamRun(); }
    void beforeLoad() override {
        AppState& a = app();
        closeListWindow();
        cursor_.begin();
        if (a.mainWindow) SendMessageW(a.mainWindow, WM_COMMAND, CMD_CREATE_EXAM_VIEW, 0);
    }
    void pathStored(const std::filesystem::path&) override {
        addBookToRecentFiles();
        setStatusText(StatusText::Loading);
    }
    void bookDiscarded() override {
        setFileCommandsEnabled(false);
        setCaption(std::nullopt);
    }
    void loadFinished(bool loaded) override {
        if (loaded) {
            setFileCommandsEnabled(true);
            setCaption(app().book.file());
        }
        refreshIdlePanel();
        refreshProgressWindow();
        setStatusText(StatusText::Idle);
        cursor_.end();
    }

  private:
    WaitCursor cursor_;
};

// A file dialog's buffer: the current book's path, at most MAX_PATH characters with the zero.
} // namespace

bool openBookFile(const std::filesystem::path& file) {
    AppState& a = app();
    ShellLoadHooks hooks;
    return loadBook(a.book, file, a.settings, a.notifier, &hooks);
}

bool saveBookIfChanged() {
    AppState& a = app();
    StatusSaveHooks hooks;
    afterBookSave(saveBookMerging(a.book, a.settings, a.notifier, &hooks));
    return !a.book.isDirty();
}

bool openAnotherBook(const std::filesystem::path& file) {
    const std::filesystem::path name = file; // the path may live in the book that the save or load replaces
    return saveBookIfChanged() && openBookFile(name);
}

void openWithDialog(HWND owner) {
    if (!saveBookIfChanged()) return;
    const std::optional<std::filesystem::path> chosen = chooseOpenFile(owner, app().book.file(),
                                                                       {{"REKALファイル (*.rkf)", "*.rkf"},
                                                                        {"テキストファイル (*.txt)", "*.txt"},
                                                                        {"CSVファイル (*.csv)", "*.csv"},
                                                                        {"すべてのファイル (*.*)", "*.*"}},
                                                                       app().notifier);
    if (chosen) openBookFile(*chosen);
}

void saveBookAs(HWND owner) {
    AppState& a = app();
    if (!a.book.isLoaded()) return;
    const std::optional<std::filesystem::path> chosen = chooseSaveFile(
        owner, a.book.file(), {{"REKALファイル (*.rkf)", "*.rkf"}, {"すべてのファイル (*.*)", "*.*"}},
        a.notifier, OFN_OVERWRITEPROMPT);
    if (!chosen) return;
    a.book.setFile(*chosen);
    // The user chose to write there: whatever that file holds (the book's own file included, when it
    // has gone) is replaced, not merged with.
    a.book.setFileStamp(std::nullopt);
    a.book.setDirty(true);
    saveBookIfChanged();
    a.book.setFile(a.book.file()); // a short name exists only once the file does
    setCaption(a.book.file());
    refreshIdlePanel();
    if (!a.book.isDirty()) addBookToRecentFiles(); // saved: as if it had been opened
}

void openDroppedFile(HDROP drop) {
    const std::filesystem::path file = firstDroppedFile(drop);
    if (!file.empty()) openAnotherBook(file);
}

void clearAllHistories() {
    AppState& a = app();
    if (!a.book.isLoaded()) return;
    if (!a.notifier.ask(kClearHistoriesQuestion)) return;
    a.book.clearHistories();
    a.book.setDirty(true);
    refreshProgressWindow(); // the questions' standing
}

} // namespace rekal::win
