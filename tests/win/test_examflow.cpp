// Exams in the window over time and across runs, driven by keys through the program's own message
// pump: time limit, show time and answer start time with short times, aborts with and without
// answers, closing the program during a run, and the start commands from the toolbar, the
// accelerators and the menu; after each run the record in EXAMLOG.TXT and the saved histories.

#include "examtest.h"

#include "core/exam/method.h"
#include "win/display/sentence.h"

#include <atomic>
#include <set>

namespace {

using namespace examtest;

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
    // すべて by Ctrl+A.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    postKey(app().mainWindow, 'A');
    pump(100);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    ok(app().run.active() && currentQuestion() == 0, "Ctrl+A did not start すべて");
    // 完全 from the menu (ends the running exam first): goes on until every question is right.
    command(CMD_START_COMPLETE);
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
    command(CMD_START_ALL); // the first question has two answers
    pressKey(VK_RETURN, 3000);
    ok(alternatives.seen() == 1 && !endedUnder, "the automatic click ended the answer dialog under 別解");
    // Once 別解 closed the click came after its full time again: 正解 for the first question.
    ok(app().run.active() && app().run.asked == 1 && app().run.right == 1 && currentQuestion() == 1,
       "run after the automatic click: asked %d, question %d", app().run.asked, currentQuestion());
    closeProgram();
}

WINTEST_MAIN("examflow")
