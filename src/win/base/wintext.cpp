#include "win/base/wintext.h"

#include "core/base/fileio.h"
#include "core/base/textcode.h"

#include <vector>

namespace rekal::win {

namespace {

constexpr UINT kCodePage = 932;

std::wstring decode(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0) MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string encode(UINT codePage, std::wstring_view wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                nullptr);
    std::string text(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n, nullptr,
                            nullptr);
    return text;
}

} // namespace

std::wstring toWide(std::string_view cp932) {
    return decode(kCodePage, cp932);
}
std::string toCp932(std::wstring_view wide) {
    return encode(kCodePage, wide);
}
std::string toUtf8(std::wstring_view wide) {
    return encode(CP_UTF8, wide);
}

std::string windowText(HWND hwnd) {
    int n = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
    n = GetWindowTextW(hwnd, text.data(), n + 1);
    text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    return toCp932(text);
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

// The core's platform hooks on Windows.
namespace rekal {

std::filesystem::path nativePath(std::string_view cp932) {
    return std::filesystem::path(win::toWide(cp932));
}
std::string cp932ToUtf8(std::string_view cp932) {
    return win::toUtf8(win::toWide(cp932));
}
std::string utf8ToCp932(std::string_view utf8) {
    return win::toCp932(win::decode(CP_UTF8, utf8));
}

} // namespace rekal
