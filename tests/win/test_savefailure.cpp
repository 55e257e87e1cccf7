// A book that cannot be saved (made read-only and not to be written, or its folder gone): no
// command loads another file over its unsaved histories, and closing asks before it lets them go;
// a gone file can be saved under another name.
// And a save keeps what the file was: its attributes, no temporary file left.

#include "shelltest.h"

#include "win/shell/bookfile.h"

namespace {

using namespace shelltest;

const std::wstring kExitQuestion = L"変更が保存されていません。保存せずに終了しますか？";

// Every message box is answered with `button` where it has one (a question), with OK otherwise.
std::function<void(HWND)> answering(int button) {
    return [button](HWND box) {
        const int id = GetDlgItem(box, button) ? button : IDOK;
        PostMessageW(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
    };
}

// A file dialog that should not have come is counted and cancelled (from a timer of its own loop).
int g_fileDialogs = 0;
void CALLBACK cancelFileDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = ownedDialog();
    if (!dialog || windowText(dialog) == L"Rekal for Windows") return;
    ++g_fileDialogs;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

// The book of a test: two questions with full histories, in a folder of its own inside the test's
// folder, and another book to try to open over it. After start-up the histories are cleared, so the
// book holds changes only the program knows. The test's folder goes with it.
struct ChangedBook {
    fs::path dir, folder, book, other;

    explicit ChangedBook(const wchar_t* name) : dir(makeFolder(name)), folder(dir / L"本棚") {
        fs::create_directories(folder);
        book = folder / L"履歴.rkf";
        writeBytes(book, "REKALDATA V1.6\r\nq1,a1,[00\r\nq2,a2,K00\r\n");
        other = writeBook(dir, L"別の本.rkf", "別");
        ok(start(dir, other.wstring()), "start-up failed");
        rekal::win::openBookFile(book); // the other book is now recent entry 2
        DialogWatcher yes(L"Rekal for Windows", answering(IDYES));
        command(2314);
    }
    ~ChangedBook() { removeFolder(dir); }
};

// Still the changed book, with the histories of this session.
void checkKept(const char* file, int line, const ChangedBook& b, const char* after) {
    const rekal::QuestionBook& book = app().book;
    ok_at(file, line, book.isLoaded() && book.file() == b.book, "%s: book %s", after, book.path().c_str());
    ok_at(file, line, book.isDirty(), "%s: the changes are gone", after);
    ok_at(file, line, book.questionCount() == 2 && book.questionAt(0)->history == 0, "%s: histories lost",
          after);
    ok_at(file, line, caption() == b.book.wstring() + L" - Rekal for Windows", "%s: caption %s", after,
          wintest::utf8(caption()).c_str());
}
#define checkKept(b, after) checkKept(__FILE__, __LINE__, b, after)

// The question of a save that finds the book's file gone.
std::wstring lostQuestion(const ChangedBook& b) {
    return b.book.wstring() + L" が見つからないか、読み込めません。\n名前を付けて保存しますか？";
}

// Each way of replacing the book, and closing, with a save that does not happen; the user's first
// box says why (`reason`). Then the cause goes away and Save writes the histories.
void everyPathKeepsTheBook(const ChangedBook& b, const std::wstring& reason,
                           const std::function<void()>& mend) {
    {
        DialogWatcher no(L"Rekal for Windows", answering(IDNO));
        g_fileDialogs = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, 100, cancelFileDialog);
        command(2001);
        wintest::flushEvents(300);
        KillTimer(nullptr, timer);
        ok(g_fileDialogs == 0, "the open dialog came after a failed save");
        checkKept(b, "Open");

        dropFiles({b.other});
        checkKept(b, "a dropped file");
        command(2702);
        checkKept(b, "a recent file");
        ok(!rekal::win::openAnotherBook(b.other), "another book opened");
        checkKept(b, "opening from the exam log");

        // Closing asks; No keeps the program, with a working exam view.
        SendMessageW(app().mainWindow, WM_CLOSE, 0, 0);
        wintest::flushEvents();
        ok(IsWindow(app().mainWindow), "the program closed");
        ok(app().examView && IsWindow(app().examView), "no exam view after staying");
        checkKept(b, "closing answered No");
        const std::vector<std::wstring> texts = no.texts();
        // One box for each refused save (four commands, then closing), and the question.
        std::vector<std::wstring> expected(5, reason);
        expected.push_back(kExitQuestion);
        ok(texts == expected, "%d boxes, the last %s", static_cast<int>(texts.size()),
           texts.empty() ? "" : wintest::utf8(texts.back()).c_str());
    }
    mend();
    command(2003);
    ok(!app().book.isDirty(), "not saved once mended");
    ok(readBytes(b.book) == "REKALDATA V1.6\r\nq1,a1,<00\r\nq2,a2,<00\r\n", "saved:\n%s",
       readBytes(b.book).c_str());
}

} // namespace

WINTEST(aReadOnlyBookTheUserWillNotWrite) {
    ChangedBook b(L"rekal-savefail-ro");
    SetFileAttributesW(b.book.c_str(), FILE_ATTRIBUTE_READONLY);
    const std::wstring question = b.book.wstring() + L" は読み込み専用ファイルです。保存しますか？";
    everyPathKeepsTheBook(b, question, [&] { SetFileAttributesW(b.book.c_str(), FILE_ATTRIBUTE_NORMAL); });
    closeProgram();
}

// The book's file gone: each save offers to save the book under another name (declined here); the
// file back as it was, the save writes it.
WINTEST(aBookWhoseFolderHasGone) {
    ChangedBook b(L"rekal-savefail-gone");
    const std::string before = readBytes(b.book);
    fs::remove_all(b.folder);
    everyPathKeepsTheBook(b, lostQuestion(b), [&] {
        fs::create_directories(b.folder);
        writeBytes(b.book, before);
    });
    closeProgram();
}

WINTEST(closingWithoutSavingWhenTheUserSaysSo) {
    ChangedBook b(L"rekal-savefail-exit");
    fs::remove_all(b.folder);
    // No to another name, Yes to leaving without the changes.
    DialogWatcher boxes(L"Rekal for Windows", [](HWND box) {
        wchar_t text[1024] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 1024);
        answering(text == kExitQuestion ? IDYES : IDNO)(box);
    });
    closeProgram();
    ok(boxes.texts() == std::vector<std::wstring>({lostQuestion(b), kExitQuestion}), "%d boxes",
       static_cast<int>(boxes.texts().size()));
    ok(!IsWindow(app().mainWindow), "the program is still open");
    ok(!fs::exists(b.folder), "something was written");
}

// Yes to the offer: the book is written under the name the user gives, and is that file from then on.
WINTEST(aGoneBookSavedUnderAnotherName) {
    ChangedBook b(L"rekal-savefail-saveas");
    fs::remove_all(b.folder);
    const fs::path rescued = b.dir / L"救出.rkf";
    DialogWatcher yes(L"Rekal for Windows", answering(IDYES));
    DialogWatcher fileDialog(
        [](HWND dialog) {
            return GetWindow(dialog, GW_OWNER) == app().mainWindow &&
                   windowText(dialog) != L"Rekal for Windows";
        },
        [&](HWND dialog) {
            HWND name = GetDlgItem(dialog, 0x47C);       // cmb13, the file name box
            if (!name) name = GetDlgItem(dialog, 0x480); // edt1 in older dialogs
            SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(rescued.c_str()));
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        });
    command(2003);
    wintest::flushEvents(300);
    ok(yes.texts() == std::vector<std::wstring>{lostQuestion(b)}, "%d boxes", yes.seen());
    ok(app().book.file() == rescued && !app().book.isDirty(), "not saved as %s", app().book.path().c_str());
    ok(readBytes(rescued) == "REKALDATA V1.6\r\nq1,a1,<00\r\nq2,a2,<00\r\n", "saved:\n%s",
       readBytes(rescued).c_str());
    ok(caption() == rescued.wstring() + L" - Rekal for Windows", "caption %s",
       wintest::utf8(caption()).c_str());
    closeProgram();
}

WINTEST(aSaveKeepsTheFilesAttributes) {
    ChangedBook b(L"rekal-save-attributes");
    SetFileAttributesW(b.book.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    command(2003);
    ok(!app().book.isDirty(), "not saved");
    const DWORD attributes = GetFileAttributesW(b.book.c_str());
    ok(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN), "attributes %lx",
       attributes);
    ok(readBytes(b.book) == "REKALDATA V1.6\r\nq1,a1,<00\r\nq2,a2,<00\r\n", "saved:\n%s",
       readBytes(b.book).c_str());
    ok(!fs::exists(b.book.wstring() + L".tmp~"), "a temporary file is left");
    SetFileAttributesW(b.book.c_str(), FILE_ATTRIBUTE_NORMAL);
    closeProgram();
}

WINTEST_MAIN("savefailure")
