#include "win/exam/commandstate.h"

#include "resource.h"
#include "win/exam/examview.h"
#include "win/program/app.h"

#include <commctrl.h>

namespace rekal::win {

void setFileCommandsEnabled(bool enabled) {
    AppState& a = app();
    a.fileCommandsEnabled = enabled;
    HMENU menu = a.mainWindow ? GetMenu(a.mainWindow) : nullptr;
    if (menu) {
        const UINT flags = MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED);
        for (int id : {CMD_SAVE, CMD_SAVE_AS, CMD_EXPORT})
            EnableMenuItem(menu, id, flags);
        for (int id = CMD_RANGE; id <= CMD_CLEAR_HISTORIES; ++id)
            EnableMenuItem(menu, id, flags);
    }
    if (HWND toolbar = examToolbar())
        for (int id = CMD_RANGE; id <= CMD_START_COMPLETE; ++id)
            SendMessageW(toolbar, TB_ENABLEBUTTON, id, MAKELONG(enabled ? TRUE : FALSE, 0));
}

void toggleDisplayPart(int controlId, int menuId, unsigned flag, bool apply) {
    Settings& s = app().settings;
    const auto bit = static_cast<OptionBit>(flag);
    if (!apply) s.set(bit, !s.has(bit));
    const bool on = s.has(bit);
    if (HWND view = app().examView) {
        ShowWindow(GetDlgItem(view, controlId), on ? SW_SHOW : SW_HIDE);
        if (controlId == IDC_INFO_PANE)
            ShowWindow(GetDlgItem(view, IDC_INFO_SPLITTER), on ? SW_SHOW : SW_HIDE);
    }
    if (app().mainWindow)
        CheckMenuItem(GetMenu(app().mainWindow), menuId, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
    layoutExamView();
}

void setAnswerMode(int command) {
    if (command < CMD_MODE_STANDARD || command > CMD_MODE_CONFIRM) return;
    if (app().mainWindow)
        CheckMenuRadioItem(GetMenu(app().mainWindow), CMD_MODE_STANDARD, CMD_MODE_CONFIRM, command,
                           MF_BYCOMMAND);
    if (HWND toolbar = examToolbar()) {
        for (int id = CMD_MODE_STANDARD; id <= CMD_MODE_CONFIRM; ++id) {
            const BYTE state = TBSTATE_ENABLED | (id == command ? TBSTATE_PRESSED : 0);
            SendMessageW(toolbar, TB_SETSTATE, id, MAKELONG(state, 0));
        }
    }
    app().settings.answerMode = static_cast<std::uint8_t>(command - CMD_MODE_STANDARD);
}

} // namespace rekal::win
