#include "win/shell/commands.h"

#include "resource.h"
#include "win/shell/aboutbox.h"
#include "win/program/app.h"
#include "win/shell/bookfile.h"
#include "win/shell/exportdialog.h"
#include "win/program/help.h"
#include "win/shell/mainwindow.h"
#include "win/exam/commandstate.h"
#include "win/customize/customizesheet.h"
#include "win/shell/recentfiles.h"
#include "win/program/tooltips.h"
#include "win/exam/examsession.h"
#include "win/exam/examview.h"
#include "win/exam/hintwindow.h"
#include "win/exam/rangedialog.h"
#include "win/examlog/examlogviewer.h"
#include "win/list/listwindow.h"
#include "win/progress/progresswindow.h"

namespace rekal::win {

namespace {

struct Command {
    HWND hwnd;
    int id;
    WPARAM wParam;
    LPARAM lParam;
};

using CommandHandler = void (*)(const Command& c);

struct CommandEntry {
    int first;
    int last;
    CommandHandler handler;
};

// Enter and Escape in the main window belong to the exam view.
void forwardToExamView(const Command& c) {
    if (app().examView) SendMessageW(app().examView, WM_COMMAND, c.wParam, c.lParam);
}

void onExit(const Command& c) {
    SendMessageW(c.hwnd, WM_CLOSE, 0, 0);
}

// The group and history fields show only while an exam runs; otherwise only the flag and the check
// mark change and the fields appear with the next exam.
void onToggleGroup(const Command& c) {
    Settings& s = app().settings;
    s.set(Group, !s.has(Group));
    const bool on = s.has(Group);
    if (examRunning() && app().examView) {
        for (int id : {IDC_GROUP, IDC_HISTORY})
            ShowWindow(GetDlgItem(app().examView, id), on ? SW_SHOW : SW_HIDE);
    }
    CheckMenuItem(GetMenu(c.hwnd), CMD_VIEW_GROUP, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    layoutExamView();
}

void onToggleToolHint(const Command& c) {
    Settings& s = app().settings;
    s.set(ToolHint, !s.has(ToolHint));
    const bool on = s.has(ToolHint);
    setTooltipsActive(on);
    CheckMenuItem(GetMenu(c.hwnd), CMD_VIEW_TOOLHINT, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
}

constexpr CommandEntry kCommands[] = {
    {IDOK, IDCANCEL, forwardToExamView},
    {CMD_OPEN, CMD_OPEN, [](const Command& c) { openWithDialog(c.hwnd); }},
    {CMD_OPEN_EXAMLOG, CMD_OPEN_EXAMLOG,
     [](const Command& c) { openExamLogViewer(c.hwnd, openAnotherBook); }},
    {CMD_SAVE, CMD_SAVE, [](const Command&) { saveBookIfChanged(); }},
    {CMD_SAVE_AS, CMD_SAVE_AS, [](const Command& c) { saveBookAs(c.hwnd); }},
    {CMD_EXPORT, CMD_EXPORT, [](const Command& c) { openExportDialog(c.hwnd); }},
    {CMD_EXIT, CMD_EXIT, onExit},
    {CMD_RECENT_BASE + 1, CMD_RECENT_BASE + kMaxRecentFiles,
     [](const Command& c) { openRecentFile(c.hwnd, c.id); }},
    {CMD_RECENT_CLEAR, CMD_RECENT_CLEAR, [](const Command& c) { clearRecentFiles(c.hwnd); }},
    {CMD_CREATE_EXAM_VIEW, CMD_CREATE_EXAM_VIEW, [](const Command&) { createExamView(); }},
    {CMD_MODE_STANDARD, CMD_MODE_CONFIRM, [](const Command& c) { setAnswerMode(c.id); }},
    {CMD_RANGE, CMD_RANGE, [](const Command& c) { openRangeDialog(c.hwnd); }},
    {CMD_START_ALL, CMD_START_COMPLETE, [](const Command& c) { startExamCommand(c.hwnd, c.id); }},
    {CMD_LIST, CMD_LIST, [](const Command& c) { openListWindow(c.hwnd); }},
    {CMD_CLEAR_HISTORIES, CMD_CLEAR_HISTORIES, [](const Command&) { clearAllHistories(); }},
    {CMD_VIEW_TOOLBAR, CMD_VIEW_TOOLBAR,
     [](const Command&) { toggleDisplayPart(IDC_TOOLBAR, CMD_VIEW_TOOLBAR, ToolBar, false); }},
    {CMD_VIEW_STATUSBAR, CMD_VIEW_STATUSBAR,
     [](const Command&) { toggleDisplayPart(IDC_STATUS_BAR, CMD_VIEW_STATUSBAR, StatusBar, false); }},
    {CMD_VIEW_GROUP, CMD_VIEW_GROUP, onToggleGroup},
    {CMD_VIEW_TOOLHINT, CMD_VIEW_TOOLHINT, onToggleToolHint},
    {CMD_VIEW_HINT, CMD_VIEW_HINT, [](const Command& c) { toggleHintWindow(c.hwnd); }},
    {CMD_VIEW_GRAPH, CMD_VIEW_GRAPH, [](const Command& c) { openProgressWindow(c.hwnd); }},
    {CMD_CUSTOMIZE, CMD_CUSTOMIZE, [](const Command& c) { openCustomizeSheet(c.hwnd); }},
    {CMD_VIEW_INFOPANE, CMD_VIEW_INFOPANE,
     [](const Command&) { toggleDisplayPart(IDC_INFO_PANE, CMD_VIEW_INFOPANE, InfoPain, false); }},
    {CMD_HELP_CONTENTS, CMD_HELP_CONTENTS, [](const Command& c) { showHelpContents(c.hwnd); }},
    {CMD_HELP_INDEX, CMD_HELP_INDEX, [](const Command& c) { showHelpIndex(c.hwnd); }},
    {CMD_ABOUT, CMD_ABOUT, [](const Command& c) { showAboutBox(c.hwnd); }},
};

} // namespace

bool dispatchCommand(HWND hwnd, int id, WPARAM wParam, LPARAM lParam) {
    for (const CommandEntry& entry : kCommands) {
        if (id >= entry.first && id <= entry.last) {
            entry.handler(Command{hwnd, id, wParam, lParam});
            return true;
        }
    }
    return false;
}

} // namespace rekal::win
