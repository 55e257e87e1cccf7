// The count and weak-point dialogs opened by their start commands (menu, toolbar, accelerator):
// what OK keeps in the settings when the count is refused and when it is accepted, that Cancel
// keeps nothing, and the runs they start played to the result dialog.

#include "dialogsteps.h"
#include "examtest.h"

#include "core/exam/method.h"

#include <commctrl.h>

#include <set>

namespace {

using namespace examtest;
using namespace dialogsteps;

bool wholeTextSelected(HWND edit) {
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start == 0 && end == static_cast<DWORD>(GetWindowTextLengthW(edit)) && end > 0;
}

int trackbarPos(HWND d) {
    return static_cast<int>(SendDlgItemMessageW(d, IDC_COUNT_STRENGTH, TBM_GETPOS, 0, 0));
}

void setTrackbar(HWND d, int pos) {
    SendDlgItemMessageW(d, IDC_COUNT_STRENGTH, TBM_SETPOS, TRUE, pos);
}

std::wstring limitOf(HWND d) {
    return itemText(d, IDC_COUNT_LIMIT);
}

void withCtrl(bool down) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// An exam in written mode whose count settings start at count 10, strength 8 and the box as given;
// message boxes are answered OK, the result dialog closed and `answers` answer dialogs closed with
// Enter.
struct CountExam {
    Exam exam;
    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    DialogWatcher results = closingResults();
    AnswerScript script;
    CountExam(const wchar_t* name, const std::string& text, int answers, bool noAlready)
        : exam(name, text),
          script(std::vector<AnswerScript::Key>(static_cast<std::size_t>(answers), vk(VK_RETURN))) {
        setMode(CMD_MODE_WRITTEN);
        app().help.call = recordHelpContext;
        g_helpContexts.clear();
        app().settings.initialExamCount = 10;
        app().settings.weakPointStrength = 8;
        app().settings.set(rekal::NoAlready, noAlready);
    }
};

} // namespace

// Over a book far larger than the counts the settings keep: the limit, the up-down and the count
// reach its last question with the box ticked.
WINTEST(countDialogKeepsTheBoxOnOkOnlyAndStartsItsRun) {
    std::string text = "REKALDATA V1.6\r\n";
    for (int i = 1; i <= 100000; ++i)
        text.append("q").append(std::to_string(i)).append(",a,<00\r\n");
    CountExam t(L"rekal-count", text, 3, false);
    rekal::Settings& settings = app().settings;
    DialogWatcher& boxes = t.boxes;

    // Cancel after ticking the box keeps nothing and starts nothing.
    withSteps(
        {onDialog(L"回数指定",
                  [&](HWND d) {
                      ok(itemText(d, IDC_COUNT_EDIT) == L"10" && !checked(d, IDC_COUNT_NO_REPEAT),
                         "opening count and box");
                      ok(limitOf(d) == L"(1～32767)", "limit %s", wintest::utf8(limitOf(d)).c_str());
                      HWND edit = GetDlgItem(d, IDC_COUNT_EDIT);
                      ok(GetFocus() == edit && wholeTextSelected(edit), "count edit focused and selected");
                      SendMessageW(d, WM_COMMAND, IDC_COUNT_HELP, 0);
                      click(d, IDC_COUNT_NO_REPEAT);
                  }),
         onDialog(L"回数指定",
                  [&](HWND d) {
                      ok(limitOf(d) == L"(1～100000)", "no-repeat limit %s",
                         wintest::utf8(limitOf(d)).c_str());
                      int low = 0, high = 0;
                      SendDlgItemMessageW(d, IDC_COUNT_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                                          reinterpret_cast<LPARAM>(&high));
                      ok(low == 1 && high == 100000, "up-down range %d..%d", low, high);
                      SetDlgItemTextW(d, IDC_COUNT_EDIT, L"99999");
                      postKey(GetDlgItem(d, IDC_COUNT_EDIT), VK_UP);
                  }),
         pauseForShot("count"),
         onDialog(L"回数指定",
                  [&](HWND d) {
                      ok(itemText(d, IDC_COUNT_EDIT) == L"100000", "stepped up to %s",
                         wintest::utf8(itemText(d, IDC_COUNT_EDIT)).c_str());
                      PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
                  })},
        [] { command(CMD_START_RANDOM_COUNT); }, __LINE__);
    ok(!settings.has(rekal::NoAlready) && settings.initialExamCount == 10, "Cancel kept something");
    ok(g_helpContexts == std::vector<DWORD_PTR>{104}, "count help context");
    ok(!app().run.active(), "Cancel started a run");

    // Refused: the ticked box is kept already and the edit has the focus again. Accepted: the
    // no-repeat run of three questions.
    withSteps(
        {onDialog(L"回数指定",
                  [&](HWND d) {
                      click(d, IDC_COUNT_NO_REPEAT);
                      SetDlgItemTextW(d, IDC_COUNT_EDIT, L"100001");
                      click(d, IDOK);
                  }),
         afterRefusal(L"回数指定", boxes, 1),
         onDialog(L"回数指定",
                  [&](HWND d) {
                      ok(boxes.texts()[0] == L"値が有効範囲を超えています。", "refusal %s",
                         wintest::utf8(boxes.texts()[0]).c_str());
                      ok(settings.has(rekal::NoAlready) && settings.initialExamCount == 10,
                         "the box is kept before the count is checked, the count is not");
                      ok(GetFocus() == GetDlgItem(d, IDC_COUNT_EDIT), "focus back in the edit");
                      SetDlgItemTextW(d, IDC_COUNT_EDIT, L"3");
                      click(d, IDOK);
                  })},
        [] { command(CMD_START_RANDOM_COUNT); }, __LINE__);
    ok(app().run.method == rekal::kMethodRandomCountNoRepeat && app().run.remaining == 2,
       "count run: method %#x remaining %d", app().run.method, app().run.remaining);
    std::set<int> asked;
    for (int i = 0; i < 3 && app().run.active(); ++i) {
        asked.insert(currentQuestion());
        typeAnswer(L"a");
        pressKey(VK_RETURN, 200);
    }
    ok(asked.size() == 3 && idleAgain(), "asked %zu questions", asked.size());
    ok(settings.initialExamCount == 3, "initial count %d", settings.initialExamCount);
    closeProgram();
    const rekal::ExamLog log = readLog(t.exam.log);
    ok(log.entries.size() == 1 && log.entries[0].rowCount == 4 &&
           *log.entries[0].method == rekal::methodName(rekal::kMethodRandomCountNoRepeat),
       "logged count run");
    ok(boxes.seen() == 1, "%d message boxes", boxes.seen());
}

WINTEST(weakPointDialogKeepsStrengthWhenRefusedAndStartsItsRun) {
    CountExam t(L"rekal-weak", kBook, 2, true);
    rekal::Settings& settings = app().settings;
    DialogWatcher& boxes = t.boxes;

    // Ctrl+W: 10 typed is more than the four questions of the book; the refusal keeps the trackbar and
    // the box, the Cancel after it keeps no further change.
    withSteps(
        {onDialog(L"弱点問題",
                  [&](HWND d) {
                      ok(checked(d, IDC_COUNT_NO_REPEAT) && limitOf(d) == L"(1～4)", "box and limit %s",
                         wintest::utf8(limitOf(d)).c_str());
                      // The kept 10 is shown within the box's limit, so OK at once would start.
                      ok(itemText(d, IDC_COUNT_EDIT) == L"4", "opening count %s",
                         wintest::utf8(itemText(d, IDC_COUNT_EDIT)).c_str());
                      SetDlgItemTextW(d, IDC_COUNT_EDIT, L"10");
                      ok(trackbarPos(d) == 8 &&
                             SendDlgItemMessageW(d, IDC_COUNT_STRENGTH, TBM_GETRANGEMAX, 0, 0) == 10 &&
                             SendDlgItemMessageW(d, IDC_COUNT_STRENGTH, TBM_GETRANGEMIN, 0, 0) == 0,
                         "trackbar %d", trackbarPos(d));
                      SendMessageW(d, WM_COMMAND, IDC_COUNT_HELP, 0);
                      setTrackbar(d, 3);
                      click(d, IDOK);
                  }),
         afterRefusal(L"弱点問題", boxes, 1),
         onDialog(L"弱点問題",
                  [&](HWND d) {
                      ok(settings.weakPointStrength == 3 && settings.has(rekal::NoAlready),
                         "refused OK kept strength %d", settings.weakPointStrength);
                      click(d, IDC_COUNT_NO_REPEAT);
                  }),
         pauseForShot("weak"),
         onDialog(L"弱点問題",
                  [&](HWND d) {
                      ok(limitOf(d) == L"(1～32767)", "limit without the box %s",
                         wintest::utf8(limitOf(d)).c_str());
                      setTrackbar(d, 6);
                      PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
                  })},
        [] {
            withCtrl(true);
            postKey(app().mainWindow, 'W');
            pump(100);
            withCtrl(false);
        },
        __LINE__);
    ok(settings.weakPointStrength == 3 && settings.has(rekal::NoAlready) && settings.initialExamCount == 10,
       "Cancel kept something");
    ok(!app().run.active(), "Cancel started a run");
    ok(g_helpContexts == std::vector<DWORD_PTR>{105}, "weak-point help context");

    // From the toolbar: two questions, repeats allowed.
    withSteps(
        {onDialog(L"弱点問題",
                  [&](HWND d) {
                      ok(trackbarPos(d) == 3, "stored strength shown");
                      click(d, IDC_COUNT_NO_REPEAT);
                      SetDlgItemTextW(d, IDC_COUNT_EDIT, L"2");
                      click(d, IDOK);
                  })},
        [] { SendMessageW(app().examView, WM_COMMAND, CMD_START_WEAK, reinterpret_cast<LPARAM>(toolbar())); },
        __LINE__);
    ok(app().run.method == rekal::kMethodWeak && app().run.remaining == 1,
       "weak run: method %#x remaining %d", app().run.method, app().run.remaining);
    for (int i = 0; i < 2 && app().run.active(); ++i)
        answerTyped(true);
    ok(idleAgain(), "weak run went on");
    ok(!settings.has(rekal::NoAlready) && settings.weakPointStrength == 3 && settings.initialExamCount == 2,
       "kept after OK");
    closeProgram();
    const rekal::ExamLog log = readLog(t.exam.log);
    ok(log.entries.size() == 1 && log.entries[0].rowCount == 3 &&
           *log.entries[0].method == rekal::methodName(rekal::kMethodWeak),
       "logged weak run");
    ok(boxes.seen() == 1, "%d message boxes", boxes.seen());
}

WINTEST_MAIN("countdialog")
