// The unpacked Windows package, as a user starts it: given the package's folder, this program checks
// the files are there, starts rekal.exe from that folder with the sample book, waits for its main
// window to show the book, closes it and checks that it ended cleanly and wrote its settings beside
// itself; rekal-cli.exe must read the sample book from there too. Exit code: the failures.

#include "win/wintest.h"

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

struct Process {
    PROCESS_INFORMATION info{};
    ~Process() {
        if (info.hProcess) CloseHandle(info.hProcess);
        if (info.hThread) CloseHandle(info.hThread);
    }
};

bool start(Process& process, const fs::path& folder, const std::wstring& program,
           const std::wstring& arguments) {
    std::wstring line = L"\"" + (folder / program).wstring() + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    return CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                          &process.info);
}

DWORD finish(const Process& process, DWORD ms) {
    if (WaitForSingleObject(process.info.hProcess, ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process.info.hProcess, &code);
    return code;
}

struct Search {
    DWORD processId;
    HWND found;
};

// The visible main window of the process, waiting up to ms for it.
HWND mainWindowOf(const Process& process, DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    do {
        Search search{process.info.dwProcessId, nullptr};
        EnumWindows(
            [](HWND hwnd, LPARAM data) -> BOOL {
                auto* s = reinterpret_cast<Search*>(data);
                DWORD owner = 0;
                GetWindowThreadProcessId(hwnd, &owner);
                wchar_t name[32] = {};
                GetClassNameW(hwnd, name, 32);
                if (owner != s->processId || std::wstring(name) != L"RekalWin" || !IsWindowVisible(hwnd))
                    return TRUE;
                s->found = hwnd;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(100);
    } while (static_cast<int>(end - GetTickCount()) > 0);
    return nullptr;
}

std::wstring textOf(HWND hwnd) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::printf("usage: test_package FOLDER\n");
        return 1;
    }
    const fs::path folder = argv[1];
    for (const wchar_t* name : {L"rekal.exe", L"rekal-cli.exe", L"REKALWIN.CHM", L"README.TXT", L"EXAM.WAV",
                                L"RIGHT.WAV", L"WRONG.WAV", L"RESULT.WAV", L"sample\\sample.rkf",
                                L"sample\\fuji.png", L"sample\\sunset.jpg", L"sample\\library.wav"})
        ok(fs::is_regular_file(folder / name), "%s is missing", wintest::utf8(name).c_str());
    ok(!fs::exists(folder / L"REKALWIN.INI"), "the package holds no settings of its own");

    Process cli;
    ok(start(cli, folder, L"rekal-cli.exe", L"check sample\\sample.rkf"), "rekal-cli.exe does not start");
    ok(finish(cli, 30000) == 0, "rekal-cli check finds faults in the sample book");

    Process program;
    ok(start(program, folder, L"rekal.exe", L"\"" + (folder / L"sample\\sample.rkf").wstring() + L"\""),
       "rekal.exe does not start");
    HWND main = mainWindowOf(program, 30000);
    ok(main != nullptr, "no main window");
    if (main) {
        // The book is opened once the window shows; its path then heads the caption.
        const std::wstring expected = (folder / L"sample\\sample.rkf").wstring() + L" - Rekal for Windows";
        std::wstring caption;
        for (int i = 0; i < 300 && (caption = textOf(main)) != expected; ++i)
            Sleep(100);
        ok(caption == expected, "caption %s", wintest::utf8(caption).c_str());
        PostMessageW(main, WM_CLOSE, 0, 0);
    }
    const DWORD code = finish(program, 30000);
    ok(code == 0, "exit code %lu", code);
    if (code == STILL_ACTIVE) TerminateProcess(program.info.hProcess, 1);
    // Written at exit, beside the program.
    ok(fs::is_regular_file(folder / L"REKALWIN.INI"), "no REKALWIN.INI beside the program");
    ok(fs::is_regular_file(folder / L"RKLVAGUE.DAT"), "no RKLVAGUE.DAT beside the program");
    std::printf("test_package: %d checks, %d failures\n", wintest::state().checks, wintest::state().failures);
    return wintest::state().failures;
}
