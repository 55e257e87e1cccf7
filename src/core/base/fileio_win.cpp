#ifdef _WIN32
// The core's file hooks on Windows: CP932 path texts as UTF-16 paths, the names a CP932 file can
// store, and a rewritten file that takes the place of the old one without losing what the old one
// was.

#include "core/base/fileio.h"

#include "core/base/textcode.h"

#include <windows.h>

namespace rekal {

namespace {

// The attributes a user sets on a file and expects it to keep.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// The attributes SetFileAttributesW takes.
constexpr DWORD kSettableAttributes =
    kKeptAttributes | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;

bool g_shortNames = true;

// The short (8.3) form of an existing file's path; empty when the volume gives none.
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

} // namespace

void useShortNamesForTesting(bool on) {
    g_shortNames = on;
}

std::filesystem::path nativePath(std::string_view cp932) {
    return std::filesystem::path(cp932ToWide(cp932));
}

std::optional<std::string> storablePath(const std::filesystem::path& path) {
    if (std::optional<std::string> exact = wideToCp932Exactly(path.native())) return exact;
    const std::wstring shortName = shortPathName(path.native());
    if (shortName.empty()) return std::nullopt;
    return wideToCp932Exactly(shortName);
}

std::string displayPath(const std::filesystem::path& path) {
    if (std::optional<std::string> text = storablePath(path)) return *text;
    std::string text;
    for (wchar_t c : path.native()) {
        // One character at a time, so that a character code page 932 lacks shows as '?' and never as
        // a look-alike.
        std::optional<std::string> one = wideToCp932Exactly(std::wstring_view(&c, 1));
        text += one ? *one : std::string("?");
    }
    return text;
}

bool moveFileOver(const std::filesystem::path& temp, const std::filesystem::path& target) {
    const DWORD old = GetFileAttributesW(target.c_str());
    // ReplaceFileW keeps the old file's attributes, ACL, creation time and short name on the new
    // contents. It refuses where there is no old file yet, and on file systems that lack the support.
    if (!ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                      REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr) &&
        !MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    // After a plain move (and where ReplaceFileW merged less) the attributes come over here.
    const DWORD now = GetFileAttributesW(target.c_str());
    if (old != INVALID_FILE_ATTRIBUTES && now != INVALID_FILE_ATTRIBUTES &&
        (now & kKeptAttributes) != (old & kKeptAttributes))
        SetFileAttributesW(target.c_str(),
                           ((now & kSettableAttributes & ~kKeptAttributes) | (old & kKeptAttributes)));
    return true;
}

} // namespace rekal
#endif
