#include "win/list/listwindow.h"

#include "core/match/search.h"
#include "core/shell/helpcontexts.h"
#include "core/shell/listlayout.h"
#include "core/shell/numberfield.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/display/separator.h"
#include "win/program/tooltips.h"
#include "win/base/contrast.h"
#include "win/base/dpi.h"
#include "win/base/waitcursor.h"
#include "win/base/winnotifier.h"
#include "win/base/wintext.h"
#include "win/dialogs/commandtable.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"
#include "win/card/alternativesdialog.h"
#include "win/card/carddisplay.h"
#include "win/list/finddialog.h"

#include <commctrl.h>

#include <climits>
#include <memory>
#include <string>

namespace rekal::win {

namespace {

constexpr int kMinTrackSize = 250;
constexpr int kInterfacePoints = 9;
constexpr const char* kInterfaceFace = "ＭＳ Ｐゴシック";
constexpr const char* kCaption = "リスト";
constexpr const char* kSearchEnded = "検索が終了しました。";

constexpr CardControl kCardControls[] = {{IDC_TITLE, TitleFont},   {IDC_QUESTION, QuestionFont},
                                         {IDC_ANSWER, AnswerFont}, {IDC_COMMENT, CommentFont},
                                         {IDC_GROUP, GroupFont},   {IDC_HISTORY, GroupFont}};

// The number box and the buttons take the window's own interface font.
constexpr int kInterfaceControls[] = {IDC_LIST_NUMBER, IDC_LIST_FIND, IDC_LIST_ALTERNATIVES, IDOK,
                                      IDC_LIST_HELP};

struct ListWindowState {
    const QuestionCard* card = nullptr; // the card shown; the book outlives the window
    OwnedFont interfaceFont;
    CardStyle style{kCardControls};
    FindDialog find;
};

ListWindowState* stateOf(HWND window) {
    return window ? reinterpret_cast<ListWindowState*>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

// The children in creation (and tab) order. The left column has fixed places (96-dpi numbers); the
// layout places the right pane.
struct Child {
    const wchar_t* windowClass;
    int id;
    DWORD style; // besides child and visible
    DWORD exStyle;
    PixelRect place;
    const char* text;
    const char* tip; // none: no tooltip
};

constexpr DWORD kFieldStatic = SS_CENTER | SS_NOPREFIX | SS_NOTIFY;
constexpr DWORD kNumberBox = ES_NUMBER | ES_RIGHT | WS_TABSTOP;
constexpr DWORD kSpin = UDS_ALIGNRIGHT | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;

const Child kChildren[] = {
    {L"STATIC", IDC_TITLE, SS_NOPREFIX | SS_NOTIFY, 0, {}, "", "タイトル"},
    // The panes are tab stops: clicked or tabbed to, their keys scroll them.
    {kSentenceClass, IDC_QUESTION, WS_HSCROLL | WS_VSCROLL | WS_TABSTOP, 0, {}, "", "問題"},
    {kSentenceClass, IDC_ANSWER, WS_HSCROLL | WS_VSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, {}, "", "答え"},
    {kSentenceClass, IDC_COMMENT, WS_TABSTOP, 0, {}, "", "コメント"},
    {L"STATIC", IDC_GROUP, kFieldStatic, WS_EX_STATICEDGE, {}, "", "問題のグループ"},
    {L"STATIC", IDC_HISTORY, kFieldStatic, WS_EX_STATICEDGE, {}, "", "問題の正誤履歴"},
    {L"EDIT", IDC_LIST_NUMBER, kNumberBox, WS_EX_CLIENTEDGE, {1, 3, 64, 20}, "", "問題番号"},
    {UPDOWN_CLASSW, IDC_LIST_SPIN, kSpin, 0, {}, "", nullptr},
    {kSeparatorClass, IDC_LIST_ANSWER_SPLITTER, 0, 0, {}, "", nullptr},
    {kSeparatorClass, IDC_LIST_COMMENT_SPLITTER, 0, 0, {}, "", nullptr},
    {L"BUTTON", IDC_LIST_FIND, kButton, 0, {1, 26, 64, 25}, "検索(&F)...", nullptr},
    {L"BUTTON", IDC_LIST_ALTERNATIVES, kButton, 0, {1, 54, 64, 25}, "別解(&O)...", nullptr},
    {L"BUTTON", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 0, {1, 82, 64, 25}, "OK", "ウィンドウを閉じます"},
    {L"BUTTON", IDC_LIST_HELP, kButton, 0, {1, 110, 64, 25}, "ヘルプ(&H)", nullptr},
};

HWND control(HWND window, int id) {
    return GetDlgItem(window, id);
}

void focusNumberBox(HWND window) {
    SetFocus(control(window, IDC_LIST_NUMBER));
}

// ---- layout ----

void layout(HWND window) {
    if (IsIconic(window)) return;
    Settings& s = app().settings;
    RECT client{};
    GetClientRect(window, &client);
    ListPaneInput in;
    in.dpi = windowDpi(window);
    in.width = client.right;
    in.height = client.bottom;
    RECT title{0, 0, listPaneWidth(client.right, in.dpi), 0};
    fieldTextExtent(control(window, IDC_TITLE), DT_WORDBREAK, title);
    in.titleHeight = title.bottom;
    RECT group{}, history{};
    fieldTextExtent(control(window, IDC_GROUP), 0, group);
    fieldTextExtent(control(window, IDC_HISTORY), 0, history);
    in.groupText = {group.right, group.bottom};
    in.historyTextWidth = history.right;
    in.answerTop = s.listAnswerTop;
    in.commentTop = s.listCommentTop;

    const ListPaneLayout l = layoutListPane(in);
    s.listAnswerTop = l.answerTop;
    s.listCommentTop = l.commentTop;
    placeControl(window, IDC_TITLE, l.title);
    placeControl(window, IDC_QUESTION, l.question);
    placeControl(window, IDC_LIST_ANSWER_SPLITTER, l.answerSplitter);
    placeControl(window, IDC_ANSWER, l.answer);
    placeControl(window, IDC_LIST_COMMENT_SPLITTER, l.commentSplitter);
    placeControl(window, IDC_COMMENT, l.comment);
    placeControl(window, IDC_GROUP, l.group);
    placeControl(window, IDC_HISTORY, l.history);
    const RECT pane{l.title.left, 0, client.right, client.bottom};
    InvalidateRect(window, &pane, TRUE);
}

// ---- the card ----

void showCard(HWND window, ListWindowState& state, const QuestionCard& q) {
    const QuestionBook& book = app().book;
    state.card = &q;
    // The fonts and colours come first: the sentences lay out in them and make their pictures on
    // the background the window gives.
    state.style.apply(window, effectiveFonts(book, app().settings, q));
    showCardFields(window, book, q);
    EnableWindow(control(window, IDC_LIST_ALTERNATIVES), book.answerCount(&q) > 1);
    const std::optional<std::string> answer = book.displayAnswer(&q);
    setSentenceText(window, IDC_ANSWER, answer ? std::optional<std::string_view>(*answer) : std::nullopt);
    setSentenceText(window, IDC_COMMENT,
                    q.comment.empty() ? std::nullopt : std::optional<std::string_view>(q.comment.view()));
    layout(window);
}

// The number box changed (typed, stepped, set by a search or the detail list): its question, when
// the number is one; anything else leaves the card on screen.
void showNumberedQuestion(HWND window, ListWindowState& state) {
    const QuestionBook& book = app().book;
    const std::optional<int> number =
        parseNumberField(windowText(control(window, IDC_LIST_NUMBER)), 1, book.questionCount());
    const QuestionCard* q = number ? book.questionAt(*number - 1) : nullptr;
    if (q && q != state.card) showCard(window, state, *q);
}

void setInterfaceFont(HWND window, ListWindowState& state) {
    OwnedFont font(
        createInterfaceFont(window, kInterfacePoints, FW_NORMAL, false, SHIFTJIS_CHARSET, kInterfaceFace));
    for (int id : kInterfaceControls)
        SendMessageW(control(window, id), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    state.interfaceFont = std::move(font);
}

void restyle(HWND window, ListWindowState& state) {
    setInterfaceFont(window, state);
    if (state.card) {
        showCard(window, state, *state.card);
    } else {
        state.style.apply(window, app().settings.fonts);
        layout(window);
    }
    InvalidateRect(window, nullptr, TRUE);
}

// ---- find ----

// 次を検索: from the number in the box, in the dialog's direction, under the settings' comparison.
void findNext(HWND window, ListWindowState& state, const FindRequest& request) {
    const AppState& a = app();
    WaitCursor cursor;
    cursor.begin();
    const int start =
        parseNumberField(windowText(control(window, IDC_LIST_NUMBER)), INT_MIN + 1, INT_MAX).value_or(0) - 1;
    const int found = request.pattern ? searchQuestions(a.book, start, *request.pattern, request.down,
                                                        a.settings.compareMode, a.vague)
                                      : -1;
    cursor.end();
    if (found >= 0) {
        SendMessageW(control(window, IDC_LIST_SPIN), UDM_SETPOS32, 0, found + 1);
    } else {
        HWND owner = state.find.handle() ? state.find.handle() : window;
        showMessage(owner, kSearchEnded, MB_OK | MB_ICONINFORMATION);
    }
}

// ---- commands ----

void closeWindow(HWND window, ListWindowState&) {
    DestroyWindow(window);
}

void showAlternatives(HWND window, ListWindowState& state) {
    if (!state.card || app().book.answerCount(state.card) <= 1) return;
    showAlternativesDialog(window, *state.card, state.style.fonts()[AnswerFont]);
    focusNumberBox(window);
}

constexpr DialogCommand<ListWindowState> kCommands[] = {
    {IDOK, closeWindow},
    {IDCANCEL, closeWindow},
    {IDC_LIST_FIND, [](HWND window, ListWindowState& state) { state.find.open(window); }},
    {IDC_LIST_ALTERNATIVES, showAlternatives},
    {IDC_LIST_HELP, [](HWND window, ListWindowState&) { showHelpTopic(window, kHelpHintAndList); }},
};

void onCommand(HWND window, ListWindowState& state, int id, int notification) {
    if (id == IDC_LIST_NUMBER) {
        if (notification == EN_CHANGE) showNumberedQuestion(window, state);
        return;
    }
    if (notification == BN_CLICKED) runDialogCommand(kCommands, window, state, id);
}

// ---- life ----

bool onCreate(HWND window, ListWindowState& state) {
    AppState& a = app();
    for (const Child& c : kChildren) {
        const PixelRect at{scaled(window, c.place.left), scaled(window, c.place.top),
                           scaled(window, c.place.width), scaled(window, c.place.height)};
        if (!CreateWindowExW(c.exStyle, c.windowClass, toWide(c.text).c_str(),
                             WS_CHILD | WS_VISIBLE | c.style, at.left, at.top, at.width, at.height, window,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), a.instance, nullptr))
            return false;
    }
    a.listWindow = window;
    for (int id : {IDC_LIST_ANSWER_SPLITTER, IDC_LIST_COMMENT_SPLITTER})
        SendMessageW(control(window, id), kSetSeparatorOrientation, SeparatorHorizontal, 0);
    setInterfaceFont(window, state);
    state.style.apply(window, a.settings.fonts);
    for (const Child& c : kChildren)
        if (c.tip) addControlTooltip(window, c.id, c.tip);
    // Setting the up-down's place fills the number box, which shows question 1.
    setUpNumberEdit(window, IDC_LIST_NUMBER, IDC_LIST_SPIN, 1, a.book.questionCount(), 1);
    focusNumberBox(window);
    return true;
}

void onDestroy(HWND window, ListWindowState& state) {
    AppState& a = app();
    state.find.close();
    storeWindowPlacement(window, a.settings.listRect, a.settings.listMaximized);
    removeControlTooltips(window);
    if (a.listWindow == window) a.listWindow = nullptr;
    if (a.mainWindow) BringWindowToTop(a.mainWindow);
}

// Moved to a screen of another density: the suggested rectangle, then fonts and layout for it.
void onDpiChanged(HWND window, ListWindowState& state, const RECT& suggested) {
    SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    restyle(window, state);
}

} // namespace

LRESULT CALLBACK listWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto state = std::make_unique<ListWindowState>();
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state.release()));
    }
    ListWindowState* state = stateOf(window);
    if (!state) return DefWindowProcW(window, message, wParam, lParam);
    if (message == app().findReplaceMessage && message != 0) {
        if (std::optional<FindRequest> request = state->find.onFindMessage(lParam))
            findNext(window, *state, *request);
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        return onCreate(window, *state) ? 0 : -1;
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) layout(window);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {scaled(window, kMinTrackSize), scaled(window, kMinTrackSize)};
        return 0;
    }
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        // Passed on by the number box: the pane under the cursor scrolls.
        wheelToSentenceUnderCursor(window, message, wParam, lParam);
        return 0;
    case WM_ACTIVATE:
        // Activating the window puts the focus on the number box.
        if (LOWORD(wParam) != WA_INACTIVE && !HIWORD(wParam)) {
            focusNumberBox(window);
            return 0;
        }
        break;
    case WM_COMMAND:
        onCommand(window, *state, LOWORD(wParam), HIWORD(wParam));
        return 0;
    case DM_GETDEFID:
        return MAKELRESULT(IDOK, DC_HASDEFID);
    case kSeparatorMoved: {
        Settings& s = app().settings;
        const int top = unscaleForDpi(static_cast<int>(lParam), windowDpi(window));
        if (wParam == IDC_LIST_ANSWER_SPLITTER) s.listAnswerTop = top;
        if (wParam == IDC_LIST_COMMENT_SPLITTER) s.listCommentTop = top;
        layout(window);
        return 0;
    }
    case WM_CTLCOLORSTATIC:
        if (INT_PTR brush = state->style.controlColour(reinterpret_cast<HDC>(wParam),
                                                       GetDlgCtrlID(reinterpret_cast<HWND>(lParam))))
            return brush;
        break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        repaintOnThemeChange(window, message, wParam, lParam);
        break;
    case WM_HELP:
        showHelpTopic(window, kHelpHintAndList);
        return TRUE;
    case WM_DPICHANGED:
        onDpiChanged(window, *state, *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        onDestroy(window, *state);
        return 0;
    case WM_NCDESTROY: {
        std::unique_ptr<ListWindowState> owned(state);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void openListWindow(HWND) {
    AppState& a = app();
    if (HWND existing = a.listWindow) {
        if (IsIconic(existing)) ShowWindow(existing, SW_RESTORE);
        SetForegroundWindow(existing);
        SetActiveWindow(existing);
        focusNumberBox(existing);
        return;
    }
    if (!a.book.isLoaded()) return;
    const WindowRect& r = a.settings.listRect;
    HWND window = CreateWindowExW(0, kListWindowClass, toWide(kCaption).c_str(), WS_OVERLAPPEDWINDOW, r.left,
                                  r.top, r.width, r.height, a.mainWindow, nullptr, a.instance, nullptr);
    if (!window) return;
    restoreStoredPlacement(window, r, a.settings.listMaximized, SW_SHOWNORMAL);
}

void closeListWindow() {
    if (HWND window = app().listWindow) DestroyWindow(window);
}

void showListQuestion(int number) {
    HWND window = app().listWindow;
    ListWindowState* state = stateOf(window);
    if (!state) return;
    // The number box tells nothing when it already holds the number: the card is shown here.
    SendMessageW(control(window, IDC_LIST_SPIN), UDM_SETPOS32, 0, number);
    if (const QuestionCard* q = app().book.questionAt(number - 1)) showCard(window, *state, *q);
}

void restyleListWindow() {
    HWND window = app().listWindow;
    if (ListWindowState* state = stateOf(window)) restyle(window, *state);
}

} // namespace rekal::win
