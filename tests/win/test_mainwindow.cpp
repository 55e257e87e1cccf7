// The main window as the user meets it: caption, menus, greyed commands, accelerators, help topics,
// the about box, closing, and the settings file written at exit.

#include "shelltest.h"

#include "win/program/help.h"
#include "win/shell/mainwindow.h"

#include <cstring>

// The build's version as a wide literal.
#define REKAL_WIDEN2(x) L##x
#define REKAL_WIDEN(x) REKAL_WIDEN2(x)
#define REKAL_WIDE_VERSION REKAL_WIDEN(REKAL_VERSION)

namespace {

using namespace shelltest;

struct MenuItemExpect {
    int id; // 0 for a separator
    const wchar_t* text;
};

struct MenuExpect {
    const wchar_t* title;
    std::vector<MenuItemExpect> items;
};

const std::vector<MenuExpect>& expectedMenus() {
    static const std::vector<MenuExpect> menus = {
        {L"ファイル(&F)",
         {{2001, L"開く(&O)...\tCtrl+O"},
          {2002, L"出題履歴を開く(&H)..."},
          {2003, L"上書き保存(&S)"},
          {2010, L"名前を付けて保存(&A)..."},
          {2004, L"エクスポート(&E)..."},
          {0, L""},
          {2007, L"終了(&X)"},
          {2700, L""},
          {2711, L"履歴のクリア(&C)"}}},
        {L"開始(&S)",
         {{2306, L"出題範囲(&S)...\tCtrl+S"},
          {0, L""},
          {2301, L"標準モード(&M)"},
          {2302, L"記述式モード(&I)"},
          {2303, L"選択式モード(&E)"},
          {2304, L"確認モード(&F)"},
          {0, L""},
          {2307, L"すべて(&A)\tCtrl+A"},
          {2308, L"ランダム（すべて）(&N)\tCtrl+N"},
          {2309, L"ランダム（回数指定）(&R)...\tCtrl+R"},
          {2310, L"一問のみ(&O)"},
          {2311, L"弱点問題(&W)...\tCtrl+W"},
          {2312, L"完全(&C)"},
          {0, L""},
          {2313, L"リスト(&L)...\tCtrl+L"},
          {2314, L"正誤履歴のクリア(&H)"}}},
        {L"表示(&V)",
         {{2501, L"ツールバー(&T)"},
          {2502, L"ステータスバー(&S)"},
          {2503, L"グループ・正誤履歴(&G)"},
          {2507, L"情報ペイン(&I)"},
          {2504, L"ツールヒント(&O)"},
          {0, L""},
          {2505, L"ヒントの表示/非表示(&H)\tCtrl+H"},
          {2508, L"学習グラフ(&P)...\tCtrl+G"},
          {0, L""},
          {2506, L"カスタマイズ(&C)..."}}},
        {L"ヘルプ(&H)",
         {{2600, L"目次(&C)..."}, {2601, L"キーワード(&K)..."}, {0, L""}, {2602, L"バージョン情報(&A)..."}}},
    };
    return menus;
}

std::string hexColor(COLORREF c) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "0x%06X", static_cast<unsigned>(c));
    return buffer;
}

// The settings file the program must write: the file of defaults, with what this machine and this
// window decide put in.
std::string expectedSettingsFile(const std::string& programDir, const RECT& window, bool maximised) {
    std::string golden = readBytes(std::string(REKAL_TEST_DATA) + "/settings/defaults.ini");
    std::istringstream lines(golden);
    std::string line, out;
    const std::string text = hexColor(GetSysColor(COLOR_BTNTEXT)),
                      face = hexColor(GetSysColor(COLOR_BTNFACE));
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto key = line.substr(0, line.find('='));
        if (key == "Show")
            line = std::string("Show=") + (maximised ? "1" : "0");
        else if (key == "Left")
            line = "Left=" + std::to_string(window.left);
        else if (key == "Top")
            line = "Top=" + std::to_string(window.top);
        else if (key == "Width")
            line = "Width=" + std::to_string(window.right - window.left);
        else if (key == "Height")
            line = "Height=" + std::to_string(window.bottom - window.top);
        else if (key == "ListWidth" || key == "ListHeight" || key == "HintWidth" || key == "HintHeight" ||
                 key == "DetailWidth" || key == "DetailHeight" || key == "GraphWidth" || key == "GraphHeight")
            // Built-in sizes are scaled for the screen when the defaults are made.
            line = key + "=" + std::to_string(wintest::px(std::stoi(line.substr(key.size() + 1))));
        else if (key == "File1")
            continue;
        else if (key == "ExamLogName")
            line = "ExamLogName=" + programDir + "EXAMLOG.TXT";
        else if (key == "TitleColor" || key == "GroupColor" || key == "CommentColor")
            line = key + "=" + text;
        else if (key == "TitleBackColor" || key == "GroupBackColor" || key == "CommentBackColor")
            line = key + "=" + face;
        out += line + "\r\n";
    }
    return out;
}

// Records the commands that reach the main window; the open and range commands are kept from
// opening their dialogs.
WNDPROC g_mainProc = nullptr;
std::vector<int> g_commands;
LRESULT CALLBACK recordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        g_commands.push_back(LOWORD(wParam));
        // Recorded only: the open and range dialogs, the exam runs and the list window have tests
        // of their own (a run would grey the hint command the table checks next).
        if (LOWORD(wParam) == 2001 || (LOWORD(wParam) >= 2306 && LOWORD(wParam) <= 2313)) return 0;
    }
    return CallWindowProcW(g_mainProc, hwnd, message, wParam, lParam);
}

// Help calls as the program makes them.
struct HelpCall {
    UINT command;
    DWORD_PTR data;
    std::wstring file;
};
std::vector<HelpCall> g_helpCalls;
HWND WINAPI recordHelp(HWND, LPCWSTR file, UINT command, DWORD_PTR data) {
    if (command != rekal::win::HelpPreTranslate) g_helpCalls.push_back({command, data, file ? file : L""});
    return nullptr;
}

} // namespace

WINTEST(mainWindowCaptionAndMenus) {
    auto dir = makeFolder(L"レカル本体");
    ok(start(dir), "start-up failed");
    HWND hwnd = app().mainWindow;
    ok(hwnd != nullptr, "no main window");
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    ok(std::wcscmp(className, L"RekalWin") == 0, "class %s", wintest::utf8(className).c_str());
    ok(caption() == L"Rekal for Windows", "caption %s", wintest::utf8(caption()).c_str());
    LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    ok((ex & (WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES)) == (WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES),
       "extended style %lx", static_cast<long>(ex));

    HMENU bar = GetMenu(hwnd);
    const auto& menus = expectedMenus();
    ok(GetMenuItemCount(bar) == static_cast<int>(menus.size()), "menu bar has %d menus",
       GetMenuItemCount(bar));
    for (std::size_t m = 0; m < menus.size(); ++m) {
        const int pos = static_cast<int>(m);
        ok(menuItemText(bar, pos, MF_BYPOSITION) == menus[m].title, "menu %d is %s", pos,
           wintest::utf8(menuItemText(bar, pos, MF_BYPOSITION)).c_str());
        HMENU popup = GetSubMenu(bar, pos);
        const auto& items = menus[m].items;
        ok(GetMenuItemCount(popup) == static_cast<int>(items.size()), "menu %d has %d items", pos,
           GetMenuItemCount(popup));
        for (std::size_t i = 0; i < items.size() && i < static_cast<std::size_t>(GetMenuItemCount(popup));
             ++i) {
            UINT id = GetMenuItemID(popup, static_cast<int>(i));
            ok(static_cast<int>(id) == items[i].id, "menu %d item %d has id %u, expected %d", pos,
               static_cast<int>(i), id, items[i].id);
            std::wstring text = menuItemText(popup, static_cast<UINT>(i), MF_BYPOSITION);
            ok(text == items[i].text, "item %d: %s", items[i].id, wintest::utf8(text).c_str());
        }
    }

    // Nothing is loaded: the commands that need a book are greyed, the others are not.
    for (int id : {2003, 2010, 2004, 2306, 2307, 2308, 2309, 2310, 2311, 2312, 2313, 2314})
        ok(menuGreyed(id), "command %d is not greyed", id);
    for (int id : {2001, 2002, 2007, 2301, 2304, 2501, 2506, 2600, 2602})
        ok(!menuGreyed(id), "command %d is greyed", id);
    ok(menuGreyed(2711), "the empty recent list can be cleared");
    // The display parts are on by default and checked; the standard mode is the radio choice.
    for (int id : {2501, 2502, 2503, 2504, 2507})
        ok(menuChecked(id), "view item %d is not checked", id);
    MENUITEMINFOW info = menuItemInfo(2301);
    ok((info.fType & MFT_RADIOCHECK) && (info.fState & MFS_CHECKED), "standard mode is not the radio choice");

    // Without a settings file the window opens at its built-in size, 460 x 360 on a 96-dpi screen
    // and as much larger as the screen is denser (690 x 540 at 144 dpi).
    RECT window;
    GetWindowRect(hwnd, &window);
    ok(window.right - window.left == wintest::px(460) && window.bottom - window.top == wintest::px(360),
       "default size %ld x %ld at %d dpi", window.right - window.left, window.bottom - window.top,
       wintest::screenDpi());
    ok(closeProgram() == 0, "exit code");
    ok(app().mainWindow == nullptr, "main window survived closing");

    std::string written = readBytes(dir / L"REKALWIN.INI");
    std::string expected = expectedSettingsFile(cp932(dir.wstring() + L"\\"), window, false);
    ok(written == expected, "REKALWIN.INI differs:\n%s\n--- expected ---\n%s", written.c_str(),
       expected.c_str());
    // Without a table file the built-in pairs are written back at exit.
    ok(readBytes(dir / L"RKLVAGUE.DAT") == rekal::formatVagueTable(rekal::defaultVagueTable()),
       "RKLVAGUE.DAT is not the built-in table");
    removeFolder(dir);
}

WINTEST(maximisedWindowKeepsItsNormalPlace) {
    auto dir = makeFolder(L"rekal-max");
    writeBytes(dir / L"REKALWIN.INI",
               "Show=1\r\nLeft=40\r\nTop=30\r\nWidth=600\r\nHeight=520\r\nTimeLimit=40000\r\n");
    // The stored flag wins over the show command the process was given.
    ok(start(dir, L"", SW_SHOWMINNOACTIVE), "start-up failed");
    ok(IsZoomed(app().mainWindow), "the window is not maximised");
    ok(closeProgram() == 0, "exit code");
    std::string written = readBytes(dir / L"REKALWIN.INI");
    for (const char* line :
         {"Show=1\r\n", "Left=40\r\n", "Top=30\r\n", "Width=600\r\n", "Height=520\r\n", "TimeLimit=0\r\n"})
        ok(written.find(line) != std::string::npos, "missing %s", line);
    removeFolder(dir);
}

WINTEST(restoredPlaceIsWrittenInScreenCoordinates) {
    auto dir = makeFolder(L"rekal-place");
    ok(start(dir), "start-up failed");
    // Placements are screen pixels on any screen (above the smallest size even at 200 %).
    MoveWindow(app().mainWindow, 70, 50, 620, 540, TRUE);
    wintest::flushEvents();
    ok(closeProgram() == 0, "exit code");
    std::string written = readBytes(dir / L"REKALWIN.INI");
    for (const char* line : {"Show=0\r\n", "Left=70\r\n", "Top=50\r\n", "Width=620\r\n", "Height=540\r\n"})
        ok(written.find(line) != std::string::npos, "missing %s", line);
    removeFolder(dir);
}

WINTEST(commandLinePaths) {
    using rekal::win::commandLinePath;
    ok(commandLinePath(L"\"C:\\My Books\\a b.rkf\" /extra") == L"C:\\My Books\\a b.rkf", "quoted path");
    ok(commandLinePath(L"C:\\books\\a.rkf second") == L"C:\\books\\a.rkf", "plain path");
    ok(commandLinePath(L"  \"C:\\x.rkf\"") == L"C:\\x.rkf", "leading blanks");
    ok(commandLinePath(L"\"C:\\unclosed path.rkf") == L"C:\\unclosed path.rkf", "quote never closed");
    ok(commandLinePath(L"").empty(), "empty line");
    ok(commandLinePath(L"   ").empty(), "blank line");
    std::wstring longLine(400, L'x');
    ok(commandLinePath(longLine).size() == 259, "long line cut to 259");
}

WINTEST(acceleratorsReachTheirCommands) {
    auto dir = makeFolder(L"rekal-accel");
    // A loaded book: accelerators of greyed menu items give no command.
    auto book = writeBook(dir, L"accel.rkf", "本");
    ok(start(dir, book.wstring()), "start-up failed");
    HWND hwnd = app().mainWindow;
    g_mainProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingProc)));
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    const std::pair<char, int> table[] = {{'O', 2001}, {'S', 2306}, {'A', 2307}, {'N', 2308}, {'R', 2309},
                                          {'W', 2311}, {'L', 2313}, {'H', 2505}, {'G', 2508}};
    for (const auto& [key, id] : table) {
        g_commands.clear();
        MSG msg{hwnd, WM_KEYDOWN, static_cast<WPARAM>(key), 1, GetTickCount(), {}};
        ok(rekal::win::preTranslateMessage(msg), "Ctrl+%c was not translated", key);
        wintest::flushEvents(10);
        ok(g_commands.size() == 1 && g_commands[0] == id, "Ctrl+%c gave %d commands, first %d", key,
           static_cast<int>(g_commands.size()), g_commands.empty() ? 0 : g_commands[0]);
    }
    // Without Ctrl the letter is no command.
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    g_commands.clear();
    MSG plain{hwnd, WM_KEYDOWN, 'O', 1, GetTickCount(), {}};
    rekal::win::preTranslateMessage(plain);
    ok(g_commands.empty(), "a plain O gave a command");
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_mainProc));
    closeProgram();
    removeFolder(dir);
}

WINTEST(helpTopicsFollowTheRequest) {
    auto dir = makeFolder(L"rekal-help");
    ok(start(dir), "start-up failed");
    app().help.call = recordHelp;
    g_helpCalls.clear();
    HELPINFO fromMenu{sizeof fromMenu, HELPINFO_MENUITEM, 2001, nullptr, 0, {}};
    SendMessageW(app().mainWindow, WM_HELP, 0, reinterpret_cast<LPARAM>(&fromMenu));
    HELPINFO fromWindow{sizeof fromWindow, HELPINFO_WINDOW, IDC_INFO_PANE, app().examView, 0, {}};
    SendMessageW(app().mainWindow, WM_HELP, 0, reinterpret_cast<LPARAM>(&fromWindow));
    command(2600);
    command(2601);
    const std::wstring chm = wide(cp932(dir.wstring() + L"\\REKALWIN.CHM"));
    ok(g_helpCalls.size() == 4, "%d help calls", static_cast<int>(g_helpCalls.size()));
    if (g_helpCalls.size() == 4) {
        ok(g_helpCalls[0].command == 15 && g_helpCalls[0].data == 132, "menu help: %u %u",
           g_helpCalls[0].command, static_cast<unsigned>(g_helpCalls[0].data));
        ok(g_helpCalls[1].command == 15 && g_helpCalls[1].data == 133, "idle view help: %u %u",
           g_helpCalls[1].command, static_cast<unsigned>(g_helpCalls[1].data));
        ok(g_helpCalls[2].command == 1, "contents: %u", g_helpCalls[2].command);
        ok(g_helpCalls[3].command == 2, "index: %u", g_helpCalls[3].command);
        for (const HelpCall& c : g_helpCalls)
            ok(c.file == chm, "help file %s", wintest::utf8(c.file).c_str());
    }
    // Shutdown closes every help window, then uninitialises.
    g_helpCalls.clear();
    closeProgram();
    ok(g_helpCalls.size() == 2 && g_helpCalls[0].command == 18 && g_helpCalls[1].command == 29,
       "shutdown help calls: %d", static_cast<int>(g_helpCalls.size()));
    removeFolder(dir);
}

WINTEST(aboutBoxShowsTheProgramAndCloses) {
    auto dir = makeFolder(L"rekal-about");
    ok(start(dir), "start-up failed");
    std::wstring name, version, author, link;
    bool centred = false;
    {
        DialogWatcher watcher(L"バージョン情報", [&](HWND box) {
            name = windowText(GetDlgItem(box, IDC_ABOUT_NAME));
            version = windowText(GetDlgItem(box, IDC_ABOUT_VERSION));
            author = windowText(GetDlgItem(box, IDC_ABOUT_AUTHOR));
            link = windowText(GetDlgItem(box, IDC_ABOUT_LINK));
            RECT own, self;
            GetWindowRect(app().mainWindow, &own);
            GetWindowRect(box, &self);
            const int dx = (own.left + own.right) / 2 - (self.left + self.right) / 2;
            const int dy = (own.top + own.bottom) / 2 - (self.top + self.bottom) / 2;
            centred = dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1;
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        });
        command(2602);
        ok(watcher.seen() == 1, "the about box was not shown");
    }
    ok(name == L"Rekal for Windows", "name %s", wintest::utf8(name).c_str());
    ok(version == L"Version " REKAL_WIDE_VERSION, "version %s", wintest::utf8(version).c_str());
    ok(author == L"Rekal project", "author %s", wintest::utf8(author).c_str());
    ok(link == L"https://example.org/rekal", "link %s", wintest::utf8(link).c_str());
    ok(centred, "the about box is not centred on the main window");
    closeProgram();
    removeFolder(dir);
}

WINTEST_MAIN("mainwindow")
