#include "win/shell/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int showCommand) {
    rekal::win::StartupOptions options;
    options.commandLine = commandLine ? commandLine : L"";
    options.showCommand = showCommand;
    return rekal::win::runApplication(instance, options);
}
