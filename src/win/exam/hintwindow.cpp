#include "win/exam/hintwindow.h"

#include "core/data/book.h"
#include "core/exam/run.h"
#include "core/shell/helpcontexts.h"
#include "core/shell/hintlayout.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/base/contrast.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"

#include <memory>

namespace rekal::win {

namespace {

constexpr int kCorner = 20;
constexpr int kSizingBorder = 5; // the edge band that resizes the window, which has no frame
constexpr COLORREF kFrameColour = RGB(0, 0, 255);

// The window's own record.
struct HintState {
    int question = 0; // the question whose hints are shown
    HintPager pager;
    RECT mainPlace{}; // the main window before it made room, put back on close
    OwnedFont font;
    OwnedBrush background;
    OwnedBrush frame;
    FontSpec look; // the hint font in effect: its colours paint the window
};

// What the opening passes to the dialog's creation.
struct HintOpening {
    int question = 0;
    int hints = 0;
    RECT mainPlace{};
};

const QuestionCard* shownQuestion(const HintState& state) {
    return app().book.questionAt(state.question);
}

// Hint n into the sentence, and "n + 1 / count" under it.
void showHint(HWND window, HintState& state, int n) {
    if (!state.pager.show(n)) return;
    setSentenceText(window, IDC_HINT_TEXT, app().book.hintAt(shownQuestion(state), state.pager.position));
    setWindowText(GetDlgItem(window, IDC_HINT_COUNTER), state.pager.counterText());
}

// The hint font in effect for the question (the book's with UseData bit 4, else the settings'),
// its colours and the frame's brush; the sentence takes the new background with its text again.
void applyLook(HWND window, HintState& state) {
    const AppState& a = app();
    const QuestionCard* q = shownQuestion(state);
    state.look = q ? effectiveFonts(a.book, a.settings, *q)[HintFont] : a.settings.fonts[HintFont];
    state.font.reset(createFontFromSpec(window, state.look));
    state.background.reset(CreateSolidBrush(state.look.backColor));
    if (!state.frame) state.frame.reset(CreateSolidBrush(kFrameColour));
    SendDlgItemMessageW(window, IDC_HINT_TEXT, WM_SETFONT, reinterpret_cast<WPARAM>(state.font.get()), FALSE);
    showHint(window, state, state.pager.position);
    InvalidateRect(window, nullptr, TRUE);
}

// The rounded shape of the window's size, as a region (the caller owns it).
HRGN roundedRegion(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const int corner = scaled(window, kCorner);
    return CreateRoundRectRgn(0, 0, r.right - r.left + 1, r.bottom - r.top + 1, corner, corner);
}

void onSize(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    const HintControls l = layoutHintControls(client.right, client.bottom, windowDpi(window));
    placeControl(window, IDC_HINT_CAPTION, l.caption);
    placeControl(window, IDC_HINT_TEXT, l.sentence);
    placeControl(window, IDC_HINT_COUNTER, l.counter);
    placeControl(window, IDC_HINT_PREVIOUS, l.previous);
    placeControl(window, IDOK, l.close);
    placeControl(window, IDC_HINT_NEXT, l.next);
    SetWindowRgn(window, roundedRegion(window), TRUE); // the window owns the region from here
    InvalidateRect(window, nullptr, TRUE);
}

// The background fills the window (WM_CTLCOLORDLG); the frame follows the rounded edge.
void onPaint(HWND window, const HintState& state) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    if (HRGN edge = roundedRegion(window)) {
        FrameRgn(dc, edge, shownBrush(state.frame.get(), COLOR_WINDOWFRAME), 1, 1);
        DeleteObject(edge);
    }
    EndPaint(window, &ps);
}

// The window has no frame: a band along its edges resizes it.
LRESULT sizingHit(HWND window, LPARAM lParam) {
    POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
    RECT r;
    GetWindowRect(window, &r);
    const int band = scaled(window, kSizingBorder);
    const bool left = p.x < r.left + band, right = p.x >= r.right - band;
    const bool top = p.y < r.top + band, bottom = p.y >= r.bottom - band;
    if (top && left) return HTTOPLEFT;
    if (top && right) return HTTOPRIGHT;
    if (bottom && left) return HTBOTTOMLEFT;
    if (bottom && right) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
    return 0;
}

BOOL onInit(HWND window, const HintOpening& opening) {
    HintState& state = hangOwnedDialogState(window, std::make_unique<HintState>());
    state.question = opening.question;
    state.pager.count = opening.hints;
    state.mainPlace = opening.mainPlace;
    SetWindowTextW(window, L"ヒント");
    applyLook(window, state);
    onSize(window);
    SetFocus(GetDlgItem(window, IDOK));
    return FALSE;
}

// Closing: the size is kept for the next opening, the main window goes back and comes to the top.
void onDestroy(HWND window, const HintState& state) {
    AppState& a = app();
    bool maximized = false;
    storeWindowPlacement(window, a.settings.hintRect, maximized);
    if (a.hintWindow == window) a.hintWindow = nullptr;
    const RECT& r = state.mainPlace;
    if (a.mainWindow)
        SetWindowPos(a.mainWindow, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOACTIVATE);
}

INT_PTR CALLBACK hintProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return onInit(window, *reinterpret_cast<const HintOpening*>(lParam));
    HintState* state = dialogState<HintState>(window);
    if (!state) return FALSE;
    if (handleCommonDialogMessage(window, message, wParam, kHelpHintAndList)) return TRUE;
    switch (message) {
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
        case IDCANCEL:
            closeHintWindow();
            return TRUE;
        case IDC_HINT_PREVIOUS:
        case IDC_HINT_NEXT:
            state->pager.step(LOWORD(wParam) == IDC_HINT_NEXT ? 1 : -1);
            showHint(window, *state, state->pager.position);
            return TRUE;
        }
        return FALSE;
    case WM_SIZE:
        onSize(window);
        return TRUE;
    case WM_PAINT:
        onPaint(window, *state);
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(shownBrush(state->background.get(), COLOR_WINDOW));
    case WM_CTLCOLORSTATIC:
        return textColours(reinterpret_cast<HDC>(wParam), state->look.color, state->look.backColor,
                           state->background.get());
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        repaintOnThemeChange(window, message, wParam, lParam);
        return FALSE;
    case WM_NCHITTEST:
        if (LRESULT hit = sizingHit(window, lParam)) {
            SetWindowLongPtrW(window, DWLP_MSGRESULT, hit);
            return TRUE;
        }
        return FALSE;
    case WM_LBUTTONDOWN:
        // The free area drags the window as a caption would.
        ReleaseCapture();
        SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, static_cast<LPARAM>(GetMessagePos()));
        return TRUE;
    case WM_GETMINMAXINFO: {
        const PixelSize min = minimumHintSize(windowDpi(window));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {min.width, min.height};
        return TRUE;
    }
    case WM_DPICHANGED: {
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
        applyLook(window, *state);
        return TRUE;
    }
    case WM_DESTROY:
        onDestroy(window, *state);
        return FALSE;
    }
    return FALSE;
}

void openHintWindow() {
    AppState& a = app();
    const ExamRun& run = a.run;
    const QuestionCard* q = a.book.questionAt(run.current);
    if (!run.active() || !q || !a.mainWindow) return;
    HintOpening opening;
    opening.question = run.current;
    opening.hints = a.book.hintCount(q);
    if (opening.hints <= 0) return;

    HWND main = a.mainWindow;
    if (IsZoomed(main)) ShowWindow(main, SW_RESTORE);
    GetWindowRect(main, &opening.mainPlace);
    const PixelRect mainPlace = pixelRect(opening.mainPlace);
    const HintPlacement p =
        placeHintWindow(mainPlace, {a.settings.hintRect.width, a.settings.hintRect.height},
                        pixelRect(workAreaOf(main)), windowDpi(main));
    if (p.main != mainPlace)
        SetWindowPos(main, nullptr, p.main.left, p.main.top, p.main.width, p.main.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);

    HWND window = CreateDialogParamW(a.instance, MAKEINTRESOURCEW(IDD_HINT), a.examView ? a.examView : main,
                                     hintProc, reinterpret_cast<LPARAM>(&opening));
    if (!window) {
        SetWindowPos(main, nullptr, mainPlace.left, mainPlace.top, mainPlace.width, mainPlace.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    a.hintWindow = window;
    SetWindowPos(window, HWND_TOP, p.hint.left, p.hint.top, p.hint.width, p.hint.height, 0);
    ShowWindow(window, SW_SHOW);
}

} // namespace

void toggleHintWindow(HWND) {
    if (app().hintWindow)
        closeHintWindow();
    else
        openHintWindow();
}

void closeHintWindow() {
    if (HWND window = app().hintWindow) DestroyWindow(window);
}

void restyleHintWindow() {
    HWND window = app().hintWindow;
    if (HintState* state = window ? dialogState<HintState>(window) : nullptr) applyLook(window, *state);
}

} // namespace rekal::win
