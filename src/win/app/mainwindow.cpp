#include "win/app/mainwindow.h"

#include "core/base/messages.h"
#include "resource.h"
#include "win/app/app.h"
#include "win/base/wintext.h"

#include <commctrl.h>

namespace rekal::win {

namespace {

constexpr int kMinTrackSize = 250;

using CommandHandler = void (*)(HWND hwnd, int id);

struct CommandEntry {
    int id;
    CommandHandler handler;
};

void onExit(HWND hwnd, int) { SendMessageW(hwnd, WM_CLOSE, 0, 0); }

// Every command of the menus and accelerators. Commands whose windows are not part of the program
// yet are absent and fall through to the default handling.
constexpr CommandEntry kCommands[] = {
    {CMD_EXIT, onExit},
};

bool dispatchCommand(HWND hwnd, int id) {
    for (const CommandEntry& c : kCommands) {
        if (c.id == id) {
            c.handler(hwnd, id);
            return true;
        }
    }
    return false;
}

void onCreate(HWND hwnd) {
    AppState& a = app();
    a.mainWindow = hwnd;
    a.notifier.setOwner(hwnd);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                             ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
}

void onClose(HWND hwnd) { DestroyWindow(hwnd); }

// The normal (restored) place in screen coordinates, and whether the window is maximised.
void storePlacement(HWND hwnd) {
    AppState& a = app();
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(hwnd, &wp)) return;
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const RECT& r = wp.rcNormalPosition;
    a.settings.mainRect = {r.left + work.left, r.top + work.top, r.right - r.left, r.bottom - r.top};
    a.settings.mainMaximized = IsZoomed(hwnd) != FALSE;
}

void onDestroy(HWND hwnd) {
    storePlacement(hwnd);
    AppState& a = app();
    a.mainWindow = nullptr;
    a.notifier.setOwner(nullptr);
    PostQuitMessage(0);
}

} // namespace

LRESULT CALLBACK mainWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        onCreate(hwnd);
        return 0;
    case WM_SIZE:
        if (app().examView) MoveWindow(app().examView, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_CLOSE:
        onClose(hwnd);
        return 0;
    case WM_DESTROY:
        onDestroy(hwnd);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {kMinTrackSize, kMinTrackSize};
        return 0;
    }
    case WM_COMMAND:
        if (dispatchCommand(hwnd, LOWORD(wParam))) return 0;
        break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void setFileCommandsEnabled(bool enabled) {
    HMENU menu = app().mainWindow ? GetMenu(app().mainWindow) : nullptr;
    if (!menu) return;
    const UINT flags = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
    for (int id : {CMD_SAVE, CMD_SAVE_AS, CMD_EXPORT}) EnableMenuItem(menu, id, flags);
    for (int id = CMD_RANGE; id <= CMD_CLEAR_HISTORIES; ++id) EnableMenuItem(menu, id, flags);
}

void setCaption(std::optional<std::string_view> cp932Path) {
    std::string caption = cp932Path ? std::string(*cp932Path) + " - " + msg::kAppName : msg::kAppName;
    if (app().mainWindow) setWindowText(app().mainWindow, caption);
}

std::wstring commandLinePath(std::wstring_view line) {
    std::wstring_view text = line.substr(0, std::min<std::size_t>(line.size(), 259));
    std::size_t start = text.find_first_not_of(L' ');
    if (start == std::wstring_view::npos) return {};
    text.remove_prefix(start);
    if (text.front() == L'"') {
        text.remove_prefix(1);
        return std::wstring(text.substr(0, text.find(L'"')));
    }
    return std::wstring(text.substr(0, text.find(L' ')));
}

void openStartupFile(std::wstring_view commandLine) {
    // Opening question files arrives with the book; the path is worked out already.
    (void)commandLinePath(commandLine);
}

} // namespace rekal::win
