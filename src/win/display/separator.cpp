#include "win/display/separator.h"

#include "win/base/dpi.h"

#include <windowsx.h>

#include <algorithm>

namespace rekal::win {

namespace {

constexpr int kOrientationOffset = 0;
constexpr int kDraggingOffset = 4;

bool isVertical(HWND hwnd) {
    return GetWindowLongW(hwnd, kOrientationOffset) == SeparatorVertical;
}
bool isDragging(HWND hwnd) {
    return GetWindowLongW(hwnd, kDraggingOffset) != 0;
}
void setDragging(HWND hwnd, bool on) {
    SetWindowLongW(hwnd, kDraggingOffset, on ? 1 : 0);
}

void endDrag(HWND hwnd) {
    setDragging(hwnd, false);
    if (GetCapture() == hwnd) ReleaseCapture();
}

// A groove along the bar: a shadow line through the middle and a highlight line next to it, each
// as thick as the system border (one pixel at 96 dpi, scaled with the bar's dpi).
void paintGroove(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    const int thickness = std::max(systemMetric(hwnd, SM_CYBORDER), scaled(hwnd, 1));
    const int step = thickness;
    RECT shadow = client, highlight = client;
    if (isVertical(hwnd)) {
        const int middle = (client.right - client.left) / 2;
        shadow.left = middle;
        shadow.right = middle + thickness;
        highlight.left = middle + step;
        highlight.right = middle + step + thickness;
    } else {
        const int middle = (client.bottom - client.top) / 2;
        shadow.top = middle;
        shadow.bottom = middle + thickness;
        highlight.top = middle + step;
        highlight.bottom = middle + step + thickness;
    }
    FillRect(dc, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
    FillRect(dc, &highlight, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
    EndPaint(hwnd, &ps);
}

// The mouse position of the message, in the parent's client coordinates.
void reportPosition(HWND hwnd, LPARAM mousePosition) {
    HWND parent = GetParent(hwnd);
    POINT cursor{GET_X_LPARAM(mousePosition), GET_Y_LPARAM(mousePosition)};
    MapWindowPoints(hwnd, parent, &cursor, 1);
    const int position = isVertical(hwnd) ? cursor.x : cursor.y;
    SendMessageW(parent, kSeparatorMoved, static_cast<WPARAM>(GetDlgCtrlID(hwnd)),
                 position + scaled(hwnd, 3));
}

} // namespace

LRESULT CALLBACK separatorWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case kSetSeparatorOrientation:
        SetWindowLongW(hwnd, kOrientationOffset,
                       wParam == SeparatorVertical ? SeparatorVertical : SeparatorHorizontal);
        InvalidateRect(hwnd, nullptr, TRUE);
        return 0;
    case WM_PAINT:
        paintGroove(hwnd);
        return 0;
    case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, isVertical(hwnd) ? IDC_SIZEWE : IDC_SIZENS));
        return TRUE;
    case WM_LBUTTONDOWN:
        setDragging(hwnd, true);
        SetCapture(hwnd);
        return 0;
    case WM_LBUTTONUP:
        endDrag(hwnd);
        return 0;
    case WM_RBUTTONDOWN:
        if (!isDragging(hwnd)) break;
        endDrag(hwnd);
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse (a message box, Alt+Tab): the drag is over.
        if (reinterpret_cast<HWND>(lParam) != hwnd) setDragging(hwnd, false);
        return 0;
    case WM_MOUSEMOVE:
        if (isDragging(hwnd)) reportPosition(hwnd, lParam);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

} // namespace rekal::win
