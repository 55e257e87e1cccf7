#pragma once
// The life of the process: start-up up to the message loop, the loop with its pre-translation
// chain, and what follows it.

#include <windows.h>

#include <string>

namespace rekal::win {

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
// Writes the whole settings record (with the recent files) to REKALWIN.INI. False when it failed.
bool writeSettingsFile();
// After the loop: display fonts, help, the settings file.
void shutdownApplication();
// The whole life of the process.
int runApplication(HINSTANCE instance, const StartupOptions& options);

} // namespace rekal::win
