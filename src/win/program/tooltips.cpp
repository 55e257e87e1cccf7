#include "win/program/tooltips.h"

#include "resource.h"
#include "win/program/app.h"
#include "win/base/wintext.h"

#include <string>

namespace rekal::win {

namespace {

TTTOOLINFOW toolOf(HWND dialog, HWND control) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    return tool;
}

BOOL CALLBACK removeTool(HWND control, LPARAM dialog) {
    if (GetParent(control) != reinterpret_cast<HWND>(dialog)) return TRUE;
    TTTOOLINFOW tool = toolOf(reinterpret_cast<HWND>(dialog), control);
    SendMessageW(app().tooltip, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    return TRUE;
}

bool hasToolbarTip(int command) {
    return command == CMD_OPEN || command == CMD_SAVE || (command >= 2102 && command <= 2106) ||
           (command >= CMD_MODE_STANDARD && command <= CMD_MODE_CONFIRM) ||
           (command >= CMD_RANGE && command <= CMD_START_RANDOM_COUNT) || command == CMD_START_WEAK ||
           command == CMD_START_COMPLETE;
}

} // namespace

HWND createTooltipWindow(HWND owner) {
    return CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, app().instance,
                           nullptr);
}

void setTooltipsActive(bool active) {
    if (app().tooltip) SendMessageW(app().tooltip, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void addControlTooltip(HWND dialog, int controlId, std::string_view cp932Text) {
    HWND control = GetDlgItem(dialog, controlId);
    if (!app().tooltip || !control) return;
    std::wstring text = toWide(cp932Text);
    TTTOOLINFOW tool = toolOf(dialog, control);
    tool.lpszText = text.data();
    SendMessageW(app().tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void removeControlTooltip(HWND dialog, int controlId) {
    if (HWND control = GetDlgItem(dialog, controlId)) removeTool(control, reinterpret_cast<LPARAM>(dialog));
}

void removeControlTooltips(HWND dialog) {
    if (app().tooltip) EnumChildWindows(dialog, removeTool, reinterpret_cast<LPARAM>(dialog));
}

bool answerToolbarTip(NMTTDISPINFOW& request) {
    const int command = static_cast<int>(request.hdr.idFrom);
    if ((request.uFlags & TTF_IDISHWND) || !hasToolbarTip(command)) return false;
    request.hinst = app().instance;
    request.lpszText = MAKEINTRESOURCEW(command);
    return true;
}

} // namespace rekal::win
