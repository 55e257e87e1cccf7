// The customize dialogs driven as the user would: the vague settings dialog's list operations and
// its table written to RKLVAGUE.DAT as soon as OK is pressed; the sheet's pages with their choosers,
// checks and enabling rules, and the applied values in effect, in REKALWIN.INI and after a restart.
#include "core/base/fileio.h"
#include "core/display/font.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/customize/vaguedialog.h"
#include "win/display/sentence.h"

#include "shelltest.h"

#include <prsht.h>

using namespace shelltest;

namespace {

// Thread-safe readers of another thread's dialog (the dialog runs its modal loop on the main thread).
int rowCount(HWND view) {
    return static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
}

bool selected(HWND view, int row) {
    return (SendMessageW(view, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED) != 0;
}

void selectOnly(HWND view, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageW(view, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(view, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void clickHeader(HWND dialog, int column) {
    NMLISTVIEW click{};
    click.hdr.hwndFrom = GetDlgItem(dialog, IDC_VAGUE_LIST);
    click.hdr.idFrom = IDC_VAGUE_LIST;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(dialog, WM_NOTIFY, IDC_VAGUE_LIST, reinterpret_cast<LPARAM>(&click));
}

} // namespace

WINTEST(vaguePairAddedMovedDeletedAndWrittenAtOnce) {
    auto dir = makeFolder(L"rekal-vague");
    ok(start(dir), "start-up failed");
    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    int shown = 0, added = 0, afterMoves = 0;
    bool movedKeptSelection = false, addedLongerFirst = false, sortedDescending = false;
    std::wstring firstAfterDelete;
    {
        DialogWatcher watcher(L"あいまい設定", [&](HWND dialog) {
            HWND view = GetDlgItem(dialog, IDC_VAGUE_LIST);
            shown = rowCount(view);
            click(dialog, IDC_VAGUE_ADD); // both empty: refused with a message
            // é and ¥ have look-alikes in code page 932 (e, \): refused, not stored as those.
            SetDlgItemTextW(dialog, IDC_VAGUE_FIRST, L"café");
            SetDlgItemTextW(dialog, IDC_VAGUE_SECOND, L"¥");
            click(dialog, IDC_VAGUE_ADD);
            SetDlgItemTextW(dialog, IDC_VAGUE_FIRST, L"ば");
            SetDlgItemTextW(dialog, IDC_VAGUE_SECOND, L"ヴァァ");
            click(dialog, IDC_VAGUE_ADD);
            added = rowCount(view);
            addedLongerFirst = listCell(view, 46, 0) == L"ヴァァ" && listCell(view, 46, 1) == L"ば";
            selectOnly(view, 46);
            click(dialog, IDC_VAGUE_UP);
            click(dialog, IDC_VAGUE_UP);
            click(dialog, IDC_VAGUE_DOWN);
            afterMoves = listCell(view, 45, 0) == L"ヴァァ" ? 45 : -1;
            movedKeptSelection = selected(view, 45) && !selected(view, 46);
            selectOnly(view, 0);
            click(dialog, IDC_VAGUE_UP); // the first row selected: nothing moves
            click(dialog, IDC_VAGUE_DELETE);
            firstAfterDelete = listCell(view, 0, 0);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        rekal::win::VagueDialogData data{&app().vague, app().vaguePath};
        ok(rekal::win::showVagueDialog(app().mainWindow, data) == IDOK, "OK was not reported");
        ok(watcher.seen() == 1, "the vague dialog was not shown");
    }
    ok(shown == 46, "built-in pairs shown: %d", shown);
    ok(added == 47 && addedLongerFirst, "added: %d rows, longer first %d", added, addedLongerFirst);
    ok(afterMoves == 45 && movedKeptSelection, "the moved row is at %d", afterMoves);
    ok(firstAfterDelete == L"ウァ", "first row after delete %s", wintest::utf8(firstAfterDelete).c_str());
    const std::vector<std::wstring> messages = boxes.texts();
    ok(messages.size() == 2 && messages[0] == L"少なくとも１つに文字列を入力してください。" &&
           messages[1] == L"シフトJISで表せない文字が含まれているため、この文字列は登録できません。",
       "messages: %d", static_cast<int>(messages.size()));

    // On disk before the program ends.
    rekal::VagueTable stored = rekal::parseVagueTable(readBytes(dir / L"RKLVAGUE.DAT"));
    std::vector<rekal::VaguePair> pairs = rekal::vaguePairs(stored);
    ok(pairs.size() == 46, "pairs stored: %d", static_cast<int>(pairs.size()));
    if (pairs.size() == 46) {
        ok(pairs[0].first == cp932(L"ウァ"), "first pair");
        ok(pairs[44].first == cp932(L"ヴァァ") && pairs[44].second == cp932(L"ば"), "the added pair's place");
    }

    // Sort and reset, then キャンセル: the table stays as it was.
    {
        DialogWatcher watcher(L"あいまい設定", [&](HWND dialog) {
            HWND view = GetDlgItem(dialog, IDC_VAGUE_LIST);
            clickHeader(dialog, 0);
            const std::wstring top = listCell(view, 0, 0), bottom = listCell(view, rowCount(view) - 1, 0);
            sortedDescending = CompareStringW(LOCALE_USER_DEFAULT, 0, top.c_str(), -1, bottom.c_str(), -1) ==
                               CSTR_GREATER_THAN;
            click(dialog, IDC_RESET);
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        rekal::win::VagueDialogData data{&app().vague, app().vaguePath};
        ok(rekal::win::showVagueDialog(app().mainWindow, data) == IDCANCEL, "キャンセル was not reported");
    }
    ok(sortedDescending, "the first click on a column does not sort it descending");
    ok(app().vague.count == 46 && app().vague.block == stored.block, "キャンセル changed the table");
    closeProgram();
    ok(readBytes(dir / L"RKLVAGUE.DAT") == rekal::formatVagueTable(stored),
       "the table written at exit differs");
    removeFolder(dir);
}

namespace {

constexpr int kApplyButton = 0x3021;
enum PagePosition { GeneralTab, SoundTab, CompareTab, FontTab, QuestionTab, AnswerTab, kPageCount };

HWND currentPage(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

HWND showPage(HWND sheet, int position) {
    SendMessageW(sheet, PSM_SETCURSEL, position, 0);
    return currentPage(sheet);
}

bool applyEnabled(HWND sheet) {
    return IsWindowEnabled(GetDlgItem(sheet, kApplyButton)) != FALSE;
}

void typeText(HWND page, int id, const wchar_t* text) {
    SetDlgItemTextW(page, id, text);
}

std::wstring textOf(HWND page, int id) {
    return windowText(GetDlgItem(page, id));
}

// A box set and clicked as the user clicks it.
void setBox(HWND page, int id, bool on) {
    CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED);
    click(page, id);
}

void chooseItem(HWND page, int id, int item) {
    SendDlgItemMessageW(page, id, CB_SETCURSEL, item, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}

bool hasLine(const std::string& file, const std::string& line) {
    return file.find("\r\n" + line + "\r\n") != std::string::npos;
}

// The choosers the pages open, answered from their own thread: a file dialog gets g_chosenFile typed
// in, the font chooser the size 28, the colour chooser red 1, green 2, blue 3; each is then confirmed.
std::wstring g_chosenFile;

bool isChooser(HWND dialog) {
    const std::wstring caption = windowText(dialog);
    return caption != L"カスタマイズ" && caption != L"Rekal for Windows" && caption != L"あいまい設定";
}

void answerChooser(HWND dialog) {
    if (HWND name = GetDlgItem(dialog, 0x47C) ? GetDlgItem(dialog, 0x47C) : GetDlgItem(dialog, 0x480)) {
        SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_chosenFile.c_str()));
    } else if (HWND sizes = GetDlgItem(dialog, 0x472)) { // the font chooser: a scalable face, size 28
        HWND faces = GetDlgItem(dialog, 0x470);
        SendMessageW(faces, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"Tahoma"));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(0x470, CBN_SELCHANGE), reinterpret_cast<LPARAM>(faces));
        SendMessageW(sizes, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"28"));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(0x472, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
    } else if (GetDlgItem(dialog, 706)) { // the colour chooser's red, green and blue boxes
        SetDlgItemTextW(dialog, 706, L"1");
        SetDlgItemTextW(dialog, 707, L"2");
        SetDlgItemTextW(dialog, 708, L"3");
    }
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

// The help topics the pages ask for.
std::vector<DWORD_PTR> g_helpTopics;
HWND WINAPI recordHelp(HWND, LPCWSTR, UINT command, DWORD_PTR data) {
    if (command == rekal::win::HelpContext) g_helpTopics.push_back(data);
    return nullptr;
}

// A pixel near the corner of the font preview.
COLORREF previewPixel(HWND page) {
    HWND preview = GetDlgItem(page, IDC_PAGE_1028);
    UpdateWindow(preview);
    HDC dc = GetDC(preview);
    const COLORREF colour = GetPixel(dc, 3, 3);
    ReleaseDC(preview, dc);
    return colour;
}

// The font the exam view's question control draws with.
LOGFONTW questionFont() {
    const rekal::win::SentenceState* state = rekal::win::sentenceState(examControl(IDC_QUESTION));
    LOGFONTW logFont{};
    if (state && state->font) GetObjectW(state->font, sizeof logFont, &logFont);
    return logFont;
}

} // namespace

// One session through every page: each edits a value, the pages' own rules are met on the way, an
// invalid value on a page not shown brings the sheet back to it, and what OK stores is in effect at
// once, in REKALWIN.INI at exit and back after a restart.
WINTEST(customizeSheetEditsEveryPageAndKeepsTheValues) {
    auto dir = makeFolder(L"rekal-customize");
    // The book's font card names the question's face; the settings give its size.
    const fs::path book = dir / L"本.rkf";
    writeBytes(book, "REKALDATA V1.6\r\n$FontQuestion=,,Courier New\r\n#題,000000\r\n問1,答1,<00\r\n");
    ok(start(dir, book.wstring()), "start-up failed");
    command(2307); // すべて: the sheet opens over a running exam, whose question must take the new font
    ok(rekal::win::examRunning(), "no exam runs");
    app().help.call = recordHelp;
    g_helpTopics.clear();
    rekal::useShortNamesForTesting(false);
    const fs::path chime = dir / L"チャイム.wav";
    writeBytes(chime, "RIFF");
    g_chosenFile = (dir / L"記録").wstring();
    const int heightBefore = questionFont().lfHeight;

    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    DialogWatcher choosers(isChooser, answerChooser);
    bool firstIsGeneral = false, applyOffAtOpen = false, selectionIsNoEdit = false, dropTaken = false;
    bool resetShowsDefault = false, refusedKeptPath = false, keptOnGeneral = false, greyed = false;
    bool previewFollows = false, keptOnQuestion = false, rejectedNotStored = false;
    std::wstring chosenLog;
    {
        DialogWatcher watcher(L"カスタマイズ", [&](HWND sheet) {
            firstIsGeneral = GetDlgItem(currentPage(sheet), IDC_PAGE_1028) != nullptr;
            HWND sound = showPage(sheet, SoundTab);
            applyOffAtOpen = !applyEnabled(sheet);
            chooseItem(sound, IDC_PAGE_1025, 2); // 誤答音
            selectionIsNoEdit = !applyEnabled(sheet) && textOf(sound, IDC_PAGE_1026) == L"WRONG.WAV";
            dropFiles({chime, dir / L"other.wav"}, sound);
            dropTaken = textOf(sound, IDC_PAGE_1026) == chime.wstring() && applyEnabled(sheet);
            click(sound, IDC_PAGE_1027); // no sound device here: nothing plays, nothing hangs
            click(sound, IDC_RESET);
            resetShowsDefault = textOf(sound, IDC_PAGE_1026) == L"WRONG.WAV";
            dropFiles({chime}, sound);
            dropFiles({dir / L"한국.wav"}, sound); // code page 932 cannot name it
            refusedKeptPath = textOf(sound, IDC_PAGE_1026) == chime.wstring();

            HWND general = showPage(sheet, GeneralTab);
            typeText(general, IDC_PAGE_1028, L"C:\\기록.txt");
            SendMessageW(sheet, PSM_APPLY, 0, 0);
            keptOnGeneral = currentPage(sheet) == general;
            click(general, IDC_PAGE_BROWSE); // a bare name gets the text filter's extension
            chosenLog = textOf(general, IDC_PAGE_1028);

            HWND compare = showPage(sheet, CompareTab);
            setBox(compare, IDC_PAGE_USE_DATA, false);
            setBox(compare, IDC_PAGE_1024, true);
            setBox(compare, IDC_PAGE_USE_DATA, true);
            greyed = !IsWindowEnabled(GetDlgItem(compare, IDC_PAGE_1024));
            setBox(compare, IDC_PAGE_USE_DATA, false);

            HWND fonts = showPage(sheet, FontTab);
            chooseItem(fonts, IDC_PAGE_1025, 1); // 問題: white on teal
            previewFollows = previewPixel(fonts) == RGB(0, 128, 128);
            click(fonts, IDC_PAGE_1027); // background
            click(fonts, IDC_PAGE_1026); // size

            HWND question = showPage(sheet, QuestionTab);
            typeText(question, IDC_PAGE_1041, L"40000");
            typeText(question, IDC_PAGE_1024, L"0");
            HWND answer = showPage(sheet, AnswerTab);
            typeText(answer, IDC_PAGE_1024, L"600");
            SendMessageW(sheet, PSM_APPLY, 0, 0);
            keptOnQuestion = currentPage(sheet) == question;
            rejectedNotStored = app().settings.lineInterval == 8 && app().settings.baseWidthWndAnswer == 500;
            typeText(question, IDC_PAGE_1041, L"12");
            typeText(question, IDC_PAGE_1024, L"5");

            for (int position = 0; position < kPageCount; ++position) {
                HWND page = showPage(sheet, position);
                HELPINFO f1{sizeof f1, HELPINFO_WINDOW, 0, page, 0, {}};
                SendMessageW(page, WM_HELP, 0, reinterpret_cast<LPARAM>(&f1));
                // F1 on the tabs goes up to the sheet, which opens the same page's topic.
                HWND tabs = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETTABCONTROL, 0, 0));
                HELPINFO onTabs{sizeof onTabs, HELPINFO_WINDOW, 0, tabs, 0, {}};
                SendMessageW(sheet, WM_HELP, 0, reinterpret_cast<LPARAM>(&onTabs));
            }
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
        });
        command(CMD_CUSTOMIZE);
        ok(watcher.seen() == 1, "the sheet was not shown");
    }
    ok(firstIsGeneral && applyOffAtOpen, "the sheet did not open on 一般 with 適用 off");
    ok(selectionIsNoEdit, "choosing 誤答音 was taken as an edit or did not show its path");
    ok(dropTaken, "the first dropped file is not the path");
    ok(resetShowsDefault, "reset did not show the chosen sound's default");
    ok(refusedKeptPath, "a name code page 932 cannot hold replaced the path");
    ok(keptOnGeneral, "an unstorable exam-log name did not keep the sheet on 一般");
    ok(chosenLog == dir.wstring() + L"\\記録.TXT", "chosen log %s", wintest::utf8(chosenLog).c_str());
    ok(greyed, "the question file's settings did not grey the options");
    ok(previewFollows, "the preview does not show the chosen font's background");
    ok(keptOnQuestion && rejectedNotStored, "the invalid 問題 page did not keep the sheet or was stored");
    const std::vector<std::wstring> messages = boxes.texts();
    const std::vector<std::wstring> expected = {
        wide(rekal::displayPath(dir / L"한국.wav")) + L"\n" +
            L"このファイル名はシフトJISで表せないか長すぎるため、使用できません。",
        L"出題履歴のファイル名にシフトJISで表せない文字が含まれているか、ファイル名が長すぎます。",
        L"行間は 0 ～ 32767 の間で指定してください。"};
    ok(messages == expected, "%d messages, first %s", static_cast<int>(messages.size()),
       messages.empty() ? "none" : wintest::utf8(messages[0]).c_str());
    const std::vector<DWORD_PTR> topics = {121, 121, 122, 122, 123, 123, 124, 124, 125, 125, 126, 126};
    ok(g_helpTopics == topics, "%d help topics", static_cast<int>(g_helpTopics.size()));

    const rekal::Settings& s = app().settings;
    ok(s.sndFalse == cp932(chime.wstring()) && s.sndExam == "EXAM.WAV", "sounds %s", s.sndFalse.c_str());
    ok(s.fonts[rekal::QuestionFont].size == 28 && s.fonts[rekal::QuestionFont].backColor == RGB(1, 2, 3),
       "question font %d 0x%06X", s.fonts[rekal::QuestionFont].size,
       static_cast<unsigned>(s.fonts[rekal::QuestionFont].backColor));
    const LOGFONTW shown = questionFont();
    ok(shown.lfHeight != heightBefore &&
           shown.lfHeight == rekal::fontHeightForPoints(28, rekal::win::windowDpi(app().examView)) &&
           std::wstring(shown.lfFaceName) == L"Courier New",
       "the running question did not take the new font: %d %s", static_cast<int>(shown.lfHeight),
       wintest::utf8(shown.lfFaceName).c_str());

    // Reopened on the page last shown, with the applied value; reset fills in the defaults without
    // storing them, and キャンセル keeps what was applied.
    bool reopenedOnAnswer = false, resetNotApplied = false;
    {
        DialogWatcher watcher(L"カスタマイズ", [&](HWND sheet) {
            HWND answer = currentPage(sheet);
            reopenedOnAnswer = textOf(answer, IDC_PAGE_1024) == L"600";
            click(answer, IDC_RESET);
            resetNotApplied = textOf(answer, IDC_PAGE_1024) == L"500" && applyEnabled(sheet) &&
                              app().settings.baseWidthWndAnswer == 600;
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        });
        command(CMD_CUSTOMIZE);
    }
    ok(reopenedOnAnswer, "the sheet did not reopen on 答え");
    ok(resetNotApplied && app().settings.baseWidthWndAnswer == 600, "reset was applied");
    closeProgram();
    rekal::useShortNamesForTesting(true);

    const std::string ini = readBytes(dir / L"REKALWIN.INI");
    const std::string lines[] = {"SndFalse=" + cp932(chime.wstring()),
                                 "ExamLogName=" + cp932(dir.wstring() + L"\\記録.TXT"),
                                 "CompareMode=1",
                                 "UseData=5",
                                 "QuestionSize=28",
                                 "QuestionBackColor=0x030201",
                                 "LineInterval=12",
                                 "DefaultSelection=5",
                                 "BaseWidthWndAnswer=600"};
    for (const std::string& line : lines)
        ok(hasLine(ini, line), "REKALWIN.INI lacks %s", wintest::utf8(wide(line)).c_str());
    ok(start(dir), "restart failed");
    ok(app().settings.fonts[rekal::QuestionFont].size == 28 && app().settings.lineInterval == 12,
       "the restarted program does not have the values");
    closeProgram();
    removeFolder(dir);
}

// Every page and the vague dialog as pictures, when REKAL_SCREENSHOTS names a folder.
WINTEST(customizeScreenshots) {
    const std::wstring folder = shotFolder();
    if (folder.empty()) return;
    auto dir = makeFolder(L"rekal-customize-shots");
    ok(start(dir), "start-up failed");
    const std::wstring locale = GetACP() == 932 ? L"ja" : L"c";
    {
        DialogWatcher watcher(L"カスタマイズ", [&](HWND sheet) {
            for (int position = 0; position < kPageCount; ++position) {
                showPage(sheet, position);
                Sleep(400);
                saveScreen(folder + L"\\17-page" + std::to_wstring(position) + L"-" + locale + L".bmp");
            }
            PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        });
        command(CMD_CUSTOMIZE);
    }
    {
        DialogWatcher watcher(L"あいまい設定", [&](HWND dialog) {
            Sleep(400);
            saveScreen(folder + L"\\17-vague-" + locale + L".bmp");
            PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        rekal::win::VagueDialogData data{&app().vague, app().vaguePath};
        rekal::win::showVagueDialog(app().mainWindow, data);
    }
    closeProgram();
    removeFolder(dir);
}

WINTEST_MAIN("customize")
