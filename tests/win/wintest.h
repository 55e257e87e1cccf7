#pragma once
// A small test harness in the manner of Wine's conformance tests: ok() reports file:line and a
// formatted message on failure, helpers take the caller's line through ok_at(), and
// flushEvents() settles the message queue before a check. Each test program ends with
// WINTEST_MAIN, which runs the registered tests and returns the number of failures.

#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace wintest {

struct State {
    int checks = 0;
    int failures = 0;
    std::vector<std::pair<const char*, std::function<void()>>> tests;
};

inline State& state() {
    static State s;
    return s;
}

// Prints the formatted text as one line at once.
inline void printLine(const char* format, va_list args) {
    std::vprintf(format, args);
    std::printf("\n");
    std::fflush(stdout);
}

inline bool check(const char* file, int line, bool condition, const char* format, ...) {
    ++state().checks;
    if (!condition) {
        ++state().failures;
        const char* base = file;
        for (const char* p = file; *p; ++p)
            if (*p == '/' || *p == '\\') base = p + 1;
        std::printf("%s:%d: Test failed: ", base, line);
        va_list args;
        va_start(args, format);
        printLine(format, args);
        va_end(args);
    }
    return condition;
}

// Dispatches every pending message, waiting up to ms for more to arrive.
inline void flushEvents(DWORD ms = 50) {
    DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        DWORD now = GetTickCount();
        if (static_cast<int>(end - now) <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

// UTF-8 for messages from wide texts.
inline std::string utf8(const std::wstring& w) {
    int n =
        WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

// The screen's dots per inch, and a 96-dpi pixel number on that screen (rounded as MulDiv does):
// the expected sizes of tests that run on a scaled display.
inline int screenDpi() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
}
inline int px(int px96) {
    return MulDiv(px96, screenDpi(), 96);
}

struct Registrar {
    Registrar(const char* name, std::function<void()> fn) { state().tests.emplace_back(name, std::move(fn)); }
};

// WINTEST_ONLY=part runs only the tests whose name contains it (while working on one).
inline int runAll(const char* program) {
    // A run asked for at another density (REKAL_DPI, set in the Wine prefix) must really be there.
    wchar_t asked[16] = {};
    if (GetEnvironmentVariableW(L"REKAL_DPI", asked, 16) > 0)
        check(__FILE__, __LINE__, screenDpi() == _wtoi(asked), "screen at %d dpi, %ls asked for", screenDpi(),
              asked);
    const char* only = std::getenv("WINTEST_ONLY");
    for (auto& [name, fn] : state().tests)
        if (!only || std::strstr(name, only)) fn();
    std::printf("%s: %d tests executed (0 marked as todo, %d failures), 0 skipped.\n", program,
                state().checks, state().failures);
    return state().failures;
}

} // namespace wintest

#define ok(condition, ...) wintest::check(__FILE__, __LINE__, (condition), __VA_ARGS__)
// In helpers: report failures at the caller's line.
#define ok_at(file, line, condition, ...) wintest::check((file), (line), (condition), __VA_ARGS__)
#define WINTEST(name)                                                                                        \
    static void name();                                                                                      \
    static wintest::Registrar name##_registrar(#name, name);                                                 \
    static void name()
#define WINTEST_MAIN(program)                                                                                \
    int wmain() {                                                                                            \
        return wintest::runAll(program);                                                                     \
    }
