#pragma once
// The one program-wide record of the Windows program: settings, recent files, companion paths and
// the handles of the windows that exist. Every window reaches it through app().

#include "core/settings/settings.h"
#include "win/base/winnotifier.h"

#include <windows.h>

#include <string>

namespace rekal::win {

struct AppState {
    HINSTANCE instance = nullptr;
    std::string programDir;   // CP932, with its trailing backslash (empty when unknown)
    std::string settingsPath; // REKALWIN.INI
    std::string helpPath;     // REKALWIN.CHM
    std::string vaguePath;    // RKLVAGUE.DAT

    Settings defaults;
    Settings settings;
    RecentFiles recent;

    HWND mainWindow = nullptr;
    HWND examView = nullptr;
    HWND listWindow = nullptr;
    HWND hintWindow = nullptr;
    HWND findDialog = nullptr;
    HWND tooltip = nullptr;
    HACCEL accelerators = nullptr;
    UINT findReplaceMessage = 0;

    MessageBoxNotifier notifier;
};

AppState& app();

// Where start-up looks for its companion files; tests put the program in a folder of their own.
struct StartupOptions {
    std::wstring programPath; // empty: the running program's own file
    std::wstring commandLine;
    int showCommand = SW_SHOWNORMAL;
};

// Start-up up to the message loop: classes, settings, vague table, main window, the file to open.
bool startApplication(HINSTANCE instance, const StartupOptions& options);
// The message loop with its pre-translation chain; returns the quit code.
int runMessageLoop();
// After the loop: display resources, help, the settings file.
void shutdownApplication();
// The whole life of the process.
int runApplication(HINSTANCE instance, const StartupOptions& options);

} // namespace rekal::win
