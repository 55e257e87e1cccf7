#include "win/base/wintext.h"

#include "core/base/fileio.h"
#include "core/base/textcode.h"

#include <vector>

namespace rekal::win {

namespace {

constexpr UINT kCodePage = 932;

bool g_shortNames = true;

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

// The text in code page 932 when it holds every character exactly (no look-alikes), else none.
std::optional<std::string> encodeExactly(std::wstring_view wide) {
    if (wide.empty()) return std::string();
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return std::nullopt;
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        text.data(), n, nullptr, &usedDefault);
    if (usedDefault || decode(kCodePage, text) != wide) return std::nullopt;
    return text;
}

} // namespace

std::optional<std::string> toCp932Exactly(std::wstring_view wide) {
    return encodeExactly(wide);
}

void useShortNamesForTesting(bool on) {
    g_shortNames = on;
}

std::wstring shortPathName(const std::wstring& path) {
    if (!g_shortNames) return {};
    DWORD n = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (n == 0) return {};
    std::wstring shortName(n, L'\0');
    n = GetShortPathNameW(path.c_str(), shortName.data(), n);
    if (n == 0 || n >= shortName.size()) return {};
    shortName.resize(n);
    return shortName;
}

std::wstring toWide(std::string_view cp932) {
    return decode(kCodePage, cp932);
}
std::string toCp932(std::wstring_view wide) {
    return encode(kCodePage, wide);
}
std::string toUtf8(std::wstring_view wide) {
    return encode(CP_UTF8, wide);
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

// The core's platform hooks on Windows.
namespace rekal {

std::filesystem::path nativePath(std::string_view cp932) {
    return std::filesystem::path(win::toWide(cp932));
}
std::optional<std::string> storablePath(const std::filesystem::path& path) {
    if (std::optional<std::string> exact = win::toCp932Exactly(path.native())) return exact;
    const std::wstring shortName = win::shortPathName(path.native());
    if (shortName.empty()) return std::nullopt;
    return win::toCp932Exactly(shortName);
}
std::string displayPath(const std::filesystem::path& path) {
    if (std::optional<std::string> text = storablePath(path)) return *text;
    const std::wstring& wide = path.native();
    std::string text;
    for (wchar_t c : wide) {
        // One character at a time, so that a character code page 932 lacks shows as '?' and never as
        // a look-alike.
        std::optional<std::string> one = win::toCp932Exactly(std::wstring_view(&c, 1));
        text += one ? *one : std::string("?");
    }
    return text;
}
std::string cp932ToUtf8(std::string_view cp932) {
    return win::toUtf8(win::toWide(cp932));
}
std::string utf8ToCp932(std::string_view utf8) {
    return win::toCp932(win::decode(CP_UTF8, utf8));
}

} // namespace rekal
