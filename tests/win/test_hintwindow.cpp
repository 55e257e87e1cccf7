// The exam view's companions during runs: the hint window opened with Ctrl+H, paged both ways round,
// placed beside a main window at the right edge of the screen (which makes room and comes back),
// resized and closed by Esc, by the next question and by the end of the run; the information pane
// painting the run's fields, frozen while the answer dialog is open, and the tips again afterwards.

#include "examtest.h"

#include "core/exam/infopane.h"
#include "win/display/sentence.h"
#include "win/exam/hintwindow.h"
#include "win/exam/infopane.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace {

using namespace examtest;
using wintest::px;
using wintest::screenDpi;

// The first question has three hints, the second none, the third one; the file sets a large hint
// font.
const std::string kHintBook = "REKALDATA V1.6\r\n"
                              "#ヒント,000000\r\n"
                              "$FontHint=30\r\n"
                              "一つ目の問題\\hヒント1\\hヒント2\\hヒント3,a,<00\r\n"
                              "二つ目の問題,b,<00\r\n"
                              "三つ目の問題\\h一つだけ,c,<00\r\n";

// Ctrl+H on the focused window, through the program's loop, as the user presses it outside the answer
// edit (in the edit it deletes back, as an edit does).
void pressCtrlH() {
    if (GetFocus() == examControl(IDC_ANSWER_EDIT)) SetFocus(examControl(IDOK));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    postKey(GetFocus() ? GetFocus() : app().mainWindow, 'H');
    pump(150);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

RECT windowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

bool sameRect(const RECT& a, const RECT& b) {
    return EqualRect(&a, &b) != FALSE;
}

RECT workArea() {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

std::wstring hintText() {
    rekal::win::SentenceState* s = rekal::win::sentenceState(GetDlgItem(app().hintWindow, IDC_HINT_TEXT));
    return s && s->text ? wide(*s->text) : L"(none)";
}

std::wstring counter() {
    return windowText(GetDlgItem(app().hintWindow, IDC_HINT_COUNTER));
}

// The height of the hint sentence's font, and the background the window gives its texts.
int hintFontHeight() {
    rekal::win::SentenceState* s = rekal::win::sentenceState(GetDlgItem(app().hintWindow, IDC_HINT_TEXT));
    LOGFONTW font{};
    if (!s || !GetObjectW(s->font, sizeof font, &font)) return 0;
    return std::abs(font.lfHeight);
}
COLORREF hintBackground() {
    HWND text = GetDlgItem(app().hintWindow, IDC_HINT_TEXT);
    HDC dc = GetDC(text);
    auto brush = reinterpret_cast<HBRUSH>(SendMessageW(
        app().hintWindow, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(text)));
    ReleaseDC(text, dc);
    LOGBRUSH lb{};
    GetObjectW(brush, sizeof lb, &lb);
    return lb.lbColor;
}

void click(int id) {
    SendDlgItemMessageW(app().hintWindow, id, BM_CLICK, 0, 0);
    pump(30);
}

void answer() {
    typeAnswer(L"a");
    pressKey(VK_RETURN, 250);
}

// Opens the hint window on the question shown and checks where it went: beside the main window,
// which has moved left by the excess over the work area's right edge and stopped at its left edge.
void checkPlacement(const RECT& before, const char* what) {
    const RECT work = workArea();
    const auto& stored = app().settings.hintRect;
    const int gap = px(5);
    const int excess = std::max(0L, before.right + stored.width + gap - work.right);
    const RECT main = windowRect(app().mainWindow);
    const RECT hint = windowRect(app().hintWindow);
    ok(main.right == before.right - excess && main.left == std::max(before.left - excess, work.left),
       "%s: main window at %ld..%ld, was %ld..%ld", what, main.left, main.right, before.left, before.right);
    ok(hint.left == main.right + gap && hint.top == main.top && hint.right - hint.left == stored.width &&
           hint.bottom - hint.top == stored.height,
       "%s: hint window at %ld,%ld %ldx%ld", what, hint.left, hint.top, hint.right - hint.left,
       hint.bottom - hint.top);
    ok(hint.right <= work.right, "%s: hint window beyond the screen's edge", what);
}

} // namespace

WINTEST(hintWindowPagesMakesRoomAndCloses) {
    Exam exam(L"rekal-hint-window", kHintBook);
    setMode(CMD_MODE_WRITTEN);
    const RECT work = workArea();
    // The main window touches the right edge of the screen.
    MoveWindow(app().mainWindow, work.right - px(560), work.top + 20, px(560), px(420), TRUE);
    pump(50);
    const RECT before = windowRect(app().mainWindow);
    AnswerScript script(std::vector<AnswerScript::Key>(6, vk(VK_RETURN)));
    DialogWatcher results = closingResults();

    pressCtrlH();
    ok(!app().hintWindow, "a hint window without a run");
    command(CMD_START_ALL);
    ok(!menuGreyed(CMD_VIEW_HINT), "hint command greyed for a question with hints");
    pressCtrlH();
    if (!ok(app().hintWindow && IsWindowVisible(app().hintWindow), "Ctrl+H opened no hint window")) return;
    checkPlacement(before, "right edge");
    ok(counter() == L"1 / 3" && hintText() == L"ヒント1", "opened on %ls: %ls", counter().c_str(),
       hintText().c_str());
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ok(GetWindowRgn(app().hintWindow, shape) == COMPLEXREGION, "the window is not rounded");
    DeleteObject(shape);

    // Paging goes round both ways.
    click(IDC_HINT_PREVIOUS);
    ok(counter() == L"3 / 3" && hintText() == L"ヒント3", "<< on 1 / 3 gave %ls: %ls", counter().c_str(),
       hintText().c_str());
    click(IDC_HINT_NEXT);
    click(IDC_HINT_NEXT);
    ok(counter() == L"2 / 3" && hintText() == L"ヒント2", ">> twice from 3 / 3 gave %ls", counter().c_str());

    // The file's hint font; the settings' once the file's fonts are off and the window is restyled.
    const int fileFont = hintFontHeight();
    ok(hintBackground() == app().settings.fonts[rekal::HintFont].backColor, "not the hint background");
    app().settings.useData &= ~rekal::UseFonts;
    app().settings.fonts[rekal::HintFont].backColor = RGB(250, 240, 200);
    rekal::win::restyleHintWindow();
    ok(fileFont > hintFontHeight() && hintFontHeight() > 0, "hint font %d high with the file's, %d without",
       fileFont, hintFontHeight());
    ok(hintBackground() == RGB(250, 240, 200) && hintText() == L"ヒント2", "restyled to %06lx showing %ls",
       hintBackground(), hintText().c_str());

    // A new size lays the controls out again; it is kept when the window closes.
    const RECT hint = windowRect(app().hintWindow);
    SetWindowPos(app().hintWindow, nullptr, hint.left, hint.top, px(260), px(320), SWP_NOZORDER);
    pump(30);
    RECT close = windowRect(GetDlgItem(app().hintWindow, IDOK));
    ok(close.top - hint.top == px(320) - px(31) && close.left - hint.left == (px(260) - px(66)) / 2 + px(10),
       "閉じる at %ld,%ld in the resized window", close.left - hint.left, close.top - hint.top);

    // The next question closes it; the main window goes back.
    SetForegroundWindow(app().mainWindow);
    SetFocus(examControl(IDC_ANSWER_EDIT));
    answer();
    ok(!app().hintWindow, "the hint window stayed open at the next question");
    ok(sameRect(windowRect(app().mainWindow), before), "the main window did not go back");
    ok(app().settings.hintRect.width == px(260) && app().settings.hintRect.height == px(320),
       "size not kept: %dx%d", app().settings.hintRect.width, app().settings.hintRect.height);

    // A question without hints: the command is greyed and gives no window.
    ok(currentQuestion() == 1 && menuGreyed(CMD_VIEW_HINT), "hint command enabled without hints");
    pressCtrlH();
    ok(!app().hintWindow, "a hint window for a question without hints");
    answer();

    // A wide main window at the left edge becomes narrower; Esc closes the hint window, Ctrl+H
    // opens it again, and the end of the run closes it.
    MoveWindow(app().mainWindow, work.left, work.top, work.right - work.left - px(40), px(400), TRUE);
    pump(50);
    const RECT wide = windowRect(app().mainWindow);
    pressCtrlH();
    if (!ok(app().hintWindow != nullptr, "no hint window for the third question")) return;
    checkPlacement(wide, "left edge");
    ok(counter() == L"1 / 1" && hintText() == L"一つだけ", "third question shows %ls", hintText().c_str());
    click(IDC_HINT_NEXT);
    ok(counter() == L"1 / 1", "one hint does not go round to itself");
    postKey(GetFocus(), VK_ESCAPE);
    pump(100);
    ok(!app().hintWindow && sameRect(windowRect(app().mainWindow), wide),
       "Esc did not close the hint window");
    pressCtrlH();
    ok(app().hintWindow != nullptr, "Ctrl+H did not open it again");
    SetForegroundWindow(app().mainWindow);
    SetFocus(examControl(IDC_ANSWER_EDIT));
    answer();
    pump(300);
    ok(idleAgain() && !app().hintWindow, "the hint window outlived the run");
    ok(sameRect(windowRect(app().mainWindow), wide), "the main window did not go back after the run");
    closeProgram();
}

WINTEST(infoPaneShowsTheRunAndFreezesForTheAnswer) {
    Exam exam(L"rekal-info-pane", kHintBook);
    setMode(CMD_MODE_WRITTEN);
    MoveWindow(app().mainWindow, 0, 0, px(640), px(480), TRUE);
    pump(300);
    HWND pane = examControl(IDC_INFO_PANE);
    RECT client{};
    GetClientRect(pane, &client);
    const rekal::PaneFrame frame = rekal::paneFrame(client.right, client.bottom, screenDpi());
    // The white start of the first label's band is on the inner area's top line; an idle tip is
    // drawn there in the pane's colours, never white.
    auto pixel = [&](int x, int y) {
        HDC dc = GetDC(pane);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(pane, dc);
        return c;
    };
    const int bandX = frame.inner.left + px(5);
    const int bandY = frame.inner.top;
    ok(pixel(0, 0) == RGB(160, 120, 255), "the pane's surround is %06lx", pixel(0, 0));
    ok(pixel(bandX, bandY) != RGB(255, 255, 255), "idle pane shows a label band");

    std::atomic<bool> frozenInDialog{false};
    DialogWatcher answerDialog(L"答え", [&](HWND dialog) {
        frozenInDialog = rekal::win::infoPaneFrozen(pane);
        postKey(focusOf(dialog), VK_RETURN);
    });
    DialogWatcher results = closingResults();
    command(CMD_START_ALL);
    pump(250);
    ok(pixel(bandX, bandY) == RGB(255, 255, 255), "no label band during a run: %06lx", pixel(bandX, bandY));
    ok(!rekal::win::infoPaneFrozen(pane), "frozen before the answer");
    answer();
    ok(frozenInDialog, "the pane was not frozen while the answer dialog was open");
    ok(!rekal::win::infoPaneFrozen(pane), "still frozen after the answer");
    answer();
    answer();
    pump(300);
    ok(idleAgain() && !rekal::win::infoPaneFrozen(pane), "not idle after the run");
    pump(200);
    ok(pixel(bandX, bandY) != RGB(255, 255, 255), "the run's fields stayed after the run");
    closeProgram();
}

WINTEST_MAIN("hintwindow")
