#pragma once
// The one program-wide record of the Windows program: settings, recent files, the question book,
// the vague table, the display fonts, help, the companion paths and the handles of the windows
// that exist. Every window and the shell reach it through app(); the controls below it (sentence
// control, dialog kit) get what they need of it through hosts of their own, which it sets.

#include "core/data/book.h"
#include "core/exam/random.h"
#include "core/exam/run.h"
#include "core/settings/settings.h"
#include "core/settings/vague.h"
#include "win/program/displayfonts.h"
#include "win/program/help.h"
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
    HWND progressWindow = nullptr; // the study graph
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
    // The shell's Save As (set with the main window), for the windows below the shell that offer
    // it when the book's file has gone.
    void (*saveBookAs)(HWND owner) = nullptr;
    // Windows is ending the session: nothing may wait for the user (no result dialog, no boxes).
    bool sessionEnding = false;

    MessageBoxNotifier notifier;
};

AppState& app();

// A fresh record in place of the old one: start-up (tests start the program more than once in one
// process). The controls' hosts read the record through app() and stay in place.
AppState& resetApp();

// Tells the study graph, when it is open, that the log or the open book changed: it reads the log
// again (posted, so a run's end or a load finishes first).
inline constexpr UINT kRefreshProgressMessage = WM_APP + 4;
void refreshProgressWindow();

// Whether an exam run is in progress.
bool examRunning();

// The exam log's file: the settings' name (CP932 text of the settings file), or the program's own
// folder as it is named when the settings keep the default (that folder may have no CP932 name).
std::filesystem::path examLogPath();

} // namespace rekal::win
