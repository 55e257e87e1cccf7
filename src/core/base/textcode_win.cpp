#ifdef _WIN32
#include "core/base/textcode.h"

#include <windows.h>

namespace rekal {

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

std::wstring cp932ToWide(std::string_view cp932) {
    return decode(kCodePage, cp932);
}

std::string wideToCp932(std::wstring_view wide) {
    return encode(kCodePage, wide);
}

std::optional<std::string> wideToCp932Exactly(std::wstring_view wide) {
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

std::wstring utf8ToWide(std::string_view utf8) {
    return decode(CP_UTF8, utf8);
}

std::string wideToUtf8(std::wstring_view wide) {
    return encode(CP_UTF8, wide);
}

std::string cp932ToUtf8(std::string_view cp932) {
    return wideToUtf8(cp932ToWide(cp932));
}

std::string utf8ToCp932(std::string_view utf8) {
    return wideToCp932(utf8ToWide(utf8));
}

} // namespace rekal
#endif
