#include "win/base/wintext.h"

#include "core/base/textcode.h"

namespace rekal::win {

std::wstring toWide(std::string_view cp932) {
    return cp932ToWide(cp932);
}
std::string toCp932(std::wstring_view wide) {
    return wideToCp932(wide);
}
std::string toUtf8(std::wstring_view wide) {
    return wideToUtf8(wide);
}
std::optional<std::string> toCp932Exactly(std::wstring_view wide) {
    return wideToCp932Exactly(wide);
}

std::wstring wideWindowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return text;
}

std::string windowText(HWND hwnd) {
    return toCp932(wideWindowText(hwnd));
}

void setWindowText(HWND hwnd, std::string_view cp932) {
    SetWindowTextW(hwnd, toWide(cp932).c_str());
}

std::wstring moduleFilePath(HMODULE module) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

} // namespace rekal::win
