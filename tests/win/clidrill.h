#pragma once
// The engine's word on a run: rekal-cli drill given the answers as lines on its standard input, and
// an exam-log record reduced to what must agree between front ends (time stamps and times aside).

#include "examtest.h"

#include <string>
#include <vector>

namespace clidrill {

using namespace examtest;

// rekal-cli drill BOOK --ini INI --log LOG ARGUMENTS with `input` (UTF-8) on its standard input;
// its exit code, or -1. Its standard output goes to `output` when given, else nowhere.
inline int runCliDrill(const fs::path& book, const fs::path& ini, const fs::path& log,
                       const std::wstring& arguments, const std::string& input, const fs::path& output = {}) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &sa, 0)) return -1;
    SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    HANDLE nul = CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
    HANDLE out = output.empty() ? nul
                                : CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa,
                                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = readEnd;
    si.hStdOutput = out;
    si.hStdError = nul;
    std::wstring line = L"\"" + hostPath(REKAL_CLI_EXE) + L"\" drill \"" + book.wstring() + L"\" --ini \"" +
                        ini.wstring() + L"\" --log \"" + log.wstring() + L"\" " + arguments;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                                        nullptr, nullptr, &si, &pi);
    CloseHandle(readEnd);
    if (out != nul) CloseHandle(out);
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
inline std::vector<std::string> recordWithoutTimes(const rekal::ExamLog& log, const rekal::ExamLogEntry& e) {
    std::vector<std::string> out;
    for (const auto& field : {e.file, e.range, e.groups, e.method, e.mode, e.rate})
        out.push_back(field ? std::string(*field) : "(none)");
    for (const std::string& row : rowsWithoutTimes(log, e))
        out.push_back(row);
    return out;
}

// Every record of a log that way, one after the other.
inline std::vector<std::vector<std::string>> recordsWithoutTimes(const rekal::ExamLog& log) {
    std::vector<std::vector<std::string>> out;
    for (const rekal::ExamLogEntry& e : log.entries)
        out.push_back(recordWithoutTimes(log, e));
    return out;
}

// Prints the lines where two records differ.
inline void printDifferences(const std::vector<std::string>& window, const std::vector<std::string>& cli) {
    for (std::size_t i = 0; i < std::max(cli.size(), window.size()); ++i) {
        const std::string w = i < window.size() ? window[i] : "(none)";
        const std::string c = i < cli.size() ? cli[i] : "(none)";
        if (w != c)
            std::printf("window: %s\ncli:    %s\n", wintest::utf8(wide(w)).c_str(),
                        wintest::utf8(wide(c)).c_str());
    }
}

} // namespace clidrill
