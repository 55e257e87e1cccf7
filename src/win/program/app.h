#pragma once
// The one program-wide record of the Windows program: settings, recent files, the question book,
// the vague table, the display fonts, help, the companion paths and the handles of the windows
// that exist. Every window reaches it through app().

#include "core/data/book.h"
#include "core/exam/random.h"
#include "core/exam/run.h"
#include "core/settings/settings.h"
#include "core/settings/vague.h"
#include "win/app/displayfonts.h"
#include "win/app/help.h"
#include "win/base/winnotifier.h"

#include <windows.h>

#include <filesystem>
#include <string>

namespace rekal::win {

struct AppState {
    HINSTANCE instance = nullptr;
    std::filesystem::path programDir;   // the program's folder (empty when unknown)
    std::filesystem::path settingsPath; // REKALWIN.INI
    std::filesystem::path helpPath;     // REKALWIN.CHM
    std::filesystem::path vaguePath;    // RKLVAGUE.DAT

    Settings defaults;
    Settings settings;
    RecentFiles recent;
    VagueTable vague;
    QuestionBook book;
    ExamRun run;
    RandomGenerator random;

    DisplayFonts fonts;
    HelpSystem help;

    HWND mainWindow = nullptr;
    HWND examView = nullptr;
    HWND listWindow = nullptr;
    HWND hintWindow = nullptr;
    HWND findDialog = nullptr;
    HWND tooltip = nullptr;
    HACCEL accelerators = nullptr;
    UINT findReplaceMessage = 0;
    // Whether the commands that need a book are enabled; a new exam view's toolbar follows it.
    bool fileCommandsEnabled = true;
    // The user has been told that a file name cannot go into the recent list and the exam log.
    bool toldUnstorableName = false;
    // The customize sheet opens on the page last shown (一般 0 ... 答え 5).
    int customizeStartPage = 0;

    MessageBoxNotifier notifier;
};

AppState& app();

// Where start-up looks for its companion files; tests put the program in a folder of their own.
struct StartupOptions {
    std::wstring programPath; // empty: the running program's own file
    std::wstring commandLine;
    int showCommand = SW_SHOWNORMAL;
};

// Start-up up to the message loop: classes, settings, vague table, help, main window, fonts, the
// file to open. False when the program cannot run (the user has been told).
bool startApplication(HINSTANCE instance, const StartupOptions& options);
// Offers a message to help, the accelerators and the dialog navigation of the windows that exist,
// in that order; true when one of them consumed it.
bool preTranslateMessage(MSG& msg);
// The message loop with its pre-translation chain; returns the quit code.
int runMessageLoop();
// After the loop: display fonts, help, the settings file.
void shutdownApplication();
// The whole life of the process.
int runApplication(HINSTANCE instance, const StartupOptions& options);

// Whether an exam run is in progress.
bool examRunning();

// The exam log's file: the settings' name (CP932 text of the settings file), or the program's own
// folder as it is named when the settings keep the default (that folder may have no CP932 name).
std::filesystem::path examLogPath();

} // namespace rekal::win
