#include "win/dialogs/link.h"

#include "resource.h"
#include "win/dialogs/dialogkit.h"

namespace rekal::win {

bool handleLinkMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, int linkId, INT_PTR& result) {
    HWND link = GetDlgItem(dialog, linkId);
    if (!link) return false;
    if (message == WM_CTLCOLORSTATIC && reinterpret_cast<HWND>(lParam) == link) {
        HDC dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, RGB(0, 0, 255));
        SetBkMode(dc, TRANSPARENT);
        result = reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    if (message == WM_SETCURSOR && reinterpret_cast<HWND>(wParam) == link) {
        SetCursor(LoadCursorW(dialogInstance(), MAKEINTRESOURCEW(IDC_HAND_LINK)));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        result = TRUE;
        return true;
    }
    return false;
}

} // namespace rekal::win
