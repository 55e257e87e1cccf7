#include "win/program/help.h"

#include "win/program/app.h"
#include "win/base/wintext.h"

namespace rekal::win {

namespace {

void callHelp(HWND owner, UINT command, DWORD_PTR data) {
    HelpSystem& help = app().help;
    if (!help.call) return;
    help.call(owner, app().helpPath.c_str(), command, data);
}

} // namespace

void initialiseHelp(HelpSystem& help) {
    help.module = LoadLibraryW(L"hhctrl.ocx");
    if (help.module)
        help.call = reinterpret_cast<HtmlHelpFunction>(
            reinterpret_cast<void*>(GetProcAddress(help.module, "HtmlHelpW")));
    if (help.call) help.call(nullptr, nullptr, HelpInitialise, reinterpret_cast<DWORD_PTR>(&help.cookie));
}

bool preTranslateHelpMessage(HelpSystem& help, MSG& msg) {
    return help.call &&
           help.call(nullptr, nullptr, HelpPreTranslate, reinterpret_cast<DWORD_PTR>(&msg)) != nullptr;
}

void showHelpTopic(HWND owner, int context) {
    callHelp(owner, HelpContext, static_cast<DWORD_PTR>(context));
}
void showHelpContents(HWND owner) {
    callHelp(owner, HelpContents, 0);
}
void showHelpIndex(HWND owner) {
    callHelp(owner, HelpIndex, 0);
}

void closeHelp(HelpSystem& help) {
    if (help.call) {
        help.call(nullptr, nullptr, HelpCloseAll, 0);
        help.call(nullptr, nullptr, HelpUninitialise, help.cookie);
    }
    help.call = nullptr;
    if (help.module) FreeLibrary(help.module);
    help.module = nullptr;
    help.cookie = 0;
}

} // namespace rekal::win
