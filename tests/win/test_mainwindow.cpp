// The main window as the user meets it: caption, menus, greyed commands, closing, and the settings
// file written at exit.

#include "wintest.h"

#include "win/app/app.h"
#include "win/app/mainwindow.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using rekal::win::app;

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
         {{2001, L"開く(&O)...\tCtrl+O"}, {2002, L"出題履歴を開く(&H)..."}, {2003, L"上書き保存(&S)"},
          {2010, L"名前を付けて保存(&A)..."}, {2004, L"エクスポート(&E)..."}, {0, L""}, {2007, L"終了(&X)"},
          {2700, L""}, {2711, L"履歴のクリア(&C)"}}},
        {L"開始(&S)",
         {{2306, L"出題範囲(&S)...\tCtrl+S"}, {0, L""}, {2301, L"標準モード(&M)"}, {2302, L"記述式モード(&I)"},
          {2303, L"選択式モード(&E)"}, {2304, L"確認モード(&F)"}, {0, L""}, {2307, L"すべて(&A)\tCtrl+A"},
          {2308, L"ランダム（すべて）(&N)\tCtrl+N"}, {2309, L"ランダム（回数指定）(&R)...\tCtrl+R"},
          {2310, L"一問のみ(&O)"}, {2311, L"弱点問題(&W)...\tCtrl+W"}, {2312, L"完全(&C)"}, {0, L""},
          {2313, L"リスト(&L)...\tCtrl+L"}, {2314, L"正誤履歴のクリア(&H)"}}},
        {L"表示(&V)",
         {{2501, L"ツールバー(&T)"}, {2502, L"ステータスバー(&S)"}, {2503, L"グループ・正誤履歴(&G)"},
          {2507, L"情報ペイン(&I)"}, {2504, L"ツールヒント(&O)"}, {0, L""},
          {2505, L"ヒントの表示/非表示(&H)\tCtrl+H"}, {0, L""}, {2506, L"カスタマイズ(&C)..."}}},
        {L"ヘルプ(&H)",
         {{2600, L"目次(&C)..."}, {2601, L"キーワード(&K)..."}, {0, L""}, {2602, L"バージョン情報(&A)..."}}},
    };
    return menus;
}

std::wstring menuText(HMENU menu, int position) {
    wchar_t buffer[256] = {};
    GetMenuStringW(menu, position, buffer, 256, MF_BYPOSITION);
    return buffer;
}

// A program folder of its own, with a Japanese name so that its path is not ASCII.
std::filesystem::path makeProgramFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::filesystem::path dir = std::filesystem::path(temp) / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::string readBytes(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

std::string cp932(const std::wstring& w) {
    int n = WideCharToMultiByte(932, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
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
    const std::string text = hexColor(GetSysColor(COLOR_BTNTEXT)), face = hexColor(GetSysColor(COLOR_BTNFACE));
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        auto key = line.substr(0, line.find('='));
        if (key == "Show") line = std::string("Show=") + (maximised ? "1" : "0");
        else if (key == "Left") line = "Left=" + std::to_string(window.left);
        else if (key == "Top") line = "Top=" + std::to_string(window.top);
        else if (key == "Width") line = "Width=" + std::to_string(window.right - window.left);
        else if (key == "Height") line = "Height=" + std::to_string(window.bottom - window.top);
        else if (key == "File1") continue;
        else if (key == "ExamLogName") line = "ExamLogName=" + programDir + "EXAMLOG.TXT";
        else if (key == "TitleColor" || key == "GroupColor" || key == "CommentColor") line = key + "=" + text;
        else if (key == "TitleBackColor" || key == "GroupBackColor" || key == "CommentBackColor")
            line = key + "=" + face;
        out += line + "\r\n";
    }
    return out;
}

bool startIn(const std::filesystem::path& dir, const wchar_t* commandLine = L"") {
    rekal::win::StartupOptions options;
    options.programPath = (dir / L"rekal.exe").wstring();
    options.commandLine = commandLine;
    options.showCommand = SW_SHOWNORMAL;
    bool started = rekal::win::startApplication(GetModuleHandleW(nullptr), options);
    wintest::flushEvents();
    return started;
}

int closeAndRun() {
    PostMessageW(app().mainWindow, WM_CLOSE, 0, 0);
    int code = rekal::win::runMessageLoop();
    rekal::win::shutdownApplication();
    return code;
}

} // namespace

WINTEST(mainWindowCaptionAndMenus) {
    auto dir = makeProgramFolder(L"レカル本体");
    ok(startIn(dir), "start-up failed");
    HWND hwnd = app().mainWindow;
    ok(hwnd != nullptr, "no main window");
    wchar_t className[64] = {};
    GetClassNameW(hwnd, className, 64);
    ok(std::wcscmp(className, L"RekalWin") == 0, "class %s", wintest::utf8(className).c_str());
    wchar_t caption[128] = {};
    GetWindowTextW(hwnd, caption, 128);
    ok(std::wcscmp(caption, L"Rekal for Windows") == 0, "caption %s", wintest::utf8(caption).c_str());
    LONG_PTR ex = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    ok((ex & (WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES)) == (WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES),
       "extended style %lx", static_cast<long>(ex));

    HMENU bar = GetMenu(hwnd);
    const auto& menus = expectedMenus();
    ok(GetMenuItemCount(bar) == static_cast<int>(menus.size()), "menu bar has %d menus", GetMenuItemCount(bar));
    for (std::size_t m = 0; m < menus.size(); ++m) {
        ok(menuText(bar, static_cast<int>(m)) == menus[m].title, "menu %d is %s", static_cast<int>(m),
           wintest::utf8(menuText(bar, static_cast<int>(m))).c_str());
        HMENU popup = GetSubMenu(bar, static_cast<int>(m));
        const auto& items = menus[m].items;
        ok(GetMenuItemCount(popup) == static_cast<int>(items.size()), "menu %d has %d items", static_cast<int>(m),
           GetMenuItemCount(popup));
        for (std::size_t i = 0; i < items.size() && i < static_cast<std::size_t>(GetMenuItemCount(popup)); ++i) {
            UINT id = GetMenuItemID(popup, static_cast<int>(i));
            ok(static_cast<int>(id) == items[i].id, "menu %d item %d has id %u, expected %d", static_cast<int>(m),
               static_cast<int>(i), id, items[i].id);
            std::wstring text = menuText(popup, static_cast<int>(i));
            ok(text == items[i].text, "item %d: %s", items[i].id, wintest::utf8(text).c_str());
        }
    }

    // Nothing is loaded: the commands that need a book are greyed.
    for (int id : {2003, 2010, 2004, 2306, 2307, 2312, 2313, 2314}) {
        UINT state = GetMenuState(bar, id, MF_BYCOMMAND);
        ok((state & MF_GRAYED) != 0, "command %d is not greyed", id);
    }
    ok((GetMenuState(bar, 2001, MF_BYCOMMAND) & MF_GRAYED) == 0, "open is greyed");

    RECT window;
    GetWindowRect(hwnd, &window);
    ok(closeAndRun() == 0, "exit code");
    ok(app().mainWindow == nullptr, "main window survived closing");

    std::string written = readBytes(dir / L"REKALWIN.INI");
    std::string expected = expectedSettingsFile(cp932(dir.wstring() + L"\\"), window, false);
    ok(written == expected, "REKALWIN.INI differs:\n%s\n--- expected ---\n%s", written.c_str(), expected.c_str());
    std::filesystem::remove_all(dir);
}

WINTEST(maximisedWindowKeepsItsNormalPlace) {
    auto dir = makeProgramFolder(L"rekal-max");
    std::ofstream(dir / L"REKALWIN.INI", std::ios::binary)
        << "Show=1\r\nLeft=40\r\nTop=30\r\nWidth=500\r\nHeight=400\r\nTimeLimit=40000\r\n";
    ok(startIn(dir), "start-up failed");
    ok(IsZoomed(app().mainWindow), "the window is not maximised");
    ok(closeAndRun() == 0, "exit code");
    std::string written = readBytes(dir / L"REKALWIN.INI");
    for (const char* line : {"Show=1\r\n", "Left=40\r\n", "Top=30\r\n", "Width=500\r\n", "Height=400\r\n",
                             "TimeLimit=0\r\n"})
        ok(written.find(line) != std::string::npos, "missing %s", line);
    std::filesystem::remove_all(dir);
}

WINTEST(commandLinePaths) {
    using rekal::win::commandLinePath;
    ok(commandLinePath(L"\"C:\\My Books\\a b.rkf\" /extra") == L"C:\\My Books\\a b.rkf", "quoted path");
    ok(commandLinePath(L"C:\\books\\a.rkf second") == L"C:\\books\\a.rkf", "plain path");
    ok(commandLinePath(L"").empty(), "empty line");
    ok(commandLinePath(L"   ").empty(), "blank line");
    std::wstring longLine(400, L'x');
    ok(commandLinePath(longLine).size() == 259, "long line cut to 259");
}

WINTEST_MAIN("mainwindow")
