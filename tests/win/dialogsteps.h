#pragma once
// Driving the program's modal dialogs from a test: steps run on the user-interface thread while a
// dialog's own loop runs, and small readers of its controls.

#include "shelltest.h"

#include "win/program/help.h"

#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

namespace dialogsteps {

using shelltest::windowText;

// Steps run on the user-interface thread while the program's modal dialogs are open: each tick
// runs the first step; a step that finds its window not yet there returns false and is tried
// again on the next tick. A step still waiting after 10 s gives up: the steps are dropped and the
// dialogs closed, so a fault fails the test instead of hanging it.
inline std::deque<std::function<bool()>> g_steps;
inline DWORD g_stepSince = 0;

inline void CALLBACK runStep(HWND, UINT, UINT_PTR timer, DWORD) {
    if (g_steps.empty()) {
        KillTimer(nullptr, timer);
        return;
    }
    std::function<bool()> step = g_steps.front();
    if (step()) {
        g_steps.pop_front();
        g_stepSince = GetTickCount();
    } else if (GetTickCount() - g_stepSince > 10'000) {
        KillTimer(nullptr, timer);
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND w, LPARAM) -> BOOL {
                wchar_t cls[16] = {};
                GetClassNameW(w, cls, 16);
                if (lstrcmpW(cls, L"#32770") == 0) PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
                return TRUE;
            },
            0);
    }
}

// Runs the steps while `show` opens the dialogs; every step must have run when it returns.
template <class Show> void withSteps(std::deque<std::function<bool()>> steps, Show show, int line) {
    g_steps = std::move(steps);
    g_stepSince = GetTickCount();
    UINT_PTR timer = SetTimer(nullptr, 0, 40, runStep);
    show();
    KillTimer(nullptr, timer);
    ok_at(__FILE__, line, g_steps.empty(), "%d steps did not run", static_cast<int>(g_steps.size()));
    g_steps.clear();
}

// A step that, with REKAL_SHOT set, keeps the dialogs up four seconds for a screenshot: "SHOT name"
// on the output tells the one taking it that they are ready. Without it the step passes at once.
inline std::function<bool()> pauseForShot(const char* name) {
    return [name, since = std::make_shared<DWORD>(0)] {
        if (GetEnvironmentVariableW(L"REKAL_SHOT", nullptr, 0) == 0) return true;
        if (!*since) {
            *since = GetTickCount();
            std::printf("SHOT %s\n", name);
            std::fflush(stdout);
        }
        return GetTickCount() - *since > 4000;
    };
}

// The help topics asked for, when the program's help call is recordHelpContext.
inline std::vector<DWORD_PTR> g_helpContexts;
inline HWND WINAPI recordHelpContext(HWND, LPCWSTR, UINT command, DWORD_PTR data) {
    if (command == rekal::win::HelpContext) g_helpContexts.push_back(data);
    return nullptr;
}

inline HWND dialogCalled(const wchar_t* caption) {
    HWND found = FindWindowW(L"#32770", caption);
    return found && IsWindowVisible(found) ? found : nullptr;
}

// A step that waits for the dialog with this caption, then checks and acts on it.
inline std::function<bool()> onDialog(const wchar_t* caption, std::function<void(HWND)> act) {
    return [caption, act] {
        HWND d = dialogCalled(caption);
        if (!d) return false;
        act(d);
        return true;
    };
}

// A step that waits until the `count`-th message box has come and gone, the dialog still open.
inline std::function<bool()> afterRefusal(const wchar_t* caption, shelltest::DialogWatcher& boxes,
                                          int count) {
    return [caption, &boxes, count] {
        return boxes.seen() >= count && dialogCalled(caption) && !dialogCalled(L"Rekal for Windows");
    };
}

inline std::wstring itemText(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

inline bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

inline bool enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

// Clicks a control the way the user does, from the keyboard's point of view: a posted BM_CLICK, so
// a dialog it opens runs its loop outside the step.
inline void click(HWND dialog, int id) {
    PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

} // namespace dialogsteps
