#pragma once
// Helpers of the exam tests: books from literal file texts, a clock the test moves by hand, and a
// screen that records what the run asks of it and answers its dialogs from a script.

#include "core/base/notifier.h"
#include "core/data/book.h"
#include "core/data/reader.h"
#include "core/exam/run.h"
#include "core/settings/settings.h"
#include "core/settings/vague.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace rekal::test {

inline Settings testSettings() {
    Settings settings = defaultSettings(SettingsInputs{});
    settings.set(SaveExamLog, true);
    return settings;
}

// Loads a question file given as its text (CP932 literals); fails the test when it does not load.
inline void loadText(QuestionBook& book, std::string_view text, const Settings& settings = testSettings()) {
    RecordingNotifier notifier;
    const bool ok = loadBookFromBytes(book, "C:\\drill\\test.rkf", std::string(text), settings, notifier);
    ASSERT_TRUE(ok) << "book did not load";
}

// A version 1.6 file of n questions "Qi" with answer "Ai" (i from 1), groups by groupOf(i - 1).
inline std::string numberedBook(int n, const std::function<int(int)>& groupOf = nullptr,
                                const std::function<int(int)>& historyOf = nullptr) {
    std::string text = "REKALDATA V1.6\r\n";
    for (int i = 0; i < n; ++i) {
        const int group = groupOf ? groupOf(i) : 0;
        const int history = historyOf ? historyOf(i) : 0;
        text += "Q" + std::to_string(i + 1) + ",A" + std::to_string(i + 1) + ",";
        text += static_cast<char>(0x3C + history);
        text += static_cast<char>('0' + group);
        text += "0\r\n";
    }
    return text;
}

class FakeClock : public ExamClock {
  public:
    std::uint32_t tick = 1'000'000;
    LocalTime now{2024, 5, 17, 5, 12, 30, 0, 0}; // a Friday

    std::uint32_t tickCount() override { return tick; }
    LocalTime localTime() override { return now; }
    void advance(std::uint32_t ms) { tick += ms; }
};

class FakeScreen : public ExamScreen {
  public:
    // What the user does.
    std::string edit;
    std::deque<Verdict> grades; // answer dialog grades in confirm mode (None when empty)
    ResultDialogChoice resultChoice{true, false, false};
    bool abortAnswer = true;
    std::function<void()> duringAnswerDialog;  // runs while the answer dialog is "open"
    std::function<void()> duringClearQuestion; // runs while the question's media are released

    // What the run did.
    std::vector<std::string> events;
    std::vector<int> shown; // question indices in the order shown
    std::vector<AnswerDialogInput> answerDialogs;
    std::vector<ResultDialogInput> resultDialogs;
    std::vector<std::string> sounds;
    std::vector<std::vector<Choice>> choiceSets;
    std::map<StatusField, std::string> status;
    QuestionFonts fonts{};
    int posts = 0;
    bool editVisible = false;
    bool choicesVisible = false;
    bool timerRunning = false;
    bool idlePanel = true;
    bool setupCommandsEnabled = true;
    bool hintCommandEnabled = false;
    bool questionTextShown = false;
    bool mainEnabled = true;

    void closeIdlePanel() override { idlePanel = false; }
    void showIdlePanel() override { idlePanel = true; }
    void hideRunFields() override {
        editVisible = choicesVisible = questionTextShown = false;
        edit.clear();
    }
    void enableSetupCommands(bool enabled) override { setupCommandsEnabled = enabled; }
    void enableHintCommand(bool enabled) override { hintCommandEnabled = enabled; }
    void setStatusText(StatusField field, std::string_view text) override {
        status[field] = std::string(text);
    }
    void startRunTimer() override { timerRunning = true; }
    void stopRunTimer() override { timerRunning = false; }
    void clearAnswerEdit() override { edit.clear(); }
    std::string answerEditText() override { return edit; }
    void showAnswerEdit(bool visible) override {
        editVisible = visible;
        events.push_back(visible ? "edit shown" : "edit hidden");
    }
    void removeQuestionControls() override { choicesVisible = false; }
    void createChoiceButtons(const std::vector<Choice>& choices, bool hidden) override {
        choiceSets.push_back(choices);
        choicesVisible = !hidden;
    }
    void showChoiceButtons() override {
        choicesVisible = true;
        events.push_back("choices shown");
    }
    void applyQuestionFonts(const QuestionFonts& f) override { fonts = f; }
    void showQuestion(const QuestionCard&, int index) override {
        shown.push_back(index);
        questionTextShown = true;
    }
    void clearQuestionText() override {
        questionTextShown = false;
        events.push_back("question hidden");
        if (duringClearQuestion) duringClearQuestion();
    }
    void postAnswerCommand() override { ++posts; }
    bool mainWindowEnabled() override { return mainEnabled; }
    void focusAfterAbortDeclined(bool onAnswerButton) override {
        events.push_back(onAnswerButton ? "focus answer button" : "focus edit");
    }
    void beginBusy(std::string_view text) override { events.push_back("busy " + std::string(text)); }

    Verdict runAnswerDialog(const AnswerDialogInput& input) override {
        answerDialogs.push_back(input);
        if (duringAnswerDialog) duringAnswerDialog();
        if (grades.empty()) return Verdict::None;
        const Verdict v = grades.front();
        grades.pop_front();
        return v;
    }
    bool confirmAbort() override { return abortAnswer; }
    ResultDialogChoice runResultDialog(const ResultDialogInput& input) override {
        resultDialogs.push_back(input);
        return resultChoice;
    }
    void playSound(std::string_view file) override { sounds.emplace_back(file); }
};

class CountingLog : public ExamLogSink {
  public:
    struct Entry {
        ExamMethod method;
        int asked, right, wrong;
        std::uint32_t elapsedMs;
    };
    std::vector<Entry> entries;
    void appendRun(const ExamRun& run) override {
        entries.push_back({run.method, run.asked, run.right, run.wrong, run.elapsedMs});
    }
};

// A book, settings, generator, clock and screen wired to one run.
struct ExamRig {
    QuestionBook book;
    Settings settings = testSettings();
    VagueTable vague = defaultVagueTable();
    RandomGenerator random{12345};
    FakeClock clock;
    FakeScreen screen;
    CountingLog log;
    ExamRun run;
    ExamEnv env{book, settings, vague, random, clock, screen, &log};

    explicit ExamRig(std::string_view file) { loadText(book, file, settings); }

    // Types an answer and presses 答え.
    void answer(std::string text) {
        screen.edit = std::move(text);
        onAnswerCommand(run, env);
    }
    // Answers the question on screen right ("A<n>") or wrong.
    void answerRight() { answer("A" + std::to_string(run.current + 1)); }
    void answerWrong() { answer("nope"); }
    void grade(Verdict v) {
        screen.grades.push_back(v);
        onAnswerCommand(run, env);
    }
    // Ticks every 200 ms for ms milliseconds.
    void tickFor(std::uint32_t ms) {
        for (std::uint32_t t = 0; t < ms; t += 200) {
            clock.advance(200);
            onRunTick(run, env);
        }
    }
};

} // namespace rekal::test
