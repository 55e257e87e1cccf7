// Whole exams in the window, driven by keys through the program's own message pump: each answer mode
// through the answer dialog to the end, the automatic click, time limits and show times, aborts,
// closing during a run, the start commands from menu, accelerator and toolbar; after each run the
// histories in the saved file and the record in EXAMLOG.TXT. And one engine, two front ends: the
// same answers given to the window and to rekal-cli drill with the same seed give the same file and
// the same log record.

#include "examtest.h"

#include "core/exam/choices.h"
#include "win/display/sentence.h"

#include <cwctype>
#include <set>

namespace {

using namespace examtest;

} // namespace

WINTEST(writtenRunTypedRightAndWrongToTheLogAndTheFile) {
    Exam exam(L"rekal-exam-written");
    app().settings.answerView = 3; // comment and answers list
    setMode(CMD_MODE_WRITTEN);
    DialogWatcher results = closingResults();
    AnswerScript script({vk(VK_RETURN), vk(VK_RETURN), vk(VK_RETURN), vk(VK_RETURN)});
    command(CMD_START_ALL);
    ok(app().run.active(), "no run");
    ok(menuGreyed(CMD_MODE_CHOICE) && menuGreyed(CMD_RANGE), "setup commands enabled during the run");
    ok(!(buttonState(CMD_MODE_CHOICE) & TBSTATE_ENABLED), "mode button enabled during the run");
    ok(shown(IDC_ANSWER_EDIT) && shown(IDOK) && shown(IDCANCEL) && shown(IDC_QUESTION), "run fields hidden");
    ok(GetFocus() == examControl(IDC_ANSWER_EDIT), "focus not in the edit");
    ok(windowText(examControl(IDC_TITLE)) == L"都道府県", "title %s",
       wintest::utf8(windowText(examControl(IDC_TITLE))).c_str());
    ok(windowText(examControl(IDC_HISTORY)) == L"５４３２１\n×××××", "history %s",
       wintest::utf8(windowText(examControl(IDC_HISTORY))).c_str());
    ok(statusPart(1) == L"\t\t問題1" && statusPart(2) == L"\t\t正解0", "status %s / %s",
       wintest::utf8(statusPart(1)).c_str(), wintest::utf8(statusPart(2)).c_str());
    answerTyped(true);
    ok(statusPart(1) == L"\t\t問題2" && statusPart(2) == L"\t\t正解1", "status after one %s",
       wintest::utf8(statusPart(1)).c_str());
    answerTyped(false);
    ok(statusPart(3) == L"\t\t誤答1", "wrong count %s", wintest::utf8(statusPart(3)).c_str());
    answerTyped(true);
    answerTyped(true);
    pump(200);
    const auto seen = script.seen();
    ok(marks(seen) == L"○×○○", "marks %s", wintest::utf8(marks(seen)).c_str());
    ok(seen.size() == 4 && seen[0].commentShown && seen[0].listShown && seen[0].listCount == 2 &&
           !seen[1].commentShown && !seen[1].listShown && !seen[0].gradesShown && seen[0].okEnabled,
       "answer dialog parts");
    ok(idleAgain(), "not idle after the run");

    const rekal::ExamLog log = readLog(exam.log);
    ok(log.entries.size() == 1, "%zu log records", log.entries.size());
    if (log.entries.size() == 1) {
        const auto rows = rowsWithoutTimes(log, log.entries[0]);
        ok(rows.size() == 5 && rows[1].rfind("1|1|○||", 0) == 0 && rows[2].rfind("2|2|×||", 0) == 0,
           "rows %s", rows.size() > 2 ? rows[2].c_str() : "");
        ok(*log.entries[0].method == "すべて" && *log.entries[0].mode == "記述式" &&
               *log.entries[0].rate == "75.00%",
           "record %s %s %s", std::string(*log.entries[0].method).c_str(),
           std::string(*log.entries[0].mode).c_str(), std::string(*log.entries[0].rate).c_str());
    }
    closeProgram();
    ok(savedHistories(exam.book) == (std::vector<int>{16, 0, 16, 16}), "histories not saved");
}

WINTEST(choiceRunByNumberKeysAndArrows) {
    Exam exam(L"rekal-exam-choice");
    setMode(CMD_MODE_CHOICE);
    DialogWatcher results = closingResults();
    AnswerScript script({vk(VK_RETURN), vk(VK_RETURN), vk(VK_RETURN), vk(VK_RETURN)});
    app().random.seed(7);
    command(CMD_START_ALL);
    ok(app().run.choiceCount == 4 && !shown(IDC_ANSWER_EDIT), "%d choices", app().run.choiceCount);
    ok(IsWindowVisible(examControl(rekal::kFirstChoiceId + 3)), "choice 4 not shown");
    // The number keys reach the choices with the input method on: they take no input context.
    bool withoutIme = hasInputContext(app().mainWindow);
    for (int id : {rekal::kFirstChoiceId, rekal::kFirstChoiceId + 3, IDOK, IDCANCEL})
        withoutIme = withoutIme && !hasInputContext(examControl(id));
    ok(withoutIme, "a choice or run button has an input context");
    // The first choice has the focus without being selected.
    ok(GetFocus() == examControl(rekal::kFirstChoiceId) && app().run.selectedChoice == 0,
       "focus %p, selected %d", static_cast<void*>(GetFocus()), app().run.selectedChoice);
    // Question 1 by its number key.
    int k = rightChoice();
    postCharKey(GetFocus(), static_cast<wchar_t>(L'1' + k));
    pump(100);
    ok(app().run.selectedChoice == rekal::kFirstChoiceId + k, "number key selected %d, not %d",
       app().run.selectedChoice, rekal::kFirstChoiceId + k);
    pressKey(VK_RETURN, 200);
    // Question 2 by the arrow keys: each step moves the selection with the focus.
    k = rightChoice();
    ok(GetFocus() == examControl(rekal::kFirstChoiceId), "focus on %d before the arrows",
       GetDlgCtrlID(GetFocus()));
    for (int step = 0; step < k; ++step)
        pressKey(VK_DOWN);
    if (k == 0) pressKey(VK_DOWN), pressKey(VK_UP);
    ok(app().run.selectedChoice == rekal::kFirstChoiceId + k, "arrows selected %d, not %d",
       app().run.selectedChoice, rekal::kFirstChoiceId + k);
    pressKey(VK_RETURN, 200);
    // Question 3 wrong on purpose, question 4 right.
    postCharKey(GetFocus(), static_cast<wchar_t>(L'1' + (rightChoice() + 1) % 4));
    pump(50);
    pressKey(VK_RETURN, 200);
    postCharKey(GetFocus(), static_cast<wchar_t>(L'1' + rightChoice()));
    pump(50);
    pressKey(VK_RETURN, 200);
    pump(100);
    ok(marks(script.seen()) == L"○○×○", "marks %s", wintest::utf8(marks(script.seen())).c_str());
    ok(idleAgain() && !IsWindow(examControl(rekal::kFirstChoiceId)), "choices left after the run");
    closeProgram();
    ok(savedHistories(exam.book) == (std::vector<int>{16, 16, 0, 16}), "histories not saved");
}

WINTEST(confirmModeGradesAndEscCountsAsWrong) {
    Exam exam(L"rekal-exam-confirm");
    setMode(CMD_MODE_CONFIRM);
    DialogWatcher results = closingResults();
    AnswerScript script({mnemonic(L'r'), mnemonic(L'w'), mnemonic(L's'), vk(VK_ESCAPE)});
    command(CMD_START_ALL);
    ok(!shown(IDC_ANSWER_EDIT) && GetFocus() == examControl(IDOK), "confirm mode shows an input");
    for (int i = 0; i < 4; ++i)
        pressKey(VK_RETURN, 200);
    pump(100);
    const auto seen = script.seen();
    ok(seen.size() == 4 && !seen[0].okEnabled && seen[0].gradesShown && seen[0].mark.empty(),
       "confirm dialog");
    ok(seen.size() == 4 && seen[0].gradesWithoutIme, "R, W and S would go to the input method");
    ok(idleAgain(), "not idle");
    const rekal::ExamLog log = readLog(exam.log);
    if (ok(log.entries.size() == 1, "no record")) {
        const auto rows = rowsWithoutTimes(log, log.entries[0]);
        ok(rows.size() == 5 && rows[3].rfind("3|3|－||", 0) == 0 && rows[4].rfind("4|4|×||", 0) == 0,
           "rows %s %s", rows.size() > 4 ? rows[3].c_str() : "", rows.size() > 4 ? rows[4].c_str() : "");
    }
    closeProgram();
    ok(savedHistories(exam.book) == (std::vector<int>{16, 0, 0, 0}), "histories not saved");
}

WINTEST(automaticClickInStandardAndConfirmMode) {
    Exam exam(L"rekal-exam-autoclick");
    app().settings.ansDlgAutoClickTime = 1;
    setMode(CMD_MODE_STANDARD);
    DialogWatcher results = closingResults();
    AnswerScript script({});
    command(CMD_START_ONE);
    ok(shown(IDC_ANSWER_EDIT), "standard mode without a title choice count shows the edit");
    answerTyped(true);
    pump(1500); // the dialog clicks OK by itself after a second
    ok(script.count() == 1 && idleAgain(), "automatic OK: %d dialogs", script.count());

    app().settings.ansDlgClickButtonType = 2;
    setMode(CMD_MODE_CONFIRM);
    command(CMD_START_ONE);
    const int asked = currentQuestion();
    pressKey(VK_RETURN, 1500);
    ok(script.count() == 2 && idleAgain(), "automatic skip: %d dialogs", script.count());
    const rekal::ExamLog log = readLog(exam.log);
    if (ok(log.entries.size() == 2, "%zu records", log.entries.size())) {
        const auto rows = rowsWithoutTimes(log, log.entries[1]);
        ok(rows.size() == 2 && rows[1].rfind("1|" + std::to_string(asked + 1) + "|－||", 0) == 0,
           "skip row %s", rows.size() > 1 ? rows[1].c_str() : "");
    }
    closeProgram();
}

// Moved to a screen of another density in the middle of a choice question: the question keeps the
// font its file gives (the display fonts made anew must not replace it).
WINTEST(densityChangeMidQuestionKeepsTheFilesFont) {
    Exam exam(L"rekal-exam-dpi", "REKALDATA V1.6\r\n$FontQuestion=,,Courier New\r\n#題,000000\r\n"
                                 "問1,答1,<00\r\n問2,答2,<00\r\n問3,答3,<00\r\n");
    setMode(CMD_MODE_CHOICE);
    DialogWatcher results = closingResults();
    command(CMD_START_ALL);
    const int dpi = wintest::screenDpi();
    RECT place{};
    GetWindowRect(app().mainWindow, &place);
    SendMessageW(app().mainWindow, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    wintest::flushEvents(20);
    LOGFONTW shown{};
    const rekal::win::SentenceState* question = rekal::win::sentenceState(examControl(IDC_QUESTION));
    if (question && question->font) GetObjectW(question->font, sizeof shown, &shown);
    ok(std::wcscmp(shown.lfFaceName, L"Courier New") == 0, "question in %s",
       wintest::utf8(shown.lfFaceName).c_str());
    ok(examControl(rekal::kFirstChoiceId) && IsWindowVisible(examControl(rekal::kFirstChoiceId)),
       "no choice buttons");
    closeProgram();
}

WINTEST_MAIN("examrun")
