// One engine, two front ends: the same answers given to the window (by keys) and to rekal-cli drill
// with the same seed and the same settings file give the same saved file and the same exam-log
// record, time stamps and times aside. In each answer mode that takes an answer.

#include "examtest.h"

#include <string>

namespace {

using namespace examtest;

// rekal-cli drill with `input` (UTF-8) on its standard input; its exit code, or -1.
int runCliDrill(const fs::path& book, const fs::path& ini, const fs::path& log, const std::wstring& mode,
                int seed, const std::string& input) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = readEnd;
    si.hStdOutput = nul;
    si.hStdError = nul;
    std::wstring line = L"\"" + hostPath(REKAL_CLI_EXE) + L"\" drill \"" + book.wstring() + L"\" --ini \"" +
                        ini.wstring() + L"\" --log \"" + log.wstring() + L"\" --method random-all --mode " +
                        mode + L" --seed " + std::to_wstring(seed);
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &si, &pi);
    CloseHandle(readEnd);
    CloseHandle(nul);
    if (!started) {
        CloseHandle(writeEnd);
        return -1;
    }
    DWORD written = 0;
    WriteFile(writeEnd, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    CloseHandle(writeEnd);
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    return static_cast<int>(code);
}

// Everything a log record says but its time stamp and its times.
std::vector<std::string> recordWithoutTimes(const rekal::ExamLog& log) {
    std::vector<std::string> out;
    if (log.entries.size() != 1) return out;
    const rekal::ExamLogEntry& e = log.entries[0];
    for (const auto& field : {e.file, e.range, e.groups, e.method, e.mode, e.rate})
        out.push_back(field ? std::string(*field) : "(none)");
    for (const std::string& row : rowsWithoutTimes(log, e))
        out.push_back(row);
    return out;
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
    const int code = runCliDrill(exam.book, exam.dir / L"REKALWIN.INI", cliLog, plan.cliMode, seed, cliInput);
    ok(code == 0, "%s: rekal-cli exit %d", wintest::utf8(plan.name).c_str(), code);
    ok(windowBook != original, "%s: the window saved no history", wintest::utf8(plan.name).c_str());
    ok(readBytes(exam.book) == windowBook, "%s: the saved files differ", wintest::utf8(plan.name).c_str());
    const auto cliRecord = recordWithoutTimes(readLog(cliLog));
    for (std::size_t i = 0; i < std::min(cliRecord.size(), windowLog.size()); ++i)
        if (cliRecord[i] != windowLog[i])
            std::printf("window: %s\ncli:    %s\n", wintest::utf8(wide(windowLog[i])).c_str(),
                        wintest::utf8(wide(cliRecord[i])).c_str());
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
