// The whole program as a user meets it, by keyboard alone: rekal.exe started in a fresh folder
// with the sample book on its command line, the range set, an exam in each answer mode answered
// with the keys, the result dialog read, a re-exam of the wrong questions from the exam-log
// viewer, a setting changed in the customize sheet, and the program closed. Then the saved book,
// EXAMLOG.TXT and REKALWIN.INI are held against what the engine says: rekal-cli drill given the
// same seed and the same answers, and the settings file the core writes for the settings changed.

#include "clidrill.h"

#include "core/settings/settings.h"

#include <algorithm>
#include <cctype>

namespace {

using namespace examtest;
using clidrill::runCliDrill;

constexpr std::uint32_t kSeed = 20261207;

// The program started as its own process; ended by force only when the test gives up on it.
class Program {
  public:
    Program(const fs::path& dir, const fs::path& book) {
        SetEnvironmentVariableW(L"REKAL_RANDOM_SEED", std::to_wstring(kSeed).c_str());
        std::wstring line = L"\"" + (dir / L"rekal.exe").wstring() + L"\" \"" + book.wstring() + L"\"";
        STARTUPINFOW si{};
        si.cb = sizeof si;
        started_ = CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                                  &pi_) != FALSE;
        SetEnvironmentVariableW(L"REKAL_RANDOM_SEED", nullptr);
    }
    ~Program() {
        if (!started_) return;
        if (WaitForSingleObject(pi_.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(pi_.hProcess, 99);
        WaitForSingleObject(pi_.hProcess, 5000);
        CloseHandle(pi_.hProcess);
        CloseHandle(pi_.hThread);
    }
    bool started() const { return started_; }
    // A text that a common control of the program writes through a pointer (a status bar field):
    // the control writes into a buffer in the program's own memory, read back from there.
    std::wstring controlText(HWND control, UINT message, WPARAM wParam) {
        constexpr SIZE_T kBytes = 2048;
        void* remote = VirtualAllocEx(pi_.hProcess, nullptr, kBytes, MEM_COMMIT, PAGE_READWRITE);
        if (!remote) return L"";
        wchar_t text[kBytes / sizeof(wchar_t)] = {};
        DWORD_PTR result = 0;
        SendMessageTimeoutW(control, message, wParam, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG,
                            5000, &result);
        ReadProcessMemory(pi_.hProcess, remote, text, kBytes - sizeof(wchar_t), nullptr);
        VirtualFreeEx(pi_.hProcess, remote, 0, MEM_RELEASE);
        return text;
    }
    DWORD id() const { return pi_.dwProcessId; }
    // The exit code once it ended within ms, else -1.
    int waitExit(DWORD ms) {
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(pi_.hProcess, ms) == WAIT_OBJECT_0) GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<int>(code);
    }

  private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

Program* g_program = nullptr;

// A window's text, asked of the window itself (another process's edit keeps its own).
std::wstring textOf(HWND w) {
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return buffer;
}

bool ours(HWND w) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    return w && g_program && pid == g_program->id();
}

// The program's visible top-level window of this class whose caption starts with `caption`.
HWND topWindow(const wchar_t* cls, const wchar_t* caption) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, cls, nullptr)) != nullptr;)
        if (ours(w) && IsWindowVisible(w) && textOf(w).rfind(caption, 0) == 0) return w;
    return nullptr;
}
HWND dialog(const wchar_t* caption) {
    return topWindow(L"#32770", caption);
}
HWND mainWindow() {
    return topWindow(L"RekalWin", L"");
}
// The child dialog of the main window that holds the answer edit (other panes may be dialogs too).
HWND examView() {
    HWND main = mainWindow();
    for (HWND w = nullptr; main && (w = FindWindowExW(main, w, L"#32770", nullptr)) != nullptr;)
        if (GetDlgItem(w, IDC_ANSWER_EDIT)) return w;
    return nullptr;
}

// With WINTEST_TRACE set, each step is printed with the tick count (to follow a failing run).
void trace(const char* format, ...) {
    if (!std::getenv("WINTEST_TRACE")) return;
    std::printf("[%lu] ", GetTickCount() % 1000000);
    va_list args;
    va_start(args, format);
    wintest::printLine(format, args);
    va_end(args);
}

template <class Condition> bool waitUntil(Condition condition, DWORD ms = 15000) {
    const DWORD end = GetTickCount() + ms;
    while (!condition()) {
        if (static_cast<int>(end - GetTickCount()) <= 0) return false;
        Sleep(20);
    }
    Sleep(80); // the program settles what it does around the change
    return true;
}

HWND waitDialog(const wchar_t* caption, const char* file, int line) {
    HWND found = nullptr;
    waitUntil([&] { return (found = dialog(caption)) != nullptr; });
    if (!found) {
        HWND front = GetForegroundWindow();
        wchar_t cls[64] = {};
        GetClassNameW(front, cls, 64);
        ok_at(file, line, false, "no dialog %s (in front: %s \"%s\")", wintest::utf8(caption).c_str(),
              wintest::utf8(cls).c_str(), wintest::utf8(textOf(front)).c_str());
    }
    return found;
}
bool waitGone(HWND w) {
    return waitUntil([&] { return !IsWindow(w) || !IsWindowVisible(w); });
}

// Real key strokes, as the keyboard gives them to whichever window of the program is active.
void send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    Sleep(60);
}
INPUT keyInput(WORD vk, bool up, WORD scan = 0, DWORD flags = 0) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = scan;
    in.ki.dwFlags = flags | (up ? KEYEVENTF_KEYUP : 0);
    return in;
}
void key(WORD vk) {
    send({keyInput(vk, false), keyInput(vk, true)});
}
// Ctrl+key, Alt+key.
void chord(WORD modifier, WORD vk) {
    send({keyInput(modifier, false), keyInput(vk, false), keyInput(vk, true), keyInput(modifier, true)});
}
void typeText(const std::wstring& text) {
    for (wchar_t c : text)
        send({keyInput(0, false, c, KEYEVENTF_UNICODE), keyInput(0, true, c, KEYEVENTF_UNICODE)});
}
// A menu command by its mnemonics: F10, then the menu's letter and the item's.
void menu(WORD menuLetter, WORD itemLetter) {
    trace("menu %c %c", menuLetter, itemLetter);
    key(VK_F10);
    key(menuLetter);
    key(itemLetter);
}

std::wstring itemText(HWND w, int id) {
    return textOf(GetDlgItem(w, id));
}
bool checked(HWND w, int id) {
    return SendDlgItemMessageW(w, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
bool visible(HWND parent, int id) {
    HWND c = GetDlgItem(parent, id);
    return c && IsWindowVisible(c) && IsWindowEnabled(c);
}

// The sample book's questions: the first accepted answer of each, and how many there are.
struct SampleBook {
    std::vector<std::wstring> answers;
    explicit SampleBook(const fs::path& book) {
        rekal::QuestionBook b;
        rekal::SilentNotifier silent;
        if (!rekal::loadBook(b, book, rekal::Settings{}, silent)) return;
        for (int i = 0; i < b.questionCount(); ++i) {
            const std::string_view all = b.questionAt(i)->answers.view();
            answers.push_back(wide(std::string(all.substr(0, all.find(rekal::kListSeparator)))));
        }
    }
};

// What one exam in the window gave: the lines rekal-cli is to read and the result dialog's texts.
struct Run {
    std::string cliInput;
    std::wstring marks;
    std::vector<std::wstring> result;
};

// How question k of a run is answered: the keys into the exam view, the keys into the answer
// dialog, and the same answer as a line for rekal-cli.
struct Answer {
    std::function<void()> inView;
    std::function<void()> inDialog;
    std::string line;
};

std::string joined(const std::vector<std::wstring>& lines) {
    std::wstring s;
    for (const std::wstring& l : lines)
        s += l + L" / ";
    return wintest::utf8(s);
}

// Sets the range by title numbers in the range dialog (Ctrl+S); the dialog must count `count`.
void setTitleRange(int first, int last, const std::wstring& count, int line) {
    chord(VK_CONTROL, 'S');
    HWND range = waitDialog(L"範囲指定", __FILE__, line);
    if (!range) return;
    chord(VK_MENU, 'T');
    chord(VK_MENU, 'S');
    typeText(std::to_wstring(first));
    chord(VK_MENU, 'E');
    typeText(std::to_wstring(last));
    ok_at(__FILE__, line, waitUntil([&] { return itemText(range, IDC_RANGE_COUNT) == count; }),
          "the range dialog counted %s", wintest::utf8(itemText(range, IDC_RANGE_COUNT)).c_str());
    ok_at(__FILE__, line, checked(range, IDC_RANGE_BY_TITLE), "the range is not by titles");
    key(VK_RETURN);
    ok_at(__FILE__, line, waitGone(range), "the range dialog stayed open");
}

// The result dialog's label and value lines as rekal-cli prints them, the time left out; closed
// with Esc (no retry).
std::vector<std::wstring> readResult(HWND result) {
    std::vector<std::wstring> lines;
    for (auto [label, value] : {std::pair{IDC_RESULT_ASKED_LABEL, IDC_RESULT_ASKED},
                                {IDC_RESULT_ANSWERED_LABEL, IDC_RESULT_ANSWERED},
                                {IDC_RESULT_RIGHT_LABEL, IDC_RESULT_RIGHT},
                                {IDC_RESULT_RATE_LABEL, IDC_RESULT_RATE}})
        lines.push_back(itemText(result, label) + itemText(result, value));
    return lines;
}

// The status bar's question field ("問題 N"): it changes as the next question shows.
std::wstring questionField() {
    return g_program->controlText(GetDlgItem(examView(), IDC_STATUS_BAR), SB_GETTEXTW, 1);
}

// Answers every question of the run that the start keys begin, one after the other, until the
// result dialog shows; reads it and closes it.
Run answerRun(const std::function<void()>& start, const std::function<Answer(int)>& answerFor, int line) {
    Run run;
    std::wstring previous = questionField();
    start();
    for (int k = 0; k < 40; ++k) {
        HWND view = examView();
        HWND result = nullptr;
        const bool ready = waitUntil([&] {
            result = dialog(L"結果");
            if (result) return true;
            if (!visible(view, IDOK) || dialog(L"答え")) return false;
            const std::wstring field = questionField();
            if (field == previous || field.find(L"問題") == std::wstring::npos) return false;
            previous = field;
            return true;
        });
        if (!ok_at(__FILE__, line, ready, "question %d never became ready", k + 1)) return run;
        if (result) {
            run.result = readResult(result);
            trace("result %s", joined(run.result).c_str());
            key(VK_ESCAPE);
            ok_at(__FILE__, line, waitGone(result), "the result dialog stayed open");
            return run;
        }
        const Answer answer = answerFor(k);
        trace("question %d ready, answer %s", k + 1, answer.line.c_str());
        answer.inView();
        HWND answerDialog = waitDialog(L"答え", __FILE__, line);
        if (!answerDialog) return run;
        const std::wstring mark = itemText(answerDialog, IDC_ANSWER_MARK);
        run.marks += mark.empty() ? L"-" : mark;
        answer.inDialog();
        ok_at(__FILE__, line, waitGone(answerDialog), "answer dialog %d stayed open", k + 1);
        run.cliInput += answer.line + "\n";
    }
    ok_at(__FILE__, line, false, "the run did not end");
    return run;
}

// A choice by its number key, then 答え and Enter in the answer dialog.
Answer choose(int number) {
    return {[number] {
                key(static_cast<WORD>('0' + number));
                key(VK_RETURN);
            },
            [] { key(VK_RETURN); }, std::to_string(number)};
}
Answer typed(const std::wstring& text) {
    return {[text] {
                waitUntil([] { return visible(examView(), IDC_ANSWER_EDIT); });
                typeText(text);
                key(VK_RETURN);
            },
            [] { key(VK_RETURN); }, wintest::utf8(text)};
}
// 答え, then the grade's mnemonic (r, w or s) in the answer dialog.
Answer graded(char grade) {
    return {[] { key(VK_RETURN); }, [grade] { key(static_cast<WORD>(std::toupper(grade))); },
            std::string(1, grade)};
}

// The result lines rekal-cli printed (UTF-8), the time left out.
std::vector<std::vector<std::wstring>> cliResults(const fs::path& output) {
    std::vector<std::vector<std::wstring>> blocks;
    std::istringstream in(readBytes(output));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const int n =
            MultiByteToWideChar(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0);
        std::wstring w(static_cast<std::size_t>(n), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), w.data(), n);
        if (w.rfind(L"出題数：", 0) == 0) blocks.emplace_back();
        if (!blocks.empty() && blocks.back().size() < 4) blocks.back().push_back(w);
    }
    return blocks;
}

} // namespace

WINTEST(aUsersSessionAgreesWithTheEngine) {
    const fs::path dir = makeFolder(L"rekal-通しテスト");
    std::error_code ec;
    fs::copy_file(hostPath(REKAL_EXE), dir / L"rekal.exe", ec);
    for (const auto& entry : fs::directory_iterator(hostPath(REKAL_SAMPLES)))
        fs::copy_file(entry.path(), dir / entry.path().filename(), ec);
    const fs::path book = dir / L"sample.rkf";
    const std::string original = readBytes(book);
    const SampleBook sample(book);
    if (!ok(sample.answers.size() == 15 && fs::exists(dir / L"rekal.exe"),
            "sample book or program not copied"))
        return;

    std::vector<Run> runs;
    bool loadLastFileBefore = false;
    int exitCode = -1;
    {
        Program program(dir, book);
        g_program = &program;
        ok(program.started(), "rekal.exe did not start");
        ok(waitUntil([] { return mainWindow() && examView(); }, 30000), "no main window");
        SetForegroundWindow(mainWindow());
        ok(waitUntil([] { return ours(GetForegroundWindow()); }), "the program is not in front");
        ok(textOf(mainWindow()).find(L"sample.rkf") != std::wstring::npos, "caption %s",
           wintest::utf8(textOf(mainWindow())).c_str());

        // The sections with choices (titles 1 to 3): multiple choice at random, the number keys
        // cycling through the choices; then a re-exam of its wrong questions from the log viewer.
        setTitleRange(1, 3, L"13問", __LINE__);
        menu('S', 'E');
        runs.push_back(
            answerRun([] { chord(VK_CONTROL, 'N'); }, [](int k) { return choose(1 + k % 2); }, __LINE__));
        menu('F', 'H');
        if (HWND viewer = waitDialog(L"出題履歴", __FILE__, __LINE__)) {
            ok(itemText(viewer, IDC_LOG_METHOD) == L"ランダム(すべて)" &&
                   itemText(viewer, IDC_LOG_MODE) == L"選択式",
               "the viewer opened on %s %s", wintest::utf8(itemText(viewer, IDC_LOG_METHOD)).c_str(),
               wintest::utf8(itemText(viewer, IDC_LOG_MODE)).c_str());
            const LRESULT listed = SendDlgItemMessageW(viewer, IDC_LOG_QUESTIONS, LVM_GETITEMCOUNT, 0, 0);
            ok(listed == 13, "the viewer lists %d questions", static_cast<int>(listed));
            chord(VK_MENU, 'R');
            if (HWND reexam = waitDialog(L"再出題メニュー", __FILE__, __LINE__)) {
                chord(VK_MENU, 'T');
                if (!checked(reexam, IDC_REEXAM_RANDOM)) chord(VK_MENU, 'R');
                ok(waitUntil([&] {
                       return checked(reexam, IDC_REEXAM_WRONG) && checked(reexam, IDC_REEXAM_RANDOM);
                   }),
                   "re-exam choice");
                runs.push_back(answerRun([] { key(VK_RETURN); }, [](int) { return choose(1); }, __LINE__));
            }
            ok(!dialog(L"出題履歴"), "the viewer stayed open for the re-exam");
        }
        // The re-exam opened the book again: the range is the whole book. Typed, every third
        // answer wrong, in the order of the book (the last two questions show their input after a
        // second and their text for three).
        menu('S', 'I');
        runs.push_back(answerRun([] { chord(VK_CONTROL, 'A'); },
                                 [&](int k) { return typed(k % 3 == 2 ? L"まちがい" : sample.answers[k]); },
                                 __LINE__));
        // Graded by the user: 正解, 不正解, スキップ in turn.
        menu('S', 'F');
        runs.push_back(
            answerRun([] { chord(VK_CONTROL, 'A'); }, [](int k) { return graded("rws"[k % 3]); }, __LINE__));
        // As the file says, on the section without choices (flash mental arithmetic: the question
        // shows for three seconds, the input after one).
        setTitleRange(4, 4, L"2問", __LINE__);
        menu('S', 'M');
        runs.push_back(answerRun([] { chord(VK_CONTROL, 'A'); },
                                 [&](int k) { return typed(k == 0 ? sample.answers[13] : L"99"); },
                                 __LINE__));
        // The customize sheet: 一般's first box, then OK.
        menu('V', 'C');
        if (HWND sheet = waitDialog(L"カスタマイズ", __FILE__, __LINE__)) {
            HWND page = nullptr;
            waitUntil([&] {
                for (HWND w = nullptr; (w = FindWindowExW(sheet, w, L"#32770", nullptr)) != nullptr;)
                    if (IsWindowVisible(w) && textOf(w) == L"一般") page = w;
                return page != nullptr;
            });
            loadLastFileBefore = page && checked(page, IDC_PAGE_1026);
            chord(VK_MENU, 'L');
            ok(page && waitUntil([&] { return checked(page, IDC_PAGE_1026) != loadLastFileBefore; }),
               "the box did not change");
            key(VK_RETURN);
            ok(waitGone(sheet), "the customize sheet stayed open");
        }
        menu('F', 'X');
        exitCode = program.waitExit(20000);
        g_program = nullptr;
    }
    ok(exitCode == 0, "the program ended with %d", exitCode);
    if (!ok(runs.size() == 5, "%zu runs", runs.size())) return;
    ok(runs[0].marks.size() == 13 && runs[2].marks.size() == 15 && runs[3].marks.size() == 15 &&
           runs[4].marks.size() == 2,
       "answers given: %zu %zu %zu %zu", runs[0].marks.size(), runs[2].marks.size(), runs[3].marks.size(),
       runs[4].marks.size());
    ok(runs[1].marks.size() ==
           static_cast<std::size_t>(std::count(runs[0].marks.begin(), runs[0].marks.end(), L'×')),
       "the re-exam asked %zu questions after %s", runs[1].marks.size(),
       wintest::utf8(runs[0].marks).c_str());
    ok(runs[2].marks == L"○○×○○×○○×○○×○○×", "typed answers judged %s", wintest::utf8(runs[2].marks).c_str());
    ok(runs[4].marks == L"○×", "flash answers judged %s", wintest::utf8(runs[4].marks).c_str());

    // The engine, given the same seed and answers on the book as it was, in the same folder.
    const std::string windowBook = readBytes(book);
    const rekal::ExamLog windowLog = readLog(dir / L"EXAMLOG.TXT");
    writeBytes(book, original);
    const fs::path cliLog = dir / L"cli-log.txt";
    const fs::path noIni = dir / L"cli-none.ini";
    struct Replay {
        std::wstring arguments;
        std::string input;
    };
    const std::vector<Replay> replays = {
        {L"--titles 1-3 --method random-all --mode choice --retry-random --seed " + std::to_wstring(kSeed),
         runs[0].cliInput + runs[1].cliInput},
        {L"--method all --mode written", runs[2].cliInput},
        {L"--method all --mode confirm", runs[3].cliInput},
        {L"--titles 4-4 --method all --mode standard", runs[4].cliInput},
    };
    std::vector<std::vector<std::wstring>> cliBlocks;
    for (std::size_t i = 0; i < replays.size(); ++i) {
        const fs::path output = dir / (L"cli-" + std::to_wstring(i) + L".txt");
        const int code = runCliDrill(book, noIni, cliLog, replays[i].arguments, replays[i].input, output);
        ok(code == 0, "rekal-cli run %zu: exit %d", i + 1, code);
        for (auto& block : cliResults(output))
            cliBlocks.push_back(block);
    }
    ok(windowBook != original && readBytes(book) == windowBook, "the saved books differ");
    auto windowRecords = clidrill::recordsWithoutTimes(windowLog);
    auto cliRecords = clidrill::recordsWithoutTimes(readLog(cliLog));
    // rekal-cli's retry ends in the next retry, which the end of its input aborts unanswered (the
    // window's result dialog was closed with Esc instead).
    if (ok(cliRecords.size() > 2 && cliRecords[2].size() == 7 && cliRecords[2][5] == "－",
           "rekal-cli's retry was not followed by an aborted one"))
        cliRecords.erase(cliRecords.begin() + 2);
    // The re-exam opened the book again, whose range is then the whole book; rekal-cli's retry
    // keeps the range of its run.
    if (ok(windowRecords.size() > 1 && cliRecords.size() > 1 && windowRecords[1][1] == "1～15" &&
               cliRecords[1][1] == "1～13",
           "the ranges of the re-exams"))
        windowRecords[1][1] = cliRecords[1][1];
    ok(windowRecords.size() == 5 && cliRecords.size() == 5, "%zu records in EXAMLOG.TXT, %zu from rekal-cli",
       windowRecords.size(), cliRecords.size());
    for (std::size_t i = 0; i < std::min(windowRecords.size(), cliRecords.size()); ++i) {
        if (windowRecords[i] != cliRecords[i]) clidrill::printDifferences(windowRecords[i], cliRecords[i]);
        ok(windowRecords[i] == cliRecords[i], "log record %zu differs", i + 1);
    }
    ok(cliBlocks.size() == runs.size(), "%zu result blocks from rekal-cli", cliBlocks.size());
    for (std::size_t i = 0; i < std::min(cliBlocks.size(), runs.size()); ++i)
        ok(runs[i].result == cliBlocks[i], "result %zu: window %s, rekal-cli %s", i + 1,
           joined(runs[i].result).c_str(), joined(cliBlocks[i]).c_str());

    // REKALWIN.INI: the defaults with what the session changed (the last answer mode, the box of
    // the customize sheet, the book as the recent file); the window places as they were left.
    rekal::SettingsInputs inputs;
    inputs.programDir = cp932(dir.wstring() + L"\\");
    inputs.buttonText = GetSysColor(COLOR_BTNTEXT);
    inputs.buttonFace = GetSysColor(COLOR_BTNFACE);
    rekal::Settings expected = rekal::defaultSettings(inputs);
    const std::string iniText = readBytes(dir / L"REKALWIN.INI");
    rekal::Settings written = expected;
    rekal::parseSettings(written, iniText);
    expected.answerMode = rekal::AnswerStandard;
    expected.options ^= rekal::LoadLastFile;
    ok(((written.options & rekal::LoadLastFile) != 0) != loadLastFileBefore, "LoadLastFile not changed");
    for (auto rect : {&rekal::Settings::mainRect, &rekal::Settings::listRect, &rekal::Settings::hintRect,
                      &rekal::Settings::detailRect, &rekal::Settings::graphRect})
        expected.*rect = written.*rect;
    expected.mainMaximized = written.mainMaximized;
    expected.listMaximized = written.listMaximized;
    expected.detailMaximized = written.detailMaximized;
    rekal::RecentFiles recent;
    recent.add(cp932(book.wstring()), expected.recentFileMax);
    const std::string expectedText = rekal::formatSettings(expected, &recent);
    if (expectedText != iniText) {
        std::istringstream a(expectedText), b(iniText);
        std::string x, y;
        while (std::getline(a, x) && std::getline(b, y))
            if (x != y) std::printf("expected: %s\nwritten:  %s\n", x.c_str(), y.c_str());
    }
    ok(expectedText == iniText, "REKALWIN.INI is not what the core writes for the session's settings");
    if (wintest::state().failures == 0)
        removeFolder(dir);
    else
        std::printf("the folder is kept: %s\n", wintest::utf8(dir.wstring()).c_str());
}

WINTEST_MAIN("wholeprogram")
