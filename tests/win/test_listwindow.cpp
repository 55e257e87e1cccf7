// The question list window as the user meets it: opened with Ctrl+L, a question chosen by typing
// its number or with the spinner, the card's fields, 別解, the keyboard from the program's loop,
// Find down and up with its end message, the place kept across a restart, and the window closing
// before another book loads.

#include "dialogsteps.h"
#include "examtest.h"

#include "core/shell/dpi.h"
#include "win/shell/bookfile.h"
#include "win/program/help.h"
#include "win/display/separator.h"
#include "win/display/sentence.h"

#include <dlgs.h>

#include <cstdlib>

namespace {

using namespace examtest;
using wintest::px;

// The first question has no title; the second has a picture, two answers, a comment and a
// history; the second and fourth hold 盛岡 (in an answer).
const std::string kListBook =
    "REKALDATA V1.6\r\n"
    "前置きの問題,まえ,<00\r\n"
    "#東北地方,000000\r\n"
    "この地図の県の県庁所在地は？\\n\\i\"map.png\",盛岡|盛岡市,A00'わんこそばで有名\r\n"
    "青森県の県庁所在地は？,青森,<00\r\n"
    "岩手県の県庁所在地は？,盛岡,<00'南部鉄器\r\n";

struct ListBook {
    fs::path dir;
    fs::path book;
    explicit ListBook(const wchar_t* name) {
        dir = makeFolder(name);
        book = dir / L"list.rkf";
        writeBytes(book, kListBook);
        writeBytes(dir / L"map.png",
                   readBytes(fs::path(hostPath(REKAL_TEST_DATA "/../../resources/infopane.png"))));
        restart();
    }
    void restart() { ok(start(dir, L"\"" + book.wstring() + L"\""), "start-up failed"); }
    ~ListBook() { removeFolder(dir); }
};

HWND list() {
    return app().listWindow;
}
HWND listControl(int id) {
    return GetDlgItem(list(), id);
}
std::wstring number() {
    return windowText(listControl(IDC_LIST_NUMBER));
}
std::string sentence(int id) {
    rekal::win::SentenceState* state = rekal::win::sentenceState(listControl(id));
    return state && state->text ? *state->text : std::string();
}
bool startsWith(const std::string& text, const std::wstring& prefix) {
    return text.rfind(cp932(prefix), 0) == 0;
}
bool visible(int id) {
    return (GetWindowLongW(listControl(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

// Ctrl+L as the program's loop meets it.
void pressCtrlL() {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{app().mainWindow, WM_KEYDOWN, 'L', 1, GetTickCount(), {}};
    ok(rekal::win::preTranslateMessage(msg), "Ctrl+L not translated");
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    pump(100);
}

// The number typed over the box's selected text.
void typeNumber(const std::wstring& text) {
    HWND box = listControl(IDC_LIST_NUMBER);
    SetFocus(box);
    SendMessageW(box, EM_SETSEL, 0, -1);
    typeText(box, text);
    pump(60);
}

RECT clientRectOf(HWND control) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The Find dialog: the search text typed, 次を検索 pressed, the program's loop run.
void findNext(const std::wstring& text) {
    HWND find = app().findDialog;
    SetDlgItemTextW(find, edt1, text.c_str());
    PostMessageW(GetDlgItem(find, IDOK), BM_CLICK, 0, 0);
    pump(200);
}

} // namespace

WINTEST(listWindowShowsTheQuestionOfItsNumber) {
    ListBook b(L"rekal-list");
    pressCtrlL();
    ok(list() != nullptr, "Ctrl+L opened no list window");
    if (!list()) return;
    wchar_t cls[32] = {};
    GetClassNameW(list(), cls, 32);
    ok(std::wstring(cls) == L"RekalWinList" && windowText(list()) == L"リスト", "class %ls caption %ls", cls,
       windowText(list()).c_str());
    ok(GetWindow(list(), GW_OWNER) == app().mainWindow, "not owned by the main window");
    ok(GetFocus() == listControl(IDC_LIST_NUMBER), "focus not on the number box");

    // Question 1: no section title, one answer.
    ok(number() == L"1" && startsWith(sentence(IDC_QUESTION), L"前置きの問題"), "first question not shown");
    ok(!visible(IDC_TITLE), "title shown without a section");
    ok(!IsWindowEnabled(listControl(IDC_LIST_ALTERNATIVES)), "別解 enabled with one answer");
    ok(windowText(listControl(IDC_GROUP)) == L"グループ\n全般", "group %ls",
       windowText(listControl(IDC_GROUP)).c_str());

    typeNumber(L"2");
    ok(startsWith(sentence(IDC_QUESTION), L"この地図の県"), "question 2 not shown");
    ok(visible(IDC_TITLE) && windowText(listControl(IDC_TITLE)) == L"東北地方", "title");
    ok(sentence(IDC_ANSWER) == cp932(L"盛岡") && sentence(IDC_COMMENT) == cp932(L"わんこそばで有名"),
       "answer or comment");
    ok(windowText(listControl(IDC_HISTORY)) == L"５４３２１\n○×○××", "history %ls",
       windowText(listControl(IDC_HISTORY)).c_str());
    ok(IsWindowEnabled(listControl(IDC_LIST_ALTERNATIVES)), "別解 disabled with two answers");
    // The title takes its measured height above the question pane.
    ok(clientRectOf(listControl(IDC_QUESTION)).top == clientRectOf(listControl(IDC_TITLE)).bottom,
       "question pane not under the title");

    // 0 and numbers beyond the book change nothing.
    for (const wchar_t* outside : {L"0", L"99"}) {
        typeNumber(outside);
        ok(startsWith(sentence(IDC_QUESTION), L"この地図の県"), "%ls changed the card", outside);
    }

    // The spinner's arrow keys step from the typed number.
    typeNumber(L"3");
    postKey(listControl(IDC_LIST_NUMBER), VK_UP);
    pump(100);
    ok(number() == L"4" && startsWith(sentence(IDC_QUESTION), L"岩手県"), "up gave %ls", number().c_str());
    postKey(listControl(IDC_LIST_NUMBER), VK_DOWN);
    pump(100);
    ok(number() == L"3" && startsWith(sentence(IDC_QUESTION), L"青森県"), "down gave %ls", number().c_str());

    // 別解 lists both answers of question 2, and the focus comes back to the number box.
    typeNumber(L"2");
    int listed = -1;
    DialogWatcher alternatives(L"別解", [&](HWND d) {
        listed = static_cast<int>(SendDlgItemMessageW(d, IDC_ANSWER_LIST, LB_GETCOUNT, 0, 0));
        PostMessageW(d, WM_COMMAND, IDOK, 0);
    });
    PostMessageW(listControl(IDC_LIST_ALTERNATIVES), BM_CLICK, 0, 0);
    pump(600);
    ok(listed == 2, "別解 listed %d answers", listed);
    ok(GetFocus() == listControl(IDC_LIST_NUMBER), "focus not back on the number box");

    // ヘルプ and F1 open topic 106.
    app().help.call = dialogsteps::recordHelpContext;
    dialogsteps::g_helpContexts.clear();
    PostMessageW(listControl(IDC_LIST_HELP), BM_CLICK, 0, 0);
    pump(60);
    HELPINFO f1{sizeof f1, HELPINFO_WINDOW, IDC_LIST_NUMBER, listControl(IDC_LIST_NUMBER), 0, {}};
    SendMessageW(list(), WM_HELP, 0, reinterpret_cast<LPARAM>(&f1));
    ok(dialogsteps::g_helpContexts == std::vector<DWORD_PTR>({106, 106}), "help contexts");

    // Ctrl+L again keeps the one window.
    HWND first = list();
    pressCtrlL();
    ok(list() == first, "a second list window");

    // The program's loop gives the window dialog keys: Tab to 検索, Esc closes.
    postKey(listControl(IDC_LIST_NUMBER), VK_TAB);
    pump(60);
    ok(GetFocus() == listControl(IDC_LIST_FIND), "Tab did not reach 検索");
    postKey(GetFocus(), VK_ESCAPE);
    pump(100);
    ok(list() == nullptr && !IsWindow(first), "Esc did not close the window");
    // Enter presses OK.
    pressCtrlL();
    postKey(listControl(IDC_LIST_NUMBER), VK_RETURN);
    pump(100);
    ok(list() == nullptr, "Enter did not close the window");
    closeProgram();
}

WINTEST(findGoesDownAndUpAndSaysWhereItEnds) {
    ListBook b(L"rekal-list-find");
    command(CMD_LIST);
    PostMessageW(listControl(IDC_LIST_FIND), BM_CLICK, 0, 0);
    pump(200);
    HWND find = app().findDialog;
    ok(find != nullptr && IsWindowVisible(find), "no Find dialog");
    if (!find) return;
    ok(IsDlgButtonChecked(find, rad2) == BST_CHECKED, "downward not preselected");
    ok(!IsWindowVisible(GetDlgItem(find, chx1)) && !IsWindowVisible(GetDlgItem(find, chx2)),
       "whole word or match case shown");
    const std::wstring shots = shotFolder();
    if (!shots.empty()) {
        typeNumber(L"2");
        MoveWindow(list(), 40, 40, 560, 420, TRUE);
        SetWindowPos(find, HWND_TOP, 320, 300, 0, 0, SWP_NOSIZE);
        pump(300);
        SetDlgItemTextW(find, edt1, L"盛岡");
        pump(300);
        ok(saveScreen(shots + L"\\list-find.bmp"), "no screenshot");
        typeNumber(L"1");
    }

    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    // Down from question 1: the answers of 2, then of 4, then the end.
    findNext(L"盛岡");
    ok(number() == L"2", "first find gave %ls", number().c_str());
    findNext(L"盛岡");
    ok(number() == L"4", "second find gave %ls", number().c_str());
    findNext(L"盛岡");
    ok(number() == L"4" && boxes.seen() == 1, "the end went unsaid (%d boxes)", boxes.seen());
    // Up from 4: question 2, then the beginning.
    SendDlgItemMessageW(find, rad1, BM_CLICK, 0, 0);
    findNext(L"盛岡");
    ok(number() == L"2", "upward find gave %ls", number().c_str());
    findNext(L"盛岡");
    ok(number() == L"2" && boxes.seen() == 2, "the beginning went unsaid (%d boxes)", boxes.seen());
    const std::vector<std::wstring> texts = boxes.texts();
    ok(texts.size() == 2 && texts[0] == L"検索が終了しました。" && texts[1] == texts[0], "end message %ls",
       texts.empty() ? L"" : texts[0].c_str());
    // A text that code page 932 cannot hold is found nowhere.
    findNext(L"\U0001F600");
    ok(number() == L"2" && boxes.seen() == 3, "an emoji was found");

    // 検索 again brings the open dialog back; closing the window closes it too.
    PostMessageW(listControl(IDC_LIST_FIND), BM_CLICK, 0, 0);
    pump(100);
    ok(app().findDialog == find, "a second Find dialog");
    PostMessageW(list(), WM_CLOSE, 0, 0);
    pump(100);
    ok(list() == nullptr && app().findDialog == nullptr && !IsWindow(find), "Find dialog left open");
    closeProgram();
}

WINTEST(placeAndSplittersAreKeptAcrossARestart) {
    ListBook b(L"rekal-list-place");
    command(CMD_LIST);
    HWND window = list();
    const std::wstring shots = shotFolder();
    if (!shots.empty()) {
        typeNumber(L"2");
        MoveWindow(window, 40, 40, 560, 420, TRUE);
        pump(300);
        ok(saveScreen(shots + L"\\list-window.bmp"), "no screenshot");
    }
    MoveWindow(window, 50, 60, px(420), px(330), TRUE);
    // The answer splitter dragged up, the comment splitter down past the bottom row.
    SendMessageW(window, rekal::win::kSeparatorMoved, IDC_LIST_ANSWER_SPLITTER, px(100));
    SendMessageW(window, rekal::win::kSeparatorMoved, IDC_LIST_COMMENT_SPLITTER, px(5000));
    pump(60);
    RECT client;
    GetClientRect(window, &client);
    const int comment = clientRectOf(listControl(IDC_COMMENT)).top;
    ok(clientRectOf(listControl(IDC_ANSWER)).top == px(100), "answer pane at %d",
       clientRectOf(listControl(IDC_ANSWER)).top);
    ok(comment == clientRectOf(listControl(IDC_GROUP)).top - px(16), "comment pane at %d", comment);
    closeProgram();
    const std::string ini = readBytes(b.dir / L"REKALWIN.INI");
    ok(ini.find("ListAnswerTop=100\r\n") != std::string::npos, "answer top not written");

    b.restart();
    command(CMD_LIST);
    RECT r{};
    GetWindowRect(list(), &r);
    ok(r.left == 50 && r.top == 60 && r.right - r.left == px(420) && r.bottom - r.top == px(330),
       "place %ld,%ld %ldx%ld", r.left, r.top, r.right - r.left, r.bottom - r.top);
    ok(clientRectOf(listControl(IDC_ANSWER)).top == px(100), "answer pane not kept");
    ok(clientRectOf(listControl(IDC_COMMENT)).top == comment, "comment pane not kept");
    ShowWindow(list(), SW_MAXIMIZE);
    pump(60);
    closeProgram();
    ok(readBytes(b.dir / L"REKALWIN.INI").find("ListShow=1\r\n") != std::string::npos,
       "maximised state not written");

    b.restart();
    command(CMD_LIST);
    ok(IsZoomed(list()), "maximised state not kept");
    // Another book closes the window first.
    HWND old = list();
    rekal::win::openAnotherBook(b.book);
    pump(60);
    ok(list() == nullptr && !IsWindow(old), "list window outlived its book");
    closeProgram();
}

WINTEST_MAIN("listwindow")
