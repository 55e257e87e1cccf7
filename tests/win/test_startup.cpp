// Start-up with a file: the command line (quotes, spaces, further arguments), the last used file,
// a missing file, and what the window shows once a book is loaded.

#include "core/base/fileio.h"
#include "win/base/wintext.h"

#include "shelltest.h"

#include "win/shell/bookfile.h"

namespace {

using namespace shelltest;

void checkLoaded(const char* file, int line, const fs::path& book, int questions) {
    ok_at(file, line, app().book.isLoaded(), "no book loaded");
    ok_at(file, line, app().book.file() == book, "book path %s",
          wintest::utf8(app().book.file().wstring()).c_str());
    ok_at(file, line, app().book.questionCount() == questions, "%d questions", app().book.questionCount());
    const std::wstring expected = book.wstring() + L" - Rekal for Windows";
    ok_at(file, line, caption() == expected, "caption %s", wintest::utf8(caption()).c_str());
    for (int id : {2003, 2010, 2004, 2306, 2307, 2312, 2313, 2314})
        ok_at(file, line, !menuGreyed(id), "command %d still greyed", id);
    for (int id : {2306, 2307, 2308, 2309, 2311, 2312})
        ok_at(file, line, buttonState(id) & TBSTATE_ENABLED, "toolbar button %d disabled", id);
    HWND panel = FindWindowExW(app().examView, nullptr, L"#32770", nullptr);
    ok_at(file, line, panel != nullptr, "no idle panel");
    if (panel) {
        ok_at(file, line, windowText(GetDlgItem(panel, IDC_IDLE_FILE)) == book.wstring(), "panel file %s",
              wintest::utf8(windowText(GetDlgItem(panel, IDC_IDLE_FILE))).c_str());
        ok_at(file, line, windowText(GetDlgItem(panel, IDC_IDLE_COUNT)) == std::to_wstring(questions),
              "panel count %s", wintest::utf8(windowText(GetDlgItem(panel, IDC_IDLE_COUNT))).c_str());
    }
}
#define checkLoaded(book, questions) checkLoaded(__FILE__, __LINE__, book, questions)

void checkNothingLoaded(const char* file, int line) {
    ok_at(file, line, !app().book.isLoaded(), "a book is loaded");
    ok_at(file, line, caption() == L"Rekal for Windows", "caption %s", wintest::utf8(caption()).c_str());
    for (int id : {2003, 2010, 2004, 2306, 2313, 2314})
        ok_at(file, line, menuGreyed(id), "command %d enabled", id);
    for (int id : {2306, 2307, 2312})
        ok_at(file, line, !(buttonState(id) & TBSTATE_ENABLED), "toolbar button %d enabled", id);
    HWND panel = FindWindowExW(app().examView, nullptr, L"#32770", nullptr);
    ok_at(file, line,
          panel && windowText(GetDlgItem(panel, IDC_IDLE_FILE)) == L"ファイルが読み込まれていません。",
          "idle panel does not say that no file is loaded");
}
#define checkNothingLoaded() checkNothingLoaded(__FILE__, __LINE__)

} // namespace

WINTEST(quotedPathWithSpacesAndAFurtherArgument) {
    auto dir = makeFolder(L"rekal start");
    auto books = dir / L"my books";
    fs::create_directories(books);
    auto book = writeBook(books, L"日本 地理.rkf", "地理", 3);
    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    ok(start(dir, L"\"" + book.wstring() + L"\" /second-argument"), "start-up failed");
    checkLoaded(book, 3);
    ok(boxes.seen() == 0, "a message box was shown");
    ok(recentEntries() == std::vector<std::wstring>{L"&1 " + book.wstring()}, "recent menu");
    ok(!menuGreyed(2711), "clear history greyed with one entry");
    closeProgram();
    const std::string ini = readBytes(dir / L"REKALWIN.INI");
    ok(ini.find("File1=" + cp932(book.wstring()) + "\r\n") != std::string::npos, "File1 not written:\n%s",
       ini.c_str());
    removeFolder(dir);
}

WINTEST(lastFileIsOpenedWhenTheSettingsAskForIt) {
    auto dir = makeFolder(L"rekal-last");
    auto book = writeBook(dir, L"最後.rkf", "最後", 4);
    auto other = writeBook(dir, L"前.rkf", "前", 1);
    writeBytes(dir / L"REKALWIN.INI", "LoadLastFile=1\r\nFile1=" + cp932(book.wstring()) +
                                          "\r\nFile2=" + cp932(other.wstring()) + "\r\n");
    ok(start(dir), "start-up failed");
    checkLoaded(book, 4);
    ok(recentEntries() == std::vector<std::wstring>({L"&1 " + book.wstring(), L"&2 " + other.wstring()}),
       "recent menu order");
    closeProgram();

    // Switched off: the window starts empty, and the list stays.
    writeBytes(dir / L"REKALWIN.INI", "LoadLastFile=0\r\nFile1=" + cp932(book.wstring()) + "\r\n");
    ok(start(dir), "start-up failed");
    checkNothingLoaded();
    ok(recentEntries().size() == 1, "recent list lost");
    closeProgram();
    removeFolder(dir);
}

WINTEST(nothingToOpenShowsNoMessage) {
    auto dir = makeFolder(L"rekal-empty");
    writeBytes(dir / L"REKALWIN.INI", "LoadLastFile=1\r\n");
    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    ok(start(dir), "start-up failed");
    wintest::flushEvents(200);
    checkNothingLoaded();
    ok(boxes.seen() == 0, "a message box was shown");
    closeProgram();
    removeFolder(dir);
}

WINTEST(missingFileIsReportedAndLeavesNoBook) {
    auto dir = makeFolder(L"rekal-missing");
    const fs::path missing = dir / L"ない.rkf";
    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    ok(start(dir, L"\"" + missing.wstring() + L"\""), "start-up failed");
    checkNothingLoaded();
    ok(boxes.texts() == std::vector<std::wstring>{L"ファイルが見つかりません。"}, "%d messages, first %s",
       static_cast<int>(boxes.texts().size()),
       boxes.texts().empty() ? "" : wintest::utf8(boxes.texts()[0]).c_str());
    // The path went to the recent list before the load was tried.
    ok(recentEntries() == std::vector<std::wstring>{L"&1 " + missing.wstring()}, "recent menu");
    closeProgram();
    removeFolder(dir);
}

WINTEST(answerModeSurvivesARestart) {
    auto dir = makeFolder(L"rekal-mode");
    ok(start(dir), "start-up failed");
    command(2304);
    ok(app().settings.answerMode == 3, "answer mode %d", app().settings.answerMode);
    closeProgram();
    ok(readBytes(dir / L"REKALWIN.INI").find("AnswerMode=3\r\n") != std::string::npos,
       "AnswerMode not written");

    ok(start(dir), "start-up failed");
    for (int id = 2301; id <= 2304; ++id) {
        MENUITEMINFOW info = menuItemInfo(id);
        const bool checked = (info.fState & MFS_CHECKED) != 0;
        ok(checked == (id == 2304), "mode item %d checked %d", id, checked);
        ok((info.fType & MFT_RADIOCHECK) || !checked, "mode item %d is not a radio item", id);
        const int state = buttonState(id);
        ok((state & TBSTATE_ENABLED) != 0, "mode button %d disabled", id);
        ok(((state & TBSTATE_PRESSED) != 0) == (id == 2304), "mode button %d pressed %d", id,
           (state & TBSTATE_PRESSED) != 0);
    }
    // Another mode: exactly one item checked and one button pressed.
    command(2302);
    for (int id = 2301; id <= 2304; ++id) {
        ok(menuChecked(id) == (id == 2302), "after 2302, item %d", id);
        ok(((buttonState(id) & TBSTATE_PRESSED) != 0) == (id == 2302), "after 2302, button %d", id);
    }
    closeProgram();
    removeFolder(dir);
}

WINTEST(droppingThreeFilesOpensTheFirst) {
    auto dir = makeFolder(L"rekal-drop");
    auto first = writeBook(dir, L"一番目.rkf", "一", 2);
    auto second = writeBook(dir, L"二番目.rkf", "二", 3);
    auto third = writeBook(dir, L"三番目.rkf", "三", 4);
    ok(start(dir), "start-up failed");
    dropFiles({first, second, third});
    checkLoaded(first, 2);
    ok(recentEntries() == std::vector<std::wstring>{L"&1 " + first.wstring()},
       "only the first file is opened");
    closeProgram();
    removeFolder(dir);
}

WINTEST(closingSavesTheChangedBook) {
    auto dir = makeFolder(L"rekal-close");
    auto book = dir / L"履歴.rkf";
    writeBytes(book, "REKALDATA V1.6\r\nq1,a1,[00\r\nq2,a2,K00\r\n");
    ok(start(dir, book.wstring()), "start-up failed");
    {
        // Declined: nothing changes.
        DialogWatcher no = DialogWatcher::pressing(IDNO);
        command(2314);
        ok(no.texts() == std::vector<std::wstring>{L"すべての問題の正誤履歴をクリアします。よろしいですか？"},
           "question text");
        ok(!app().book.isDirty(), "declined clearing changed the book");
    }
    {
        DialogWatcher yes = DialogWatcher::pressing(IDYES);
        command(2314);
        ok(yes.seen() == 1, "no question");
    }
    ok(app().book.isDirty(), "cleared histories did not change the book");
    closeProgram();
    ok(readBytes(book) == "REKALDATA V1.6\r\nq1,a1,<00\r\nq2,a2,<00\r\n", "book not saved at exit:\n%s",
       readBytes(book).c_str());
    removeFolder(dir);
}

// Types a name into a file dialog and presses its OK button.
void chooseFile(HWND dialog, const std::wstring& path) {
    HWND name = GetDlgItem(dialog, 0x47C);       // cmb13, the file name box
    if (!name) name = GetDlgItem(dialog, 0x480); // edt1 in older dialogs
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// The name to type into the next file dialog; a timer of the dialog's own loop types it.
std::wstring g_fileToChoose;
void CALLBACK typeFileName(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = ownedDialog();
    if (!dialog) return;
    KillTimer(nullptr, timer);
    chooseFile(dialog, g_fileToChoose);
}

void runFileCommand(int id, const std::wstring& path) {
    g_fileToChoose = path;
    SetTimer(nullptr, 0, 200, typeFileName);
    command(id);
    wintest::flushEvents();
}

WINTEST(saveAsWritesTheNewFileAndShowsItsName) {
    auto dir = makeFolder(L"rekal-saveas");
    auto book = writeBook(dir, L"元.rkf", "元", 2);
    ok(start(dir, book.wstring()), "start-up failed");
    const fs::path copy = dir / L"写し";
    runFileCommand(2010, copy.wstring());
    const fs::path written = dir / L"写し.rkf";
    ok(fs::exists(written), "写し.rkf not written");
    ok(readBytes(written) == bookText("元", 2), "saved copy differs:\n%s", readBytes(written).c_str());
    checkLoaded(written, 2); // caption and idle panel show the new name
    ok(!app().book.isDirty(), "book still changed after saving");
    // The saved name heads the recent list, so that the last file of a restart is the new one.
    const std::vector<std::wstring> recent = recentEntries();
    ok(recent.size() == 2 && recent[0] == L"&1 " + written.wstring() && recent[1] == L"&2 " + book.wstring(),
       "recent entries after Save As: %s", recent.empty() ? "none" : wintest::utf8(recent[0]).c_str());

    // The open dialog opens what is chosen.
    runFileCommand(2001, book.wstring());
    ok(app().book.file() == book, "opened %s", wintest::utf8(app().book.file().wstring()).c_str());
    ok(caption() == book.wstring() + L" - Rekal for Windows", "caption %s", wintest::utf8(caption()).c_str());
    closeProgram();
    removeFolder(dir);
}

// The name the settings file keeps for an entry of the recent list names the same file.
bool namesSameFile(const std::string& cp932Name, const fs::path& file) {
    std::error_code ec;
    return fs::equivalent(rekal::nativePath(cp932Name), file, ec);
}

std::string iniValue(const std::string& ini, const std::string& key) {
    const std::size_t at = ini.find("\r\n" + key + "=");
    if (at == std::string::npos) return {};
    const std::size_t start = at + key.size() + 3;
    return ini.substr(start, ini.find("\r\n", start) - start);
}

// A program folder, a book folder and a book whose names code page 932 cannot hold.
WINTEST(namesBeyondCodePage932) {
    auto dir = makeFolder(L"rekal-progé");
    writeBytes(dir / L"REKALWIN.INI", "RecentFileMax=4\r\n");
    const fs::path books = dir / L"Zoë";
    fs::create_directories(books);
    writeBook(books, L"cafe.rkf", "偽物", 1);
    const fs::path cafe = writeBook(books, L"café.rkf", "本物", 3);
    {
        DialogWatcher boxes = DialogWatcher::pressing(IDOK);
        ok(start(dir, L"\"" + cafe.wstring() + L"\""), "start-up failed");
        ok(app().settings.recentFileMax == 4, "the settings beside the program were not read");
        const std::string log = app().defaults.examLogName;
        ok(log.size() > 11 && log.substr(log.size() - 11) == "EXAMLOG.TXT" &&
               namesSameFile(log.substr(0, log.size() - 12), dir),
           "default exam log %s", log.c_str());
        ok(rekal::win::examLogPath() == dir / L"EXAMLOG.TXT", "exam log %s",
           wintest::utf8(rekal::win::examLogPath().wstring()).c_str());
        checkLoaded(cafe, 3); // the file chosen, not its look-alike cafe.rkf
        closeProgram();
        ok(boxes.seen() == 0, "%d message boxes, the first: %s", boxes.seen(),
           boxes.seen() ? wintest::utf8(boxes.texts()[0]).c_str() : "");
    }
    // The settings went back beside the program; the recent entry is a name code page 932 holds
    // (the short form) that opens the same file again.
    const std::string ini = readBytes(dir / L"REKALWIN.INI");
    ok(ini.find("RecentFileMax=4\r\n") != std::string::npos, "settings not written:\n%s", ini.c_str());
    ok(namesSameFile(iniValue(ini, "File1"), cafe), "File1=%s", iniValue(ini, "File1").c_str());
    writeBytes(dir / L"REKALWIN.INI", "LoadLastFile=1\r\nFile1=" + iniValue(ini, "File1") + "\r\n");
    ok(start(dir), "start-up failed");
    ok(app().book.questionCount() == 3 && fs::equivalent(app().book.file(), cafe), "last file reopened: %s",
       wintest::utf8(app().book.file().wstring()).c_str());
    closeProgram();

    // Without short names the book stays out of the recent list (never in a mangled form) and the
    // user is told once.
    rekal::useShortNamesForTesting(false);
    writeBytes(dir / L"REKALWIN.INI", "LoadLastFile=0\r\n");
    {
        DialogWatcher boxes = DialogWatcher::pressing(IDOK);
        ok(start(dir), "start-up failed");
        rekal::win::openBookFile(cafe);
        wintest::flushEvents(300);
        checkLoaded(cafe, 3);
        rekal::win::openBookFile(cafe);
        wintest::flushEvents(300);
        ok(recentEntries().empty(), "recent entries: %d", static_cast<int>(recentEntries().size()));
        ok(app().book.path().empty(), "CP932 name %s", app().book.path().c_str());
        const std::vector<std::wstring> texts = boxes.texts();
        ok(texts.size() == 1 && texts[0].find(L"ファイル履歴") != std::wstring::npos, "%d messages: %s",
           static_cast<int>(texts.size()), texts.empty() ? "" : wintest::utf8(texts[0]).c_str());
        closeProgram();
    }
    rekal::useShortNamesForTesting(true);
    ok(readBytes(dir / L"REKALWIN.INI").find("File1=") == std::string::npos, "a recent entry was stored");
    removeFolder(dir);
}

// A dropped file's name of any length opens that file, or is refused with a message; it is never
// cut to a shorter name.
WINTEST(droppedFileWithALongName) {
    auto dir = makeFolder(L"rekal-drop");
    fs::path folder = dir;
    for (int i = 0; i < 6; ++i)
        folder /= std::wstring(40, static_cast<wchar_t>(L'a' + i));
    std::error_code ec;
    fs::create_directories(folder, ec);
    ok(!ec, "long folder not made");
    const fs::path book = writeBook(folder, L"長い名前の問題集.rkf", "長い", 2);
    ok(book.wstring().size() > MAX_PATH, "the name is %d characters",
       static_cast<int>(book.wstring().size()));
    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    ok(start(dir), "start-up failed");
    const std::wstring name = book.wstring();
    HGLOBAL drop =
        GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = TRUE;
    name.copy(reinterpret_cast<wchar_t*>(files + 1), name.size());
    GlobalUnlock(drop);
    SendMessageW(app().mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
    wintest::flushEvents(300);
    const bool opened = app().book.isLoaded() && app().book.file() == book;
    const bool refused = !app().book.isLoaded() && boxes.seen() == 1;
    ok(opened || refused, "loaded %d: %s, %d messages", app().book.isLoaded(),
       wintest::utf8(app().book.file().wstring()).c_str(), boxes.seen());
    if (opened) checkLoaded(book, 2);
    closeProgram();
    removeFolder(dir);
}

WINTEST_MAIN("startup")
