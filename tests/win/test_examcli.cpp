// One engine, two front ends: the same answers given to the window (by keys) and to rekal-cli drill
// with the same seed and the same settings file give the same saved file and the same exam-log
// record, time stamps and times aside. In each answer mode that takes an answer.

#include "clidrill.h"

#include <string>

namespace {

using namespace examtest;
using clidrill::runCliDrill;

// The one record of a log, reduced.
std::vector<std::string> recordWithoutTimes(const rekal::ExamLog& log) {
    if (log.entries.size() != 1) return {};
    return clidrill::recordWithoutTimes(log, log.entries[0]);
}

struct Plan {
    const wchar_t* name;
    int modeCommand;
    const wchar_t* cliMode;
    std::vector<AnswerScript::Key> dialogKeys;
    // Answers question k of the run in the window; gives the same answer as a line for rekal-cli.
    std::function<std::wstring(int)> answerInWindow;
};

void compareFrontEnds(const Plan& plan) {
    const int seed = 4711;
    Exam exam(plan.name);
    const std::string original = readBytes(exam.book);
    setMode(plan.modeCommand);
    app().random.seed(seed);
    std::string cliInput;
    {
        DialogWatcher results = closingResults();
        AnswerScript script(plan.dialogKeys);
        command(CMD_START_RANDOM_ALL);
        for (int k = 0; k < 4 && app().run.active(); ++k)
            cliInput += wintest::utf8(plan.answerInWindow(k)) + "\n";
        ok(!app().run.active() && script.count() == 4, "%s: the window run did not finish (%d answers)",
           wintest::utf8(plan.name).c_str(), script.count());
    }
    closeProgram();
    const std::string windowBook = readBytes(exam.book);
    const auto windowLog = recordWithoutTimes(readLog(exam.log));

    writeBytes(exam.book, original);
    const fs::path cliLog = exam.dir / L"cli-log.txt";
    const int code = runCliDrill(exam.book, exam.dir / L"REKALWIN.INI", cliLog,
                                 L"--method random-all --mode " + std::wstring(plan.cliMode) + L" --seed " +
                                     std::to_wstring(seed),
                                 cliInput);
    ok(code == 0, "%s: rekal-cli exit %d", wintest::utf8(plan.name).c_str(), code);
    ok(windowBook != original, "%s: the window saved no history", wintest::utf8(plan.name).c_str());
    ok(readBytes(exam.book) == windowBook, "%s: the saved files differ", wintest::utf8(plan.name).c_str());
    const auto cliRecord = recordWithoutTimes(readLog(cliLog));
    clidrill::printDifferences(windowLog, cliRecord);
    ok(windowLog.size() == 6 + 5 && cliRecord == windowLog, "%s: the log records differ (%zu / %zu lines)",
       wintest::utf8(plan.name).c_str(), windowLog.size(), cliRecord.size());
}

} // namespace

WINTEST(sameAnswersSameHistoriesAndLogRecord) {
    // Typed: right, wrong, right, wrong, in the order the seed gives.
    compareFrontEnds(
        {L"rekal-cli-written", CMD_MODE_WRITTEN, L"written", std::vector(4, vk(VK_RETURN)), [](int k) {
             const std::wstring text = answerFor(k % 2 == 0);
             answerTyped(k % 2 == 0);
             return text;
         }});
    // Chosen by number key: the second answer wrong, the others right.
    compareFrontEnds(
        {L"rekal-cli-choice", CMD_MODE_CHOICE, L"choice", std::vector(4, vk(VK_RETURN)), [](int k) {
             const int count = app().run.choiceCount;
             const int chosen = k == 1 ? (rightChoice() + 1) % count : rightChoice();
             postCharKey(GetFocus(), static_cast<wchar_t>(L'1' + chosen));
             pump(50);
             pressKey(VK_RETURN, 200);
             return std::to_wstring(chosen + 1);
         }});
    // Graded by the user: 正解, 不正解, スキップ, then Esc (the terminal takes any other line as Esc).
    compareFrontEnds({L"rekal-cli-confirm",
                      CMD_MODE_CONFIRM,
                      L"confirm",
                      {mnemonic(L'r'), mnemonic(L'w'), mnemonic(L's'), vk(VK_ESCAPE)},
                      [](int k) {
                          pressKey(VK_RETURN, 200);
                          static const wchar_t* lines[] = {L"r", L"w", L"s", L"-"};
                          return std::wstring(lines[k]);
                      }});
}

WINTEST_MAIN("examcli")
