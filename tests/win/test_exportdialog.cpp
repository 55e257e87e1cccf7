// The export dialog driven as a user would: the proposed name, the overwrite question answered
// each way, and the written table compared byte for byte with the core's writer.

#include "shelltest.h"

#include "core/base/notifier.h"
#include "core/data/export.h"

using namespace shelltest;

namespace {

struct Drive {
    Drive(fs::path f, bool t, int a = 0) : file(std::move(f)), tab(t), answer(a) {}
    fs::path file; // typed into the edit
    bool tab;
    int answer; // the overwrite question's answer; 0 when none is expected
    // What the watcher saw.
    std::wstring proposed;
    std::wstring question;
    bool stayedOpen = false;
};

HWND waitForBox(const wchar_t* caption, HWND besides) {
    for (int i = 0; i < 250; ++i) {
        for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", caption)) != nullptr;)
            if (w != besides && IsWindowVisible(w)) return w;
        Sleep(20);
    }
    return nullptr;
}

// Opens File > エクスポート and fills the dialog from a thread of its own, as a user would.
void exportThroughDialog(Drive& d) {
    DialogWatcher watcher(wide("エクスポート"), [&d](HWND dialog) {
        wchar_t text[MAX_PATH] = {};
        GetDlgItemTextW(dialog, IDC_EXPORT_FILE, text, MAX_PATH);
        d.proposed = text;
        if (const char* pause = std::getenv("REKAL_TEST_PAUSE_MS"))
            Sleep(static_cast<DWORD>(std::atoi(pause)));
        SetDlgItemTextW(dialog, IDC_EXPORT_FILE, d.file.c_str());
        if (d.tab) SendMessageW(GetDlgItem(dialog, IDC_EXPORT_TAB), BM_CLICK, 0, 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        if (d.answer == 0) return;
        HWND box = waitForBox(L"Rekal for Windows", dialog);
        if (!box) return;
        Sleep(50);
        wchar_t question[512] = {};
        GetDlgItemTextW(box, 0xFFFF, question, 512);
        d.question = question;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(d.answer, BN_CLICKED), 0);
        if (d.answer != IDCANCEL) return;
        Sleep(300);
        d.stayedOpen = IsWindowVisible(dialog) != FALSE;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    command(CMD_EXPORT);
}

std::string coreTable(const fs::path& dir, bool comma) {
    rekal::SilentNotifier quiet;
    const fs::path reference = dir / L"reference.csv";
    rekal::exportBook(app().book, reference, comma, quiet);
    return readBytes(reference);
}

} // namespace

WINTEST(exportDialogWritesTheTableAndAsksBeforeOverwriting) {
    auto dir = makeFolder(L"rekal-export");
    const std::string bookBytes = "REKALDATA V1.6\r\n$Group=全般,地理\r\n"
                                  "1\\,000円,ans,<00\r\n"
                                  "say \"hi\"\ttab,x\"y,P30'note\r\n"
                                  "line\\nbreak,a,L10\r\n";
    const fs::path book = dir / L"単語.rkf";
    writeBytes(book, bookBytes);
    ok(start(dir, L"\"" + book.wstring() + L"\""), "start-up failed");
    ok(app().book.isLoaded(), "the book was not loaded");

    // A new file: no question; the TAB table is the core's, byte for byte.
    Drive fresh{dir / L"表.csv", true};
    exportThroughDialog(fresh);
    ok(fresh.proposed == (dir / L"単語.csv").wstring(), "proposed %s", wintest::utf8(fresh.proposed).c_str());
    const std::string tabTable = coreTable(dir, false);
    ok(tabTable.starts_with(cp932(L"問題番号\t問題\t答え\t")), "the core's table is not tab-separated");
    ok(readBytes(fresh.file) == tabTable, "the dialog's TAB table differs from the core's");

    // An existing file: No closes without exporting, Cancel keeps the dialog open, Yes overwrites.
    const fs::path old = dir / L"old.csv";
    writeBytes(old, "old table");
    Drive no{old, false, IDNO};
    exportThroughDialog(no);
    ok(no.question == wide("ファイルはすでに存在します。上書きしますか？"), "question %s",
       wintest::utf8(no.question).c_str());
    ok(readBytes(old) == "old table", "No overwrote the file");

    Drive cancel{old, false, IDCANCEL};
    exportThroughDialog(cancel);
    ok(!cancel.question.empty(), "Cancel: no question");
    ok(cancel.stayedOpen, "Cancel closed the dialog");
    ok(readBytes(old) == "old table", "Cancel overwrote the file");

    Drive yes{old, false, IDYES};
    exportThroughDialog(yes);
    ok(!yes.question.empty(), "Yes: no question");
    ok(readBytes(old) == coreTable(dir, true), "Yes did not write the comma table");
    ok(!IsWindow(FindWindowW(L"#32770", wide("エクスポート").c_str())), "the dialog is still open");

    closeProgram();
    removeFolder(dir);
}

WINTEST_MAIN("exportdialog")
