#include "win/shell/aboutbox.h"

#include "resource.h"
#include "win/program/app.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"

#include <shellapi.h>

#include <array>
#include <memory>

namespace rekal::win {

namespace {

constexpr const char* kDialogFace = "ＭＳ Ｐゴシック";

constexpr int kCursorSize = 32; // the link cursor at 1 x

// The box's three fonts and its link cursor, made for the box's dpi; deleted when the box closes or
// when those for another dpi replace them.
struct AboutResources {
    std::array<OwnedFont, 3> fonts;
    HCURSOR linkCursor = nullptr;

    AboutResources() = default;
    AboutResources(const AboutResources&) = delete;
    AboutResources& operator=(const AboutResources&) = delete;
    ~AboutResources() {
        if (linkCursor) DestroyCursor(linkCursor);
    }
};

struct AboutState {
    std::unique_ptr<AboutResources> resources;
};

// Fonts from point sizes at the box's dpi and the cursor drawn for it; the old ones go once the
// controls have the new fonts.
void makeDpiResources(HWND dialog, AboutState& state) {
    auto made = std::make_unique<AboutResources>();
    made->fonts[0].reset(
        createInterfaceFont(dialog, 24, FW_NORMAL, false, DEFAULT_CHARSET, "Times New Roman"));
    made->fonts[1].reset(createInterfaceFont(dialog, 12, FW_NORMAL, false, SHIFTJIS_CHARSET, kDialogFace));
    made->fonts[2].reset(createInterfaceFont(dialog, 9, FW_NORMAL, true, SHIFTJIS_CHARSET, kDialogFace));
    const int size = artworkSizeForDpi(kCursorSize, windowDpi(dialog));
    made->linkCursor = static_cast<HCURSOR>(
        LoadImageW(app().instance, MAKEINTRESOURCEW(IDC_HAND_LINK), IMAGE_CURSOR, size, size, 0));
    const std::pair<int, HFONT> assignments[] = {{IDC_ABOUT_NAME, made->fonts[0].get()},
                                                 {IDC_ABOUT_VERSION, made->fonts[1].get()},
                                                 {IDC_ABOUT_AUTHOR, made->fonts[1].get()},
                                                 {IDC_ABOUT_LINK, made->fonts[2].get()}};
    for (const auto& [id, font] : assignments)
        setControlFont(dialog, id, font);
    state.resources = std::move(made);
}

void onInit(HWND dialog, AboutState& state) {
    makeDpiResources(dialog, state);
    setWindowText(GetDlgItem(dialog, IDC_ABOUT_VERSION), "Version " REKAL_VERSION);
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
            AboutState* state = dialogState<AboutState>(dialog);
            if (!state || !state->resources) return FALSE;
            SetCursor(state->resources->linkCursor);
            SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_DPICHANGED:
        if (AboutState* state = dialogState<AboutState>(dialog)) {
            makeDpiResources(dialog, *state);
            InvalidateRect(dialog, nullptr, TRUE);
        }
        return FALSE; // the dialog manager moves and scales the box itself
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
