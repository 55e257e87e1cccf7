#include "win/exam/examsession.h"

#include "core/examlog/examlog.h"
#include "core/shell/questionlayout.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/program/displayfonts.h"
#include "win/base/dpi.h"
#include "win/base/waitcursor.h"
#include "win/base/wintext.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"
#include "win/exam/answerdialog.h"
#include "win/exam/booksave.h"
#include "win/card/carddisplay.h"
#include "win/exam/choicebuttons.h"
#include "win/exam/countdialog.h"
#include "win/exam/examview.h"
#include "win/exam/hintwindow.h"
#include "win/exam/infopane.h"
#include "win/exam/resultdialog.h"
#include "win/exam/runbuttons.h"

#include <commctrl.h>
#include <mmsystem.h>

#include <array>
#include <optional>
#include <string>

namespace rekal::win {

namespace {

constexpr UINT_PTR kRunTimer = 1;
constexpr UINT kRunTickMs = 200;
constexpr int kRunButtonPoints = 12;
constexpr const char* kRunButtonFace = "ＭＳ Ｐゴシック";

// The controls whose fonts and colours follow the question, with their text class.
constexpr CardControl kQuestionControls[] = {{IDC_TITLE, TitleFont},
                                             {IDC_QUESTION, QuestionFont},
                                             {IDC_ANSWER_EDIT, AnswerFont},
                                             {IDC_GROUP, GroupFont},
                                             {IDC_HISTORY, GroupFont}};

void showControl(HWND view, int id, bool shown) {
    if (HWND control = GetDlgItem(view, id)) ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
}

bool isShown(HWND control) {
    return control && (GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

} // namespace

// The settings' log file; the study graph, when open, is told of every record appended.
class GraphedLogFile : public ExamLogFile {
  public:
    using ExamLogFile::ExamLogFile;
    void appendRun(const ExamRun& run) override {
        ExamLogFile::appendRun(run);
        refreshProgressWindow();
    }
};

class ExamSession : public ExamScreen, public RunEndListener {
  public:
    explicit ExamSession(HWND view)
        : view_(view),
          log_(app().book, app().settings, clock_, app().notifier), env_{app().book,  app().settings,
                                                                         app().vague, app().random,
                                                                         clock_,      *this,
                                                                         &log_,       this} {
        log_.setBusyIndicator(this);
        buttonFont_.reset(
            createInterfaceFont(view, kRunButtonPoints, FW_NORMAL, false, DEFAULT_CHARSET, kRunButtonFace));
        for (int id : {IDOK, IDCANCEL})
            SendDlgItemMessageW(view, id, WM_SETFONT, reinterpret_cast<WPARAM>(buttonFont_.get()), FALSE);
        setUpRunButtons(view);
    }
    ~ExamSession() override { choices_.remove(view_); }

    ExamEnv& env() { return env_; }
    HWND view() const { return view_; }
    ChoiceButtons& choices() { return choices_; }
    const CardStyle& style() const { return style_; }

    // ---- ExamScreen ----
    void closeIdlePanel() override { win::closeIdlePanel(); }
    void showIdlePanel() override { win::showIdlePanel(); }
    void showRunFields(bool groupFields) override {
        showControl(view_, IDC_QUESTION, true);
        showControl(view_, IDC_GROUP, groupFields);
        showControl(view_, IDC_HISTORY, groupFields);
        showControl(view_, IDOK, true);
        showControl(view_, IDCANCEL, true);
    }
    void hideRunFields() override {
        setSentenceText(view_, IDC_QUESTION, std::nullopt);
        SetDlgItemTextW(view_, IDC_ANSWER_EDIT, L"");
        for (int id : {IDC_TITLE, IDC_QUESTION, IDC_GROUP, IDC_HISTORY, IDC_ANSWER_EDIT, IDOK, IDCANCEL})
            showControl(view_, id, false);
        restoreDisplayFonts();
    }
    void enableSetupCommands(bool enabled) override {
        HMENU menu = app().mainWindow ? GetMenu(app().mainWindow) : nullptr;
        HWND toolbar = examToolbar();
        for (int id : {CMD_MODE_STANDARD, CMD_MODE_WRITTEN, CMD_MODE_CHOICE, CMD_MODE_CONFIRM, CMD_RANGE}) {
            if (menu) EnableMenuItem(menu, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
            if (toolbar) SendMessageW(toolbar, TB_ENABLEBUTTON, id, MAKELONG(enabled ? TRUE : FALSE, 0));
        }
    }
    void enableHintCommand(bool enabled) override {
        if (HMENU menu = app().mainWindow ? GetMenu(app().mainWindow) : nullptr)
            EnableMenuItem(menu, CMD_VIEW_HINT, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    void setStatusText(StatusField field, std::string_view text) override {
        const std::wstring wide = toWide(text);
        SendDlgItemMessageW(view_, IDC_STATUS_BAR, SB_SETTEXTW, static_cast<WPARAM>(field),
                            reinterpret_cast<LPARAM>(wide.c_str()));
    }
    void startRunTimer() override { SetTimer(view_, kRunTimer, kRunTickMs, nullptr); }
    void stopRunTimer() override { KillTimer(view_, kRunTimer); }
    void closeHintWindow() override { win::closeHintWindow(); }
    void freezeInfoPane(bool frozen) override {
        win::freezeInfoPane(GetDlgItem(view_, IDC_INFO_PANE), frozen);
    }

    void clearAnswerEdit() override { SetDlgItemTextW(view_, IDC_ANSWER_EDIT, L""); }
    std::string answerEditText() override { return windowText(GetDlgItem(view_, IDC_ANSWER_EDIT)); }
    void showAnswerEdit(bool visible) override {
        showControl(view_, IDC_ANSWER_EDIT, visible);
        if (visible) takeFocusFromAnswerButton();
    }
    void removeQuestionControls() override {
        choices_.remove(view_);
        restoreDisplayFonts();
    }
    // The buttons come before the question's fonts are applied, but their texts are laid out (and
    // their pictures blended) on the background they are painted on: the question's answer colours.
    void createChoiceButtons(const std::vector<Choice>& choices, bool hidden) override {
        const ExamRun& run = app().run;
        const QuestionCard* q = app().book.questionAt(run.current);
        const FontSpec answer =
            q ? effectiveFonts(app().book, app().settings, *q)[AnswerFont] : app().settings.fonts[AnswerFont];
        choices_.create(view_, choices, hidden, choiceLook(answer));
    }
    void showChoiceButtons() override {
        choices_.show();
        takeFocusFromAnswerButton();
    }
    void applyQuestionFonts(const QuestionFonts& fonts) override {
        style_.apply(view_, fonts);
        if (choices_.count() > 0) choices_.setLook(choiceLook(fonts[AnswerFont]));
    }
    void showQuestion(const QuestionCard& q, int) override { showCardFields(view_, app().book, q); }
    void clearQuestionText() override { setSentenceText(view_, IDC_QUESTION, std::nullopt); }
    void layout() override { layoutExamView(); }
    void focusAnswerInput() override {
        SendMessageW(view_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(view_, IDOK)), TRUE);
        focusInput();
    }
    void focusAfterAbortDeclined(bool onAnswerButton) override {
        focusControl(onAnswerButton ? GetDlgItem(view_, IDOK) : GetDlgItem(view_, IDC_ANSWER_EDIT));
    }
    void postAnswerCommand() override { PostMessageW(view_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }
    bool mainWindowEnabled() override { return app().mainWindow && IsWindowEnabled(app().mainWindow); }

    Verdict runAnswerDialog(const AnswerDialogInput& input) override {
        return showAnswerDialog(app().mainWindow, input, style_.fonts());
    }
    bool confirmAbort() override { return app().notifier.ask(kAbortQuestion); }
    ResultDialogChoice runResultDialog(const ResultDialogInput& input) override {
        if (app().sessionEnding) return {}; // as if closed with Esc: nothing may wait
        const ResultDialogChoice choice = showResultDialog(app().mainWindow, input);
        PlaySoundW(nullptr, nullptr, 0); // closing the result dialog stops any sound
        return choice;
    }
    void playSound(std::string_view file) override {
        if (file.empty()) return;
        PlaySoundW(soundEffectPath(app().programDir, file).c_str(), nullptr,
                   SND_FILENAME | SND_ASYNC | SND_NODEFAULT | SND_NOWAIT);
    }
    void beginBusy(std::string_view statusText) override {
        const std::wstring wide = toWide(statusText);
        HWND status = GetDlgItem(view_, IDC_STATUS_BAR);
        SendMessageW(status, SB_SETTEXTW, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(wide.c_str()));
        UpdateWindow(status);
        busyCursor_.begin();
    }
    void endBusy() override {
        win::setStatusText(StatusText::Idle);
        busyCursor_.end();
    }

    // ---- RunEndListener ----
    // The book is saved after every logged run, so that a crash or a kill loses at most the run
    // in progress.
    void runLogged(ExamRun& run, ExamEnv& env) override {
        StatusSaveHooks hooks;
        afterBookSave(saveBookAfterRun(run, env, app().notifier, &hooks));
    }

    // The run's input takes the focus: 答え in confirm mode and while the input waits for its start
    // time, the edit without choices, else the selected choice (none selected: 答え first, then the
    // first choice, which is not selected by it).
    void focusInput() {
        if (inputPending(app().run, env_.settings))
            focusControl(GetDlgItem(view_, IDOK));
        else
            focusShownInput();
    }

    void restyle() {
        const ExamRun& run = app().run;
        const QuestionCard* q = run.active() ? app().book.questionAt(run.current) : nullptr;
        if (style_.applied() && q) {
            applyQuestionFonts(effectiveFonts(app().book, app().settings, *q));
        } else if (choices_.count() > 0) {
            choices_.setLook(choiceLook(app().settings.fonts[AnswerFont]));
        }
    }

  private:
    // An input that appears once the answer start time has passed takes the focus from 答え, where
    // the question's start left it while the input was hidden, so that what the user types goes
    // into the edit; so does a focus left nowhere in particular (the window itself). A focus
    // elsewhere (the hint window) stays where the user put it.
    void takeFocusFromAnswerButton() {
        HWND focus = GetFocus();
        if (focus == GetDlgItem(view_, IDOK) || focus == view_ || (focus && focus == app().mainWindow))
            focusShownInput();
    }
    // The input as it is shown (the run may not yet count it as shown while it appears).
    void focusShownInput() {
        const ExamRun& run = app().run;
        if (!run.active()) return;
        if (env_.settings.answerMode == AnswerConfirm) {
            focusControl(GetDlgItem(view_, IDOK));
        } else if (run.choiceCount == 0) {
            focusControl(GetDlgItem(view_, IDC_ANSWER_EDIT));
        } else if (run.selectedChoice != 0) {
            focusControl(GetDlgItem(view_, run.selectedChoice));
        } else {
            focusControl(GetDlgItem(view_, IDOK));
            focusControl(GetDlgItem(view_, kFirstChoiceId));
        }
    }
    static ChoiceLook choiceLook(const FontSpec& answer) {
        ChoiceLook look;
        look.captionFont = app().fonts.choice;
        look.text = answer.color;
        look.background = answer.backColor;
        look.hover = app().settings.colorHover;
        look.active = app().settings.colorActive;
        return look;
    }
    void focusControl(HWND control) {
        if (control && isShown(control) && IsWindowEnabled(control))
            SendMessageW(view_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    }
    void restoreDisplayFonts() {
        if (!style_.applied()) return;
        applyDisplayFonts(view_, app().fonts);
        style_.release();
    }

    HWND view_;
    SystemClock clock_;
    GraphedLogFile log_;
    ExamEnv env_;
    ChoiceButtons choices_;
    CardStyle style_{kQuestionControls};
    OwnedFont buttonFont_;
    WaitCursor busyCursor_;
};

void ExamSessionDeleter::operator()(ExamSession* session) const {
    std::unique_ptr<ExamSession> owned(session);
}

ExamSessionPtr createExamSession(HWND view) {
    return ExamSessionPtr(std::make_unique<ExamSession>(view).release());
}

void restyleRun(ExamSession& session) {
    session.restyle();
}

ExamEnv* sessionExamEnv() {
    ExamSession* session = examSession();
    return session ? &session->env() : nullptr;
}

namespace {

// A start command during a run asks before it ends the run; declined, the run goes on with the
// focus back on its input.
bool mayEndRunningExam() {
    if (!app().run.active() || app().notifier.ask(kRestartQuestion)) return true;
    if (ExamSession* session = examSession()) session->focusInput();
    return false;
}

} // namespace

bool startFixedListExam(const std::vector<int>& questions, ExamKind kind, bool shuffle) {
    ExamEnv* env = sessionExamEnv();
    return env && mayEndRunningExam() && startFixedListRun(app().run, *env, questions, kind, shuffle);
}

// ---- commands ----

void startExamCommand(HWND owner, int command) {
    if (!examSession() || !app().book.isLoaded() || !mayEndRunningExam()) return;
    // The count and weak-point runs ask their count first; cancelled, nothing starts.
    std::optional<ExamCount> count;
    if (command == CMD_START_RANDOM_COUNT || command == CMD_START_WEAK) {
        count = command == CMD_START_WEAK ? showWeakPointDialog(owner, app().book, app().settings)
                                          : showCountDialog(owner, app().book, app().settings);
        if (!count) return;
    }
    ExamSession* session = examSession(); // the dialog's loop ran: look again
    if (!session) return;
    ExamRun& run = app().run;
    ExamEnv& env = session->env();
    switch (command) {
    case CMD_START_ALL:
        startAllRun(run, env);
        break;
    case CMD_START_RANDOM_ALL:
        startRandomAllRun(run, env);
        break;
    case CMD_START_RANDOM_COUNT:
        startRandomCountRun(run, env, count->count, count->noRepeat);
        break;
    case CMD_START_ONE:
        startOneQuestionRun(run, env);
        break;
    case CMD_START_WEAK:
        startWeakPointRun(run, env, count->count, count->noRepeat);
        break;
    case CMD_START_COMPLETE:
        startCompleteRun(run, env);
        break;
    default:
        break;
    }
}

bool endRunningExam(ExamSession& session) {
    if (!app().run.active()) return true;
    return endRun(app().run, session.env());
}

bool onRunCommand(ExamSession& session, int id, int notification) {
    ExamRun& run = app().run;
    if (id == IDOK) {
        onAnswerCommand(run, session.env());
        return true;
    }
    if (id == IDCANCEL) {
        onAbortCommand(run, session.env());
        return true;
    }
    if (id >= kFirstChoiceId && id < kFirstChoiceId + session.choices().count() &&
        notification == BN_CLICKED) {
        const int previous = run.selectedChoice;
        run.selectedChoice = id;
        for (int repaint : {previous, id})
            if (repaint) InvalidateRect(GetDlgItem(session.view(), repaint), nullptr, FALSE);
        return true;
    }
    return false;
}

bool onRunTimer(ExamSession& session, UINT_PTR timer) {
    if (timer != kRunTimer) return false;
    onRunTick(app().run, session.env());
    return true;
}

namespace {

// 答え and 中止: diagonal stripes brightest in the middle, a raised (or, pressed, sunken) edge, the
// caption centred and a focus rectangle.
void drawRunButton(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    OwnedBrush faceBrush(CreateSolidBrush(face));
    FillRect(dc, &r, faceBrush.get());
    const int shift = pressed ? 1 : 0;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    for (int x = 0; x <= width + 16; x += 4) {
        OwnedPen pen(CreatePen(PS_SOLID, 1, static_cast<COLORREF>(stripeColour(face, x, width))));
        HGDIOBJ old = SelectObject(dc, pen.get());
        for (int k = 0; k < 2; ++k) {
            MoveToEx(dc, r.left + x + k + shift, r.top + shift, nullptr);
            LineTo(dc, r.left + x + k - 16 + shift, r.top + height + shift);
        }
        SelectObject(dc, old);
    }
    RestoreDC(dc, saved);
    DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    wchar_t caption[32] = {};
    GetWindowTextW(item.hwndItem, caption, 32);
    RECT text = r;
    OffsetRect(&text, shift, shift);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    DrawTextW(dc, caption, -1, &text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    if (item.itemState & ODS_FOCUS) {
        RECT focus = r;
        const int inset = scaled(item.hwndItem, 3);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(dc, &focus);
    }
}

} // namespace

bool drawRunItem(ExamSession& session, const DRAWITEMSTRUCT& item) {
    if (item.CtlID == IDOK || item.CtlID == IDCANCEL) {
        drawRunButton(item);
        return true;
    }
    return session.choices().draw(item, app().run.selectedChoice);
}

INT_PTR runControlColour(ExamSession& session, HDC dc, int controlId) {
    return session.style().controlColour(dc, controlId);
}

void onRunActivated(ExamSession& session) {
    session.focusInput();
}

// ---- layout ----

namespace {

BandSizes measureBand(ExamSession& session) {
    HWND view = session.view();
    const int dpi = windowDpi(view);
    const bool groupShown = app().settings.has(Group);
    if (!groupShown) return bandSizes(false, false, 0, 0, 0, dpi);
    HWND group = GetDlgItem(view, IDC_GROUP);
    RECT r{};
    const bool measured = fieldTextExtent(group, 0, r);
    return bandSizes(true, measured, r.right, r.bottom, fontHeight(group), dpi);
}

int titleHeight(HWND view, int width) {
    HWND title = GetDlgItem(view, IDC_TITLE);
    if (!isShown(title)) return 0;
    RECT r{0, 0, width, 0};
    fieldTextExtent(title, DT_WORDBREAK, r);
    return r.bottom;
}

int editHeight(HWND view) {
    return fontHeight(GetDlgItem(view, IDC_ANSWER_EDIT)) + scaled(view, 8);
}

} // namespace

int runBandHeight(ExamSession& session) {
    return measureBand(session).height;
}

void layoutRunFields(ExamSession& session, const ViewFrame& frame) {
    HWND view = session.view();
    const Settings& s = app().settings;
    const int dpi = windowDpi(view);
    QuestionAreaInput in;
    in.area = frame.questionArea;
    in.bandTop = frame.bandTop;
    in.band = measureBand(session);
    in.titleHeight = titleHeight(view, frame.questionArea.width);
    in.editHeight = editHeight(view);
    in.confirmMode = s.answerMode == AnswerConfirm;
    in.dpi = dpi;
    ChoiceButtons& choices = session.choices();
    in.choiceCount = choices.count();
    if (in.choiceCount > 0) {
        const bool automaticRows = (s.selectionAlign & 1) != 0;
        const bool automaticHeights = (s.selectionAlign & 2) != 0;
        in.choicesPerRow =
            choicesPerRow(s.lineSelection, automaticRows, automaticRows ? choices.widestNeeded(view) : 0,
                          in.area.width, in.choiceCount);
        in.rowHeights = choices.rowHeights(view, in.choicesPerRow, in.area.width / in.choicesPerRow,
                                           automaticHeights, s.selectionHeight, dpi);
    }
    const QuestionAreaLayout l = layoutQuestionArea(in);
    placeControl(view, IDC_TITLE, l.title);
    placeControl(view, IDC_QUESTION, l.sentence);
    placeControl(view, IDC_ANSWER_EDIT, l.edit);
    placeControl(view, IDC_GROUP, l.group);
    placeControl(view, IDC_HISTORY, l.history);
    placeControl(view, IDOK, l.answerButton);
    placeControl(view, IDCANCEL, l.abortButton);
    choices.place(l.choices);
}

} // namespace rekal::win
