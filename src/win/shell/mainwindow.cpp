#include "win/shell/mainwindow.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/data/merge.h"
#include "core/shell/helpcontexts.h"
#include "core/shell/shell.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/shell/bookfile.h"
#include "win/shell/commands.h"
#include "win/program/displayfonts.h"
#include "win/shell/recentfiles.h"
#include "win/shell/startup.h"
#include "win/program/tooltips.h"
#include "win/base/contrast.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/dialogs/dialogkit.h"
#include "win/exam/examview.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>

namespace rekal::win {

namespace {

constexpr int kMinTrackSize = 250;

void onCreate(HWND hwnd) {
    AppState& a = app();
    a.mainWindow = hwnd;
    a.notifier.setOwner(hwnd);
    a.saveBookAs = &saveBookAs;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                             ICC_TAB_CLASSES | ICC_UPDOWN_CLASS};
    InitCommonControlsEx(&icc);
    buildRecentMenu(hwnd, GetMenu(hwnd));
    a.tooltip = createTooltipWindow(hwnd);
    setTooltipsActive(a.settings.has(ToolHint));
    HMENU menu = GetMenu(hwnd);
    CheckMenuItem(menu, CMD_VIEW_GROUP, MF_BYCOMMAND | (a.settings.has(Group) ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, CMD_VIEW_TOOLHINT,
                  MF_BYCOMMAND | (a.settings.has(ToolHint) ? MF_CHECKED : MF_UNCHECKED));
    SendMessageW(hwnd, WM_COMMAND, CMD_CREATE_EXAM_VIEW, 0);
}

constexpr const char* kExitUnsavedQuestion = "変更が保存されていません。保存せずに終了しますか？";

// The exam view goes first (a running exam ends and is logged), then the book is saved and
// released, then the vague table is written back. When the book cannot be saved the user chooses:
// exit without it, or stay (with a fresh exam view) to save it elsewhere.
void onClose(HWND hwnd) {
    AppState& a = app();
    if (a.examView) SendMessageW(a.examView, WM_CLOSE, 0, 0);
    a.examView = nullptr;
    if (!saveBookIfChanged() && !a.notifier.ask(kExitUnsavedQuestion)) {
        SendMessageW(hwnd, WM_COMMAND, CMD_CREATE_EXAM_VIEW, 0);
        return;
    }
    a.book.discard();
    if (!saveVagueTable(a.vaguePath, a.vague)) a.notifier.error(msg::kWriteFailed);
    a.vague = VagueTable{};
    DestroyWindow(hwnd);
}

// The normal (restored) place in screen coordinates, and whether the window is maximised.
void storePlacement(HWND hwnd) {
    AppState& a = app();
    storeWindowPlacement(hwnd, a.settings.mainRect, a.settings.mainMaximized);
}

// Windows is ending the session (log-off, shutdown) and may end the process as soon as this
// returns, without WM_CLOSE and without the end of the message loop: what closing and the end of
// the loop write is written now. Nothing may wait for the user, and a dialog that is open (an
// answer dialog, a message box) is left as it is: its loop delivered this message. So the running
// exam ends and is logged without its result dialog, the book is saved (merged with a file written
// elsewhere) without boxes, and the vague table and the settings are written. The windows stay.
void onEndSession(HWND hwnd) {
    AppState& a = app();
    a.sessionEnding = true;
    a.notifier.setQuiet(true);
    a.book.setReplacing(true); // no retry, and no save of its own after the run
    endExamRun();
    a.book.setReplacing(false);
    saveBookMerging(a.book, a.settings, a.notifier);
    saveVagueTable(a.vaguePath, a.vague);
    storePlacement(hwnd);
    writeSettingsFile();
    a.notifier.setQuiet(false);
    a.sessionEnding = false;
}

void onDestroy(HWND hwnd) {
    storePlacement(hwnd);
    AppState& a = app();
    a.mainWindow = nullptr;
    a.tooltip = nullptr;
    a.notifier.setOwner(nullptr);
    PostQuitMessage(0);
}

LRESULT onNotify(HWND hwnd, NMHDR& header) {
    if (header.code == TBN_DROPDOWN && header.idFrom == IDC_TOOLBAR) {
        showRecentDropDown(hwnd, reinterpret_cast<NMTOOLBARW&>(header));
        return TBDDRET_DEFAULT;
    }
    if (header.code == TTN_GETDISPINFOW) answerToolbarTip(reinterpret_cast<NMTTDISPINFOW&>(header));
    return 0;
}

// Moved to a screen of another density: the suggested rectangle, the display fonts made at the new
// dpi and the exam view restyled with them at once (the choice buttons drop the old choice font
// before anything paints, and a running question keeps its file's fonts); its children make their
// pictures again and lay out after this.
void onDpiChanged(HWND hwnd, const RECT& suggested) {
    AppState& a = app();
    createDisplayFonts(hwnd, a.settings, a.fonts);
    restyleExamView();
    SetWindowPos(hwnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layoutExamView();
}

void onHelp(HWND hwnd, const HELPINFO& info) {
    showHelpTopic(hwnd, helpContextFor(info.iContextType == HELPINFO_MENUITEM, examRunning()));
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
    case WM_ACTIVATE:
        if (app().examView) SendMessageW(app().examView, WM_ACTIVATE, wParam, lParam);
        return 0;
    case WM_NEXTDLGCTL:
        // Dialog navigation of the main window (Tab, arrows) moves the focus among the view's controls.
        if (app().examView) SendMessageW(app().examView, WM_NEXTDLGCTL, wParam, lParam);
        return 0;
    case WM_CLOSE:
        onClose(hwnd);
        return 0;
    case WM_QUERYENDSESSION:
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) onEndSession(hwnd);
        return 0;
    case WM_DESTROY:
        onDestroy(hwnd);
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {scaled(hwnd, kMinTrackSize), scaled(hwnd, kMinTrackSize)};
        return 0;
    }
    case WM_DPICHANGED:
        onDpiChanged(hwnd, *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_NOTIFY:
        if (auto* header = reinterpret_cast<NMHDR*>(lParam);
            header->code == TBN_DROPDOWN || header->code == TTN_GETDISPINFOW)
            return onNotify(hwnd, *header);
        break;
    case WM_HELP:
        onHelp(hwnd, *reinterpret_cast<HELPINFO*>(lParam));
        return TRUE;
    case WM_COMMAND:
        if (dispatchCommand(hwnd, LOWORD(wParam), wParam, lParam)) return 0;
        break;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // A high-contrast theme switched on or off: the view and its controls repaint in it.
        repaintOnThemeChange(hwnd, message, wParam, lParam);
        break;
    case WM_DROPFILES:
        openDroppedFile(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

void setCaption(const std::optional<std::filesystem::path>& file) {
    if (!app().mainWindow) return;
    std::wstring caption = file ? file->native() + L" - " : std::wstring();
    caption += toWide(msg::kAppName);
    SetWindowTextW(app().mainWindow, caption.c_str());
}

std::wstring commandLinePath(std::wstring_view line) {
    std::wstring_view text = line.substr(0, std::min<std::size_t>(line.size(), kMaxPathText));
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
    AppState& a = app();
    std::wstring named = commandLinePath(commandLine);
    if (!named.empty()) {
        openBookFile(std::filesystem::path(named));
    } else if (a.settings.has(LoadLastFile) && !a.recent.paths.empty()) {
        // The recent list is CP932 text from the settings file.
        openBookFile(nativePath(a.recent.paths.front()));
    }
}

} // namespace rekal::win
