// Whole exam runs driven through a recording screen and a hand-moved clock: every method and answer
// mode, the timers, judging, recording, abort, end, retry.

#include "exam_fixture.h"

#include "core/data/reader.h"
#include "core/exam/run.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace rekal {
namespace {

using test::ExamRig;
using test::numberedBook;

// ---- start, cycle, end ------------------------------------------------------------------------------

TEST(ExamRun, AllInOrderJudgesRecordsAndEndsWithLogAndResult) {
    ExamRig rig(numberedBook(3));
    rig.settings.answerMode = AnswerWritten;
    ASSERT_TRUE(startAllRun(rig.run, rig.env));
    EXPECT_FALSE(rig.screen.idlePanel);
    EXPECT_FALSE(rig.screen.setupCommandsEnabled);
    EXPECT_TRUE(rig.screen.timerRunning);
    EXPECT_EQ(rig.run.method, 1u);
    EXPECT_EQ(rig.screen.status[StatusField::Question], "\t\t問題1");
    EXPECT_TRUE(rig.screen.editVisible);

    rig.clock.advance(1500);
    rig.answerRight();
    EXPECT_EQ(rig.screen.status[StatusField::Right], "\t\t正解1");
    rig.clock.advance(700);
    rig.answerWrong();
    EXPECT_EQ(rig.screen.status[StatusField::Wrong], "\t\t誤答1");
    rig.answer("a3"); // no title above it: every compare option, so letter case does not matter
    EXPECT_FALSE(rig.run.active());

    EXPECT_EQ(rig.screen.shown, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(rig.screen.answerDialogs.size(), 3u);
    EXPECT_TRUE(rig.screen.answerDialogs[0].right);
    EXPECT_FALSE(rig.screen.answerDialogs[1].right);
    EXPECT_EQ(rig.book.questionAt(0)->history, 16);
    EXPECT_EQ(rig.book.questionAt(1)->history, 0);
    EXPECT_TRUE(rig.book.isDirty());

    ASSERT_EQ(rig.log.entries.size(), 1u);
    EXPECT_EQ(rig.log.entries[0].method, 1u);
    EXPECT_EQ(rig.log.entries[0].asked, 3);
    EXPECT_EQ(rig.log.entries[0].elapsedMs, 2200u);
    ASSERT_EQ(rig.screen.resultDialogs.size(), 1u);
    const ResultDialogInput& result = rig.screen.resultDialogs[0];
    EXPECT_EQ(result.asked, 3);
    EXPECT_EQ(result.right, 2);
    EXPECT_EQ(result.wrong, 1);
    EXPECT_TRUE(result.retryEnabled);
    EXPECT_EQ(result.results[0].time, 1500u);
    EXPECT_EQ(result.results[1].time, 700u);

    EXPECT_TRUE(rig.screen.idlePanel);
    EXPECT_TRUE(rig.screen.setupCommandsEnabled);
    EXPECT_FALSE(rig.screen.timerRunning);
    EXPECT_EQ(rig.screen.status[StatusField::Question], "");
    EXPECT_EQ(rig.run.asked, 0);
    EXPECT_TRUE(rig.run.results.empty());
}

TEST(ExamRun, SoundsFollowTheSoundFlag) {
    ExamRig rig(numberedBook(2));
    rig.settings.answerMode = AnswerWritten;
    startAllRun(rig.run, rig.env);
    rig.answerRight();
    rig.answerWrong();
    EXPECT_EQ(rig.screen.sounds,
              (std::vector<std::string>{"EXAM.WAV", "RIGHT.WAV", "EXAM.WAV", "WRONG.WAV", "RESULT.WAV"}));
    ExamRig quiet(numberedBook(2));
    quiet.settings.set(Sound, false);
    startAllRun(quiet.run, quiet.env);
    quiet.answerRight();
    EXPECT_TRUE(quiet.screen.sounds.empty());
}

TEST(ExamRun, AHistoryIsShownUpdatedWhenTheQuestionComesAgain) {
    ExamRig rig(numberedBook(1));
    startRandomCountRun(rig.run, rig.env, 3, false);
    rig.answerRight();
    EXPECT_EQ(rig.book.questionAt(0)->history, 16);
    rig.answerWrong();
    EXPECT_EQ(rig.book.questionAt(0)->history, 8);
    rig.answerRight();
    EXPECT_EQ(rig.book.questionAt(0)->history, 20);
}

TEST(ExamRun, NoLogWhenTheSettingIsOff) {
    ExamRig rig(numberedBook(2));
    rig.settings.set(SaveExamLog, false);
    startAllRun(rig.run, rig.env);
    rig.answerRight();
    rig.answerRight();
    EXPECT_TRUE(rig.log.entries.empty());
    EXPECT_EQ(rig.screen.resultDialogs.size(), 1u);
}

// ---- abort ------------------------------------------------------------------------------------------

TEST(ExamAbort, BeforeAnyAnswerLogsARecordWithoutRowsAndShowsNoResult) {
    ExamRig rig(numberedBook(5));
    startRandomAllRun(rig.run, rig.env);
    rig.clock.advance(900);
    onAbortCommand(rig.run, rig.env);
    EXPECT_FALSE(rig.run.active());
    ASSERT_EQ(rig.log.entries.size(), 1u);
    EXPECT_EQ(rig.log.entries[0].asked, 0);
    EXPECT_EQ(rig.log.entries[0].method, 0x31u);
    EXPECT_TRUE(rig.screen.resultDialogs.empty());
    EXPECT_TRUE(std::find(rig.screen.sounds.begin(), rig.screen.sounds.end(), "RESULT.WAV") ==
                rig.screen.sounds.end());
    EXPECT_TRUE(rig.screen.idlePanel);
}

TEST(ExamAbort, AfterThreeAnswersTheResultShowsThree) {
    ExamRig rig(numberedBook(10));
    startAllRun(rig.run, rig.env);
    rig.answerRight();
    rig.answerWrong();
    rig.answerRight();
    onAbortCommand(rig.run, rig.env);
    ASSERT_EQ(rig.log.entries.size(), 1u);
    EXPECT_EQ(rig.log.entries[0].asked, 3);
    ASSERT_EQ(rig.screen.resultDialogs.size(), 1u);
    EXPECT_EQ(rig.screen.resultDialogs[0].asked, 3);
}

TEST(ExamAbort, TheResultListsOnlyTheFinishedQuestions) {
    // An aborted question has no verdict and its time is still the tick it was shown at.
    ExamRig rig(numberedBook(6));
    startAllRun(rig.run, rig.env);
    rig.clock.advance(1200);
    rig.answerRight();
    rig.clock.advance(800);
    rig.answerWrong();
    rig.clock.advance(5000);
    onAbortCommand(rig.run, rig.env);
    const ResultDialogInput& result = rig.screen.resultDialogs.at(0);
    ASSERT_EQ(result.results.size(), 2u);
    EXPECT_EQ(result.results[0].time, 1200u);
    EXPECT_EQ(result.results[1].time, 800u);
    EXPECT_EQ(result.results[1].verdict, Verdict::Wrong);

    // A fixed list is filled in advance: its unasked tail is not handed over.
    ExamRig fixed(numberedBook(6));
    ASSERT_TRUE(startFixedListRun(fixed.run, fixed.env, {4, 2, 1, 0}, KindReexamAll, false));
    fixed.answerWrong();
    onAbortCommand(fixed.run, fixed.env);
    const ResultDialogInput& partial = fixed.screen.resultDialogs.at(0);
    ASSERT_EQ(partial.results.size(), 1u);
    EXPECT_EQ(partial.results[0].question, 4);
    EXPECT_EQ(partial.results[0].verdict, Verdict::Wrong);
}

TEST(ExamAbort, DeclinedKeepsTheRunAndPutsTheFocusBack) {
    ExamRig rig(numberedBook(3));
    rig.screen.abortAnswer = false;
    startAllRun(rig.run, rig.env);
    onAbortCommand(rig.run, rig.env);
    EXPECT_TRUE(rig.run.active());
    rig.settings.answerMode = AnswerConfirm;
    onAbortCommand(rig.run, rig.env);
    EXPECT_EQ(rig.screen.events.back(), "focus answer button");
    rig.settings.answerMode = AnswerWritten;
    onAbortCommand(rig.run, rig.env);
    EXPECT_EQ(rig.screen.events.back(), "focus edit");
    EXPECT_TRUE(rig.log.entries.empty());
}

TEST(ExamAbort, CommandsWithoutARunAreIgnored) {
    ExamRig rig(numberedBook(3));
    onAnswerCommand(rig.run, rig.env);
    onAbortCommand(rig.run, rig.env);
    onRunTick(rig.run, rig.env);
    EXPECT_TRUE(rig.screen.answerDialogs.empty());
    EXPECT_TRUE(rig.log.entries.empty());
}

TEST(ExamRun, StartingANewRunEndsTheRunningOne) {
    ExamRig rig(numberedBook(4));
    startAllRun(rig.run, rig.env);
    rig.answerRight();
    startOneQuestionRun(rig.run, rig.env);
    ASSERT_EQ(rig.log.entries.size(), 1u);
    EXPECT_EQ(rig.log.entries[0].asked, 1);
    EXPECT_EQ(rig.run.method, 0x10u);
    EXPECT_TRUE(rig.run.active());
    rig.answerRight();
    EXPECT_FALSE(rig.run.active());
    EXPECT_EQ(rig.log.entries.size(), 2u);
}

// ---- timers -----------------------------------------------------------------------------------------

TEST(ExamTimers, TimeLimitFiresOnceOnTheFirstTickAfterIt) {
    ExamRig rig(numberedBook(3));
    rig.settings.timeLimit = 5;
    startAllRun(rig.run, rig.env);
    rig.tickFor(5000); // exactly 5000 ms: not yet
    EXPECT_EQ(rig.screen.posts, 0);
    rig.tickFor(200);
    EXPECT_EQ(rig.screen.posts, 1);
    rig.tickFor(2000);
    EXPECT_EQ(rig.screen.posts, 1);
    rig.screen.edit = "partly"; // the posted command arrives: the typed text is judged
    onAnswerCommand(rig.run, rig.env);
    EXPECT_EQ(rig.run.wrong, 1);
    EXPECT_EQ(rig.run.results[0].time, 7200u);
    rig.tickFor(5000);
    EXPECT_EQ(rig.screen.posts, 1); // the next question has its own limit
    rig.tickFor(200);
    EXPECT_EQ(rig.screen.posts, 2);
}

TEST(ExamTimers, TimeLimitWaitsWhileAModalDialogIsOpen) {
    ExamRig rig(numberedBook(2));
    rig.settings.timeLimit = 1;
    startAllRun(rig.run, rig.env);
    rig.screen.mainEnabled = false;
    rig.tickFor(3000);
    EXPECT_EQ(rig.screen.posts, 0);
    rig.screen.mainEnabled = true;
    rig.tickFor(200);
    EXPECT_EQ(rig.screen.posts, 1);
}

TEST(ExamTimers, AStaleTimeLimitCommandDuringTheAnswerDialogIsIgnored) {
    ExamRig rig(numberedBook(3));
    startAllRun(rig.run, rig.env);
    rig.screen.duringAnswerDialog = [&] { onAnswerCommand(rig.run, rig.env); };
    rig.answerRight();
    EXPECT_EQ(rig.screen.answerDialogs.size(), 1u);
    EXPECT_EQ(rig.run.asked, 1);
    EXPECT_EQ(rig.screen.shown.size(), 2u);
}

// The Windows session ends while the answer dialog is open: the run ends there (logged, its answers
// kept), and when the dialog closes no question of a random run follows.
TEST(ExamTimers, ARunEndedDuringTheAnswerDialogShowsNothingMore) {
    ExamRig rig(numberedBook(5));
    startRandomCountRun(rig.run, rig.env, 3, false);
    rig.answerRight();
    rig.screen.duringAnswerDialog = [&] { endRun(rig.run, rig.env); };
    rig.answerRight();
    EXPECT_FALSE(rig.run.active());
    EXPECT_EQ(rig.screen.shown.size(), 2u);
    ASSERT_EQ(rig.log.entries.size(), 1u);
    EXPECT_EQ(rig.log.entries[0].asked, 2);
    EXPECT_TRUE(rig.screen.idlePanel);
}

TEST(ExamTimers, ShowTimeHidesOnlyTheQuestionText) {
    ExamRig rig(numberedBook(2));
    rig.settings.questionShowTime = 2;
    startAllRun(rig.run, rig.env);
    rig.tickFor(2000);
    EXPECT_TRUE(rig.screen.questionTextShown);
    rig.tickFor(200);
    EXPECT_FALSE(rig.screen.questionTextShown);
    EXPECT_TRUE(rig.screen.editVisible);
    EXPECT_EQ(std::count(rig.screen.events.begin(), rig.screen.events.end(), "question hidden"), 1);
}

TEST(ExamTimers, AnswerStartTimeShowsTheInputLater) {
    ExamRig rig(numberedBook(2));
    rig.settings.answerStartTime = 3;
    EXPECT_FALSE(inputPending(rig.run, rig.settings));
    startAllRun(rig.run, rig.env);
    EXPECT_FALSE(rig.screen.editVisible);
    rig.tickFor(3000);
    EXPECT_FALSE(rig.screen.editVisible);
    EXPECT_TRUE(inputPending(rig.run, rig.settings));
    rig.tickFor(200);
    EXPECT_TRUE(rig.screen.editVisible);
    EXPECT_FALSE(inputPending(rig.run, rig.settings));

    ExamRig choice(numberedBook(6));
    choice.settings.answerStartTime = 3;
    choice.settings.answerMode = AnswerChoice;
    startAllRun(choice.run, choice.env);
    EXPECT_FALSE(choice.screen.choicesVisible);
    EXPECT_FALSE(choice.screen.editVisible);
    choice.tickFor(3200);
    EXPECT_TRUE(choice.screen.choicesVisible);
    EXPECT_FALSE(choice.screen.editVisible);

    ExamRig confirm(numberedBook(2));
    confirm.settings.answerStartTime = 3;
    confirm.settings.answerMode = AnswerConfirm;
    startAllRun(confirm.run, confirm.env);
    EXPECT_FALSE(inputPending(confirm.run, confirm.settings)); // 答え is the input
    confirm.tickFor(5000);
    EXPECT_FALSE(confirm.screen.editVisible);
    EXPECT_FALSE(confirm.screen.choicesVisible);
}

TEST(ExamTimers, TickShowsTheElapsedTimeAndStopsLookingAtTheQuestionAfterItsVerdict) {
    ExamRig rig(numberedBook(2));
    rig.settings.timeLimit = 1;
    startAllRun(rig.run, rig.env);
    EXPECT_EQ(rig.screen.status[StatusField::Elapsed], "\t\t0秒");
    rig.tickFor(800);
    EXPECT_EQ(rig.screen.status[StatusField::Elapsed], "\t\t1秒");
    rig.screen.duringAnswerDialog = [&] { rig.tickFor(2000); };
    rig.answerRight();
    EXPECT_EQ(rig.screen.posts, 0);
}

TEST(ExamTimers, FileValuesApplyOnlyWithTheQuestionSettingsBit) {
    const char* file = "REKALDATA V1.6\n"
                       "q1,a,<00\n"
                       "$TimeLimit=2\n"
                       "q2,a,<00\n";
    ExamRig rig(file);
    rig.settings.timeLimit = 9;
    startAllRun(rig.run, rig.env);
    EXPECT_EQ(rig.run.timeLimit, 9); // no card before the first question
    rig.answerRight();
    EXPECT_EQ(rig.run.timeLimit, 2);
    rig.settings.useData &= static_cast<std::uint8_t>(~UseQuestionSettings);
    startAllRun(rig.run, rig.env);
    rig.answerRight();
    EXPECT_EQ(rig.run.timeLimit, 9);
}

// ---- re-entry: what a dialog's loop or a release of media may dispatch ------------------------------

TEST(ExamReentry, ConfirmModeShowTimeDoesNotRunOnWhileTheUserGrades) {
    ExamRig rig(numberedBook(2));
    rig.settings.answerMode = AnswerConfirm;
    rig.settings.questionShowTime = 5;
    startAllRun(rig.run, rig.env);
    rig.tickFor(1000);
    // The entry now holds the time taken (1000 ms), not the tick the question was shown at.
    rig.screen.duringAnswerDialog = [&] { rig.tickFor(600); };
    rig.screen.grades.push_back(Verdict::Right);
    onAnswerCommand(rig.run, rig.env);
    EXPECT_EQ(std::count(rig.screen.events.begin(), rig.screen.events.end(), "question hidden"), 0);
    EXPECT_EQ(rig.run.results[0].time, 1000u);
    EXPECT_EQ(rig.run.showTime, 5); // the next question's own show time
}

TEST(ExamReentry, NothingAdvancesARunThatEndedWhileTheAnswerDialogWasOpen) {
    // Ended under the dialog (the view closed, another file loaded): no next question, no second end.
    ExamRig rig(numberedBook(3));
    rig.settings.answerMode = AnswerConfirm;
    startAllRun(rig.run, rig.env);
    rig.screen.duringAnswerDialog = [&] { endRun(rig.run, rig.env); };
    rig.screen.grades.push_back(Verdict::Right);
    onAnswerCommand(rig.run, rig.env);
    EXPECT_FALSE(rig.run.active());
    EXPECT_EQ(rig.screen.shown, (std::vector<int>{0}));
    EXPECT_EQ(rig.log.entries.size(), 1u);
    EXPECT_EQ(rig.book.questionAt(0)->history, 0); // the late grade is nobody's
    EXPECT_FALSE(showNextQuestion(rig.run, rig.env));
    EXPECT_EQ(rig.screen.shown.size(), 1u);
    EXPECT_EQ(rig.log.entries.size(), 1u);

    // Another run started under the dialog keeps its first question; the old grade stays out of it.
    ExamRig again(numberedBook(3));
    again.settings.answerMode = AnswerConfirm;
    startAllRun(again.run, again.env);
    again.screen.duringAnswerDialog = [&] {
        again.screen.duringAnswerDialog = nullptr;
        startAllRun(again.run, again.env);
    };
    again.screen.grades.push_back(Verdict::Right);
    onAnswerCommand(again.run, again.env);
    EXPECT_TRUE(again.run.active());
    EXPECT_EQ(again.screen.shown, (std::vector<int>{0, 0}));
    EXPECT_EQ(again.run.asked, 0);
    EXPECT_EQ(again.run.right, 0);
    again.grade(Verdict::Right); // and it is answered as usual
    EXPECT_EQ(again.run.right, 1);
    EXPECT_EQ(again.screen.shown, (std::vector<int>{0, 0, 1}));
}

TEST(ExamReentry, AbortIsIgnoredWhileTheAnswerDialogIsOpen) {
    ExamRig rig(numberedBook(3));
    startAllRun(rig.run, rig.env);
    rig.screen.duringAnswerDialog = [&] { onAbortCommand(rig.run, rig.env); };
    rig.answerRight();
    EXPECT_TRUE(rig.run.active());
    EXPECT_EQ(rig.screen.shown, (std::vector<int>{0, 1}));
    EXPECT_TRUE(rig.log.entries.empty());
}

TEST(ExamReentry, AnAnswerCycleInsideTheTickLeavesTheNextQuestionsTimersAlone) {
    // Hiding the question releases its media, which dispatches messages: 答え is handled there.
    ExamRig rig(numberedBook(3));
    rig.settings.questionShowTime = 2;
    rig.settings.timeLimit = 3;
    startAllRun(rig.run, rig.env);
    rig.tickFor(2000);
    rig.clock.advance(1200); // a slow tick: the old question has been up 3200 ms
    rig.screen.duringClearQuestion = [&] {
        rig.screen.duringClearQuestion = nullptr;
        rig.answerRight();
    };
    onRunTick(rig.run, rig.env);
    EXPECT_EQ(rig.screen.shown, (std::vector<int>{0, 1}));
    EXPECT_EQ(rig.run.showTime, 2);
    EXPECT_EQ(rig.run.timeLimit, 3);
    EXPECT_EQ(rig.screen.posts, 0);
    rig.tickFor(2200); // the second question's own timers
    EXPECT_EQ(std::count(rig.screen.events.begin(), rig.screen.events.end(), "question hidden"), 2);
    EXPECT_EQ(rig.screen.posts, 0);
    rig.tickFor(1000);
    EXPECT_EQ(rig.screen.posts, 1);
}

// ---- answer modes -----------------------------------------------------------------------------------

TEST(ExamModes, ConfirmModeRecordsTheUsersGradeWithoutSound) {
    ExamRig rig(numberedBook(4));
    rig.settings.answerMode = AnswerConfirm;
    startAllRun(rig.run, rig.env);
    EXPECT_FALSE(rig.screen.editVisible);
    rig.screen.edit = "ignored";
    rig.grade(Verdict::Right);
    rig.grade(Verdict::Skipped);
    rig.grade(Verdict::Wrong); // also what Esc gives
    rig.grade(Verdict::Right);
    EXPECT_TRUE(rig.screen.answerDialogs[0].confirmMode);
    EXPECT_EQ(rig.book.questionAt(0)->history, 16);
    EXPECT_EQ(rig.book.questionAt(1)->history, 0);
    EXPECT_EQ(rig.book.questionAt(2)->history, 0);
    EXPECT_EQ(std::count(rig.screen.sounds.begin(), rig.screen.sounds.end(), "RIGHT.WAV"), 0);
    EXPECT_EQ(std::count(rig.screen.sounds.begin(), rig.screen.sounds.end(), "WRONG.WAV"), 0);
    const ResultDialogInput& result = rig.screen.resultDialogs.at(0);
    EXPECT_EQ(result.asked, 4);
    EXPECT_EQ(result.right, 2);
    EXPECT_EQ(result.wrong, 1);
    EXPECT_EQ(result.results[1].verdict, Verdict::Skipped);
}

TEST(ExamModes, OnlySkippedQuestionsOfferNoRetry) {
    ExamRig rig(numberedBook(2));
    rig.settings.answerMode = AnswerConfirm;
    startAllRun(rig.run, rig.env);
    rig.grade(Verdict::Skipped);
    rig.grade(Verdict::Skipped);
    const ResultDialogInput& result = rig.screen.resultDialogs.at(0);
    EXPECT_FALSE(result.retryEnabled);
    EXPECT_FALSE(result.retryChecked);
    EXPECT_FALSE(result.randomChecked);
}

TEST(ExamModes, ConfirmDialogThatCouldNotOpenLeavesTheEntryToTheNextQuestion) {
    ExamRig rig(numberedBook(3));
    rig.settings.answerMode = AnswerConfirm;
    startAllRun(rig.run, rig.env);
    onAnswerCommand(rig.run, rig.env); // no grade
    EXPECT_EQ(rig.run.asked, 0);
    EXPECT_EQ(rig.screen.shown, (std::vector<int>{0, 1}));
    rig.grade(Verdict::Right);
    EXPECT_EQ(rig.run.results[0].question, 1);
}

TEST(ExamModes, ChoiceModeJudgesTheSelectedChoice) {
    ExamRig rig(numberedBook(6));
    rig.settings.answerMode = AnswerChoice;
    startAllRun(rig.run, rig.env);
    ASSERT_EQ(rig.run.choiceCount, 4);
    EXPECT_FALSE(rig.screen.editVisible);
    const std::vector<Choice>& choices = rig.screen.choiceSets.back();
    const auto right =
        std::find_if(choices.begin(), choices.end(), [](const Choice& c) { return c.text == "A1"; });
    ASSERT_NE(right, choices.end());
    rig.run.selectedChoice = kFirstChoiceId + static_cast<int>(right - choices.begin());
    onAnswerCommand(rig.run, rig.env);
    EXPECT_EQ(rig.run.right, 1);
    // Nothing selected: an empty answer, judged wrong.
    onAnswerCommand(rig.run, rig.env);
    EXPECT_EQ(rig.run.wrong, 1);
    onAbortCommand(rig.run, rig.env);
}

TEST(ExamModes, StandardModeTakesTheTitlesChoiceCount) {
    const char* file = "REKALDATA V1.6\n"
                       "#typed,000000\n"
                       "q1,a1,<00\n"
                       "#three,300000\n"
                       "q2,a2,<00\n"
                       "q3,a3,<00\n"
                       "q4,a4,<00\n"
                       "q5,a5,<00\n";
    ExamRig rig(file);
    startAllRun(rig.run, rig.env);
    EXPECT_EQ(rig.run.choiceCount, 0);
    EXPECT_TRUE(rig.screen.editVisible);
    rig.answer("a1");
    EXPECT_EQ(rig.run.choiceCount, 3);
    EXPECT_FALSE(rig.screen.editVisible);
    onAbortCommand(rig.run, rig.env);

    rig.settings.answerMode = AnswerWritten;
    startAllRun(rig.run, rig.env);
    rig.answer("a1");
    EXPECT_EQ(rig.run.choiceCount, 0);
    EXPECT_TRUE(rig.screen.editVisible);
}

TEST(ExamModes, CompareOptionsComeFromTheTitleOrTheSettings) {
    const char* file = "REKALDATA V1.6\n"
                       "q0,Tokyo,<00\n"
                       "#case,010000\n"
                       "q1,Tokyo,<00\n"
                       "#strict,000000\n"
                       "q2,Tokyo,<00\n";
    ExamRig rig(file);
    startAllRun(rig.run, rig.env);
    rig.answer("TOKYO"); // no title: every option
    rig.answer("tokyo");
    rig.answer("tokyo");
    EXPECT_EQ(rig.book.questionAt(0)->history, 16);
    EXPECT_EQ(rig.book.questionAt(1)->history, 16);
    EXPECT_EQ(rig.book.questionAt(2)->history, 0);

    rig.settings.useData &= static_cast<std::uint8_t>(~UseCompareOptions);
    rig.settings.compareMode = CompareIgnoreCase;
    startAllRun(rig.run, rig.env);
    rig.answer("x");
    rig.answer("x");
    rig.answer("TOKYO"); // the settings' options now
    EXPECT_EQ(rig.book.questionAt(2)->history, 16);
}

TEST(ExamModes, LineFeedsOfTheTypedAnswerAreDropped) {
    ExamRig rig(numberedBook(1));
    startAllRun(rig.run, rig.env);
    rig.answer("A\n1");
    EXPECT_EQ(rig.screen.resultDialogs.at(0).right, 1);
}

TEST(ExamModes, FontsComeFromTheFileOnlyWithTheFontBit) {
    const char* file = "REKALDATA V1.6\n"
                       "$FontQuestion=30,,ＭＳ 明朝\n"
                       "q1,a,<00\n";
    ExamRig rig(file);
    startAllRun(rig.run, rig.env);
    EXPECT_EQ(rig.screen.fonts[QuestionFont].size, 30);
    EXPECT_EQ(rig.screen.fonts[QuestionFont].face, "ＭＳ 明朝");
    EXPECT_EQ(rig.screen.fonts[QuestionFont].color, rig.settings.fonts[QuestionFont].color);
    onAbortCommand(rig.run, rig.env);
    rig.settings.useData &= static_cast<std::uint8_t>(~UseFonts);
    startAllRun(rig.run, rig.env);
    EXPECT_EQ(rig.screen.fonts[QuestionFont].size, 20);
}

TEST(ExamModes, HintCommandOnlyForQuestionsWithHints) {
    const char* file = "REKALDATA V1.6\n"
                       "q1\\hhint,a,<00\n"
                       "q2,a,<00\n";
    ExamRig rig(file);
    startAllRun(rig.run, rig.env);
    EXPECT_TRUE(rig.screen.hintCommandEnabled);
    rig.answer("a");
    EXPECT_FALSE(rig.screen.hintCommandEnabled);
}

// ---- complete runs ----------------------------------------------------------------------------------

TEST(ExamComplete, EndsWhenEveryQuestionWasAnsweredRightOnce) {
    ExamRig rig(numberedBook(4));
    startCompleteRun(rig.run, rig.env);
    EXPECT_EQ(rig.run.remaining, 4);
    int wrongs = 0;
    while (rig.run.active()) {
        if (wrongs < 3 && rig.run.current % 2 == 0) {
            ++wrongs;
            rig.answerWrong();
        } else {
            rig.answerRight();
        }
    }
    const std::vector<int>& shown = rig.screen.shown;
    EXPECT_EQ(shown.size(), 7u);
    const ResultDialogInput& result = rig.screen.resultDialogs.at(0);
    EXPECT_EQ(result.right, 4);
    EXPECT_EQ(result.wrong, 3);
    // A question answered right never came again.
    for (int q = 0; q < 4; ++q) {
        std::vector<Verdict> verdicts;
        for (int i = 0; i < result.asked; ++i)
            if (result.results[i].question == q) verdicts.push_back(result.results[i].verdict);
        EXPECT_EQ(std::count(verdicts.begin(), verdicts.end(), Verdict::Right), 1);
        EXPECT_EQ(verdicts.back(), Verdict::Right);
    }
}

TEST(ExamComplete, ConfirmModeQuestionsOnlySkippedComeAgainInsteadOfHangingTheRun) {
    ExamRig rig(numberedBook(3));
    rig.settings.answerMode = AnswerConfirm;
    startCompleteRun(rig.run, rig.env);
    for (int i = 0; i < 3; ++i)
        rig.grade(Verdict::Skipped);
    ASSERT_TRUE(rig.run.active());
    std::vector<int> first(rig.screen.shown.begin(), rig.screen.shown.begin() + 3);
    std::sort(first.begin(), first.end());
    EXPECT_EQ(first, (std::vector<int>{0, 1, 2})); // a skipped question is not drawn while others are left
    for (int i = 0; i < 10 && rig.run.active(); ++i)
        rig.grade(Verdict::Right);
    EXPECT_FALSE(rig.run.active());
    EXPECT_EQ(rig.screen.shown.size(), 6u);
    EXPECT_EQ(rig.screen.resultDialogs.at(0).right, 3);
}

// ---- the save after each run ---------------------------------------------------------------------

// Saves as both front ends do after a run, noting what the log held by then.
struct SaveAfterRun : RunEndListener {
    RecordingNotifier notifier;
    std::vector<std::size_t> logEntriesSeen;
    std::vector<BookSaveResult> saves;
    test::CountingLog* log = nullptr;
    void runLogged(ExamRun& run, ExamEnv& env) override {
        logEntriesSeen.push_back(log->entries.size());
        saves.push_back(saveBookAfterRun(run, env, notifier));
    }
};

// The file is edited during the run (a question added before the others, a wrong one deleted): the
// save after the run merges, and the retry asks the remaining wrong question in the merged book.
TEST(ExamSaveAfterRun, MergesAndTheRetryFollowsTheQuestions) {
    test::TestFolder folder;
    const std::string path = folder.write("book.rkf", numberedBook(3));
    ExamRig rig(numberedBook(3));
    SilentNotifier silent;
    ASSERT_TRUE(loadBook(rig.book, path, rig.settings, silent));
    SaveAfterRun saver;
    saver.log = &rig.log;
    rig.env.runEnd = &saver;
    rig.screen.resultChoice = {true, true, false};
    ASSERT_TRUE(startAllRun(rig.run, rig.env));
    rig.answerWrong();
    rig.answerWrong();
    folder.write("book.rkf", "REKALDATA V1.6\r\nQ0,A0,<00\r\nQ1,A1,<00\r\nQ3,A3,<00\r\n");
    rig.answerRight();

    ASSERT_EQ(1u, saver.saves.size());
    EXPECT_EQ((std::vector<std::size_t>{1}), saver.logEntriesSeen);
    EXPECT_EQ(BookSave::Merged, saver.saves[0].outcome);
    EXPECT_EQ("REKALDATA V1.6\r\nQ0,A0,<00\r\nQ1,A1,<00\r\nQ3,A3,L00\r\n", test::readBytes(path));
    // The result shows what the run did; its details only the questions the book still holds.
    EXPECT_EQ(3, rig.screen.resultDialogs[0].asked);
    EXPECT_EQ(2u, rig.screen.resultDialogs[0].results.size());
    ASSERT_TRUE(rig.run.active()); // the retry of Q1 (Q2 is gone)
    EXPECT_EQ(1, rig.run.current);
    EXPECT_EQ(1u, rig.run.results.size());
    rig.answer("A1");
    EXPECT_EQ(2u, saver.saves.size());
    EXPECT_EQ(BookSave::Saved, saver.saves[1].outcome);
    EXPECT_EQ("REKALDATA V1.6\r\nQ0,A0,<00\r\nQ1,A1,L00\r\nQ3,A3,L00\r\n", test::readBytes(path));
}

// ---- retry and fixed lists --------------------------------------------------------------------------

TEST(ExamRetry, ResultDialogRetryAsksTheWrongQuestionsAgainInOrder) {
    ExamRig rig(numberedBook(8));
    rig.screen.resultChoice = {true, true, false};
    rig.settings.set(Retry, false);
    startAllRun(rig.run, rig.env);
    for (int i = 0; i < 8; ++i) {
        if (i == 2 || i == 5 || i == 6)
            rig.answerWrong();
        else
            rig.answerRight();
    }
    ASSERT_TRUE(rig.run.active());
    EXPECT_EQ(rig.run.method, 0x44u);
    EXPECT_TRUE(rig.settings.has(Retry)); // the boxes are stored on OK
    EXPECT_FALSE(rig.settings.has(RetryRandom));
    EXPECT_FALSE(rig.screen.resultDialogs[0].retryChecked);
    rig.screen.resultChoice = {true, false, false};
    rig.answerRight();
    rig.answerWrong();
    rig.answerRight();
    EXPECT_EQ(std::vector<int>(rig.screen.shown.begin() + 8, rig.screen.shown.end()),
              (std::vector<int>{2, 5, 6}));
    ASSERT_EQ(rig.log.entries.size(), 2u);
    EXPECT_EQ(rig.log.entries[1].method, 0x44u);
    EXPECT_EQ(rig.screen.resultDialogs.size(), 2u);
    EXPECT_TRUE(rig.screen.resultDialogs[1].retryEnabled); // a retry run offers a retry again
    EXPECT_FALSE(rig.run.active());
}

TEST(ExamRetry, ShuffledRetryAsksEveryWrongAnswerOnce) {
    ExamRig rig(numberedBook(10));
    rig.screen.resultChoice = {true, true, true};
    startAllRun(rig.run, rig.env);
    for (int i = 0; i < 10; ++i) {
        if (i == 3 || i == 7)
            rig.answerWrong();
        else
            rig.answerRight();
    }
    EXPECT_EQ(rig.run.method, 0x54u);
    EXPECT_EQ(methodName(rig.run.method), "間違えた問題を再出題(ランダム)");
    rig.screen.resultChoice = {false, false, false};
    rig.answerRight();
    rig.answerRight();
    std::vector<int> retried(rig.screen.shown.begin() + 10, rig.screen.shown.end());
    std::sort(retried.begin(), retried.end());
    EXPECT_EQ(retried, (std::vector<int>{3, 7}));
    EXPECT_FALSE(rig.run.active());
}

TEST(ExamRetry, EscapeOrReplacingStartsNothing) {
    ExamRig rig(numberedBook(2));
    rig.screen.resultChoice = {false, true, true};
    rig.settings.set(Retry, false);
    startAllRun(rig.run, rig.env);
    rig.answerWrong();
    rig.answerWrong();
    EXPECT_FALSE(rig.run.active());
    EXPECT_FALSE(rig.settings.has(Retry)); // not stored on Esc

    rig.screen.resultChoice = {true, true, true};
    startAllRun(rig.run, rig.env);
    rig.answerWrong();
    rig.book.setReplacing(true);
    EXPECT_TRUE(endRun(rig.run, rig.env));
    rig.book.setReplacing(false);
    EXPECT_FALSE(rig.screen.resultDialogs.back().retryEnabled);
    EXPECT_FALSE(rig.run.active());
}

TEST(ExamRetry, EndingARunThatTurnsIntoARetryStopsTheNewStart) {
    ExamRig rig(numberedBook(3));
    rig.screen.resultChoice = {true, true, false};
    startAllRun(rig.run, rig.env);
    rig.answerWrong();
    EXPECT_FALSE(startCompleteRun(rig.run, rig.env));
    EXPECT_EQ(rig.run.method, 0x44u);
    EXPECT_EQ(rig.screen.shown.back(), 0);
}

TEST(ExamFixedList, ReexamSkipsQuestionsTheBookNoLongerHas) {
    ExamRig rig(numberedBook(4));
    EXPECT_FALSE(startFixedListRun(rig.run, rig.env, {}, KindReexamAll, false));
    ASSERT_TRUE(startFixedListRun(rig.run, rig.env, {3, 9, 0}, KindReexamAll, false));
    EXPECT_EQ(rig.run.method, 0x45u);
    rig.answerRight();
    rig.answerRight();
    EXPECT_FALSE(rig.run.active());
    EXPECT_EQ(rig.screen.shown, (std::vector<int>{3, 0}));
    EXPECT_EQ(rig.screen.resultDialogs.at(0).asked, 2);
}

TEST(ExamFixedList, StartingAReexamEndsTheRunningExamFirst) {
    ExamRig rig(numberedBook(4));
    startAllRun(rig.run, rig.env);
    rig.answerRight();
    ASSERT_TRUE(startFixedListRun(rig.run, rig.env, {2, 1}, KindReexamSelected, true));
    EXPECT_EQ(rig.log.entries.size(), 1u);
    EXPECT_EQ(rig.run.method, 0x56u);
    EXPECT_EQ(rig.run.asked, 0);
}

TEST(ExamRun, AutomaticClickGrades) {
    EXPECT_EQ(autoClickVerdict(0), Verdict::Right);
    EXPECT_EQ(autoClickVerdict(1), Verdict::Wrong);
    EXPECT_EQ(autoClickVerdict(2), Verdict::Skipped);
    EXPECT_EQ(autoClickVerdict(3), Verdict::None);
}

TEST(ExamRun, AutomaticClickWaitsAfterAWrongAnswerOnlyWhenAsked) {
    Settings s;
    s.ansDlgAutoClickTime = 5;
    const AnswerDialogInput right{nullptr, 0, false, true};
    const AnswerDialogInput wrong{nullptr, 0, false, false};
    const AnswerDialogInput confirm{nullptr, 0, true, false};
    EXPECT_EQ(autoClickSeconds(s, wrong), 5);
    s.set(AnsDlgNoClickWrong, true);
    EXPECT_EQ(autoClickSeconds(s, wrong), 0);
    EXPECT_EQ(autoClickSeconds(s, right), 5);
    EXPECT_EQ(autoClickSeconds(s, confirm), 5); // no verdict yet: the click grades
    s.ansDlgAutoClickTime = 0;
    EXPECT_EQ(autoClickSeconds(s, right), 0);
}

} // namespace
} // namespace rekal
