// The result dialog and its detail list, shown with a made-up run: the counts and the rate, the
// retry and random boxes with their enabling, what OK and Esc hand back and store, and the detail
// list sorted by its columns with its widths and place kept in the settings.

#include "dialogsteps.h"
#include "shelltest.h"

#include "core/exam/run.h"
#include "win/program/help.h"
#include "win/display/sentence.h"
#include "win/exam/resultdialog.h"

#include <commctrl.h>

#include <deque>

namespace {

using namespace shelltest;
using namespace dialogsteps;
using rekal::ExamResult;
using rekal::ResultDialogChoice;
using rekal::ResultDialogInput;
using rekal::Verdict;

// 4 asked: 2 right, 1 wrong, 1 skipped, in 1 h 2 min 3 s. The first question took an hour, the
// third one second.
ResultDialogInput madeUpRun() {
    ResultDialogInput input;
    input.asked = 4;
    input.right = 2;
    input.wrong = 1;
    input.elapsedMs = 3'723'000;
    input.results = {{3'600'000, 0, Verdict::Right},
                     {2'000, 1, Verdict::Wrong},
                     {1'000, 2, Verdict::Skipped},
                     {60'000, 1, Verdict::Right}};
    input.retryEnabled = true;
    input.retryChecked = true;
    input.randomChecked = false;
    return input;
}

// The "順番" column of the detail list, top to bottom.
std::vector<int> listedOrder(HWND list) {
    std::vector<int> order;
    const int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t buffer[32] = {};
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = buffer;
        item.cchTextMax = 32;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        order.push_back(_wtoi(buffer));
    }
    return order;
}

std::wstring cell(HWND list, int row, int column) {
    return listCell(list, row, column);
}

void clickHeader(HWND dialog, int column) {
    NMLISTVIEW click{};
    click.hdr = {GetDlgItem(dialog, IDC_DETAIL_LIST), IDC_DETAIL_LIST, static_cast<UINT>(LVN_COLUMNCLICK)};
    click.iItem = -1;
    click.iSubItem = column;
    SendMessageW(dialog, WM_NOTIFY, IDC_DETAIL_LIST, reinterpret_cast<LPARAM>(&click));
}

// A step that opens the detail list from the result dialog.
std::function<bool()> openDetails() {
    return [] {
        HWND d = dialogCalled(L"結果");
        if (!d) return false;
        click(d, IDC_RESULT_DETAIL);
        return true;
    };
}

// A step that closes the result dialog with `button` once the detail list has gone.
std::function<bool()> closeResultAfterDetails(int button) {
    return [button] {
        HWND d = dialogCalled(L"結果");
        if (!d || dialogCalled(L"詳細")) return false;
        PostMessageW(d, WM_COMMAND, static_cast<WPARAM>(button), 0);
        return true;
    };
}

// The help contexts the program asks for.
fs::path startWithBook(const wchar_t* folder) {
    fs::path dir = makeFolder(folder);
    fs::path book = writeBook(dir, L"book.rkf", "結果", 3);
    ok(start(dir, L"\"" + book.wstring() + L"\""), "start-up failed");
    return dir;
}

} // namespace

WINTEST(resultDialogShowsTheRunAndHandsTheBoxesBackOnOkOnly) {
    fs::path dir = startWithBook(L"rekal-result");
    app().help.call = recordHelpContext;
    g_helpContexts.clear();
    const ResultDialogInput input = madeUpRun();
    ResultDialogChoice choice;
    withSteps(
        {[&] {
            HWND d = dialogCalled(L"結果");
            if (!d) return false;
            ok(itemText(d, IDC_RESULT_ASKED) == L"4", "出題数 %s",
               wintest::utf8(itemText(d, IDC_RESULT_ASKED)).c_str());
            ok(itemText(d, IDC_RESULT_ANSWERED) == L"3", "解答数");
            ok(itemText(d, IDC_RESULT_RIGHT) == L"2", "正解数");
            ok(itemText(d, IDC_RESULT_RATE) == L"66.66%", "正解率 %s",
               wintest::utf8(itemText(d, IDC_RESULT_RATE)).c_str());
            ok(itemText(d, IDC_RESULT_TIME) == L"1時間2分3秒", "所要時間 %s",
               wintest::utf8(itemText(d, IDC_RESULT_TIME)).c_str());
            ok(itemText(d, IDC_RESULT_ASKED_LABEL) == L"出題数：", "label");
            LOGFONTW font{};
            GetObjectW(reinterpret_cast<HFONT>(SendDlgItemMessageW(d, IDC_RESULT_RATE, WM_GETFONT, 0, 0)),
                       sizeof font, &font);
            ok(font.lfWeight == FW_BOLD && font.lfCharSet == SHIFTJIS_CHARSET, "value font %ld/%d",
               font.lfWeight, font.lfCharSet);
            ok(GetFocus() == GetDlgItem(d, IDOK), "focus not on OK");
            // The boxes start as the input says; random follows retry.
            ok(enabled(d, IDC_RESULT_RETRY) && checked(d, IDC_RESULT_RETRY), "retry box");
            ok(enabled(d, IDC_RESULT_RANDOM) && !checked(d, IDC_RESULT_RANDOM), "random box");
            SendDlgItemMessageW(d, IDC_RESULT_RETRY, BM_CLICK, 0, 0);
            ok(!checked(d, IDC_RESULT_RETRY) && !enabled(d, IDC_RESULT_RANDOM), "random on without retry");
            SendDlgItemMessageW(d, IDC_RESULT_RETRY, BM_CLICK, 0, 0);
            ok(enabled(d, IDC_RESULT_RANDOM), "random off with retry");
            SendDlgItemMessageW(d, IDC_RESULT_RANDOM, BM_CLICK, 0, 0);
            click(d, IDOK);
            return true;
        }},
        [&] { choice = rekal::win::showResultDialog(app().mainWindow, input); }, __LINE__);
    ok(choice.ok && choice.retry && choice.random, "OK gave %d %d %d", choice.ok, choice.retry,
       choice.random);

    // The run takes the boxes into the settings on OK ...
    rekal::ExamRun run;
    run.wrong = 1;
    run.results = input.results;
    run.asked = 4;
    struct Screen : rekal::ExamScreen {
        std::string answerEditText() override { return {}; }
        Verdict runAnswerDialog(const rekal::AnswerDialogInput&) override { return Verdict::None; }
        bool confirmAbort() override { return true; }
        ResultDialogChoice runResultDialog(const ResultDialogInput&) override { return {}; }
    } screen;
    rekal::SystemClock clock;
    rekal::ExamEnv env{app().book, app().settings, app().vague, app().random,
                       clock,      screen,         nullptr,     nullptr};
    app().settings.set(rekal::Retry, false);
    app().settings.set(rekal::RetryRandom, false);
    rekal::applyResultChoice(run, env, choice);
    ok(app().settings.has(rekal::Retry) && app().settings.has(rekal::RetryRandom), "boxes not stored on OK");
    ok(run.method == 0x54u, "a shuffled retry is prepared: %#x", run.method);

    // ... but not on Esc, whatever the boxes show.
    withSteps(
        {[&] {
            HWND d = dialogCalled(L"結果");
            if (!d) return false;
            SendDlgItemMessageW(d, IDC_RESULT_RETRY, BM_CLICK, 0, 0);
            PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
            return true;
        }},
        [&] { choice = rekal::win::showResultDialog(app().mainWindow, input); }, __LINE__);
    ok(!choice.ok, "Esc gave OK");
    app().settings.set(rekal::Retry, false);
    rekal::applyResultChoice(run, env, choice);
    ok(!app().settings.has(rekal::Retry), "boxes stored on Esc");
    ok(run.method == 0, "Esc prepared a run");

    // Without a wrong answer (or while the view closes) there is no retry to offer.
    ResultDialogInput noRetry = madeUpRun();
    noRetry.wrong = 0;
    noRetry.retryEnabled = false;
    withSteps(
        {[&] {
            HWND d = dialogCalled(L"結果");
            if (!d) return false;
            ok(!enabled(d, IDC_RESULT_RETRY) && !checked(d, IDC_RESULT_RETRY), "retry offered");
            ok(!enabled(d, IDC_RESULT_RANDOM), "random enabled");
            ok(itemText(d, IDC_RESULT_RATE) == L"100.00%", "rate of 2 right, 0 wrong");
            click(d, IDOK);
            return true;
        }},
        [&] { choice = rekal::win::showResultDialog(app().mainWindow, noRetry); }, __LINE__);
    ok(choice.ok && !choice.retry, "retry handed back while disabled");
    ok(closeProgram() == 0, "exit code");
    removeFolder(dir);
}

WINTEST(detailListSortsAndKeepsItsWidthsAndPlace) {
    fs::path dir = startWithBook(L"rekal-detail");
    app().help.call = recordHelpContext;
    g_helpContexts.clear();
    const ResultDialogInput input = madeUpRun();
    withSteps(
        {openDetails(),
         [&] {
             HWND d = dialogCalled(L"詳細");
             if (!d) return false;
             HWND list = GetDlgItem(d, IDC_DETAIL_LIST);
             ok(listedOrder(list) == std::vector<int>({1, 2, 3, 4}), "asking order");
             ok(cell(list, 0, 1) == L"1" && cell(list, 1, 1) == L"2", "question numbers");
             ok(cell(list, 0, 2) == L"○" && cell(list, 1, 2) == L"×" && cell(list, 2, 2) == L"－", "marks");
             ok(cell(list, 0, 3) == L"1時間0秒", "time %s", wintest::utf8(cell(list, 0, 3)).c_str());
             ok(cell(list, 1, 4) == L"結果の問題2", "question text %s",
                wintest::utf8(cell(list, 1, 4)).c_str());
             ok(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 0,
                "first row not selected");
             ok((GetWindowLongW(d, GWL_STYLE) & WS_THICKFRAME) != 0, "not resizable");
             RECT r{};
             GetWindowRect(d, &r);
             ok(r.right - r.left == wintest::px(350) && r.bottom - r.top == wintest::px(300),
                "default size %ldx%ld", r.right - r.left, r.bottom - r.top);

             // An hour sorts above a second: the first click sorts descending, the next ascending.
             clickHeader(d, 3);
             ok(listedOrder(list) == std::vector<int>({1, 4, 2, 3}), "time descending");
             clickHeader(d, 3);
             ok(listedOrder(list) == std::vector<int>({3, 2, 4, 1}), "time ascending");
             clickHeader(d, 1);
             ok(listedOrder(list) == std::vector<int>({3, 2, 4, 1}), "number descending");
             clickHeader(d, 1);
             ok(listedOrder(list) == std::vector<int>({1, 2, 4, 3}),
                "number ascending, ties in asking order");

             // The list follows the window's size; the window has a minimum size.
             MoveWindow(d, 30, 40, wintest::px(420), wintest::px(330), TRUE);
             RECT client{}, listRect{}, okButton{};
             GetClientRect(d, &client);
             GetWindowRect(list, &listRect);
             GetWindowRect(GetDlgItem(d, IDOK), &okButton);
             ok(listRect.right - listRect.left == client.right, "list width %ld of %ld",
                listRect.right - listRect.left, client.right);
             POINT okTop{okButton.left, okButton.bottom};
             ScreenToClient(d, &okTop);
             ok(okTop.y == client.bottom - wintest::px(2), "buttons %ld above the bottom",
                client.bottom - okTop.y);
             MoveWindow(d, 30, 40, 50, 50, TRUE);
             GetWindowRect(d, &r);
             ok(r.right - r.left >= wintest::px(200) && r.bottom - r.top >= wintest::px(120),
                "smaller than the minimum");
             MoveWindow(d, 30, 40, wintest::px(420), wintest::px(330), TRUE);
             ListView_SetColumnWidth(list, 4, wintest::px(150));
             SendDlgItemMessageW(d, IDC_DETAIL_HELP, BM_CLICK, 0, 0);
             ok(g_helpContexts == std::vector<DWORD_PTR>({111}), "help of the detail list");
             PostMessageW(d, WM_COMMAND, IDCANCEL, 0); // Esc also keeps the layout
             return true;
         },
         closeResultAfterDetails(IDOK)},
        [&] { rekal::win::showResultDialog(app().mainWindow, input); }, __LINE__);
    const rekal::Settings& s = app().settings;
    ok(s.detailsListWidth[4] == 150 && s.detailsListWidth[0] == 36, "widths %d %d", s.detailsListWidth[4],
       s.detailsListWidth[0]);
    ok(s.detailRect.left == 30 && s.detailRect.top == 40 && s.detailRect.width == wintest::px(420) &&
           s.detailRect.height == wintest::px(330),
       "place %d,%d %dx%d", s.detailRect.left, s.detailRect.top, s.detailRect.width, s.detailRect.height);
    ok(!s.detailMaximized, "maximised");

    // The stored place comes back, maximised when it was.
    app().settings.detailMaximized = true;
    withSteps(
        {openDetails(),
         [&] {
             HWND d = dialogCalled(L"詳細");
             if (!d) return false;
             ok(IsZoomed(d), "not maximised");
             WINDOWPLACEMENT wp{};
             wp.length = sizeof wp;
             GetWindowPlacement(d, &wp);
             ok(wp.rcNormalPosition.left == 30 &&
                    wp.rcNormalPosition.right - wp.rcNormalPosition.left == wintest::px(420),
                "normal place %ld width %ld", wp.rcNormalPosition.left,
                wp.rcNormalPosition.right - wp.rcNormalPosition.left);
             return true;
         },
         [&] {
             HWND d = dialogCalled(L"詳細");
             ok(IsZoomed(d), "the dialog's first showing undid the maximised state");
             PostMessageW(d, WM_COMMAND, IDOK, 0);
             return true;
         },
         closeResultAfterDetails(IDCANCEL)},
        [&] { rekal::win::showResultDialog(app().mainWindow, input); }, __LINE__);
    ok(app().settings.detailMaximized, "maximised state not kept");
    ok(closeProgram() == 0, "exit code");
    const std::string ini = readBytes(dir / L"REKALWIN.INI");
    ok(ini.find("DetailsListWidth=36,42,36,60,150\r\n") != std::string::npos, "widths not written");
    ok(ini.find("DetailShow=1\r\n") != std::string::npos, "maximised state not written");
    removeFolder(dir);
}

WINTEST(detailListShowsTheChosenQuestionInTheListWindow) {
    fs::path dir = startWithBook(L"rekal-detail-show");
    const ResultDialogInput input = madeUpRun();
    auto shownNumber = [] {
        return app().listWindow ? windowText(GetDlgItem(app().listWindow, IDC_LIST_NUMBER)) : L"";
    };
    withSteps(
        {openDetails(),
         [&] {
             HWND d = dialogCalled(L"詳細");
             if (!d) return false;
             HWND list = GetDlgItem(d, IDC_DETAIL_LIST);
             ok(enabled(d, IDC_DETAIL_SHOW), "表示 disabled");
             // Sorted by number descending the top row is question 3; a double-click opens the
             // list window on it.
             clickHeader(d, 1);
             ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
             NMITEMACTIVATE dbl{};
             dbl.hdr = {list, IDC_DETAIL_LIST, static_cast<UINT>(NM_DBLCLK)};
             dbl.iItem = 0;
             SendMessageW(d, WM_NOTIFY, IDC_DETAIL_LIST, reinterpret_cast<LPARAM>(&dbl));
             ok(shownNumber() == L"3", "double-click showed %ls", shownNumber().c_str());
             HWND listWindow = app().listWindow;
             ListView_SetItemState(list, 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
             SendDlgItemMessageW(d, IDC_DETAIL_SHOW, BM_CLICK, 0, 0);
             ok(shownNumber() == L"1" && app().listWindow == listWindow, "表示 showed %ls",
                shownNumber().c_str());
             rekal::win::SentenceState* question =
                 rekal::win::sentenceState(GetDlgItem(listWindow, IDC_QUESTION));
             ok(question && question->text && *question->text == cp932(L"結果の問題1"), "question text");
             // A run has answered question 1 since: 表示 shows it again with its new history.
             HWND history = GetDlgItem(listWindow, IDC_HISTORY);
             const std::wstring before = windowText(history);
             app().book.recordResult(app().book.questionAt(0), rekal::Verdict::Right);
             SendDlgItemMessageW(d, IDC_DETAIL_SHOW, BM_CLICK, 0, 0);
             const std::wstring after = windowText(history);
             ok(after != before && !after.empty() && after.back() == L'○', "history after the run %s",
                wintest::utf8(after).c_str());
             // Without a selected row nothing happens.
             ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
             SendDlgItemMessageW(listWindow, IDC_LIST_SPIN, UDM_SETPOS32, 0, 2);
             SendDlgItemMessageW(d, IDC_DETAIL_SHOW, BM_CLICK, 0, 0);
             ok(shownNumber() == L"2", "表示 without a selection");
             PostMessageW(d, WM_COMMAND, IDOK, 0);
             return true;
         },
         closeResultAfterDetails(IDCANCEL)},
        [&] { rekal::win::showResultDialog(app().mainWindow, input); }, __LINE__);
    ok(closeProgram() == 0, "exit code");
    removeFolder(dir);
}

WINTEST_MAIN("resultdialog")
