#include "win/program/app.h"

#include "core/base/fileio.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"

#include <memory>

namespace rekal::win {

namespace {

std::unique_ptr<AppState>& appHolder() {
    static std::unique_ptr<AppState> state = std::make_unique<AppState>();
    return state;
}

// The record as the controls see it: media paths relative to the book's file, the settings' line
// interval, the message boxes, the program's module and its help file.
class ProgramHosts final : public SentenceHost, public DialogHost {
  public:
    ProgramHosts() {
        setSentenceHost(this);
        setDialogHost(this);
    }
    std::filesystem::path mediaBase() override { return app().book.file(); }
    int lineInterval() override { return app().settings.lineInterval; }
    Notifier* notifier() override { return &app().notifier; }
    HINSTANCE instance() override { return app().instance; }
    void showHelp(HWND caller, int context) override { showHelpTopic(caller, context); }
};

// Set before main: every control of the program serves it from its first message on. A test that
// drives a control alone sets a host of its own.
ProgramHosts g_hosts;

} // namespace

AppState& app() {
    return *appHolder();
}

AppState& resetApp() {
    appHolder() = std::make_unique<AppState>();
    return app();
}

void refreshProgressWindow() {
    if (HWND window = app().progressWindow) PostMessageW(window, kRefreshProgressMessage, 0, 0);
}

bool examRunning() {
    return app().run.active();
}

std::filesystem::path examLogPath() {
    const AppState& a = app();
    if (a.settings.examLogName == a.defaults.examLogName) return a.programDir / L"EXAMLOG.TXT";
    return nativePath(a.settings.examLogName);
}

} // namespace rekal::win
