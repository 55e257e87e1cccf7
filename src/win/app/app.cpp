#include "win/app/app.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "resource.h"
#include "win/app/mainwindow.h"
#include "win/app/windowclasses.h"
#include "win/base/wintext.h"

#include <commdlg.h>

namespace rekal::win {

namespace {

AppState g_app;

constexpr const char* kCannotRun = "実行できません。";
constexpr const char* kNoProgramPath = "実行ファイルのパスを取得できません。";

// The program's directory (CP932, with its trailing backslash) and the companion paths in it.
void resolveCompanionPaths(AppState& a, const StartupOptions& options) {
    std::wstring path = options.programPath.empty() ? moduleFilePath(nullptr) : options.programPath;
    if (path.empty()) {
        a.notifier.error(kNoProgramPath);
        a.programDir.clear();
    } else {
        std::string cp932 = toCp932(path);
        std::size_t slash = cp932.find_last_of("\\/");
        a.programDir = slash == std::string::npos ? std::string() : cp932.substr(0, slash + 1);
    }
    a.settingsPath = a.programDir + "REKALWIN.INI";
    a.helpPath = a.programDir + "REKALWIN.CHM";
    a.vaguePath = a.programDir + "RKLVAGUE.DAT";
}

void establishDefaultSettings(AppState& a) {
    SettingsInputs inputs;
    inputs.programDir = a.programDir;
    inputs.buttonText = GetSysColor(COLOR_BTNTEXT);
    inputs.buttonFace = GetSysColor(COLOR_BTNFACE);
    a.defaults = defaultSettings(inputs);
    a.settings = a.defaults;
}

bool createMainWindow(AppState& a, int showCommand) {
    const WindowRect& r = a.settings.mainRect;
    HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, kMainWindowClass,
                                toWide(msg::kAppName).c_str(), WS_OVERLAPPEDWINDOW, r.left, r.top, r.width,
                                r.height, nullptr, nullptr, a.instance, nullptr);
    if (!hwnd) {
        a.notifier.error(kCannotRun);
        return false;
    }
    setFileCommandsEnabled(false);
    ShowWindow(hwnd, a.settings.mainMaximized ? SW_SHOWMAXIMIZED : showCommand);
    UpdateWindow(hwnd);
    a.accelerators = LoadAcceleratorsW(a.instance, MAKEINTRESOURCEW(IDR_ACCEL_MAIN));
    a.findReplaceMessage = RegisterWindowMessageW(FINDMSGSTRINGW);
    return true;
}

} // namespace

AppState& app() { return g_app; }

bool startApplication(HINSTANCE instance, const StartupOptions& options) {
    AppState& a = g_app;
    a = AppState{};
    a.instance = instance;
    if (!registerWindowClasses(instance)) return false;
    resolveCompanionPaths(a, options);
    establishDefaultSettings(a);
    loadSettings(a.settings, a.settingsPath, &a.recent);
    if (!createMainWindow(a, options.showCommand)) return false;
    openStartupFile(options.commandLine);
    return true;
}

int runMessageLoop() {
    AppState& a = g_app;
    MSG msg;
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (a.mainWindow && a.accelerators && TranslateAcceleratorW(a.mainWindow, a.accelerators, &msg)) continue;
        if (a.mainWindow && IsDialogMessageW(a.mainWindow, &msg)) continue;
        if (a.findDialog && IsDialogMessageW(a.findDialog, &msg)) continue;
        if (a.listWindow && IsDialogMessageW(a.listWindow, &msg)) continue;
        if (a.hintWindow && IsDialogMessageW(a.hintWindow, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

void shutdownApplication() {
    AppState& a = g_app;
    if (!saveSettings(a.settings, a.settingsPath, &a.recent)) {
        a.notifier.setOwner(nullptr);
        a.notifier.error(msg::kWriteFailed);
    }
}

int runApplication(HINSTANCE instance, const StartupOptions& options) {
    if (!startApplication(instance, options)) return 0;
    int code = runMessageLoop();
    shutdownApplication();
    return code;
}

} // namespace rekal::win
