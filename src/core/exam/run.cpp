#include "core/exam/run.h"

#include "core/match/answer.h"
#include "core/match/format.h"

#include <algorithm>
#include <cstdio>

namespace rekal {

namespace {

std::string numberedText(const char* format, int value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

void showCounts(const ExamRun& run, ExamEnv& env) {
    env.screen.setStatusText(StatusField::Right, numberedText("\t\t正解%d", run.right));
    env.screen.setStatusText(StatusField::Wrong, numberedText("\t\t誤答%d", run.wrong));
}

void showElapsed(ExamEnv& env, std::uint32_t ms) {
    env.screen.setStatusText(StatusField::Elapsed, "\t\t" + formatDuration(ms));
}

void playIfOn(ExamEnv& env, const std::string& file) {
    if (env.settings.has(Sound)) env.screen.playSound(file);
}

bool isConfirmMode(const ExamEnv& env) {
    return env.settings.answerMode == AnswerConfirm;
}

ExamResult* currentEntry(ExamRun& run) {
    if (run.asked < 0 || static_cast<std::size_t>(run.asked) >= run.results.size()) return nullptr;
    return &run.results[static_cast<std::size_t>(run.asked)];
}

// The answer as given: the selected choice's full text, or the edit's text; line feeds removed.
std::string givenAnswer(ExamRun& run, ExamEnv& env) {
    std::string answer;
    if (run.choiceCount > 0) {
        const int k = run.selectedChoice - kFirstChoiceId;
        if (run.selectedChoice != 0 && k >= 0 && k < static_cast<int>(run.choices.size()))
            answer = run.choices[static_cast<std::size_t>(k)].text;
    } else {
        answer = env.screen.answerEditText();
    }
    answer.erase(std::remove(answer.begin(), answer.end(), kLineBreak), answer.end());
    return answer;
}

void clearQuestionControls(ExamRun& run, ExamEnv& env) {
    env.screen.removeQuestionControls();
    run.choices.clear();
    run.choiceCount = 0;
    run.selectedChoice = 0;
}

} // namespace

// ---- effective values ----

int effectiveSeconds(const QuestionBook& book, const Settings& settings, const QuestionCard& q,
                     CardKind kind) {
    if ((settings.useData & UseQuestionSettings) != 0) {
        const int value = book.valueInEffect(&q, kind);
        if (value >= 0) return value;
    }
    switch (kind) {
    case CardKind::TimeLimit:
        return settings.timeLimit;
    case CardKind::QuestionShowTime:
        return settings.questionShowTime;
    default:
        return settings.answerStartTime;
    }
}

CompareOptions effectiveCompareOptions(const QuestionBook& book, const Settings& settings,
                                       const QuestionCard& q) {
    if ((settings.useData & UseCompareOptions) != 0) return book.compareOptionsFor(&q);
    return settings.compareMode;
}

QuestionFonts effectiveFonts(const QuestionBook& book, const Settings& settings, const QuestionCard& q) {
    QuestionFonts fonts = settings.fonts;
    if ((settings.useData & UseFonts) == 0) return fonts;
    for (int c = 0; c < kStoredFontCount; ++c) {
        const FontCard* card = book.fontInEffect(&q, static_cast<FontClass>(c));
        if (card)
            fonts[static_cast<std::size_t>(c)] =
                applyFontCard(settings.fonts[static_cast<std::size_t>(c)], card);
    }
    return fonts;
}

// ---- the run ----

bool prepareRun(ExamRun& run, ExamEnv& env, bool keepList) {
    if (!keepList) {
        if (!endRun(run, env)) return false;
        run.results.assign(1, ExamResult{});
    }
    run.askedSet.invalidate();
    env.screen.closeIdlePanel();
    run.asked = 0;
    run.wrong = 0;
    run.right = 0;
    run.questionOnScreen = false;
    run.answering = false;
    ++run.runSerial;
    env.screen.showRunFields(env.settings.has(Group));
    env.screen.enableSetupCommands(false);
    showCounts(run, env);
    showElapsed(env, 0);
    run.startTick = env.clock.tickCount();
    run.elapsedMs = 0;
    env.screen.startRunTimer();
    run.choiceCount = 0;
    return true;
}

bool showNextQuestion(ExamRun& run, ExamEnv& env) {
    if (!run.active()) return false;
    env.screen.closeHintWindow();
    run.questionOnScreen = false;
    const int pick = pickNext(run, env.book, env.random, env.settings.weakPointStrength, &env.screen);
    if (pick == kNoQuestion) {
        endRun(run, env);
        return false;
    }
    const QuestionCard& q = *env.book.questionAt(pick);

    env.screen.clearAnswerEdit();
    clearQuestionControls(run, env);
    playIfOn(env, env.settings.sndExam);
    run.answerStartTime = effectiveSeconds(env.book, env.settings, q, CardKind::AnswerStartTime);
    if (!isConfirmMode(env)) {
        const ChoiceJudging judging{effectiveCompareOptions(env.book, env.settings, q), &env.vague};
        if (buildChoices(run.choices, env.book, env.settings, env.random, q, env.settings.answerMode,
                         judging)) {
            run.choiceCount = static_cast<int>(run.choices.size());
            env.screen.createChoiceButtons(run.choices, run.answerStartTime != 0);
        }
        env.screen.showAnswerEdit(run.choiceCount == 0 && run.answerStartTime == 0);
    }
    env.screen.applyQuestionFonts(effectiveFonts(env.book, env.settings, q));
    env.screen.showQuestion(q, pick);
    env.screen.enableHintCommand(env.book.hintCount(&q) > 0);
    env.screen.setStatusText(StatusField::Question, numberedText("\t\t問題%d", pick + 1));
    env.screen.layout();

    if (!hasFlag(run.method, MethodFixedList)) run.results.resize(static_cast<std::size_t>(run.asked) + 1);
    ExamResult* entry = currentEntry(run);
    if (!entry) {
        endRun(run, env);
        return false;
    }
    entry->time = env.clock.tickCount();
    entry->question = pick;
    entry->verdict = Verdict::None;
    run.timeLimit = effectiveSeconds(env.book, env.settings, q, CardKind::TimeLimit);
    run.showTime = effectiveSeconds(env.book, env.settings, q, CardKind::QuestionShowTime);
    run.questionOnScreen = true;
    ++run.questionSerial;
    env.screen.focusAnswerInput();
    return true;
}

void onRunTick(ExamRun& run, ExamEnv& env) {
    if (!run.active()) return;
    const std::uint32_t now = env.clock.tickCount();
    showElapsed(env, now - run.startTick);
    // While the answer dialog is open the entry holds the question's time taken, not the tick it
    // was shown at.
    const ExamResult* entry = currentEntry(run);
    if (!run.questionOnScreen || run.answering || !entry) return;
    const long long spent = static_cast<std::uint32_t>(now - entry->time);
    // Each step turns its timer off before it calls the screen; when the call dispatched a command
    // that answered the question (or ended the run), the rest is not this question's.
    const std::uint32_t question = run.questionSerial;
    const auto sameQuestion = [&] {
        return run.active() && run.questionOnScreen && !run.answering && run.questionSerial == question;
    };
    if (run.answerStartTime > 0 && !isConfirmMode(env) && run.answerStartTime * 1000LL < spent) {
        run.answerStartTime = 0;
        if (run.choiceCount > 0)
            env.screen.showChoiceButtons();
        else
            env.screen.showAnswerEdit(true);
        if (!sameQuestion()) return;
    }
    if (run.showTime > 0 && run.showTime * 1000LL < spent) {
        run.showTime = 0;
        env.screen.clearQuestionText();
        if (!sameQuestion()) return;
    }
    if (run.timeLimit > 0 && env.screen.mainWindowEnabled() && run.timeLimit * 1000LL < spent) {
        run.timeLimit = 0;
        env.screen.postAnswerCommand();
    }
}

bool judgeAnswer(ExamRun& run, ExamEnv& env) {
    std::string answer;
    if (!isConfirmMode(env)) answer = givenAnswer(run, env);
    ExamResult* entry = currentEntry(run);
    if (!entry) return false;
    entry->question = run.current;
    entry->time = env.clock.tickCount() - entry->time;
    if (isConfirmMode(env)) return false;
    const QuestionCard* q = env.book.questionAt(run.current);
    const bool right =
        q && isAnswerRight(q, answer, effectiveCompareOptions(env.book, env.settings, *q), env.vague);
    recordVerdict(run, env, right ? Verdict::Right : Verdict::Wrong, env.settings.has(Sound));
    return right;
}

void recordVerdict(ExamRun& run, ExamEnv& env, Verdict verdict, bool withSound) {
    ExamResult* entry = currentEntry(run);
    if (!entry || !run.questionOnScreen) return;
    if (verdict == Verdict::Right || verdict == Verdict::Wrong) {
        env.book.recordResult(env.book.questionAt(run.current), verdict);
        if (verdict == Verdict::Right) {
            ++run.right;
            if (methodKind(run.method) == KindComplete) --run.remaining;
            if (withSound) env.screen.playSound(env.settings.sndTrue);
        } else {
            ++run.wrong;
            if (withSound) env.screen.playSound(env.settings.sndFalse);
        }
        showCounts(run, env);
    }
    entry->verdict = verdict;
    run.askedSet.note(env.book, run.range, entry->question, verdict);
    ++run.asked;
    run.questionOnScreen = false;
}

void onAnswerCommand(ExamRun& run, ExamEnv& env) {
    // A time-limit command that arrives while the answer dialog is open, or after the verdict, is
    // stale: the question it was posted for has been answered.
    if (!run.active() || !run.questionOnScreen || run.answering) return;
    env.screen.freezeInfoPane(true);
    run.timeLimit = 0;
    run.answering = true;
    const std::uint32_t serial = run.runSerial;
    AnswerDialogInput input;
    input.questionIndex = run.current;
    input.question = env.book.questionAt(run.current);
    input.confirmMode = isConfirmMode(env);
    input.right = judgeAnswer(run, env);
    const Verdict grade = env.screen.runAnswerDialog(input);
    // The run ended (or another started) while the dialog's loop ran: the grade and the next
    // question are no longer this run's.
    if (run.runSerial != serial) return;
    run.answering = false;
    if (!run.active()) return;
    if (input.confirmMode && grade != Verdict::None) recordVerdict(run, env, grade, false);
    env.screen.freezeInfoPane(false);
    // The run may have ended while the dialog was open (the Windows session ended): nothing follows.
    if (run.active()) showNextQuestion(run, env);
}

void onAbortCommand(ExamRun& run, ExamEnv& env) {
    if (!run.active() || run.answering) return;
    if (env.screen.confirmAbort()) {
        endRun(run, env);
        return;
    }
    env.screen.focusAfterAbortDeclined(run.choiceCount > 0 || isConfirmMode(env));
}

ResultDialogInput resultDialogInput(const ExamRun& run, const QuestionBook& book, const Settings& settings) {
    ResultDialogInput input;
    input.asked = run.asked;
    input.right = run.right;
    input.wrong = run.wrong;
    input.elapsedMs = run.elapsedMs;
    const std::size_t finished =
        std::min(run.results.size(), static_cast<std::size_t>(std::max(run.asked, 0)));
    input.results.assign(run.results.begin(), run.results.begin() + static_cast<std::ptrdiff_t>(finished));
    input.retryEnabled = !book.isReplacing() && run.wrong > 0;
    input.retryChecked = input.retryEnabled && settings.has(Retry);
    input.randomChecked = input.retryChecked && settings.has(RetryRandom);
    return input;
}

void applyResultChoice(ExamRun& run, ExamEnv& env, const ResultDialogChoice& choice) {
    run.method = 0;
    if (!choice.ok || env.book.isReplacing() || run.wrong <= 0) return;
    env.settings.set(Retry, choice.retry);
    env.settings.set(RetryRandom, choice.random);
    if (!choice.retry) return;
    buildRetryList(run);
    if (choice.random) shuffleFixedList(run, env.random);
}

bool endRun(ExamRun& run, ExamEnv& env) {
    env.screen.freezeInfoPane(true);
    run.elapsedMs = env.clock.tickCount() - run.startTick;
    if (env.settings.has(SaveExamLog) && run.method != 0 && env.log) env.log->appendRun(run);
    if (run.method != 0 && env.runEnd && !env.book.isReplacing()) env.runEnd->runLogged(run, env);
    env.screen.stopRunTimer();
    env.screen.enableHintCommand(false);
    run.method = 0;
    run.questionOnScreen = false;
    if (run.asked > 0) {
        playIfOn(env, env.settings.sndResult);
        const ResultDialogChoice choice =
            env.screen.runResultDialog(resultDialogInput(run, env.book, env.settings));
        applyResultChoice(run, env, choice);
        run.asked = 0;
        run.wrong = 0;
        run.right = 0;
    }
    env.screen.freezeInfoPane(false);
    env.screen.closeHintWindow();
    clearQuestionControls(run, env);
    env.screen.hideRunFields();
    if (methodKind(run.method) == KindRetryWrong) {
        if (prepareRun(run, env, true)) showNextQuestion(run, env);
        return false;
    }
    run.results.clear();
    run.askedSet.invalidate();
    env.screen.setStatusText(StatusField::Question, "");
    env.screen.setStatusText(StatusField::Right, "");
    env.screen.setStatusText(StatusField::Wrong, "");
    env.screen.setStatusText(StatusField::Elapsed, "");
    env.screen.enableSetupCommands(true);
    env.screen.showIdlePanel();
    env.screen.layout();
    return true;
}

BookSaveResult saveBookAfterRun(ExamRun& run, ExamEnv& env, Notifier& notifier, SaveHooks* hooks) {
    BookSaveResult result = saveBookMerging(env.book, env.settings, notifier, hooks);
    if (result.merged) remapRunQuestions(run, env.book, result.questionMap);
    return result;
}

// ---- start commands ----

namespace {

// prepareRun, then the set-up of the method, then the first question.
template <class SetUp> bool startRun(ExamRun& run, ExamEnv& env, ExamMethod method, SetUp setUp) {
    if (!prepareRun(run, env)) return false;
    run.range = examRangeOf(env.book);
    setUp();
    run.method = method;
    showNextQuestion(run, env);
    return true;
}

} // namespace

bool startAllRun(ExamRun& run, ExamEnv& env) {
    return startRun(run, env, kMethodAll, [&] { run.current = run.range.first - 1; });
}

bool startRandomAllRun(ExamRun& run, ExamEnv& env) {
    return startRun(run, env, kMethodRandomAll, [&] { run.remaining = countEligible(env.book, run.range); });
}

bool startRandomCountRun(ExamRun& run, ExamEnv& env, int count, bool noRepeat) {
    return startRun(run, env, noRepeat ? kMethodRandomCountNoRepeat : kMethodRandomCount,
                    [&] { run.remaining = count; });
}

bool startOneQuestionRun(ExamRun& run, ExamEnv& env) {
    return startRun(run, env, kMethodRandomCount, [&] { run.remaining = 1; });
}

bool startWeakPointRun(ExamRun& run, ExamEnv& env, int count, bool noRepeat) {
    return startRun(run, env, noRepeat ? kMethodWeakNoRepeat : kMethodWeak, [&] { run.remaining = count; });
}

bool startCompleteRun(ExamRun& run, ExamEnv& env) {
    return startRun(run, env, kMethodComplete, [&] { run.remaining = countEligible(env.book, run.range); });
}

bool startFixedListRun(ExamRun& run, ExamEnv& env, const std::vector<int>& questions, ExamKind kind,
                       bool shuffle) {
    if (questions.empty()) return false;
    if (run.active() && !endRun(run, env)) return false;
    run.range = examRangeOf(env.book);
    setFixedList(run, questions, kind);
    if (shuffle) shuffleFixedList(run, env.random);
    if (!prepareRun(run, env, true)) return false;
    showNextQuestion(run, env);
    return true;
}

Verdict autoClickVerdict(int clickButtonType) {
    switch (clickButtonType) {
    case 0:
        return Verdict::Right;
    case 1:
        return Verdict::Wrong;
    case 2:
        return Verdict::Skipped;
    default:
        return Verdict::None;
    }
}

bool inputPending(const ExamRun& run, const Settings& settings) {
    return run.active() && run.questionOnScreen && run.answerStartTime > 0 &&
           settings.answerMode != AnswerConfirm;
}

int autoClickSeconds(const Settings& settings, const AnswerDialogInput& input) {
    if (settings.ansDlgAutoClickTime <= 0) return 0;
    if (!input.confirmMode && !input.right && settings.has(AnsDlgNoClickWrong)) return 0;
    return settings.ansDlgAutoClickTime;
}

} // namespace rekal
