// The core's file hook on Windows: a rewritten file takes the place of the old one without losing
// what the old one was.

#include "core/base/fileio.h"

#include <windows.h>

namespace rekal {

namespace {

// The attributes a user sets on a file and expects it to keep.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                  FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// The attributes SetFileAttributesW takes.
constexpr DWORD kSettableAttributes =
    kKeptAttributes | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_OFFLINE | FILE_ATTRIBUTE_TEMPORARY;

} // namespace

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
