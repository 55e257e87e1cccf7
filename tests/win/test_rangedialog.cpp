// The range dialog opened from its command: the numbers, texts and count it shows, question and
// title numbers, the group list and buttons, the refusal of a range without questions, what OK stores and
// that Cancel stores nothing.

#include "dialogsteps.h"
#include "shelltest.h"

namespace {

using namespace shelltest;
using namespace dialogsteps;

// Three sections of four questions: groups 0, 1 and 2.
std::string threeSections() {
    std::string text = "REKALDATA V1.6\r\n";
    const char* titles[] = {"一の章", "二の章", "三の章"};
    for (int t = 0; t < 3; ++t) {
        text += std::string("#") + titles[t] + ",000000\r\n";
        for (int i = 1; i <= 4; ++i) {
            const int n = t * 4 + i;
            text += "問" + std::to_string(n) + ",答" + std::to_string(n) + ",<" + std::to_string(t) + "0\r\n";
        }
    }
    return text;
}

HWND rangeDialog() {
    return dialogCalled(L"範囲指定");
}

void setItem(HWND dialog, int id, const wchar_t* text) {
    SetDlgItemTextW(dialog, id, text);
}

int widthOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    return r.right - r.left;
}

int selectedGroupCount(HWND dialog) {
    return static_cast<int>(SendDlgItemMessageW(dialog, IDC_RANGE_GROUPS, LB_GETSELCOUNT, 0, 0));
}

// A plain mouse click on item `index` of the group list.
void clickGroup(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, IDC_RANGE_GROUPS);
    RECT r{};
    SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
}

std::function<bool()> onRange(std::function<void(HWND)> act) {
    return onDialog(L"範囲指定", std::move(act));
}

} // namespace

WINTEST(rangeDialogCountsRefusesAndStoresOnOkOnly) {
    fs::path dir = makeFolder(L"rekal-range");
    writeBytes(dir / L"book.rkf", threeSections());
    ok(start(dir, L"\"" + (dir / L"book.rkf").wstring() + L"\""), "start-up failed");
    app().help.call = recordHelpContext;
    DialogWatcher boxes = DialogWatcher::pressing(IDOK);
    int editWidth = 0;

    withSteps(
        {onRange([&](HWND d) {
             editWidth = widthOf(d, IDC_RANGE_START);
             ok(itemText(d, IDC_RANGE_START) == L"1" && itemText(d, IDC_RANGE_END) == L"12",
                "opening numbers");
             ok(itemText(d, IDC_RANGE_START_LIMIT) == L"(1～12)", "limit %s",
                wintest::utf8(itemText(d, IDC_RANGE_START_LIMIT)).c_str());
             ok(itemText(d, IDC_RANGE_COUNT) == L"12問", "count %s",
                wintest::utf8(itemText(d, IDC_RANGE_COUNT)).c_str());
             ok(itemText(d, IDC_RANGE_START_TEXT) == L"問1" && itemText(d, IDC_RANGE_END_TEXT) == L"問12",
                "first and last texts");
             ok(SendDlgItemMessageW(d, IDC_RANGE_GROUPS, LB_GETCOUNT, 0, 0) == 9 &&
                    selectedGroupCount(d) == 9,
                "nine groups, all selected");
             // Each click toggles one group and keeps the others; the count follows.
             clickGroup(d, 0);
             ok(selectedGroupCount(d) == 8 && itemText(d, IDC_RANGE_COUNT) == L"8問",
                "a click on group 1 left %d groups, %s", selectedGroupCount(d),
                wintest::utf8(itemText(d, IDC_RANGE_COUNT)).c_str());
             clickGroup(d, 0);
             ok(selectedGroupCount(d) == 9 && itemText(d, IDC_RANGE_COUNT) == L"12問", "group 1 not back");
             ok(checked(d, IDC_RANGE_BY_QUESTION), "question numbers");
             SendMessageW(d, WM_COMMAND, IDC_RANGE_HELP, 0);
             setItem(d, IDC_RANGE_START, L"5");
             setItem(d, IDC_RANGE_END, L"3");
             ok(itemText(d, IDC_RANGE_COUNT) == L"0問", "start after end counts 0");
             ok(itemText(d, IDC_RANGE_START_TEXT) == L"問5", "start text follows the edit");
             click(d, IDOK);
         }),
         afterRefusal(L"範囲指定", boxes, 1), onRange([&](HWND d) {
             ok(boxes.texts()[0] == L"値が有効範囲を超えています。", "refusal %s",
                wintest::utf8(boxes.texts()[0]).c_str());
             click(d, IDC_RANGE_BY_TITLE);
         }),
         onRange([&](HWND d) {
             ok(itemText(d, IDC_RANGE_END_LIMIT) == L"(1～3)", "title limit");
             // Switching the numbers sets the up-downs up again: the edits keep their width.
             ok(widthOf(d, IDC_RANGE_START) == editWidth && widthOf(d, IDC_RANGE_END) == editWidth,
                "edit width %d, was %d", widthOf(d, IDC_RANGE_START), editWidth);
             ok(itemText(d, IDC_RANGE_START) == L"1" && itemText(d, IDC_RANGE_END) == L"3",
                "title numbers reset");
             setItem(d, IDC_RANGE_START, L"2");
             setItem(d, IDC_RANGE_END, L"2");
             ok(itemText(d, IDC_RANGE_COUNT) == L"4問", "second section %s",
                wintest::utf8(itemText(d, IDC_RANGE_COUNT)).c_str());
             ok(itemText(d, IDC_RANGE_START_TEXT) == L"二の章", "title text");
             click(d, IDC_RANGE_NO_GROUPS);
         }),
         onRange([&](HWND d) {
             ok(selectedGroupCount(d) == 0 && itemText(d, IDC_RANGE_COUNT) == L"0問",
                "no groups: section two is empty");
             ok(GetFocus() == GetDlgItem(d, IDOK), "focus on OK");
             setItem(d, IDC_RANGE_START, L"1");
             ok(itemText(d, IDC_RANGE_COUNT) == L"4問", "group 0 questions stay");
             SendDlgItemMessageW(d, IDC_RANGE_GROUPS, LB_SETSEL, TRUE, 1); // group 2
             SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDC_RANGE_GROUPS, LBN_SELCHANGE), 0);
             ok(itemText(d, IDC_RANGE_COUNT) == L"4問", "group 2 is outside titles 1 to 2");
         }),
         pauseForShot("range"), onRange([](HWND d) { click(d, IDOK); })},
        [] { command(CMD_RANGE); }, __LINE__);
    ok(!rangeDialog(), "OK closes the dialog");
    rekal::QuestionBook& book = app().book;
    ok(book.rangeFirst() == 0 && book.rangeLast() == 7, "stored %d..%d", book.rangeFirst(), book.rangeLast());
    ok(!book.groupEnabled(1) && book.groupEnabled(2) && !book.groupEnabled(9), "stored groups");
    ok(g_helpContexts == std::vector<DWORD_PTR>{103}, "help context");

    // Opening again shows the stored range; whatever is changed, Cancel keeps it.
    withSteps(
        {onRange([&](HWND d) {
             ok(itemText(d, IDC_RANGE_START) == L"1" && itemText(d, IDC_RANGE_END) == L"8", "stored numbers");
             ok(selectedGroupCount(d) == 1 && itemText(d, IDC_RANGE_COUNT) == L"4問", "stored groups shown");
             click(d, IDC_RANGE_DEFAULT);
         }),
         onRange([&](HWND d) {
             ok(selectedGroupCount(d) == 9 && itemText(d, IDC_RANGE_COUNT) == L"12問", "default range");
             ok(itemText(d, IDC_RANGE_END) == L"12", "default end");
             PostMessageW(d, WM_COMMAND, IDCANCEL, 0);
         })},
        [] { command(CMD_RANGE); }, __LINE__);
    ok(book.rangeFirst() == 0 && book.rangeLast() == 7 && !book.groupEnabled(1), "Cancel stores nothing");
    ok(boxes.seen() == 1, "one refusal only");

    ok(closeProgram() == 0, "exit code");
    removeFolder(dir);
}

WINTEST_MAIN("rangedialog")
