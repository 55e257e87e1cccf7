// The study graph as the user meets it: opened with Ctrl+G over a log of some days' runs, its summary
// against the core's count, the books and the period switched by keyboard from the program's loop,
// a logged run and a cleared history redrawing it, Esc closing it with its place and choices kept,
// and a 32 MB log of 2,000 runs shown within a generous bound. With REKAL_SCREENSHOTS set it leaves
// a picture of the window (the suite runs it at 96 and at 144 dpi).

#include "examtest.h"

#include "core/exam/clock.h"
#include "core/examlog/stats.h"
#include "core/examlog/progresschart.h"
#include "win/exam/examsession.h"
#include "win/program/help.h"
#include "win/progress/progresswindow.h"

namespace {

using namespace examtest;
using rekal::ExamResult;
using rekal::Verdict;
using wintest::px;

// Midday of the day `n` days before today.
rekal::LocalTime daysAgo(int n) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wHour = 12;
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER t{{file.dwLowDateTime, file.dwHighDateTime}};
    t.QuadPart -= static_cast<ULONGLONG>(n) * 24 * 3600 * 10000000ULL;
    file = {t.LowPart, t.HighPart};
    SYSTEMTIME then;
    FileTimeToSystemTime(&file, &then);
    return {then.wYear, then.wMonth, then.wDay, then.wDayOfWeek, 12, 0, 0, 0};
}

// A run `n` days ago over the open book's questions (or named as another file), with these marks.
void logRun(const fs::path& log, int n, const std::wstring& marks, const char* otherFile = nullptr) {
    const rekal::QuestionBook& book = app().book;
    std::vector<ExamResult> results;
    rekal::ExamLogRecord record;
    for (std::size_t i = 0; i < marks.size(); ++i) {
        const Verdict v = marks[i] == L'○'   ? Verdict::Right
                          : marks[i] == L'×' ? Verdict::Wrong
                                             : Verdict::None;
        results.push_back({1000, static_cast<int>(i % 4), v});
        record.right += v == Verdict::Right;
        record.wrong += v == Verdict::Wrong;
    }
    record.start = daysAgo(n);
    record.filePath = otherFile ? otherFile : book.path();
    record.last = book.questionCount() - 1;
    record.method = rekal::kMethodAll;
    record.elapsedMs = 4000;
    record.results = results;
    rekal::SilentNotifier quiet;
    rekal::appendExamLog(log, 0, record, book, quiet);
}

HWND graph() {
    return app().progressWindow;
}
HWND graphControl(int id) {
    return GetDlgItem(graph(), id);
}
bool checked(int id) {
    return SendMessageW(graphControl(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void pressCtrlG() {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{app().mainWindow, WM_KEYDOWN, 'G', 1, GetTickCount(), {}};
    ok(rekal::win::preTranslateMessage(msg), "Ctrl+G not translated");
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    pump(150);
}

// The summary the window shows, against the core's count of the log for these choices.
void checkSummary(const char* file, int line, const fs::path& log, bool allBooks, int days,
                  const std::vector<std::wstring>& expected) {
    rekal::SilentNotifier quiet;
    const rekal::ExamLog parsed = rekal::readExamLog(log, quiet).value_or(rekal::ExamLog{});
    const rekal::LogFileFilter filter =
        allBooks ? rekal::LogFileFilter{}
                 : rekal::LogFileFilter{rekal::LogFileMatch::Same, app().book.path()};
    const rekal::LocalTime now = daysAgo(0);
    const rekal::StudySummary s =
        rekal::studySummary(rekal::tallyExamLogByDays(parsed, filter), {now.year, now.month, now.day}, days);
    std::wstring core;
    for (const std::string& l : rekal::studySummaryLines(s))
        core += (core.empty() ? L"" : L"\r\n") + wide(l);
    const std::wstring shown = windowText(graphControl(IDC_GRAPH_SUMMARY));
    ok_at(file, line, shown == core, "summary\n%s\nnot the core's\n%s", wintest::utf8(shown).c_str(),
          wintest::utf8(core).c_str());
    for (const std::wstring& text : expected)
        ok_at(file, line, shown.find(text) != std::wstring::npos, "no %s in the summary",
              wintest::utf8(text).c_str());
    ok_at(file, line, checked(IDC_GRAPH_ALL_BOOKS) == allBooks && checked(IDC_GRAPH_OPEN_BOOK) == !allBooks,
          "books radios");
}
#define CHECK_SUMMARY(...) checkSummary(__FILE__, __LINE__, __VA_ARGS__)

std::vector<DWORD_PTR> g_helpTopics;
HWND WINAPI recordHelp(HWND, LPCWSTR, UINT command, DWORD_PTR data) {
    if (command != rekal::win::HelpPreTranslate) g_helpTopics.push_back(data);
    return nullptr;
}

// A key to the focused control, through the program's loop.
void key(UINT vk) {
    postKey(GetFocus(), vk);
    pump(150);
}

} // namespace

WINTEST(studyGraphFlow) {
    Exam e(L"rekal-graph");
    app().settings.examLogName = cp932(e.log.wstring());
    logRun(e.log, 0, L"○×○");
    logRun(e.log, 2, L"○○－");
    logRun(e.log, 3, L"○×××", "C:\\drill\\other.rkf");
    logRun(e.log, 40, L"×");

    pressCtrlG();
    ok(graph() != nullptr, "Ctrl+G opened no graph");
    if (!graph()) return;
    wchar_t cls[32] = {};
    GetClassNameW(graph(), cls, 32);
    ok(std::wstring(cls) == L"RekalWinGraph" && windowText(graph()) == L"学習グラフ", "class %ls caption %ls",
       cls, windowText(graph()).c_str());
    ok(GetWindow(graph(), GW_OWNER) == app().mainWindow, "not owned by the main window");
    ok(menuItemText(mainMenu(), CMD_VIEW_GRAPH) == L"学習グラフ(&P)...\tCtrl+G", "menu item %ls",
       menuItemText(mainMenu(), CMD_VIEW_GRAPH).c_str());
    // The open book over 30 days: today and two days ago; the streak is today's alone.
    ok(checked(IDC_GRAPH_30_DAYS), "30 days not chosen");
    CHECK_SUMMARY(e.log, false, 30,
                  {L"学習した日数：2日", L"連続学習日数：1日", L"解答数：5問", L"正解率：80.00%"});
    ok(GetFocus() == graphControl(IDC_GRAPH_OPEN_BOOK), "focus not on the chosen books");

    // The arrows choose within a group, Tab goes on to the next group.
    key(VK_DOWN);
    CHECK_SUMMARY(e.log, true, 30, {L"学習した日数：3日", L"解答数：9問", L"正解数：5問", L"正解率：55.55%"});
    key(VK_TAB);
    ok(GetFocus() == graphControl(IDC_GRAPH_30_DAYS), "Tab did not reach the period");
    key(VK_DOWN);
    ok(checked(IDC_GRAPH_90_DAYS) && !checked(IDC_GRAPH_30_DAYS), "Down did not choose 90 days");
    CHECK_SUMMARY(e.log, true, 90, {L"学習した日数：4日", L"解答数：10問", L"正解率：50.00%"});
    key(VK_TAB);
    ok(GetFocus() == graphControl(IDC_GRAPH_HELP), "Tab did not reach help");

    // ヘルプ and F1 open the graph's page.
    app().help.call = recordHelp;
    key(VK_RETURN); // on ヘルプ
    HELPINFO f1{sizeof f1, HELPINFO_WINDOW, IDC_GRAPH_HELP, graphControl(IDC_GRAPH_HELP), 0, {}};
    SendMessageW(graph(), WM_HELP, 0, reinterpret_cast<LPARAM>(&f1));
    ok((g_helpTopics == std::vector<DWORD_PTR>{112, 112}), "%d help calls, first %d",
       static_cast<int>(g_helpTopics.size()), g_helpTopics.empty() ? 0 : static_cast<int>(g_helpTopics[0]));

    // Ctrl+G again brings the one window to the front.
    HWND first = graph();
    SetForegroundWindow(app().mainWindow);
    pressCtrlG();
    ok(graph() == first && GetForegroundWindow() == first, "Ctrl+G made another window or left it behind");

    // A run the exam engine logs is counted at once (the log read again).
    rekal::ExamEnv* env = rekal::win::sessionExamEnv();
    ok(env && env->log, "no exam log sink");
    if (env && env->log) env->log->appendRun(app().run);
    pump(200);
    CHECK_SUMMARY(e.log, true, 90, {L"出題回数：5回"});

    if (const std::wstring dir = shotFolder(); !dir.empty()) {
        MoveWindow(graph(), 0, 0, px(720), px(520), TRUE);
        SendMessageW(graphControl(IDC_GRAPH_OPEN_BOOK), BM_CLICK, 0, 0); // with the standing bars
        pump(300);
        ok(saveScreen(dir + L"\\graph-" + std::to_wstring(wintest::screenDpi()) + L".bmp"), "no screenshot");
        SendMessageW(graphControl(IDC_GRAPH_ALL_BOOKS), BM_CLICK, 0, 0);
    }

    // Esc closes; the place and the choices come back with the next opening.
    MoveWindow(graph(), px(40), px(50), px(600), px(420), TRUE);
    pump(60);
    RECT placed;
    GetWindowRect(graph(), &placed);
    key(VK_ESCAPE);
    ok(graph() == nullptr, "Esc left the graph open");
    const rekal::WindowRect& stored = app().settings.graphRect;
    ok(stored.left == placed.left && stored.top == placed.top && stored.width == placed.right - placed.left,
       "stored %d,%d %d", stored.left, stored.top, stored.width);
    pressCtrlG();
    RECT again{};
    if (graph()) GetWindowRect(graph(), &again);
    ok(EqualRect(&again, &placed), "reopened at %ld,%ld", again.left, again.top);
    ok(checked(IDC_GRAPH_ALL_BOOKS) && checked(IDC_GRAPH_90_DAYS), "choices not kept");
    closeProgram();
}

// 2,000 runs of 200 questions (32 MB): the window shows them within a generous bound.
WINTEST(studyGraphOfALargeLog) {
    Exam e(L"rekal-graph-big");
    app().settings.examLogName = cp932(e.log.wstring());
    const rekal::LocalTime today = daysAgo(0);
    std::string row;
    for (int q = 1; q <= 200; ++q)
        row += std::to_string(q) + "," + std::to_string(q) + (q % 3 ? ",○" : ",×") +
               ",5秒,日本一高い山はどこでしょうか,富士山,全般,静岡県と山梨県の境にある山\r\n";
    std::string text;
    for (int i = 0; i < 2000; ++i) {
        if (!text.empty()) text += "\r\n\r\n";
        text += "Rekal for Windows Ver.1.63 出題履歴\r\n[   時刻   ] " + std::to_string(today.year) + "年" +
                std::to_string(today.month) + "月" + std::to_string(today.day) + "日(月) " +
                std::to_string(i % 24) + "時0分\r\n[ファイル名] C:\\drill\\file" + std::to_string(i % 40) +
                ".rkf\r\n[ 出題方法 ] すべて\r\n[解答モード] 通常\r\n[  正解率  ] 66.66%\r\n"
                "[ 所要時間 ] 5秒\r\n順番,問題番号,正誤,所要時間,問題,答え,グループ,コメント\r\n" +
                row;
    }
    writeBytes(e.log, text);
    app().settings.graphAllBooks = true;
    const DWORD before = GetTickCount();
    pressCtrlG();
    const DWORD shownMs = GetTickCount() - before;
    std::printf("a log of %u bytes shown in %lu ms\n", static_cast<unsigned>(text.size()),
                static_cast<unsigned long>(shownMs));
    ok(text.size() > 32000000u, "the log is only %u bytes", static_cast<unsigned>(text.size()));
    ok(shownMs < 3000, "the graph took %lu ms", static_cast<unsigned long>(shownMs));
    ok(graph() && windowText(graphControl(IDC_GRAPH_SUMMARY)).find(L"解答数：400000問") != std::wstring::npos,
       "not every answer counted");
    closeProgram();
}

WINTEST_MAIN("progresswindow")
