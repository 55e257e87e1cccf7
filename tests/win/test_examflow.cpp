// Exams in the window over time and across runs, driven by keys through the program's own message
// pump: time limit, show time and answer start time with short times, aborts with and without
// answers, closing the program during a run, the start commands from the toolbar, the accelerators
// and the menu (asking before they end a run), the keys of the answer edit, the focus and keys of
// 答え and 中止, and the automatic click; after each run the record in EXAMLOG.TXT and the saved
// histories.

#include "examtest.h"

#include "core/exam/method.h"
#include "win/display/sentence.h"

#include <atomic>
#include <set>

namespace {

using namespace examtest;

void withCtrl(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// Ctrl+key into the focused control, through the program's loop; `control` is the character the
// keyboard gives with it (Ctrl+H: backspace), 0 for none. Wine's edit takes no backspace while
// Ctrl is down, so the character comes after it is up.
void pressCtrlKey(UINT vk, DWORD settle = 100, wchar_t control = 0) {
    withCtrl(true);
    HWND focus = GetFocus();
    postKey(focus, vk);
    pump(settle);
    withCtrl(false);
    if (control) PostMessageW(focus, WM_CHAR, control, 1);
    pump(30);
}

std::wstring editText() {
    return windowText(examControl(IDC_ANSWER_EDIT));
}

} // namespace

WINTEST(timeLimitShowTimeAndAnswerStartTime) {
    Exam exam(L"rekal-exam-timers");
    app().settings.questionShowTime = 1;
    app().settings.timeLimit = 2;
    app().settings.answerStartTime = 1;
    setMode(CMD_MODE_WRITTEN);
    DialogWatcher results = closingResults();
    AnswerScript script({vk(VK_RETURN)});
    command(CMD_START_ONE);
    rekal::win::SentenceState* question = rekal::win::sentenceState(examControl(IDC_QUESTION));
    ok(!shown(IDC_ANSWER_EDIT) && question && question->text, "edit before its start time, or no question");
    pump(1400);
    ok(shown(IDC_ANSWER_EDIT), "edit not shown after its start time");
    ok(question && !question->text && shown(IDC_TITLE), "question text still shown after its show time");
    ok(script.count() == 0, "time limit fired early");
    pump(1400);
    ok(script.count() == 1, "time limit fired %d times", script.count());
    pump(300);
    ok(idleAgain(), "not idle after the time limit");
    closeProgram();
    const rekal::ExamLog log = readLog(exam.log);
    ok(log.entries.size() == 1 && log.entries[0].rowCount == 2 && *log.entries[0].rate == "0.00%",
       "the empty answer was not judged wrong");
}

WINTEST(abortWithAndWithoutAnswersAndClosingDuringARun) {
    Exam exam(L"rekal-exam-abort");
    setMode(CMD_MODE_WRITTEN);
    AnswerScript script(std::vector<AnswerScript::Key>(4, vk(VK_RETURN)));
    int resultDialogs = 0;
    DialogWatcher results(L"結果", [&](HWND d) {
        ++resultDialogs;
        postKey(focusOf(d), VK_ESCAPE);
    });
    {
        // Declined: the run goes on, the focus back in the edit.
        DialogWatcher no = DialogWatcher::pressing(IDNO);
        command(CMD_START_ALL);
        pressKey(VK_ESCAPE, 300);
        ok(no.seen() == 1 && no.texts()[0] == L"中止しますか？", "no abort question");
        ok(app().run.active() && GetFocus() == examControl(IDC_ANSWER_EDIT), "declined abort ended the run");
    }
    {
        DialogWatcher yes = DialogWatcher::pressing(IDYES);
        pressKey(VK_ESCAPE, 300);
        ok(yes.seen() == 1 && idleAgain(), "abort without answers");
        answerTyped(true); // nothing runs: ignored
        command(CMD_START_ALL);
        answerTyped(true);
        answerTyped(false);
        pressKey(VK_ESCAPE, 300);
        ok(idleAgain(), "abort after two answers");
    }
    const rekal::ExamLog log = readLog(exam.log);
    if (ok(log.entries.size() == 2, "%zu records", log.entries.size())) {
        ok(log.entries[0].rowCount == 1 && *log.entries[0].rate == "－", "abort without answers: %u rows",
           log.entries[0].rowCount);
        ok(log.entries[1].rowCount == 3 && *log.entries[1].rate == "50.00%", "abort after answers: %u rows",
           log.entries[1].rowCount);
    }
    // Closing the program during a run ends it, logs it and saves the histories.
    command(CMD_START_ALL);
    answerTyped(false);
    answerTyped(true);
    closeProgram();
    ok(readLog(exam.log).entries.size() == 3, "the run closed with the program was not logged");
    // Question 1: right, then wrong (16 -> 8); question 2: wrong, then right.
    ok(savedHistories(exam.book) == (std::vector<int>{8, 16, 0, 0}), "histories after close");
}

WINTEST(startCommandsFromMenuAcceleratorAndToolbar) {
    Exam exam(L"rekal-exam-start");
    setMode(CMD_MODE_WRITTEN);
    DialogWatcher results = closingResults();
    AnswerScript script(std::vector<AnswerScript::Key>(20, vk(VK_RETURN)));
    // ランダム（すべて） from the toolbar: every question once.
    SendMessageW(app().examView, WM_COMMAND, CMD_START_RANDOM_ALL, reinterpret_cast<LPARAM>(toolbar()));
    pump(50);
    std::set<int> asked;
    for (int i = 0; i < 4 && app().run.active(); ++i) {
        asked.insert(currentQuestion());
        answerTyped(true);
    }
    ok(asked.size() == 4 && idleAgain(), "random-all asked %zu questions", asked.size());
    // すべて by Ctrl+A (no edit has the focus while no exam runs).
    withCtrl(true);
    postKey(app().mainWindow, 'A');
    pump(100);
    withCtrl(false);
    ok(app().run.active() && currentQuestion() == 0, "Ctrl+A did not start すべて");
    // 完全 from the menu ends the running exam once the user agrees; it goes on until every
    // question is right.
    {
        DialogWatcher yes = DialogWatcher::pressing(IDYES);
        command(CMD_START_COMPLETE);
        pump(100);
        ok(yes.seen() == 1 && yes.texts()[0] == L"出題中の問題を中止して新しく始めますか？", "no question");
    }
    int answered = 0;
    bool wrongOnce = false;
    while (app().run.active() && answered < 12) {
        const bool right = wrongOnce || currentQuestion() != 2;
        if (!right) wrongOnce = true;
        answerTyped(right);
        ++answered;
    }
    ok(idleAgain() && answered == 5, "complete run took %d answers", answered);
    // 一問のみ: one question.
    command(CMD_START_ONE);
    answerTyped(true);
    ok(idleAgain(), "one question run went on");
    const rekal::ExamLog log = readLog(exam.log);
    ok(log.entries.size() == 4, "%zu records", log.entries.size());
    if (log.entries.size() == 4)
        ok(*log.entries[0].method == rekal::methodName(rekal::kMethodRandomAll) &&
               *log.entries[1].method == rekal::methodName(rekal::kMethodAll) &&
               *log.entries[2].method == rekal::methodName(rekal::kMethodComplete) &&
               log.entries[3].rowCount == 2,
           "methods %s %s", std::string(*log.entries[0].method).c_str(),
           std::string(*log.entries[2].method).c_str());
    closeProgram();
}

// A typist in the answer edit: Ctrl+A selects, Ctrl+H deletes back, and a start key asks before it
// ends the run (declined: the same question, the typed text and the focus stay).
WINTEST(keysInTheAnswerEditEditAndAStartKeyAsksFirst) {
    Exam exam(L"rekal-exam-keys");
    setMode(CMD_MODE_WRITTEN);
    DialogWatcher results = closingResults();
    AnswerScript script(std::vector<AnswerScript::Key>(4, vk(VK_RETURN)));
    command(CMD_START_ALL);
    answerTyped(true);
    typeAnswer(L"あおもり");
    HWND edit = examControl(IDC_ANSWER_EDIT);
    ok(GetFocus() == edit && hasInputContext(edit), "the edit has no focus or no input context");
    pressCtrlKey('A');
    DWORD from = 9, to = 9;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    ok(from == 0 && to == 4, "Ctrl+A selected %lu-%lu", from, to);
    ok(app().run.active() && app().run.asked == 1 && currentQuestion() == 1, "Ctrl+A restarted the run");
    SendMessageW(edit, EM_SETSEL, 4, 4);
    pressCtrlKey('H', 100, L'\b');
    ok(editText() == L"あおも", "Ctrl+H left '%s'", wintest::utf8(editText()).c_str());
    ok(app().run.asked == 1 && GetFocus() == edit, "Ctrl+H did more than delete");
    {
        DialogWatcher no = DialogWatcher::pressing(IDNO);
        pressCtrlKey('N', 300);
        ok(no.seen() == 1 && no.texts()[0] == L"出題中の問題を中止して新しく始めますか？",
           "Ctrl+N did not ask");
        ok(app().run.active() && app().run.asked == 1 && currentQuestion() == 1 && editText() == L"あおも",
           "declined, the run did not go on");
        ok(GetFocus() == edit, "declined, the focus is not back in the edit");
    }
    ok(!fs::exists(exam.log), "a run was logged");
    {
        DialogWatcher yes = DialogWatcher::pressing(IDYES);
        pressCtrlKey('N', 300);
        ok(yes.seen() == 1 && app().run.active() && app().run.asked == 0, "agreed, no new run");
    }
    const rekal::ExamLog log = readLog(exam.log);
    ok(log.entries.size() == 1 && log.entries[0].rowCount == 2, "the ended run was not logged once");
    closeProgram();
}

// The answer start time by keyboard: 答え holds the focus while the edit waits (also after the
// window was left and activated again) and an early Enter or Space answers nothing; the edit takes
// the focus when it appears. Enter on a focused 中止 aborts; the Esc key's question comes.
WINTEST(focusWhileTheInputWaitsAndEnterOnAbort) {
    Exam exam(L"rekal-exam-focus");
    app().settings.answerStartTime = 1;
    setMode(CMD_MODE_WRITTEN);
    DialogWatcher results = closingResults();
    AnswerScript script(std::vector<AnswerScript::Key>(4, vk(VK_RETURN)));
    command(CMD_START_ALL);
    pump(50);
    HWND answer = examControl(IDOK);
    ok(GetFocus() == answer, "答え has no focus while the edit waits");
    pressKey(VK_RETURN);
    pressKey(VK_SPACE);
    ok(script.count() == 0 && app().run.asked == 0, "an early key answered");
    // Away to another window and back while the edit still waits.
    HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetActiveWindow(other);
    pump(50);
    SetActiveWindow(app().mainWindow);
    pump(50);
    DestroyWindow(other);
    ok(!shown(IDC_ANSWER_EDIT) && GetFocus() == answer, "focus %p after activation, not on 答え",
       static_cast<void*>(GetFocus()));
    pump(1200);
    ok(shown(IDC_ANSWER_EDIT) && GetFocus() == examControl(IDC_ANSWER_EDIT), "the edit took no focus");
    answerTyped(true);
    ok(script.count() == 1, "%d answers", script.count());
    pump(1200);
    DialogWatcher no = DialogWatcher::pressing(IDNO);
    SendMessageW(app().examView, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(examControl(IDCANCEL)), TRUE);
    pressKey(VK_RETURN, 300);
    ok(no.seen() == 1 && no.texts()[0] == L"中止しますか？", "Enter on 中止 did not ask");
    ok(script.count() == 1 && app().run.active(), "Enter on 中止 answered");
    closeProgram();
}

// 不正解のときは自動的にクリックしない: the answer dialog of a right answer clicks itself after the
// time, that of a wrong answer waits for the user.
WINTEST(automaticClickWaitsAfterAWrongAnswer) {
    Exam exam(L"rekal-exam-noclick");
    app().settings.ansDlgAutoClickTime = 1;
    app().settings.set(rekal::AnsDlgNoClickWrong, true);
    setMode(CMD_MODE_WRITTEN);
    DialogWatcher results = closingResults();
    std::vector<bool> openAfterTheTime;
    DialogWatcher dialogs(L"答え", [&](HWND d) {
        Sleep(1600);
        openAfterTheTime.push_back(IsWindow(d) != FALSE);
        if (IsWindow(d)) postKey(focusOf(d), VK_RETURN);
    });
    command(CMD_START_ALL);
    answerTyped(true);
    answerTyped(false);
    pump(300);
    ok(openAfterTheTime == (std::vector<bool>{false, true}), "%zu dialogs; the wrong one closed by itself",
       openAfterTheTime.size());
    ok(app().run.asked == 2, "%d asked", app().run.asked);
}

// The time while the answer dialog is open: in confirm mode the question's show time does not run
// on while the user grades himself, and the automatic click waits while 別解 is open over the dialog
// (ending the dialog under it would hand the main window back in the middle of the answer).
WINTEST(answerDialogTimeWithShowTimeAndAlternatives) {
    Exam exam(L"rekal-exam-answertime");
    app().settings.questionShowTime = 2;
    setMode(CMD_MODE_CONFIRM);
    DialogWatcher results = closingResults();
    rekal::win::SentenceState* question = rekal::win::sentenceState(examControl(IDC_QUESTION));
    {
        std::atomic<bool> shownWhileGrading{false};
        DialogWatcher grading(L"答え", [&](HWND d) {
            Sleep(800); // four ticks of the run
            shownWhileGrading = question && question->text.has_value();
            postCharKey(focusOf(d), L'r');
        });
        command(CMD_START_ALL);
        pressKey(VK_RETURN, 1000);
        ok(grading.seen() == 1 && shownWhileGrading, "the question was cleared while the user graded");
        ok(app().run.asked == 1 && currentQuestion() == 1 && question && question->text,
           "second question not shown");
    }
    app().settings.questionShowTime = 0;
    app().settings.ansDlgAutoClickTime = 1;
    std::atomic<bool> endedUnder{true};
    DialogWatcher alternatives(L"別解", [&](HWND d) {
        HWND answer = GetWindow(d, GW_OWNER);
        Sleep(1600);
        endedUnder = !IsWindowVisible(answer) || IsWindowEnabled(app().mainWindow);
        postKey(focusOf(d), VK_ESCAPE);
    });
    DialogWatcher opening(L"答え", [](HWND d) { postCharKey(focusOf(d), L'o'); });
    {
        DialogWatcher restart = DialogWatcher::pressing(IDYES); // the first run still asks
        command(CMD_START_ALL);                                 // the first question has two answers
        ok(restart.seen() == 1, "the running exam was ended without asking");
    }
    pressKey(VK_RETURN, 3000);
    ok(alternatives.seen() == 1 && !endedUnder, "the automatic click ended the answer dialog under 別解");
    // Once 別解 closed the click came after its full time again: 正解 for the first question.
    ok(app().run.active() && app().run.asked == 1 && app().run.right == 1 && currentQuestion() == 1,
       "run after the automatic click: asked %d, question %d", app().run.asked, currentQuestion());
    closeProgram();
}

WINTEST_MAIN("examflow")
