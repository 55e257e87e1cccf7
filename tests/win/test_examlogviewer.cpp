// The exam-log viewer on logs written by the exam-log writer: the tree by date and by file, the tab
// kept across openings, stepping through records, column widths, the file link, and re-exams (the
// wrong questions shuffled, ending in a logged run of that name; a record whose questions are gone).
// Started with --shots, the program pauses at each scene and prints "SHOT name" for a script to
// photograph the screen; with --big it also opens a 32 MB log and tells how long that took.

#include "shelltest.h"

#include "core/base/notifier.h"
#include "core/data/reader.h"
#include "core/examlog/browse.h"
#include "core/examlog/examlog.h"
#include "win/shell/bookfile.h"
#include "win/exam/examsession.h"
#include "win/exam/examsession.h"

#include <cwchar>

namespace {

using namespace shelltest;
using rekal::ExamResult;
using rekal::Verdict;

void shot(const char* name) {
    if (!std::wcsstr(GetCommandLineW(), L"--shots")) return;
    std::printf("SHOT %s\n", name);
    std::fflush(stdout);
    wintest::flushEvents(1500);
}

// Runs an action on a dialog once it shows, from a timer of the modal loop that shows it.
struct PendingDialog {
    std::wstring caption;
    std::function<void(HWND)> act;
};
std::vector<PendingDialog> g_pending;
UINT_PTR g_timer = 0;

void CALLBACK pollDialogs(HWND, UINT, UINT_PTR, DWORD) {
    for (std::size_t i = 0; i < g_pending.size(); ++i) {
        HWND dialog = FindWindowW(L"#32770", g_pending[i].caption.c_str());
        if (!dialog || !IsWindowVisible(dialog)) continue;
        std::function<void(HWND)> act = std::move(g_pending[i].act);
        g_pending.erase(g_pending.begin() + static_cast<std::ptrdiff_t>(i));
        if (g_pending.empty()) {
            KillTimer(nullptr, g_timer);
            g_timer = 0;
        }
        act(dialog);
        return;
    }
}

void whenDialogShows(const wchar_t* caption, std::function<void(HWND)> act) {
    g_pending.push_back({caption, std::move(act)});
    if (!g_timer) g_timer = SetTimer(nullptr, 0, 50, pollDialogs);
}

// Opens the viewer and runs `act` on it; the action closes it. False when it never showed.
bool withViewer(const std::function<void(HWND)>& act) {
    bool shown = false;
    whenDialogShows(L"出題履歴", [&](HWND dialog) {
        shown = true;
        act(dialog);
    });
    command(CMD_OPEN_EXAMLOG);
    if (!shown) {
        g_pending.clear();
        KillTimer(nullptr, g_timer);
        g_timer = 0;
    }
    return shown;
}

void press(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::wstring text(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

// Every tree item depth first, each indented by two spaces per level; the selected one marked "*".
void collectTree(HWND tree, HTREEITEM item, int depth, std::vector<std::wstring>& out) {
    for (; item; item = reinterpret_cast<HTREEITEM>(
                     SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
        wchar_t buffer[300] = {};
        TVITEMW it{};
        it.mask = TVIF_TEXT | TVIF_STATE;
        it.hItem = item;
        it.pszText = buffer;
        it.cchTextMax = 300;
        it.stateMask = TVIS_SELECTED;
        SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&it));
        out.push_back(std::wstring(static_cast<std::size_t>(depth * 2), L' ') + buffer +
                      ((it.state & TVIS_SELECTED) ? L"*" : L""));
        collectTree(tree,
                    reinterpret_cast<HTREEITEM>(
                        SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(item))),
                    depth + 1, out);
    }
}
std::vector<std::wstring> treeItems(HWND dialog) {
    HWND tree = GetDlgItem(dialog, IDC_LOG_TREE);
    std::vector<std::wstring> out;
    collectTree(tree, reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0)), 0, out);
    return out;
}

std::wstring listText(HWND dialog, int row, int column) {
    return listCell(GetDlgItem(dialog, IDC_LOG_QUESTIONS), row, column);
}
int listCount(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_LOG_QUESTIONS, LVM_GETITEMCOUNT, 0, 0));
}
int columnCount(HWND dialog) {
    HWND header = reinterpret_cast<HWND>(SendDlgItemMessageW(dialog, IDC_LOG_QUESTIONS, LVM_GETHEADER, 0, 0));
    return static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
}

void selectTab(HWND dialog, int tab) {
    HWND tabs = GetDlgItem(dialog, IDC_LOG_TABS);
    SendMessageW(tabs, TCM_SETCURSEL, tab, 0);
    NMHDR header{tabs, IDC_LOG_TABS, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog, WM_NOTIFY, IDC_LOG_TABS, reinterpret_cast<LPARAM>(&header));
}

// A record of a run over the book at `book` (already written), appended by the exam-log writer.
void logRun(const fs::path& log, const fs::path& book, rekal::LocalTime start,
            const std::vector<ExamResult>& results, rekal::ExamMethod method = rekal::kMethodAll) {
    rekal::QuestionBook b;
    rekal::SilentNotifier quiet;
    ok(rekal::loadBookFromBytes(b, book, readBytes(book), app().settings, quiet), "book %s did not load",
       wintest::utf8(book.wstring()).c_str());
    rekal::ExamLogRecord record;
    record.start = start;
    record.filePath = b.path();
    record.last = b.questionCount() - 1;
    record.method = method;
    for (const ExamResult& r : results) {
        if (r.verdict == Verdict::Right) ++record.right;
        if (r.verdict == Verdict::Wrong) ++record.wrong;
    }
    record.elapsedMs = 65000;
    record.results = results;
    rekal::appendExamLog(log, 0, record, b, quiet);
}

// Starts the program with its log in the test's folder.
fs::path startWithLog(const fs::path& dir) {
    ok(start(dir), "start-up failed");
    const fs::path log = dir / L"EXAMLOG.TXT";
    app().settings.examLogName = cp932(log.wstring());
    return log;
}

} // namespace

WINTEST(browsesByDateAndByFileAndKeepsTheTab) {
    auto dir = makeFolder(L"rekal-examlog-browse");
    const fs::path a = writeBook(dir, L"a.rkf", "甲", 3);
    // The second book in a folder and file of Japanese names: the log holds its path in CP932.
    fs::create_directories(dir / L"山田");
    const fs::path b = writeBook(dir / L"山田", L"英単語.rkf", "乙", 2);
    const fs::path log = startWithLog(dir);
    logRun(log, a, {2023, 12, 31, 0, 9, 5}, {{3000, 0, Verdict::Right}});
    logRun(log, a, {2024, 5, 17, 5, 10, 0},
           {{3000, 0, Verdict::Right}, {4000, 1, Verdict::Wrong}, {5000, 2, Verdict::Skipped}});
    logRun(log, b, {2024, 5, 17, 5, 12, 0}, {{3000, 1, Verdict::Wrong}});
    ok(app().settings.has(rekal::ExamLogSort), "the viewer opens by date at first");

    ok(withViewer([&](HWND d) {
           ok(SendDlgItemMessageW(d, IDC_LOG_TABS, TCM_GETCURSEL, 0, 0) == 0, "日付順 is current");
           const std::vector<std::wstring> byDate = {L"出題履歴",       L"  2023年", L"    12月",
                                                     L"      31日(日)", L"  2024年", L"    5月",
                                                     L"      17日(金)*"};
           ok(treeItems(d) == byDate, "tree by date, the latest day selected");
           ok(text(d, IDC_LOG_RANGE) == L"(1～2)", "range %s", wintest::utf8(text(d, IDC_LOG_RANGE)).c_str());
           ok(text(d, IDC_LOG_TIME) == L"2024年5月17日(金) 10時0分", "time %s",
              wintest::utf8(text(d, IDC_LOG_TIME)).c_str());
           ok(text(d, IDC_LOG_FILE) == a.wstring(), "file link");
           ok(text(d, IDC_LOG_METHOD) == L"すべて" && text(d, IDC_LOG_MODE) == L"通常", "method and mode");
           ok(text(d, IDC_LOG_RATE) == L"50.00%" && text(d, IDC_LOG_ELAPSED) == L"1分5秒", "rate %s, time %s",
              wintest::utf8(text(d, IDC_LOG_RATE)).c_str(), wintest::utf8(text(d, IDC_LOG_ELAPSED)).c_str());
           ok(columnCount(d) == 8 && listCount(d) == 3, "8 columns, 3 questions");
           ok(listText(d, 1, 1) == L"2" && listText(d, 1, 2) == L"×" && listText(d, 1, 4) == L"甲の問題2",
              "second question row");
           ok(IsWindowEnabled(GetDlgItem(d, IDC_LOG_REEXAM)), "re-exam enabled");
           shot("viewer-by-date");

           // Stepping: typing, numbers outside the node, the last and first buttons.
           SetDlgItemTextW(d, IDC_LOG_NUMBER, L"2");
           ok(text(d, IDC_LOG_TIME) == L"2024年5月17日(金) 12時0分" && text(d, IDC_LOG_FILE) == b.wstring(),
              "record 2");
           for (const wchar_t* outside : {L"0", L"3"}) {
               SetDlgItemTextW(d, IDC_LOG_NUMBER, outside);
               ok(text(d, IDC_LOG_FILE) == b.wstring() && listCount(d) == 1, "%ls changes nothing", outside);
           }
           press(d, IDC_LOG_FIRST);
           ok(text(d, IDC_LOG_NUMBER) == L"1" && text(d, IDC_LOG_FILE) == a.wstring(), "first button");
           // A column width the user set stays for the next record.
           SendDlgItemMessageW(d, IDC_LOG_QUESTIONS, LVM_SETCOLUMNWIDTH, 4, wintest::px(150));
           press(d, IDC_LOG_LAST);
           ok(text(d, IDC_LOG_NUMBER) == L"2" && text(d, IDC_LOG_FILE) == b.wstring(), "last button");
           ok(SendDlgItemMessageW(d, IDC_LOG_QUESTIONS, LVM_GETCOLUMNWIDTH, 4, 0) == wintest::px(150),
              "width kept");

           selectTab(d, 1);
           const std::vector<std::wstring> byFile = {L"出題履歴*", L"  " + a.wstring(), L"  " + b.wstring()};
           ok(treeItems(d) == byFile, "tree by file, the root selected");
           ok(text(d, IDC_LOG_RANGE) == L"(1～3)", "the root's range");
           ok(text(d, IDC_LOG_TIME) == L"2023年12月31日(日) 9時5分", "the oldest run of the first file");
           shot("viewer-by-file");
           press(d, IDOK);
       }),
       "the viewer showed");
    ok(!app().settings.has(rekal::ExamLogSort), "ファイル順 stored");
    ok(app().settings.examListWidth[4] == 150, "width stored: %d", app().settings.examListWidth[4]);

    ok(withViewer([&](HWND d) {
           ok(SendDlgItemMessageW(d, IDC_LOG_TABS, TCM_GETCURSEL, 0, 0) == 1, "reopens on ファイル順");
           ok(SendDlgItemMessageW(d, IDC_LOG_QUESTIONS, LVM_GETCOLUMNWIDTH, 4, 0) == wintest::px(150),
              "width reopened");
           // The file link opens the record's file through the open path; the viewer stays.
           SetDlgItemTextW(d, IDC_LOG_NUMBER, L"3");
           SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_LOG_FILE, STN_CLICKED),
                        reinterpret_cast<LPARAM>(GetDlgItem(d, IDC_LOG_FILE)));
           ok(app().book.file() == b, "the link opened %s", app().book.path().c_str());
           ok(IsWindowVisible(d), "the viewer stays");
           PostMessageW(d, WM_CLOSE, 0, 0);
       }),
       "the viewer showed again");
    closeProgram();
    removeFolder(dir);
}

WINTEST(reexamsTheWrongQuestionsShuffledAndLogsTheRun) {
    auto dir = makeFolder(L"rekal-examlog-reexam");
    const fs::path a = writeBook(dir, L"a.rkf", "甲", 5);
    const fs::path other = writeBook(dir, L"other.rkf", "丙", 2);
    const fs::path log = startWithLog(dir);
    logRun(log, a, {2024, 5, 17, 5, 10, 0},
           {{1000, 0, Verdict::Right},
            {1000, 1, Verdict::Wrong},
            {1000, 2, Verdict::Skipped},
            {1000, 3, Verdict::Right},
            {1000, 4, Verdict::Wrong}});
    rekal::win::openBookFile(other);
    app().settings.set(rekal::RetryRandom, false);

    bool menuShown = false;
    ok(withViewer([&](HWND d) {
           whenDialogShows(L"再出題メニュー", [&](HWND menu) {
               menuShown = true;
               ok(IsDlgButtonChecked(menu, IDC_REEXAM_WRONG) == BST_CHECKED, "wrong questions checked");
               ok(!IsWindowEnabled(GetDlgItem(menu, IDC_REEXAM_SELECTED)), "nothing selected");
               ok(IsDlgButtonChecked(menu, IDC_REEXAM_RANDOM) == BST_UNCHECKED, "random from RetryRandom");
               CheckDlgButton(menu, IDC_REEXAM_RANDOM, BST_CHECKED);
               shot("reexam-menu");
               PostMessageW(menu, WM_COMMAND, IDOK, 0);
           });
           press(d, IDC_LOG_REEXAM);
       }),
       "the viewer showed");
    ok(menuShown, "the re-exam menu showed");
    ok(app().settings.has(rekal::RetryRandom), "random stored");
    ok(app().book.file() == a, "the record's file was opened: %s", app().book.path().c_str());
    rekal::ExamRun& run = app().run;
    ok(run.method == (rekal::KindRetryWrong | rekal::MethodFixedList | rekal::MethodRandom), "method %#x",
       run.method);
    std::multiset<int> asked;
    for (const ExamResult& r : run.results)
        asked.insert(r.question);
    ok(asked == std::multiset<int>({1, 2, 4}), "the wrong and skipped questions, once each");

    // The run ends (as the view's abort would end it) and is logged under its name.
    rekal::ExamEnv* env = rekal::win::sessionExamEnv();
    ok(env != nullptr, "no exam view");
    if (env) rekal::endRun(run, *env);
    rekal::SilentNotifier quiet;
    std::optional<rekal::ExamLog> parsed = rekal::readExamLog(log, quiet);
    ok(parsed && parsed->entries.size() == 2, "a second record");
    if (parsed && parsed->entries.size() == 2)
        ok(parsed->entries[1].method == std::string_view("間違えた問題を再出題(ランダム)"), "method %s",
           std::string(parsed->entries[1].method.value_or("")).c_str());
    closeProgram();
    removeFolder(dir);
}

WINTEST(aRecordWhoseQuestionsAreGoneStartsNothing) {
    auto dir = makeFolder(L"rekal-examlog-gone");
    const fs::path a = writeBook(dir, L"a.rkf", "甲", 6);
    const fs::path log = startWithLog(dir);
    logRun(log, a, {2024, 5, 17, 5, 10, 0}, {{1000, 4, Verdict::Wrong}, {1000, 5, Verdict::Wrong}});
    logRun(log, a, {2024, 5, 18, 6, 10, 0}, {});
    writeBook(dir, L"a.rkf", "甲", 3); // the file has shrunk since

    auto boxes = DialogWatcher::pressing(IDOK);
    ok(withViewer([&](HWND d) {
           ok(!IsWindowEnabled(GetDlgItem(d, IDC_LOG_REEXAM)), "a run without questions offers no re-exam");
           // The latest day is selected: step to the older one through the root.
           HWND tree = GetDlgItem(d, IDC_LOG_TREE);
           SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
           ok(text(d, IDC_LOG_RANGE) == L"(1～2)" && listCount(d) == 2, "the root's first record");
           whenDialogShows(L"再出題メニュー", [](HWND menu) { PostMessageW(menu, WM_COMMAND, IDOK, 0); });
           press(d, IDC_LOG_REEXAM);
       }),
       "the viewer showed");
    wintest::flushEvents(300);
    ok(!app().run.active(), "nothing started");
    const std::vector<std::wstring> texts = boxes.texts();
    ok(texts.size() == 1 && texts[0] == L"出題する問題はありません。", "%d boxes, the first %s",
       static_cast<int>(texts.size()), texts.empty() ? "" : wintest::utf8(texts[0]).c_str());
    closeProgram();
    removeFolder(dir);
}

// A log of about 100,000 records (32 MB): how long the viewer takes to show it.
WINTEST(opensALargeLog) {
    if (!std::wcsstr(GetCommandLineW(), L"--big")) return;
    auto dir = makeFolder(L"rekal-examlog-big");
    const fs::path log = startWithLog(dir);
    std::string text;
    for (int i = 0; text.size() < 32u * 1024 * 1024 - 400; ++i) {
        if (!text.empty()) text += "\r\n\r\n";
        const int day = i / 80, month = day / 28 % 12 + 1, year = 2000 + day / 336;
        text +=
            "Rekal for Windows Ver.1.63 出題履歴\r\n[   時刻   ] " + std::to_string(year) + "年" +
            std::to_string(month) + "月" + std::to_string(day % 28 + 1) + "日(月) " +
            std::to_string(i % 80 / 4) + "時0分\r\n[ファイル名] C:\\drill\\file" + std::to_string(i % 40) +
            ".rkf\r\n[ 出題方法 ] すべて\r\n[解答モード] 通常\r\n[  正解率  ] 100.00%\r\n[ 所要時間 ] 5秒\r\n"
            "順番,問題番号,正誤,所要時間,問題,答え,グループ,コメント\r\n1,1,○,5秒,日本一高い山は？,富士山,"
            "全般,\r\n"
            "2,2,×,5秒,問題,答え,全般,\r\n";
    }
    writeBytes(log, text);
    DWORD before = GetTickCount();
    rekal::SilentNotifier quiet;
    std::optional<rekal::ExamLog> parsed = rekal::readExamLog(log, quiet);
    const DWORD readMs = GetTickCount() - before;
    before = GetTickCount();
    if (parsed) rekal::arrangeExamLog(*parsed, rekal::ExamLogOrder::ByDate);
    const DWORD modelMs = GetTickCount() - before;
    parsed.reset();
    before = GetTickCount();
    DWORD shownAfter = 0;
    ok(withViewer([&](HWND d) {
           shownAfter = GetTickCount() - before;
           selectTab(d, 1);
           PostMessageW(d, WM_CLOSE, 0, 0);
       }),
       "the viewer showed");
    std::printf("a log of %u bytes: read and parsed in %lu ms, model by date %lu ms; the viewer showed after "
                "%lu ms\n",
                static_cast<unsigned>(text.size()), static_cast<unsigned long>(readMs),
                static_cast<unsigned long>(modelMs), static_cast<unsigned long>(shownAfter));
    closeProgram();
    removeFolder(dir);
}

WINTEST_MAIN("examlogviewer")
