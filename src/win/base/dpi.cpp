#include "win/base/dpi.h"

namespace rekal::win {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// GetDpiForWindow exists from Windows 10 1607 on: looked up once.
GetDpiForWindowFn dpiForWindowFunction() {
    static const GetDpiForWindowFn fn = [] {
        HMODULE user = GetModuleHandleW(L"user32.dll");
        return user ? reinterpret_cast<GetDpiForWindowFn>(
                          reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                    : nullptr;
    }();
    return fn;
}

int screenDpi() {
    HDC dc = GetDC(nullptr);
    if (!dc) return kBaseDpi;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi > 0 ? dpi : kBaseDpi;
}

} // namespace

int windowDpi(HWND hwnd) {
    if (hwnd) {
        if (GetDpiForWindowFn fn = dpiForWindowFunction()) {
            const UINT dpi = fn(hwnd);
            if (dpi > 0) return static_cast<int>(dpi);
        }
    }
    return screenDpi();
}

} // namespace rekal::win
