// What a screen reader can reach during a drill, and the windows in a high-contrast theme: the window
// texts (and, where the system's accessibility layer gives them, the accessible names) of the exam
// view's controls during a question of each answer mode, of the answer dialog as it opens, of the
// information pane and the idle panel; then a run in a high-contrast colour scheme drawn in the
// system's colours while the stored colours stay.

#include "examtest.h"

#include "core/exam/infopane.h"
#include "win/base/contrast.h"

#include <oleacc.h>

namespace {

using namespace examtest;

// The accessible name of a window's client object, or none when the system gives none.
std::optional<std::wstring> accessibleName(HWND hwnd) {
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    using FreeString = void(WINAPI*)(BSTR);
    static HMODULE oleacc = LoadLibraryW(L"oleacc.dll");
    static HMODULE oleaut = LoadLibraryW(L"oleaut32.dll");
    auto fromWindow = oleacc ? reinterpret_cast<FromWindow>(reinterpret_cast<void*>(
                                   GetProcAddress(oleacc, "AccessibleObjectFromWindow")))
                             : nullptr;
    auto freeString =
        oleaut
            ? reinterpret_cast<FreeString>(reinterpret_cast<void*>(GetProcAddress(oleaut, "SysFreeString")))
            : nullptr;
    IAccessible* object = nullptr;
    if (!fromWindow || !freeString ||
        FAILED(fromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                          reinterpret_cast<void**>(&object))) ||
        !object)
        return std::nullopt;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::optional<std::wstring> result;
    if (object->get_accName(self, &name) == S_OK && name) result = std::wstring(name);
    if (name) freeString(name);
    object->Release();
    return result;
}

// How many controls the accessibility layer named, of how many asked (Wine's oleacc names some).
int namesGiven = 0, namesAsked = 0;

// The window text of `hwnd` is `expected`; the accessible name, when there is one, holds it too.
void checkSpoken(const char* file, int line, HWND hwnd, const std::wstring& expected, const char* what) {
    const std::wstring text = windowText(hwnd);
    ok_at(file, line, text == expected, "%s: window text \"%s\", not \"%s\"", what,
          wintest::utf8(text).c_str(), wintest::utf8(expected).c_str());
    ++namesAsked;
    if (std::optional<std::wstring> name = accessibleName(hwnd)) {
        ++namesGiven;
        // A button's name drops the mnemonic's ampersand.
        std::wstring plain = expected;
        if (plain.starts_with(L"&")) plain.erase(0, 1);
        ok_at(file, line, name->find(plain) != std::wstring::npos || *name == expected,
              "%s: accessible name \"%s\"", what, wintest::utf8(*name).c_str());
    }
}
#define check_spoken(hwnd, expected, what) checkSpoken(__FILE__, __LINE__, (hwnd), (expected), (what))

// The choice buttons of the question on screen: window texts "&k. text".
void checkChoices(const char* file, int line) {
    const auto& choices = app().run.choices;
    ok_at(file, line, !choices.empty(), "no choices");
    for (std::size_t k = 0; k < choices.size(); ++k) {
        HWND button = examControl(1071 + static_cast<int>(k));
        checkSpoken(file, line, button, L"&" + std::to_wstring(k + 1) + L". " + wide(choices[k].text),
                    "choice");
    }
}

HWND infoPane() {
    return examControl(IDC_INFO_PANE);
}

HWND idlePanel() {
    return FindWindowExW(app().examView, nullptr, L"#32770", nullptr);
}

// What the answer dialog offers as it opens: mark, answer and comment texts.
struct AnswerTexts {
    std::wstring mark, answer, comment;
};

// The texts of the answer dialogs seen, filled from the watcher's thread.
struct SeenAnswers {
    CRITICAL_SECTION lock;
    std::vector<AnswerTexts> texts;
    SeenAnswers() { InitializeCriticalSection(&lock); }
    ~SeenAnswers() { DeleteCriticalSection(&lock); }
    void add(const AnswerTexts& t) {
        EnterCriticalSection(&lock);
        texts.push_back(t);
        LeaveCriticalSection(&lock);
    }
    std::vector<AnswerTexts> all() {
        EnterCriticalSection(&lock);
        std::vector<AnswerTexts> copy = texts;
        LeaveCriticalSection(&lock);
        return copy;
    }
};

struct Mode {
    int command;
    const wchar_t* name;
    bool choices;
};

} // namespace

WINTEST(screenReaderTextsOfADrillInEveryAnswerMode) {
    Exam exam(L"rekal-screenreader");
    app().settings.answerView = 1;
    DialogWatcher results = closingResults();
    // Idle: the panel reads its fields, the pane the whole tip it starts typing.
    pump(300);
    ok(idlePanel() && windowText(idlePanel()).find(L"総問題数：4") != std::wstring::npos, "idle panel \"%s\"",
       wintest::utf8(idlePanel() ? windowText(idlePanel()) : L"").c_str());
    ok(windowText(infoPane()) == wide(std::string(rekal::paneTip(1))), "idle pane \"%s\"",
       wintest::utf8(windowText(infoPane())).c_str());

    const Mode modes[] = {{CMD_MODE_STANDARD, L"通常", false},
                          {CMD_MODE_WRITTEN, L"記述式", false},
                          {CMD_MODE_CHOICE, L"選択式", true},
                          {CMD_MODE_CONFIRM, L"確認", false}};
    for (const Mode& mode : modes) {
        setMode(mode.command);
        SeenAnswers seen;
        const bool confirm = mode.command == CMD_MODE_CONFIRM;
        DialogWatcher answer(L"答え", [&](HWND dialog) {
            AnswerTexts t{windowText(GetDlgItem(dialog, IDC_ANSWER_MARK)),
                          windowText(GetDlgItem(dialog, IDC_ANSWER)),
                          windowText(GetDlgItem(dialog, IDC_COMMENT))};
            seen.add(t);
            if (confirm)
                postCharKey(focusOf(dialog), L'w');
            else
                postKey(focusOf(dialog), VK_RETURN);
        });
        command(CMD_START_ALL);
        pump(300);
        ok(app().run.active(), "%s: no run", wintest::utf8(mode.name).c_str());
        // The question in order is the first: its control tells it, the pane its fields.
        check_spoken(examControl(IDC_QUESTION), L"北海道の道庁所在地は？", "question");
        const std::wstring pane = windowText(infoPane());
        ok(pane.starts_with(L"出題方法：すべて、解答モード：" + std::wstring(mode.name) +
                            L"、正解率：－、残り問題：3問"),
           "pane \"%s\"", wintest::utf8(pane).c_str());
        if (mode.choices)
            checkChoices(__FILE__, __LINE__);
        else
            ok(!IsWindow(examControl(1071)), "%s: a choice button", wintest::utf8(mode.name).c_str());

        // A wrong answer: the dialog opens with ×, the right answer and the comment as texts.
        if (mode.choices) {
            const int wrong = rightChoice() == 0 ? 1 : 0;
            postCharKey(GetFocus(), static_cast<wchar_t>(L'1' + wrong));
            pump(100);
            SendMessageW(app().examView, WM_COMMAND, IDOK, 0);
        } else if (confirm) {
            SendMessageW(app().examView, WM_COMMAND, IDOK, 0);
        } else {
            answerTyped(false);
        }
        pump(500);
        const std::vector<AnswerTexts> opened = seen.all();
        ok(opened.size() == 1, "%s: %d answer dialogs", wintest::utf8(mode.name).c_str(),
           static_cast<int>(opened.size()));
        if (!opened.empty()) {
            ok(opened[0].mark == L"×", "mark \"%s\"", wintest::utf8(opened[0].mark).c_str());
            ok(opened[0].answer == L"札幌市", "answer \"%s\"", wintest::utf8(opened[0].answer).c_str());
            ok(opened[0].comment == L"道の中心", "comment \"%s\"", wintest::utf8(opened[0].comment).c_str());
        }
        // The next question replaces the text and the pane counts the verdict.
        check_spoken(examControl(IDC_QUESTION), L"青森県の県庁所在地は？", "next question");
        ok(windowText(infoPane()).find(L"正解率：0.00%、残り問題：2問") != std::wstring::npos,
           "pane after: \"%s\"", wintest::utf8(windowText(infoPane())).c_str());
        DialogWatcher yes = DialogWatcher::pressing(IDYES);
        SendMessageW(app().examView, WM_COMMAND, IDCANCEL, 0);
        pump(400);
        ok(!app().run.active(), "%s: the run goes on", wintest::utf8(mode.name).c_str());
    }
    std::printf("accessible names given for %d of %d controls\n", namesGiven, namesAsked);
    closeProgram();
}

WINTEST(highContrastDrawsInTheSystemColours) {
    Exam exam(L"rekal-contrast");
    rekal::FontSpec& question = app().settings.fonts[rekal::QuestionFont];
    const COLORREF stored = question.backColor;
    // A high-contrast scheme: white text on black, yellow for the selection. The program is told
    // as Windows tells it, by the colour change it broadcasts.
    const int indexes[] = {COLOR_WINDOW,   COLOR_WINDOWTEXT, COLOR_HIGHLIGHT,
                           COLOR_HOTLIGHT, COLOR_BTNFACE,    COLOR_BTNTEXT};
    const COLORREF contrast[] = {RGB(0, 0, 0),     RGB(255, 255, 255), RGB(255, 255, 0),
                                 RGB(0, 255, 255), RGB(0, 0, 0),       RGB(255, 255, 255)};
    COLORREF before[std::size(indexes)];
    for (std::size_t i = 0; i < std::size(indexes); ++i)
        before[i] = GetSysColor(indexes[i]);
    rekal::win::overrideHighContrast(true);
    SetSysColors(static_cast<int>(std::size(indexes)), indexes, contrast);
    MoveWindow(app().mainWindow, 0, 0, 760, 560, TRUE);
    setMode(CMD_MODE_CHOICE);
    DialogWatcher results = closingResults();
    COLORREF dialogBrush = CLR_INVALID;
    DialogWatcher answer(L"答え", [&](HWND dialog) {
        Sleep(300);
        const std::wstring dir = shotFolder();
        if (!dir.empty()) saveScreen(dir + L"\\contrast-answer.bmp");
        HDC dc = GetDC(dialog);
        RECT client;
        GetClientRect(dialog, &client);
        dialogBrush = GetPixel(dc, client.right - 3, client.bottom / 3);
        ReleaseDC(dialog, dc);
        postKey(focusOf(dialog), VK_RETURN);
    });
    command(CMD_START_ALL);
    postCharKey(GetFocus(), L'1');
    pump(500);
    const std::wstring dir = shotFolder();
    if (!dir.empty()) ok(saveScreen(dir + L"\\contrast-choices.bmp"), "no screenshot");

    // The question's control and a choice button paint in the system's window colour.
    auto pixel = [](HWND hwnd, int x, int y) {
        HDC dc = GetDC(hwnd);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(hwnd, dc);
        return c;
    };
    RECT r;
    GetClientRect(examControl(IDC_QUESTION), &r);
    ok(pixel(examControl(IDC_QUESTION), r.right - 3, r.bottom - 3) == RGB(0, 0, 0),
       "question background %06lx", pixel(examControl(IDC_QUESTION), r.right - 3, r.bottom - 3));
    GetClientRect(examControl(1072), &r);
    ok(pixel(examControl(1072), r.right - 6, r.bottom / 2) == RGB(0, 0, 0), "choice background %06lx",
       pixel(examControl(1072), r.right - 6, r.bottom / 2));
    ok(question.backColor == stored, "the stored colour changed");

    SendMessageW(app().examView, WM_COMMAND, IDOK, 0);
    pump(600);
    ok(dialogBrush == RGB(0, 0, 0), "answer dialog background %06lx", dialogBrush);

    // The list window's question likewise; back to the normal scheme, the book's colours again.
    command(CMD_LIST);
    pump(300);
    HWND listQuestion = app().listWindow ? GetDlgItem(app().listWindow, IDC_QUESTION) : nullptr;
    GetClientRect(listQuestion, &r);
    ok(listQuestion && pixel(listQuestion, r.right - 3, r.bottom - 3) == RGB(0, 0, 0),
       "list background %06lx", pixel(listQuestion, r.right - 3, r.bottom - 3));
    rekal::win::overrideHighContrast(std::nullopt);
    SetSysColors(static_cast<int>(std::size(indexes)), indexes, before);
    pump(300);
    ok(pixel(listQuestion, r.right - 3, r.bottom - 3) == (stored & 0xFFFFFF), "list background after %06lx",
       pixel(listQuestion, r.right - 3, r.bottom - 3));
    DialogWatcher yes = DialogWatcher::pressing(IDYES);
    SendMessageW(app().examView, WM_COMMAND, IDCANCEL, 0);
    pump(300);
    closeProgram();
}

WINTEST_MAIN("screenreader")
