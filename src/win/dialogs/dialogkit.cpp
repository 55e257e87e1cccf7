#include "win/dialogs/dialogkit.h"

#include "core/base/messages.h"
#include "core/shell/geometry.h"
#include "core/shell/numberfield.h"
#include "core/shell/shell.h"
#include "resource.h"
#include "win/base/wintext.h"

#include <commctrl.h>
#include <imm.h>

#include <optional>
#include <string>
#include <string_view>

namespace rekal::win {

namespace {

DialogHost* g_host = nullptr;

constexpr UINT_PTR kOwnedStateSubclass = 0x5245; // "RE"
constexpr UINT_PTR kNumberEditSubclass = 0x524E; // "RN"

LRESULT CALLBACK ownedStateProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                DWORD_PTR data) {
    if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, ownedStateProc, id);
        const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
        std::unique_ptr<detail::OwnedStateBase> owned(reinterpret_cast<detail::OwnedStateBase*>(data));
        return result;
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// What a number field remembers of the input method while it has the focus.
enum ImeMemory : DWORD_PTR { ImeNothing = 0, ImeWasClosed = 1, ImeWasOpen = 2 };

// Opens or closes the input method of the edit's context; the state it had, or none.
std::optional<bool> setImeOpen(HWND edit, bool open) {
    HIMC context = ImmGetContext(edit);
    if (!context) return std::nullopt;
    const bool was = ImmGetOpenStatus(context) != FALSE;
    ImmSetOpenStatus(context, open ? TRUE : FALSE);
    ImmReleaseContext(edit, context);
    return was;
}

// A number field takes the focus: the input method goes off and the whole text is selected (posted,
// so that a click that gave the focus does not put the caret back). The input context is the
// thread's, shared with the answer edit: as the field loses the focus the input method goes back to
// the state the user had.
LRESULT CALLBACK numberEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                DWORD_PTR memory) {
    switch (message) {
    case WM_SETFOCUS: {
        const LRESULT result = DefSubclassProc(edit, message, wParam, lParam);
        if (const std::optional<bool> was = setImeOpen(edit, false))
            SetWindowSubclass(edit, numberEditProc, id, *was ? ImeWasOpen : ImeWasClosed);
        PostMessageW(edit, EM_SETSEL, 0, -1);
        return result;
    }
    case WM_KILLFOCUS:
        if (memory != ImeNothing) {
            SetWindowSubclass(edit, numberEditProc, id, ImeNothing);
            setImeOpen(edit, memory == ImeWasOpen);
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(edit, numberEditProc, id);
        break;
    }
    return DefSubclassProc(edit, message, wParam, lParam);
}

} // namespace

void setDialogHost(DialogHost* host) {
    g_host = host;
}

HINSTANCE dialogInstance() {
    return g_host ? g_host->instance() : nullptr;
}

void tellDialogError(std::string_view text) {
    if (Notifier* notifier = g_host ? g_host->notifier() : nullptr) notifier->error(text);
}

void detail::freeWithWindow(HWND window, std::unique_ptr<OwnedStateBase> holder) {
    if (SetWindowSubclass(window, ownedStateProc, kOwnedStateSubclass,
                          reinterpret_cast<DWORD_PTR>(holder.get())))
        holder.release();
    // Without the subclass the holder cannot outlive this call: the record is freed at once and
    // the pointer taken off the window, so nothing dangles.
    else
        SetWindowLongPtrW(window, DWLP_USER, 0);
}

INT_PTR runModalDialog(HWND owner, int templateId, DLGPROC proc, void* state) {
    const INT_PTR result = DialogBoxParamW(dialogInstance(), MAKEINTRESOURCEW(templateId), owner, proc,
                                           reinterpret_cast<LPARAM>(state));
    if (result == -1) tellDialogError(msg::kCannotOpenDialog);
    return result;
}

bool handleCommonDialogMessage(HWND dialog, UINT message, WPARAM wParam, int helpContext, int helpButtonId) {
    const int id = LOWORD(wParam);
    if (message == WM_HELP || (message == WM_COMMAND && (id == helpButtonId || id == IDC_HELP_BUTTON))) {
        if (g_host) g_host->showHelp(dialog, helpContext);
        if (message == WM_HELP) SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        return true;
    }
    return false;
}

RECT workAreaOf(HWND window) {
    RECT work{};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY);
    if (monitor && GetMonitorInfoW(monitor, &info)) return info.rcWork;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

void centreOnOwner(HWND window) {
    HWND owner = GetWindow(window, GW_OWNER);
    const RECT work = workAreaOf(owner ? owner : window);
    RECT own = work;
    if (owner && !GetWindowRect(owner, &own)) own = work;
    RECT self{};
    GetWindowRect(window, &self);
    const PixelRect place =
        centredOverOwner(pixelRect(own), {self.right - self.left, self.bottom - self.top}, pixelRect(work));
    SetWindowPos(window, nullptr, place.left, place.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void detachInputMethod(HWND control) {
    if (control) ImmAssociateContextEx(control, nullptr, 0);
}

bool editKeepsKey(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || !msg.hwnd) return false;
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
    static constexpr std::wstring_view kEditKeys = L"ACHVXZ";
    if (kEditKeys.find(static_cast<wchar_t>(msg.wParam)) == std::wstring_view::npos) return false;
    wchar_t className[16] = {};
    GetClassNameW(msg.hwnd, className, 16);
    return lstrcmpiW(className, L"Edit") == 0;
}

void setUpNumberEdit(HWND dialog, int editId, int upDownId, int minimum, int maximum, int value) {
    HWND edit = GetDlgItem(dialog, editId);
    if (!edit) return;
    SetWindowSubclass(edit, numberEditProc, kNumberEditSubclass, 0);
    if (HWND upDown = upDownId ? GetDlgItem(dialog, upDownId) : nullptr) {
        // Binding again would move the up-down and narrow the edit once more each time.
        if (reinterpret_cast<HWND>(SendMessageW(upDown, UDM_GETBUDDY, 0, 0)) != edit)
            SendMessageW(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        SendMessageW(upDown, UDM_SETRANGE32, static_cast<WPARAM>(minimum), static_cast<LPARAM>(maximum));
        SendMessageW(upDown, UDM_SETPOS32, 0, static_cast<LPARAM>(value));
    }
    setWindowText(edit, std::to_string(value));
}

std::optional<int> readNumberEdit(HWND dialog, int editId, int minimum, int maximum) {
    HWND edit = GetDlgItem(dialog, editId);
    std::optional<int> value = parseNumberField(windowText(edit), minimum, maximum);
    if (!value) {
        tellDialogError(msg::kOutOfRange);
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        SendMessageW(edit, EM_SETSEL, 0, -1);
    }
    return value;
}

int fontHeight(HWND window, HFONT font) {
    if (!font) font = reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0));
    HDC dc = GetDC(window);
    TEXTMETRICW tm{};
    {
        SelectedFont select(dc, font);
        GetTextMetricsW(dc, &tm);
    }
    ReleaseDC(window, dc);
    return tm.tmHeight;
}

void setControlFont(HWND dialog, int id, HFONT font) {
    SendDlgItemMessageW(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

void restoreStoredPlacement(HWND window, const WindowRect& place, bool maximized, int showCommand) {
    const RECT work = workAreaOf(window);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(window, &wp);
    if (std::optional<PixelRect> r = storedPlaceOnScreen(place, pixelRect(work))) {
        // The placement's rectangle is relative to the work area.
        wp.rcNormalPosition = {r->left - work.left, r->top - work.top, r->left - work.left + r->width,
                               r->top - work.top + r->height};
    }
    wp.showCmd = static_cast<UINT>(maximized ? SW_SHOWMAXIMIZED : showCommand);
    wp.flags = 0;
    SetWindowPlacement(window, &wp);
}

void storeWindowPlacement(HWND window, WindowRect& place, bool& maximized) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (!GetWindowPlacement(window, &wp)) return;
    const RECT work = workAreaOf(window);
    const RECT& r = wp.rcNormalPosition;
    place = storedWindowPlace(r.left, r.top, r.right, r.bottom, work.left, work.top);
    maximized = IsZoomed(window) != FALSE;
}

PixelRect pixelRect(const RECT& r) {
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void placeControl(HWND dialog, int id, const PixelRect& r, bool repaint) {
    if (HWND control = GetDlgItem(dialog, id)) MoveWindow(control, r.left, r.top, r.width, r.height, repaint);
}

} // namespace rekal::win
