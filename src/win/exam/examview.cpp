#include "win/exam/examview.h"

#include "core/shell/viewframe.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/program/displayfonts.h"
#include "win/exam/commandstate.h"
#include "win/display/separator.h"
#include "win/program/tooltips.h"
#include "win/base/contrast.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/dialogs/dialogkit.h"
#include "win/exam/examsession.h"
#include "win/display/sentence.h"
#include "win/exam/hintwindow.h"
#include "win/exam/idlepanel.h"
#include "win/exam/infopane.h"
#include "win/list/listwindow.h"

#include <commctrl.h>

#include <array>
#include <memory>

namespace rekal::win {

namespace {

constexpr int kToolbarImageSize = 16; // at 1 x; the 1.5 x and 2 x strips have larger images
constexpr COLORREF kToolbarMask = RGB(255, 0, 255);
constexpr int kBandHeight = 24; // the group and history band until the question area measures it

// The view's own record, attached to the window.
struct ExamViewState {
    HIMAGELIST toolbarImages = nullptr;
    HWND idlePanel = nullptr;
    ExamSessionPtr session;

    ExamViewState() = default;
    ExamViewState(const ExamViewState&) = delete;
    ExamViewState& operator=(const ExamViewState&) = delete;
    ~ExamViewState() {
        if (toolbarImages) ImageList_Destroy(toolbarImages);
    }
};

ExamViewState* viewState(HWND view) {
    return view ? reinterpret_cast<ExamViewState*>(GetWindowLongPtrW(view, DWLP_USER)) : nullptr;
}

struct ToolbarButton {
    int image; // -1 for a separator
    int command;
    BYTE style;
};

constexpr ToolbarButton kToolbarButtons[] = {
    {0, CMD_OPEN, BTNS_DROPDOWN},
    {-1, 0, BTNS_SEP},
    {1, CMD_RANGE, BTNS_BUTTON},
    {-1, 0, BTNS_SEP},
    {2, CMD_MODE_STANDARD, BTNS_BUTTON},
    {3, CMD_MODE_WRITTEN, BTNS_BUTTON},
    {4, CMD_MODE_CHOICE, BTNS_BUTTON},
    {5, CMD_MODE_CONFIRM, BTNS_BUTTON},
    {-1, 0, BTNS_SEP},
    {6, CMD_START_ALL, BTNS_BUTTON},
    {7, CMD_START_RANDOM_ALL, BTNS_BUTTON},
    {8, CMD_START_RANDOM_COUNT, BTNS_BUTTON},
    {9, CMD_START_WEAK, BTNS_BUTTON},
    {10, CMD_START_COMPLETE, BTNS_BUTTON},
};

// The toolbar's images drawn for the view's dpi; the previous list (from another dpi) goes.
void setToolbarImages(HWND view, ExamViewState& state) {
    HWND toolbar = GetDlgItem(view, IDC_TOOLBAR);
    const int dpi = windowDpi(view);
    HIMAGELIST images = ImageList_LoadImageW(
        app().instance, MAKEINTRESOURCEW(artworkResource(IDB_TOOLBAR, dpi)),
        artworkSizeForDpi(kToolbarImageSize, dpi), 0, kToolbarMask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    if (!images) return;
    SendMessageW(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
    if (state.toolbarImages) ImageList_Destroy(state.toolbarImages);
    state.toolbarImages = images;
}

void setUpToolbar(HWND view, ExamViewState& state) {
    HWND toolbar = GetDlgItem(view, IDC_TOOLBAR);
    SendMessageW(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(toolbar, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    setToolbarImages(view, state);
    std::array<TBBUTTON, std::size(kToolbarButtons)> buttons{};
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const ToolbarButton& b = kToolbarButtons[i];
        buttons[i].iBitmap = b.image < 0 ? 0 : b.image;
        buttons[i].idCommand = b.command;
        buttons[i].fsState = b.image < 0 ? 0 : TBSTATE_ENABLED;
        buttons[i].fsStyle = b.style;
    }
    SendMessageW(toolbar, TB_ADDBUTTONSW, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);
}

void addViewTooltips(HWND view) {
    const std::pair<int, const char*> tips[] = {
        {IDC_TITLE, "タイトル"},
        {IDC_QUESTION, "問題"},
        {IDC_HISTORY, "問題の正誤履歴"},
        {IDC_GROUP, "問題のグループ"},
        {IDC_ANSWER_EDIT, "ここに答えを入力します"},
        {IDOK, "答え合わせをします"},
        {IDCANCEL, "出題を終わります"},
    };
    for (const auto& [id, text] : tips)
        addControlTooltip(view, id, text);
}

// The control's height while it is shown (by its own style: the view itself may still be hidden).
int shownHeight(HWND control) {
    if (!control || !(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE)) return 0;
    RECT r;
    GetWindowRect(control, &r);
    return r.bottom - r.top;
}

void layoutView(HWND view, int width, int height) {
    HWND toolbar = GetDlgItem(view, IDC_TOOLBAR);
    HWND status = GetDlgItem(view, IDC_STATUS_BAR);
    SendMessageW(status, WM_SIZE, 0, 0);
    SendMessageW(toolbar, TB_AUTOSIZE, 0, 0);

    const Settings& s = app().settings;
    ViewFrameInput in;
    in.dpi = windowDpi(view);
    in.width = width;
    in.height = height;
    in.toolbarHeight = shownHeight(toolbar);
    in.statusHeight = shownHeight(status);
    in.infoPaneShown = s.has(InfoPain);
    in.infoPaneWidth = s.infoPainWidth;
    in.scrollBarWidth = systemMetric(view, SM_CXVSCROLL);
    ExamViewState* state = viewState(view);
    in.runActive = examRunning();
    // The measured band of the question on screen (already at the view's dpi), else the fixed one.
    in.bandHeight = state && state->session && in.runActive ? runBandHeight(*state->session)
                                                            : scaleForDpi(kBandHeight, in.dpi);
    if (state && state->idlePanel) {
        RECT r;
        GetWindowRect(state->idlePanel, &r);
        in.idlePanel = {r.right - r.left, r.bottom - r.top};
    }
    const ViewFrame f = layoutViewFrame(in);

    SendMessageW(status, SB_SETPARTS, f.statusEdges.size(), reinterpret_cast<LPARAM>(f.statusEdges.data()));
    placeControl(view, IDC_ETCHED_LINE, f.etchedLine);
    placeControl(view, IDC_INFO_PANE, f.infoPane);
    placeControl(view, IDC_INFO_SPLITTER, f.splitter);
    if (state && state->idlePanel)
        SetWindowPos(state->idlePanel, nullptr, f.idlePanel.left, f.idlePanel.top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (state && state->session && in.runActive) layoutRunFields(*state->session, f);
}

void onInit(HWND view) {
    AppState& a = app();
    a.examView = view;
    auto state = std::make_unique<ExamViewState>();
    setUpToolbar(view, *state);
    SendDlgItemMessageW(view, IDC_INFO_SPLITTER, kSetSeparatorOrientation, SeparatorVertical, 0);
    addViewTooltips(view);
    attachInfoPane(GetDlgItem(view, IDC_INFO_PANE));
    applyDisplayFonts(view, a.fonts);
    state->session = createExamSession(view);
    SetWindowLongPtrW(view, DWLP_USER, reinterpret_cast<LONG_PTR>(state.release()));
    showIdlePanel();
    toggleDisplayPart(IDC_TOOLBAR, CMD_VIEW_TOOLBAR, ToolBar, true);
    toggleDisplayPart(IDC_STATUS_BAR, CMD_VIEW_STATUSBAR, StatusBar, true);
    toggleDisplayPart(IDC_INFO_PANE, CMD_VIEW_INFOPANE, InfoPain, true);
    setFileCommandsEnabled(a.fileCommandsEnabled);
    setStatusText(StatusText::Idle);
    // The stored answer mode survives restarts: its command arrives once the view exists.
    if (a.mainWindow) PostMessageW(a.mainWindow, WM_COMMAND, CMD_MODE_STANDARD + a.settings.answerMode, 0);
}

// Closing: a running exam ends (logged, no retry), the hint and list windows close.
void onClose(HWND view) {
    AppState& a = app();
    a.book.setReplacing(true);
    endExamRun();
    a.book.setReplacing(false);
    closeHintWindow();
    closeListWindow();
    DestroyWindow(view); // its tooltips go with it
}

// The view's controls leave the tooltip window with it.
void onDestroy(HWND view) {
    removeControlTooltips(view);
    std::unique_ptr<ExamViewState> owned(viewState(view));
    SetWindowLongPtrW(view, DWLP_USER, 0);
    if (app().examView == view) app().examView = nullptr;
}

// Texts and backgrounds of the question controls in the colours of their text class.
INT_PTR onControlColour(HWND view, HDC dc, HWND control) {
    if (ExamViewState* state = viewState(view); state && state->session && examRunning())
        if (INT_PTR brush = runControlColour(*state->session, dc, GetDlgCtrlID(control))) return brush;
    const int textClass = textClassOfControl(GetDlgCtrlID(control));
    const DisplayFonts& fonts = app().fonts;
    if (textClass < 0 || !fonts.created()) return FALSE;
    const FontSpec& font = app().settings.fonts[static_cast<std::size_t>(textClass)];
    return textColours(dc, font.color, font.backColor,
                       textClass == InfoFont ? fonts.infoBackground
                                             : fonts.backgrounds[static_cast<std::size_t>(textClass)]);
}

bool fromToolbar(HWND view, HWND sender) {
    HWND toolbar = GetDlgItem(view, IDC_TOOLBAR);
    return sender && (sender == toolbar ||
                      sender == reinterpret_cast<HWND>(SendMessageW(toolbar, TB_GETTOOLTIPS, 0, 0)));
}

} // namespace

INT_PTR CALLBACK examViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInit(view);
        return FALSE;
    case WM_SIZE:
        layoutView(view, LOWORD(lParam), HIWORD(lParam));
        return TRUE;
    case WM_COMMAND:
        // The toolbar's buttons are the main window's commands; 答え, 中止 and the choices belong to
        // the run (and do nothing while no exam runs).
        if (fromToolbar(view, reinterpret_cast<HWND>(lParam))) {
            if (app().mainWindow) SendMessageW(app().mainWindow, WM_COMMAND, wParam, lParam);
        } else if (ExamViewState* state = viewState(view); state && state->session) {
            onRunCommand(*state->session, LOWORD(wParam), HIWORD(wParam));
        }
        return TRUE;
    case WM_TIMER:
        if (ExamViewState* state = viewState(view); state && state->session)
            onRunTimer(*state->session, wParam);
        return TRUE;
    case WM_DRAWITEM:
        if (ExamViewState* state = viewState(view); state && state->session)
            return drawRunItem(*state->session, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return FALSE;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE)
            if (ExamViewState* state = viewState(view); state && state->session)
                onRunActivated(*state->session);
        return TRUE;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (!fromToolbar(view, header->hwndFrom) || !app().mainWindow) return FALSE;
        SetWindowLongPtrW(view, DWLP_MSGRESULT, SendMessageW(app().mainWindow, WM_NOTIFY, wParam, lParam));
        return TRUE;
    }
    case WM_MOUSEWHEEL:
    case WM_MOUSEHWHEEL:
        // Passed on by the answer edit: the question under the cursor scrolls, the focus stays.
        return wheelToSentenceUnderCursor(view, message, wParam, lParam);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
        return onControlColour(view, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case kSeparatorMoved:
        if (wParam == IDC_INFO_SPLITTER) {
            RECT client;
            GetClientRect(view, &client);
            app().settings.infoPainWidth = infoPaneWidthFromSplitter(
                static_cast<int>(lParam), client.right, systemMetric(view, SM_CXVSCROLL), windowDpi(view));
            layoutView(view, client.right, client.bottom);
        }
        return TRUE;
    case WM_DPICHANGED_AFTERPARENT:
        // Moved to a screen of another density: the toolbar's images for it, then the frame again
        // (the main window has already made the fonts anew).
        if (ExamViewState* state = viewState(view)) setToolbarImages(view, *state);
        layoutExamView();
        return TRUE;
    case WM_CLOSE:
        onClose(view);
        return TRUE;
    case WM_DESTROY:
        onDestroy(view);
        return FALSE;
    }
    return FALSE;
}

bool endExamRun() {
    // A run starts only through the view's session, so without a view no run is active.
    ExamViewState* state = viewState(app().examView);
    if (!state || !state->session) return !app().run.active();
    return endRunningExam(*state->session);
}

ExamSession* examSession() {
    ExamViewState* state = viewState(app().examView);
    return state ? state->session.get() : nullptr;
}

bool createExamView() {
    AppState& a = app();
    if (a.examView) {
        if (!endExamRun()) return false;
        DestroyWindow(a.examView);
        a.examView = nullptr;
    }
    HWND view =
        CreateDialogParamW(a.instance, MAKEINTRESOURCEW(IDD_EXAM_VIEW), a.mainWindow, examViewProc, 0);
    if (!view) return false;
    layoutExamView();
    ShowWindow(view, SW_SHOW);
    return true;
}

void layoutExamView() {
    AppState& a = app();
    if (!a.examView || !a.mainWindow) return;
    RECT client;
    GetClientRect(a.mainWindow, &client);
    MoveWindow(a.examView, 0, 0, client.right, client.bottom, TRUE);
    SendMessageW(a.examView, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
}

void restyleExamView() {
    AppState& a = app();
    if (!a.examView) return;
    applyDisplayFonts(a.examView, a.fonts);
    if (ExamSession* session = examSession()) restyleRun(*session);
    HWND question = GetDlgItem(a.examView, IDC_QUESTION);
    if (SentenceState* state = sentenceState(question)) computeNaturalSize(question, *state);
    layoutExamView();
    refreshIdlePanel();
    RedrawWindow(a.examView, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HWND examToolbar() {
    return app().examView ? GetDlgItem(app().examView, IDC_TOOLBAR) : nullptr;
}

void setStatusText(StatusText code) {
    HWND view = app().examView;
    if (!view) return;
    static constexpr std::array<const char*, 4> texts = {"読み込み中...", "保存中...", "解析中...",
                                                         "ヘルプを見るには F1 キーを押してください。"};
    HWND status = GetDlgItem(view, IDC_STATUS_BAR);
    const std::wstring text = toWide(texts[static_cast<std::size_t>(code)]);
    SendMessageW(status, SB_SETTEXTW, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text.c_str()));
    UpdateWindow(status);
}

void showIdlePanel() {
    ExamViewState* state = viewState(app().examView);
    if (!state) return;
    if (!state->idlePanel) state->idlePanel = createIdlePanel(app().examView);
    if (state->idlePanel) {
        fillIdlePanel(state->idlePanel);
        ShowWindow(state->idlePanel, SW_SHOWNA);
    }
    layoutExamView();
}

void closeIdlePanel() {
    ExamViewState* state = viewState(app().examView);
    if (!state || !state->idlePanel) return;
    DestroyWindow(state->idlePanel);
    state->idlePanel = nullptr;
}

void refreshIdlePanel() {
    ExamViewState* state = viewState(app().examView);
    if (state && state->idlePanel) fillIdlePanel(state->idlePanel);
}

} // namespace rekal::win
