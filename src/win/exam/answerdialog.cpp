#include "win/exam/answerdialog.h"

#include "core/shell/answerlayout.h"
#include "core/shell/helpcontexts.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/base/contrast.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"
#include "win/card/alternativesdialog.h"

#include <algorithm>
#include <string>

namespace rekal::win {

namespace {

constexpr UINT_PTR kAutoClickTimer = 1;
constexpr COLORREF kMarkColour = RGB(255, 0, 0);
constexpr const char* kMarkFace = "ＭＳ Ｐゴシック";
constexpr int kMeasureUnlimited = 32000;

struct AnswerState {
    AnswerState(const AnswerDialogInput& in, const QuestionFonts& f) : input(in), fonts(f) {}
    const AnswerDialogInput& input;
    const QuestionFonts& fonts;
    Verdict grade = Verdict::None;
    FontSpec answerFont; // the text font: the settings' for a right answer, else the question's
    OwnedFont textFont, markFont, commentFont;
    OwnedBrush background, commentBackground;
};

void showControl(HWND dialog, int id, bool shown) {
    if (HWND control = GetDlgItem(dialog, id)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

HFONT createMarkFont(HWND dialog, HFONT textFont) {
    LOGFONTW lf{};
    GetObjectW(textFont, sizeof lf, &lf);
    lf.lfHeight = lf.lfHeight * 3 / 2;
    lf.lfWidth = 0;
    lf.lfWeight = 900;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    const std::wstring face = toWide(kMarkFace);
    face.copy(lf.lfFaceName, LF_FACESIZE - 1);
    lf.lfFaceName[std::min<std::size_t>(face.size(), LF_FACESIZE - 1)] = L'\0';
    (void)dialog;
    return CreateFontIndirectW(&lf);
}

// The focus as the dialog opens and after the alternatives: 正解 in confirm mode, else OK.
void focusDefault(HWND dialog, const AnswerState& state) {
    HWND target = GetDlgItem(dialog, state.input.confirmMode ? IDC_GRADE_RIGHT : IDOK);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void fillAnswerList(HWND dialog, const QuestionBook& book, const QuestionCard& q) {
    HWND list = GetDlgItem(dialog, IDC_ANSWER_LIST);
    for (int i = 0; i < book.answerCount(&q); ++i) {
        std::string answer = book.answerAt(&q, i).value_or("");
        answer.erase(std::remove(answer.begin(), answer.end(), '\n'), answer.end());
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(toWide(answer).c_str()));
    }
}

// Sizes the dialog from the measured answer and comment and places every control.
void layoutDialog(HWND dialog, AnswerState& state, bool withComment, bool withList) {
    const Settings& s = app().settings;
    RECT window{}, client{};
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    AnswerDialogMetrics m;
    m.baseWidth = s.baseWidthWndAnswer;
    m.baseHeight = s.baseHeightWndAnswer;
    m.confirmMode = state.input.confirmMode;
    m.markHeight = m.confirmMode ? 0 : fontHeight(dialog, state.markFont.get());
    m.comment = withComment;
    m.alternatives = withList;
    m.captionHeight = GetSystemMetrics(SM_CYCAPTION);
    m.frameWidth = static_cast<int>((window.right - window.left) - client.right) / 2;
    m.frameHeight =
        std::max(0, static_cast<int>((window.bottom - window.top) - client.bottom - m.captionHeight) / 2);
    m.dpi = windowDpi(dialog);

    const PixelSize limit = answerLimit(m);
    int aw = limit.width, ah = limit.height;
    measureSentence(dialog, IDC_ANSWER, aw, ah);
    int cw = 0, ch = 0;
    if (withComment) {
        cw = commentMeasureWidth(m, {aw, ah});
        ch = kMeasureUnlimited;
        measureSentence(dialog, IDC_COMMENT, cw, ch);
    }
    const AnswerDialogLayout l = layoutAnswerDialog(m, {aw, ah}, {cw, ch});
    SetWindowPos(dialog, nullptr, 0, 0, l.window.width, l.window.height, SWP_NOMOVE | SWP_NOZORDER);
    placeControl(dialog, IDC_ANSWER_MARK, l.mark, false);
    placeControl(dialog, IDC_ANSWER, l.answer, false);
    placeControl(dialog, IDC_COMMENT, l.comment, false);
    placeControl(dialog, IDC_ANSWER_LIST, l.list, false);
    placeControl(dialog, IDOK, l.ok, false);
    placeControl(dialog, IDC_SHOW_ALTERNATIVES, l.alternativesButton, false);
    placeControl(dialog, IDC_DIALOG_HELP, l.help, false);
    placeControl(dialog, IDC_GRADE_RIGHT, l.right, false);
    placeControl(dialog, IDC_GRADE_WRONG, l.wrong, false);
    placeControl(dialog, IDC_GRADE_SKIP, l.skip, false);
    centreOnOwner(dialog);
}

INT_PTR onInit(HWND dialog, AnswerState& state) {
    const QuestionBook& book = app().book;
    const Settings& s = app().settings;
    const QuestionCard* q = state.input.question;
    if (!q) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    const bool right = !state.input.confirmMode && state.input.right;
    state.answerFont = right ? s.fonts[AnswerFont] : state.fonts[AnswerFont];
    state.textFont.reset(createFontFromSpec(dialog, state.answerFont));
    state.markFont.reset(createMarkFont(dialog, state.textFont.get()));
    state.commentFont.reset(createFontFromSpec(dialog, state.fonts[CommentFont]));
    state.background.reset(CreateSolidBrush(state.answerFont.backColor));
    state.commentBackground.reset(CreateSolidBrush(state.fonts[CommentFont].backColor));

    setControlFont(dialog, IDC_ANSWER_MARK, state.markFont.get());
    setControlFont(dialog, IDC_ANSWER, state.textFont.get());
    setControlFont(dialog, IDC_COMMENT, state.commentFont.get());
    setWindowText(GetDlgItem(dialog, IDC_ANSWER_MARK), right ? "○" : "×");
    const std::string answer = right ? std::string("正解！") : book.displayAnswer(q).value_or("");
    setSentenceText(dialog, IDC_ANSWER, answer);

    const bool withComment = (s.answerView & 1) != 0 && !q->comment.empty();
    if (withComment) setSentenceText(dialog, IDC_COMMENT, q->comment.view());
    showControl(dialog, IDC_COMMENT, withComment);
    const bool severalAnswers = book.answerCount(q) > 1;
    const bool withList = (s.answerView & 2) != 0 && severalAnswers;
    if (withList) fillAnswerList(dialog, book, *q);
    showControl(dialog, IDC_ANSWER_LIST, withList);
    EnableWindow(GetDlgItem(dialog, IDC_SHOW_ALTERNATIVES), severalAnswers);

    // R, W and S grade with the input method on too.
    for (int id : {IDC_GRADE_RIGHT, IDC_GRADE_WRONG, IDC_GRADE_SKIP})
        detachInputMethod(GetDlgItem(dialog, id));
    if (state.input.confirmMode) {
        EnableWindow(GetDlgItem(dialog, IDOK), FALSE);
        showControl(dialog, IDC_ANSWER_MARK, false);
    } else {
        for (int id : {IDC_GRADE_RIGHT, IDC_GRADE_WRONG, IDC_GRADE_SKIP})
            showControl(dialog, id, false);
    }
    layoutDialog(dialog, state, withComment, withList);
    focusDefault(dialog, state);
    if (const int seconds = autoClickSeconds(s, state.input); seconds > 0)
        SetTimer(dialog, kAutoClickTimer, static_cast<UINT>(seconds) * 1000, nullptr);
    return FALSE; // the focus is set
}

// The automatic click: the chosen grading button in confirm mode (a type outside 0-2 clicks
// nothing), otherwise OK.
void onAutoClick(HWND dialog, const AnswerState& state) {
    KillTimer(dialog, kAutoClickTimer);
    int button = IDOK;
    if (state.input.confirmMode) {
        switch (autoClickVerdict(app().settings.ansDlgClickButtonType)) {
        case Verdict::Right:
            button = IDC_GRADE_RIGHT;
            break;
        case Verdict::Wrong:
            button = IDC_GRADE_WRONG;
            break;
        case Verdict::Skipped:
            button = IDC_GRADE_SKIP;
            break;
        default:
            return;
        }
    }
    SendDlgItemMessageW(dialog, button, BM_CLICK, 0, 0);
}

void close(HWND dialog, AnswerState& state, Verdict grade) {
    KillTimer(dialog, kAutoClickTimer);
    state.grade = grade;
    EndDialog(dialog, IDOK);
}

void onCommand(HWND dialog, AnswerState& state, int id) {
    switch (id) {
    case IDOK:
        close(dialog, state, Verdict::None);
        break;
    case IDCANCEL:
        close(dialog, state, state.input.confirmMode ? Verdict::Wrong : Verdict::None);
        break;
    case IDC_GRADE_RIGHT:
    case IDC_GRADE_WRONG:
    case IDC_GRADE_SKIP:
        if (state.input.confirmMode)
            close(dialog, state,
                  id == IDC_GRADE_RIGHT   ? Verdict::Right
                  : id == IDC_GRADE_WRONG ? Verdict::Wrong
                                          : Verdict::Skipped);
        break;
    case IDC_SHOW_ALTERNATIVES: {
        // The automatic click waits while the alternatives are open: ending this dialog under them
        // would give the main window back while the run is still in the answer, and starts again
        // when they close.
        const bool autoClick = KillTimer(dialog, kAutoClickTimer) != FALSE;
        showAlternativesDialog(dialog, *state.input.question, state.fonts[AnswerFont]);
        if (autoClick)
            SetTimer(dialog, kAutoClickTimer, static_cast<UINT>(app().settings.ansDlgAutoClickTime) * 1000,
                     nullptr);
        focusDefault(dialog, state);
        break;
    }
    }
}

INT_PTR onColour(HWND dialog, const AnswerState& state, HDC dc, HWND control) {
    const int id = control ? GetDlgCtrlID(control) : 0;
    const bool comment = id == IDC_COMMENT;
    const FontSpec& font = comment ? state.fonts[CommentFont] : state.answerFont;
    (void)dialog;
    return textColours(dc, id == IDC_ANSWER_MARK ? kMarkColour : font.color, font.backColor,
                       comment ? state.commentBackground.get() : state.background.get());
}

INT_PTR onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, AnswerState& state) {
    switch (message) {
    case WM_COMMAND:
        onCommand(dialog, state, LOWORD(wParam));
        return TRUE;
    case WM_TIMER:
        if (wParam == kAutoClickTimer) onAutoClick(dialog, state);
        return TRUE;
    case WM_CTLCOLORDLG:
        return reinterpret_cast<INT_PTR>(shownBrush(state.background.get(), COLOR_WINDOW));
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        repaintOnThemeChange(dialog, message, wParam, lParam);
        return FALSE;
    case WM_CTLCOLORSTATIC:
        return onColour(dialog, state, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    }
    return FALSE;
}

} // namespace

Verdict showAnswerDialog(HWND owner, const AnswerDialogInput& input, const QuestionFonts& fonts) {
    AnswerState state{input, fonts};
    if (runModalDialog(owner, IDD_ANSWER,
                       kitDialogProc<AnswerState, onInit, onMessage, kHelpAnswer, IDC_DIALOG_HELP>,
                       &state) == -1)
        return Verdict::None;
    return state.grade;
}

} // namespace rekal::win
