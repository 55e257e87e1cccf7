#pragma once
// Helpers of the exam tests: the program's own message pump (with its pre-translation, so Enter, Esc,
// mnemonics and accelerators work as in the program), keys posted to the focused control, a script
// that answers the answer dialogs one after the other from a thread of its own, and the saved book
// and exam log read back through the core.

#include "shelltest.h"

#include "core/base/notifier.h"
#include "core/data/reader.h"
#include "core/examlog/examlog.h"

#include <imm.h>

#include <cstdlib>
#include <cwctype>
#include <deque>
#include <string>
#include <vector>

namespace examtest {

using namespace shelltest;

// The Windows form of a path of the build machine (Wine maps the root to drive Z:).
inline std::wstring hostPath(const char* unixPath) {
    std::wstring p = L"Z:" + wide(unixPath);
    for (wchar_t& c : p)
        if (c == L'/') c = L'\\';
    return p;
}

// Dispatches as the program's loop does, for at least ms.
inline void pump(DWORD ms = 60) {
    const DWORD end = GetTickCount() + ms;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (rekal::win::preTranslateMessage(msg)) continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        const DWORD now = GetTickCount();
        if (static_cast<int>(end - now) <= 0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, end - now, QS_ALLINPUT);
    }
}

// The focused window of the thread that owns `window` (any thread may ask).
inline HWND focusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus ? info.hwndFocus : window;
}

inline void postKey(HWND target, UINT vk) {
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

// A character key: down, the character, up (mnemonics are matched on the character).
inline void postCharKey(HWND target, wchar_t c) {
    const UINT vk = static_cast<UINT>(std::towupper(c));
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_CHAR, c, 1);
    PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

inline void typeText(HWND target, const std::wstring& text) {
    for (wchar_t c : text)
        PostMessageW(target, WM_CHAR, c, 1);
}

// Keys into the exam view's focused control, then the program's loop.
inline void pressKey(UINT vk, DWORD settle = 100) {
    postKey(GetFocus(), vk);
    pump(settle);
}
inline void typeAnswer(const std::wstring& text) {
    typeText(GetFocus(), text);
    pump(30);
}

// What one answer dialog showed as it opened.
struct AnswerSeen {
    std::wstring mark;
    bool okEnabled = false;
    bool gradesShown = false;
    bool listShown = false;
    bool commentShown = false;
    int listCount = 0;
    bool gradesWithoutIme = false; // the grading buttons have no input context (OK has one)
};

// Whether the window has an input context, so that the input method composes what it is sent.
inline bool hasInputContext(HWND window) {
    HIMC context = ImmGetContext(window);
    if (context) ImmReleaseContext(window, context);
    return context != nullptr;
}

// Answers each answer dialog that opens with the next key of the script (a virtual key, or a
// character for a mnemonic); an empty key leaves the dialog to close itself.
class AnswerScript {
  public:
    struct Key {
        UINT vk = 0;
        wchar_t mnemonic = 0;
    };
    explicit AnswerScript(std::vector<Key> keys)
        : keys_(keys.begin(), keys.end()), watcher_(L"答え", [this](HWND dialog) { answer(dialog); }) {
        InitializeCriticalSection(&lock_);
    }
    ~AnswerScript() { DeleteCriticalSection(&lock_); }
    std::vector<AnswerSeen> seen() {
        EnterCriticalSection(&lock_);
        std::vector<AnswerSeen> copy = seen_;
        LeaveCriticalSection(&lock_);
        return copy;
    }
    int count() { return static_cast<int>(seen().size()); }

  private:
    void answer(HWND dialog) {
        auto shown = [&](int id) {
            return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
        };
        AnswerSeen s;
        wchar_t mark[16] = {};
        GetDlgItemTextW(dialog, IDC_ANSWER_MARK, mark, 16);
        s.mark = shown(IDC_ANSWER_MARK) ? mark : L"";
        s.okEnabled = IsWindowEnabled(GetDlgItem(dialog, IDOK)) != FALSE;
        s.gradesShown = shown(IDC_GRADE_RIGHT) && shown(IDC_GRADE_WRONG) && shown(IDC_GRADE_SKIP);
        s.listShown = shown(IDC_ANSWER_LIST);
        s.commentShown = shown(IDC_COMMENT);
        s.listCount = static_cast<int>(SendDlgItemMessageW(dialog, IDC_ANSWER_LIST, LB_GETCOUNT, 0, 0));
        s.gradesWithoutIme = hasInputContext(GetDlgItem(dialog, IDOK));
        for (int id : {IDC_GRADE_RIGHT, IDC_GRADE_WRONG, IDC_GRADE_SKIP})
            s.gradesWithoutIme = s.gradesWithoutIme && !hasInputContext(GetDlgItem(dialog, id));
        EnterCriticalSection(&lock_);
        seen_.push_back(s);
        Key key{};
        if (!keys_.empty()) {
            key = keys_.front();
            keys_.pop_front();
        }
        LeaveCriticalSection(&lock_);
        HWND target = focusOf(dialog);
        if (key.mnemonic)
            postCharKey(target, key.mnemonic);
        else if (key.vk)
            postKey(target, key.vk);
    }

    CRITICAL_SECTION lock_;
    std::deque<Key> keys_;
    std::vector<AnswerSeen> seen_;
    DialogWatcher watcher_;
};

inline AnswerScript::Key vk(UINT k) {
    return {k, 0};
}
inline AnswerScript::Key mnemonic(wchar_t c) {
    return {0, c};
}

// The result dialog closed with Esc (no retry), whichever form it has.
inline DialogWatcher closingResults() {
    return DialogWatcher(L"結果", [](HWND dialog) { postKey(focusOf(dialog), VK_ESCAPE); });
}

// The saved book read back as the program reads it.
inline std::vector<int> savedHistories(const fs::path& book) {
    rekal::QuestionBook b;
    rekal::SilentNotifier silent;
    std::vector<int> histories;
    if (!rekal::loadBook(b, book, rekal::Settings{}, silent)) return histories;
    for (int i = 0; i < b.questionCount(); ++i)
        histories.push_back(b.questionAt(i)->history);
    return histories;
}

inline rekal::ExamLog readLog(const fs::path& log) {
    return rekal::parseExamLog(readBytes(log));
}

// The rows of a log entry as texts, the time column (3) left out.
inline std::vector<std::string> rowsWithoutTimes(const rekal::ExamLog& log, const rekal::ExamLogEntry& e) {
    std::vector<std::string> rows;
    for (const rekal::ExamLogRow& row : log.rowsOf(e)) {
        std::string text;
        int column = 0;
        for (std::string_view field : log.fieldsOf(row)) {
            if (column++ != 3) text += std::string(field);
            text += '|';
        }
        rows.push_back(text);
    }
    return rows;
}

inline std::wstring statusPart(int part) {
    wchar_t buffer[256] = {};
    SendMessageW(examControl(IDC_STATUS_BAR), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

inline bool shown(int id) {
    return (GetWindowLongW(examControl(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

// Four questions under one title (choice count 0); the first has two answers and a comment.
inline const std::string kBook = "REKALDATA V1.6\r\n"
                                 "#都道府県,000000\r\n"
                                 "北海道の道庁所在地は？,札幌(市|),<00'道の中心\r\n"
                                 "青森県の県庁所在地は？,青森,<00\r\n"
                                 "岩手県の県庁所在地は？,盛岡,<00\r\n"
                                 "宮城県の県庁所在地は？,仙台,<00\r\n";

struct Exam {
    fs::path dir;
    fs::path book;
    fs::path log;
    explicit Exam(const wchar_t* name, const std::string& text = kBook) {
        dir = makeFolder(name);
        book = dir / L"pref.rkf";
        log = dir / L"EXAMLOG.TXT";
        writeBytes(book, text);
        ok(start(dir, L"\"" + book.wstring() + L"\""), "start-up failed");
        app().settings.options &= ~rekal::Sound;
    }
    ~Exam() { removeFolder(dir); }
};

inline void setMode(int modeCommand) {
    command(modeCommand);
}

inline int currentQuestion() {
    return app().run.current;
}

// The typed answer that is right (or not) for the question on screen.
inline std::wstring answerFor(bool right) {
    static const wchar_t* answers[] = {L"札幌", L"青森", L"盛岡", L"仙台"};
    return right ? answers[currentQuestion()] : L"まちがい";
}

inline void answerTyped(bool right) {
    typeAnswer(answerFor(right));
    pressKey(VK_RETURN, 200);
}

// The choice whose text is the question's answer, from 0.
inline int rightChoice() {
    const auto& choices = app().run.choices;
    static const char* answers[] = {"札幌市", "青森", "盛岡", "仙台"};
    for (std::size_t k = 0; k < choices.size(); ++k)
        if (choices[k].text == answers[currentQuestion()]) return static_cast<int>(k);
    return -1;
}

inline std::wstring marks(const std::vector<AnswerSeen>& seen) {
    std::wstring s;
    for (const AnswerSeen& a : seen)
        s += a.mark.empty() ? L"-" : a.mark;
    return s;
}

inline bool idleAgain() {
    return !app().run.active() && !shown(IDOK) && !shown(IDCANCEL) && !shown(IDC_ANSWER_EDIT) &&
           !menuGreyed(CMD_MODE_STANDARD) && !menuGreyed(CMD_RANGE) && statusPart(2).empty();
}

} // namespace examtest
