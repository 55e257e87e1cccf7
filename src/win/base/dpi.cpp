#include "win/base/dpi.h"

namespace rekal::win {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

// A function of user32 that older systems lack, or nullptr.
template <class Fn> Fn userFunction(const char* name) {
    HMODULE user = GetModuleHandleW(L"user32.dll");
    return user ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user, name))) : nullptr;
}

// GetDpiForWindow and GetSystemMetricsForDpi exist from Windows 10 1607 on: looked up once.
GetDpiForWindowFn dpiForWindowFunction() {
    static const GetDpiForWindowFn fn = userFunction<GetDpiForWindowFn>("GetDpiForWindow");
    return fn;
}
GetSystemMetricsForDpiFn metricsForDpiFunction() {
    static const GetSystemMetricsForDpiFn fn =
        userFunction<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
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

int dcDpi(HDC dc) {
    if (HWND window = dc ? WindowFromDC(dc) : nullptr) return windowDpi(window);
    return screenDpi();
}

int systemMetric(HWND hwnd, int index) {
    const int dpi = windowDpi(hwnd);
    if (GetSystemMetricsForDpiFn fn = metricsForDpiFunction()) return fn(index, static_cast<UINT>(dpi));
    // The system's metrics are those of the screen's dpi.
    return MulDiv(GetSystemMetrics(index), dpi, screenDpi());
}

} // namespace rekal::win
