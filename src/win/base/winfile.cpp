// The core's file hook on Windows: a rewritten file takes the place of the old one without losing
// what the old one was.

#include "core/base/fileio.h"

#include <windows.h>

namespace rekal {

bool moveFileOver(const std::filesystem::path& temp, const std::filesystem::path& target) {
    // ReplaceFileW keeps the old file's attributes, ACL, creation time and short name on the new
    // contents. It refuses where there is no old file yet, and on file systems that lack the support.
    if (ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                     REPLACEFILE_IGNORE_MERGE_ERRORS | REPLACEFILE_IGNORE_ACL_ERRORS, nullptr, nullptr))
        return true;
    return MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

} // namespace rekal
