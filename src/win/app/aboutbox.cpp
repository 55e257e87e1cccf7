#include "win/app/aboutbox.h"

#include "resource.h"
#include "win/app/app.h"
#include "win/base/wintext.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"

#include <shellapi.h>

#include <array>

namespace rekal::win {

namespace {

constexpr const char* kDialogFace = "ＭＳ Ｐゴシック";

// The box's three fonts, deleted when it closes.
struct AboutState {
    std::array<OwnedFont, 3> fonts;
};

void onInit(HWND dialog, AboutState& state) {
    state.fonts[0].reset(
        createInterfaceFont(dialog, 24, FW_NORMAL, false, DEFAULT_CHARSET, "Times New Roman"));
    state.fonts[1].reset(createInterfaceFont(dialog, 12, FW_NORMAL, false, SHIFTJIS_CHARSET, kDialogFace));
    state.fonts[2].reset(createInterfaceFont(dialog, 9, FW_NORMAL, true, SHIFTJIS_CHARSET, kDialogFace));
    const std::pair<int, HFONT> assignments[] = {{IDC_ABOUT_NAME, state.fonts[0].get()},
                                                 {IDC_ABOUT_VERSION, state.fonts[1].get()},
                                                 {IDC_ABOUT_AUTHOR, state.fonts[1].get()},
                                                 {IDC_ABOUT_LINK, state.fonts[2].get()}};
    for (const auto& [id, font] : assignments)
        setControlFont(dialog, id, font);
    setWindowText(GetDlgItem(dialog, IDC_ABOUT_LINK), kProjectAddress);
    centreOnOwner(dialog);
}

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        onInit(dialog, hangDialogState<AboutState>(dialog, lParam));
        return TRUE;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_ABOUT_LINK)) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, RGB(0, 0, 255));
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        }
        return FALSE;
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) == GetDlgItem(dialog, IDC_ABOUT_LINK)) {
            SetCursor(LoadCursorW(app().instance, MAKEINTRESOURCEW(IDC_HAND_LINK)));
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_ABOUT_LINK:
            if (HIWORD(wParam) == STN_CLICKED)
                ShellExecuteW(dialog, L"open", toWide(kProjectAddress).c_str(), nullptr, nullptr,
                              SW_SHOWNORMAL);
            return TRUE;
        case IDOK:
        case IDCANCEL:
            EndDialog(dialog, LOWORD(wParam));
            return TRUE;
        }
        return FALSE;
    }
    return FALSE;
}

} // namespace

void showAboutBox(HWND owner) {
    AboutState state;
    runModalDialog(owner, IDD_ABOUT, aboutProc, &state);
}

} // namespace rekal::win
