#include "win/shell/startup.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/exam/random.h"
#include "core/shell/shell.h"
#include "resource.h"
#include "win/shell/bookfile.h"
#include "win/program/app.h"
#include "win/shell/mainwindow.h"
#include "win/exam/commandstate.h"
#include "win/shell/windowclasses.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/exam/examview.h"
#include "win/dialogs/dialogkit.h"

#include <commdlg.h>

namespace rekal::win {

namespace {

// The random generator's seed: the tick count, so that every start asks in another order. A test
// that replays the window's exams with rekal-cli drill --seed fixes it with the environment
// variable REKAL_RANDOM_SEED (a decimal number); any other value of it is ignored.
std::uint32_t startupSeed() {
    wchar_t text[16] = {};
    const DWORD length = GetEnvironmentVariableW(L"REKAL_RANDOM_SEED", text, 16);
    std::string digits;
    for (DWORD i = 0; i < length && i < 16; ++i)
        digits += text[i] < 0x80 ? static_cast<char>(text[i]) : '?';
    return parseSeed(digits).value_or(GetTickCount());
}

constexpr const char* kCannotRun = "実行できません。";
constexpr const char* kNoProgramPath = "実行ファイルのパスを取得できません。";

// The program's folder and the companion paths in it (bare names when the folder is unknown).
void resolveCompanionPaths(AppState& a, const StartupOptions& options) {
    std::wstring path = options.programPath.empty() ? moduleFilePath(nullptr) : options.programPath;
    if (path.empty()) {
        a.notifier.error(kNoProgramPath);
        a.programDir.clear();
    } else {
        std::size_t slash = path.find_last_of(L"\\/");
        a.programDir = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
    }
    a.settingsPath = a.programDir / L"REKALWIN.INI";
    a.helpPath = a.programDir / L"REKALWIN.CHM";
    a.vaguePath = a.programDir / L"RKLVAGUE.DAT";
}

// Defaults (with the exam log beside the program and the windows' sizes for the screen), then the
// settings file over them.
void establishSettings(AppState& a) {
    SettingsInputs inputs;
    inputs.programDir = storableFolder(a.programDir);
    inputs.buttonText = GetSysColor(COLOR_BTNTEXT);
    inputs.buttonFace = GetSysColor(COLOR_BTNFACE);
    a.defaults = defaultSettings(inputs);
    scaleDefaultWindowSizes(a.defaults, windowDpi(nullptr));
    a.settings = a.defaults;
    loadSettings(a.settings, a.settingsPath, &a.recent);
}

bool createMainWindow(AppState& a) {
    const WindowRect& r = a.settings.mainRect;
    HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT | WS_EX_ACCEPTFILES, kMainWindowClass,
                                toWide(msg::kAppName).c_str(), WS_OVERLAPPEDWINDOW, r.left, r.top, r.width,
                                r.height, nullptr, nullptr, a.instance, nullptr);
    if (!hwnd) {
        a.notifier.setOwner(nullptr);
        a.notifier.error(kCannotRun);
        return false;
    }
    return true;
}

} // namespace

bool startApplication(HINSTANCE instance, const StartupOptions& options) {
    AppState& a = resetApp();
    a.instance = instance;
    if (!registerWindowClasses(instance)) return false;
    a.random.seed(startupSeed());
    resolveCompanionPaths(a, options);
    establishSettings(a);
    a.vague = loadVagueTable(a.vaguePath, &a.notifier);
    initialiseHelp(a.help);
    if (!createMainWindow(a)) return false;

    setFileCommandsEnabled(false);
    createDisplayFonts(a.mainWindow, a.settings, a.fonts);
    applyDisplayFonts(a.examView, a.fonts);
    layoutExamView();
    ShowWindow(a.mainWindow, a.settings.mainMaximized ? SW_SHOWMAXIMIZED : options.showCommand);
    UpdateWindow(a.mainWindow);
    a.accelerators = LoadAcceleratorsW(a.instance, MAKEINTRESOURCEW(IDR_ACCEL_MAIN));
    a.findReplaceMessage = RegisterWindowMessageW(FINDMSGSTRINGW);
    openStartupFile(options.commandLine);
    return true;
}

bool preTranslateMessage(MSG& msg) {
    AppState& a = app();
    if (preTranslateHelpMessage(a.help, msg)) return true;
    if (a.mainWindow && a.accelerators && !editKeepsKey(msg) &&
        TranslateAcceleratorW(a.mainWindow, a.accelerators, &msg))
        return true;
    for (HWND dialog : {a.mainWindow, a.findDialog, a.listWindow, a.hintWindow, a.progressWindow})
        if (dialog && IsDialogMessageW(dialog, &msg)) return true;
    return false;
}

int runMessageLoop() {
    MSG msg{};
    for (;;) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (preTranslateMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

bool writeSettingsFile() {
    AppState& a = app();
    return saveSettings(a.settings, a.settingsPath, &a.recent);
}

void shutdownApplication() {
    AppState& a = app();
    deleteDisplayFonts(a.fonts);
    closeHelp(a.help);
    if (!writeSettingsFile()) {
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
