#pragma once
// An exam run: the order of events from the start through each question cycle (show, timers,
// answer, verdict) to the end with its log record, result dialog and retry. Everything the windows
// must do is asked of an ExamScreen, so a run is driven the same way by the exam view, the terminal
// and the tests.

#include "core/base/notifier.h"
#include "core/data/book.h"
#include "core/data/merge.h"
#include "core/exam/choices.h"
#include "core/exam/clock.h"
#include "core/exam/method.h"
#include "core/exam/random.h"
#include "core/exam/selection.h"
#include "core/settings/settings.h"
#include "core/settings/vague.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// The fields of the status bar the run writes (field 0 belongs to the shell).
enum class StatusField { Question = 1, Right = 2, Wrong = 3, Elapsed = 4 };

// The fonts of the six stored text classes in effect for a question (the information-pane font is
// the settings').
using QuestionFonts = std::array<FontSpec, FontClassCount>;

// What the answer dialog shows as it opens.
struct AnswerDialogInput {
    const QuestionCard* question = nullptr;
    int questionIndex = 0;
    bool confirmMode = false; // no verdict yet: the user grades himself
    bool right = false;       // the verdict of a judged answer
};

// What the result dialog shows and how its two boxes start.
struct ResultDialogInput {
    int asked = 0;
    int right = 0;
    int wrong = 0;
    std::uint32_t elapsedMs = 0;
    // The finished entries in asking order: not the unanswered entry of an aborted question, nor
    // the unasked tail of a fixed list. A copy, so it stays valid after the run has moved on.
    std::vector<ExamResult> results;
    bool retryEnabled = false; // off while another file is loaded or the view closes, or with no wrong answer
    bool retryChecked = false;
    bool randomChecked = false;
};

struct ResultDialogChoice {
    bool ok = false; // "OK"; false for Esc or the close box
    bool retry = false;
    bool random = false;
};

// What the exam view, its dialogs, the status bar, the information pane and the sound effects do
// for a run. Calls without a body do nothing by default.
class ExamScreen : public BusyIndicator {
  public:
    // The idle information panel of the view.
    virtual void closeIdlePanel() {}
    virtual void showIdlePanel() {}
    // The question area, the group and history fields (when wanted) and the 答え and 中止 buttons.
    virtual void showRunFields(bool groupFields) {}
    // Hides the title, question, group and history fields, the edit and both buttons, clearing the
    // question sentence and the edit.
    virtual void hideRunFields() {}
    // The answer-mode commands and the range command.
    virtual void enableSetupCommands(bool enabled) {}
    virtual void enableHintCommand(bool enabled) {}
    virtual void setStatusText(StatusField field, std::string_view text) {}
    virtual void startRunTimer() {}
    virtual void stopRunTimer() {}
    virtual void closeHintWindow() {}

    virtual void clearAnswerEdit() {}
    virtual std::string answerEditText() = 0;
    virtual void showAnswerEdit(bool visible) {}
    // Removes the previous question's choice buttons and per-question fonts.
    virtual void removeQuestionControls() {}
    virtual void createChoiceButtons(const std::vector<Choice>& choices, bool hidden) {}
    virtual void showChoiceButtons() {}
    virtual void applyQuestionFonts(const QuestionFonts& fonts) {}
    // Question text, title, history and group of the question.
    virtual void showQuestion(const QuestionCard& q, int index) {}
    // The question text disappears (its show time is over); the other fields stay.
    virtual void clearQuestionText() {}
    virtual void layout() {}
    // Focus on 答え, then on the input.
    virtual void focusAnswerInput() {}
    // After a declined abort: focus on 答え (choices or confirm mode) or on the edit.
    virtual void focusAfterAbortDeclined(bool onAnswerButton) {}
    // Posts the 答え command to the view; it arrives later as onAnswerCommand.
    virtual void postAnswerCommand() {}
    // False while a modal dialog is open.
    virtual bool mainWindowEnabled() { return true; }
    virtual void freezeInfoPane(bool frozen) {}

    // The answer dialog, modal. In confirm mode the grade the user gave (Esc gives Wrong); None when
    // the dialog could not be set up. Other modes: the value is not used.
    virtual Verdict runAnswerDialog(const AnswerDialogInput& input) = 0;
    // "中止しますか？"; true = Yes.
    virtual bool confirmAbort() = 0;
    virtual ResultDialogChoice runResultDialog(const ResultDialogInput& input) = 0;
    // A sound effect file, played asynchronously; a file that cannot be played is skipped.
    virtual void playSound(std::string_view file) {}

    void beginBusy(std::string_view statusText) override {}
    void endBusy() override {}
};

// Appends a finished (or aborted) run to the exam log.
class ExamRun;
class ExamLogSink {
  public:
    virtual ~ExamLogSink() = default;
    virtual void appendRun(const ExamRun& run) = 0;
};

// Told when a run has finished and its record is logged (when the settings keep the log), before
// the result dialog opens; not while the run is ended because another file is loaded or the exam
// view closes (the book is saved after that anyway).
struct ExamEnv;
class RunEndListener {
  public:
    virtual ~RunEndListener() = default;
    virtual void runLogged(ExamRun& run, ExamEnv& env) = 0;
};

// Everything a run works with.
struct ExamEnv {
    QuestionBook& book;
    Settings& settings;
    const VagueTable& vague;
    RandomGenerator& random;
    ExamClock& clock;
    ExamScreen& screen;
    ExamLogSink* log = nullptr;
    RunEndListener* runEnd = nullptr;
};

class ExamRun : public ExamSelection {
  public:
    int right = 0;
    int wrong = 0;
    int timeLimit = 0;       // seconds; 0 = none or fired
    int showTime = 0;        // seconds; 0 = always shown or already hidden
    int answerStartTime = 0; // seconds; 0 = input at once or already shown
    int choiceCount = 0;
    int selectedChoice = 0; // control identifier of the selected choice (1071 + k), 0 = none
    std::vector<Choice> choices;
    std::uint32_t startTick = 0;
    std::uint32_t elapsedMs = 0;   // the run's total time, taken at its end
    bool questionOnScreen = false; // a question is shown and has no verdict yet
    bool answering = false;        // the answer dialog is open
    // Counted up by every prepared run and every question shown. A screen call may dispatch
    // messages (releasing media, a dialog's loop), and a command handled there may answer the
    // question, end the run or start another; the caller compares these to tell.
    std::uint32_t runSerial = 0;
    std::uint32_t questionSerial = 0;

    bool active() const { return method != 0; }
};

// ---- the run ----

// Start of every run: ends the running exam first (unless keepList: a fixed list prepared by the
// caller). False when ending it started a retry run instead; the caller then does not go on.
bool prepareRun(ExamRun& run, ExamEnv& env, bool keepList = false);
// Shows the next question, or ends the run when there is none (false). A run that is not active
// (ended while a dialog was open) is left alone.
bool showNextQuestion(ExamRun& run, ExamEnv& env);
// Every 200 ms while a run is active.
void onRunTick(ExamRun& run, ExamEnv& env);
// 答え, Enter in the edit, or the time limit.
void onAnswerCommand(ExamRun& run, ExamEnv& env);
// 中止 or Esc; ignored while the answer dialog is open.
void onAbortCommand(ExamRun& run, ExamEnv& env);
// The question is on screen and its answer input waits for the answer start time (never in
// confirm mode, which has no input): a key meant for the input must not answer yet.
bool inputPending(const ExamRun& run, const Settings& settings);
// Takes the answer and its time; except in confirm mode judges and records it. True = right.
bool judgeAnswer(ExamRun& run, ExamEnv& env);
void recordVerdict(ExamRun& run, ExamEnv& env, Verdict verdict, bool withSound);
// True when the run ended; false when a retry run was started instead.
bool endRun(ExamRun& run, ExamEnv& env);

// The save after a finished run, so that an abnormal end loses at most the run in progress: the
// book is saved as saveBookMerging does, and when it was merged with a file written elsewhere the
// run's question indices follow the merged book (remapRunQuestions). A front end calls it from its
// RunEndListener and acts on the outcome (FileLost: offer Save As).
BookSaveResult saveBookAfterRun(ExamRun& run, ExamEnv& env, Notifier& notifier, SaveHooks* hooks = nullptr);

// ---- start commands ----

bool startAllRun(ExamRun& run, ExamEnv& env);
bool startRandomAllRun(ExamRun& run, ExamEnv& env);
bool startRandomCountRun(ExamRun& run, ExamEnv& env, int count, bool noRepeat);
bool startOneQuestionRun(ExamRun& run, ExamEnv& env);
bool startWeakPointRun(ExamRun& run, ExamEnv& env, int count, bool noRepeat);
bool startCompleteRun(ExamRun& run, ExamEnv& env);
// Retry and re-exam: the questions in this order, of kind 4, 5 or 6, shuffled when asked. False
// when the list is empty (the caller tells "出題する問題はありません。") or nothing started.
bool startFixedListRun(ExamRun& run, ExamEnv& env, const std::vector<int>& questions, ExamKind kind,
                       bool shuffle);

// ---- effective values of a question ----

// The file's value (time limit, show time or answer start time) when the file's question settings
// are used and one is in effect for q, else the settings'.
int effectiveSeconds(const QuestionBook& book, const Settings& settings, const QuestionCard& q,
                     CardKind kind);
CompareOptions effectiveCompareOptions(const QuestionBook& book, const Settings& settings,
                                       const QuestionCard& q);
QuestionFonts effectiveFonts(const QuestionBook& book, const Settings& settings, const QuestionCard& q);

// The result dialog's boxes as it opens.
ResultDialogInput resultDialogInput(const ExamRun& run, const QuestionBook& book, const Settings& settings);
// The result dialog closed: method 0, or a retry list (0x44, shuffled 0x54); the boxes are stored
// into the settings on OK.
void applyResultChoice(ExamRun& run, ExamEnv& env, const ResultDialogChoice& choice);

// The grade the answer dialog's automatic click gives in confirm mode (AnsDlgClickButtonType 0
// right, 1 wrong, 2 skipped; anything else clicks nothing).
Verdict autoClickVerdict(int clickButtonType);

// Seconds until the answer dialog clicks by itself (AnsDlgAutoClickTime); 0 = never. With
// AnsDlgNoClickWrong the dialog of a wrong answer waits for the user; a confirm-mode dialog has no
// verdict yet, so it always clicks.
int autoClickSeconds(const Settings& settings, const AnswerDialogInput& input);

// "中止しますか？"
inline constexpr const char* kAbortQuestion = "中止しますか？";
// Asked before a start command ends the running exam.
inline constexpr const char* kRestartQuestion = "出題中の問題を中止して新しく始めますか？";

} // namespace rekal
