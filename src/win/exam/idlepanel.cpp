#include "win/exam/idlepanel.h"

#include "resource.h"
#include "win/program/app.h"
#include "win/base/wintext.h"
#include "win/image/picture.h"

#include <string>

namespace rekal::win {

namespace {

constexpr const char* kNoFile = "ファイルが読み込まれていません。";

void deletePicture(HWND panel) {
    auto picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrW(panel, DWLP_USER));
    if (!picture) return;
    SendDlgItemMessageW(panel, IDC_IDLE_PICTURE, STM_SETIMAGE, IMAGE_BITMAP, 0);
    DeleteObject(picture);
    SetWindowLongPtrW(panel, DWLP_USER, 0);
}

// The picture drawn for the panel's dpi (again after a move to a screen of another density).
void setPicture(HWND panel) {
    HBITMAP picture = loadPngArtwork(panel, IDP_INFOPANE, GetSysColor(COLOR_BTNFACE));
    if (!picture) return;
    deletePicture(panel);
    SendDlgItemMessageW(panel, IDC_IDLE_PICTURE, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(picture));
    SetWindowLongPtrW(panel, DWLP_USER, reinterpret_cast<LONG_PTR>(picture));
}

INT_PTR CALLBACK idlePanelProc(HWND panel, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        setPicture(panel);
        fillIdlePanel(panel);
        return FALSE;
    case WM_DPICHANGED_AFTERPARENT:
        setPicture(panel);
        return TRUE;
    case WM_DESTROY:
        deletePicture(panel);
        return FALSE;
    }
    return FALSE;
}

} // namespace

HWND createIdlePanel(HWND examView) {
    return CreateDialogParamW(app().instance, MAKEINTRESOURCEW(IDD_IDLE_PANEL), examView, idlePanelProc, 0);
}

void fillIdlePanel(HWND panel) {
    const QuestionBook& book = app().book;
    const bool loaded = book.isLoaded();
    if (loaded)
        SetWindowTextW(GetDlgItem(panel, IDC_IDLE_FILE), book.file().c_str());
    else
        setWindowText(GetDlgItem(panel, IDC_IDLE_FILE), kNoFile);
    setWindowText(GetDlgItem(panel, IDC_IDLE_COUNT), std::to_string(loaded ? book.questionCount() : 0));
    // The panel's own name reads its fields in one line, for screen readers.
    std::wstring name;
    for (int id : {IDC_IDLE_FILE_LABEL, IDC_IDLE_FILE, IDC_IDLE_COUNT_LABEL, IDC_IDLE_COUNT})
        name += wideWindowText(GetDlgItem(panel, id)) + (id == IDC_IDLE_FILE ? L"　" : L"");
    if (name == wideWindowText(panel)) return;
    SetWindowTextW(panel, name.c_str());
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, panel, OBJID_CLIENT, CHILDID_SELF);
}

} // namespace rekal::win
