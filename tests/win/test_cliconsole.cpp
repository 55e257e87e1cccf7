// rekal-cli.exe in a Japanese console (code page 932): the drill's question is shown as written and a
// Japanese answer typed at the console is read as typed and judged right.

#include "examtest.h"

#include <string>
#include <vector>

namespace {

using namespace examtest;

// Console handles a child can inherit.
HANDLE openConsole(const wchar_t* name) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa,
                       OPEN_EXISTING, 0, nullptr);
}

// Puts the keys of `text` into the console's input as typing would (an input method's result
// arrives the same way: characters, not key codes).
void typeIntoConsole(HANDLE input, const std::wstring& text) {
    std::vector<INPUT_RECORD> keys;
    for (wchar_t c : text) {
        for (BOOL down : {TRUE, FALSE}) {
            INPUT_RECORD r{};
            r.EventType = KEY_EVENT;
            r.Event.KeyEvent.bKeyDown = down;
            r.Event.KeyEvent.wRepeatCount = 1;
            r.Event.KeyEvent.wVirtualKeyCode = c == L'\r' ? VK_RETURN : 0;
            r.Event.KeyEvent.uChar.UnicodeChar = c;
            keys.push_back(r);
        }
    }
    DWORD written = 0;
    WriteConsoleInputW(input, keys.data(), static_cast<DWORD>(keys.size()), &written);
}

// Everything the console's screen buffer shows.
std::wstring consoleScreen(HANDLE output) {
    CONSOLE_SCREEN_BUFFER_INFO info{};
    if (!GetConsoleScreenBufferInfo(output, &info)) return {};
    const DWORD cells = static_cast<DWORD>(info.dwSize.X) * static_cast<DWORD>(info.dwSize.Y);
    std::wstring screen(cells, L' ');
    DWORD read = 0;
    ReadConsoleOutputCharacterW(output, screen.data(), cells, {0, 0}, &read);
    screen.resize(read);
    return screen;
}

WINTEST(drillReadsAndWritesJapaneseInACodePage932Console) {
    Exam exam(L"rekal-console");
    FreeConsole();
    ok(AllocConsole(), "no console");
    SetConsoleCP(932);
    SetConsoleOutputCP(932);
    HANDLE input = openConsole(L"CONIN$");
    HANDLE output = openConsole(L"CONOUT$");
    // 北海道: 札幌 (typed in kanji), then end of input for the questions after it.
    typeIntoConsole(input, L"札幌\r\x1a\r");

    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = input;
    si.hStdOutput = output;
    si.hStdError = output;
    std::wstring line = L"\"" + hostPath(REKAL_CLI_EXE) + L"\" drill \"" + exam.book.wstring() +
                        L"\" --ini \"" + (exam.dir / L"REKALWIN.INI").wstring() + L"\" --log \"" +
                        exam.log.wstring() + L"\" --mode written";
    PROCESS_INFORMATION pi{};
    const BOOL started =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    ok(started, "rekal-cli did not start: %lu", GetLastError());
    if (!started) return;
    ok(WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0, "rekal-cli did not end");
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);

    const std::wstring screen = consoleScreen(output);
    ok(screen.find(L"北海道の道庁所在地は？") != std::wstring::npos, "the question is not shown as written");
    ok(screen.find(L"○ 正解！") != std::wstring::npos, "the typed answer was not judged right");
    ok(screen.find(L"正解数：1") != std::wstring::npos, "the run's count of right answers is not shown");
    if (screen.find(L"○ 正解！") == std::wstring::npos)
        std::printf("screen: %s\n", wintest::utf8(screen).c_str());
    CloseHandle(input);
    CloseHandle(output);
    FreeConsole();
}

} // namespace

WINTEST_MAIN("cliconsole")
