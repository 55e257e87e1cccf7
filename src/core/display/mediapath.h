#pragma once
// Where the file a media tag names is looked for: beside the question file.

#include <optional>
#include <string>
#include <string_view>

namespace rekal {

inline constexpr std::size_t kMaxMediaPath = 259; // bytes

// Resolves a tag path against the full path of the question file (CP932). A path beginning with
// '\' or '/' goes on the question file's drive (its first two characters); a path with a drive
// letter stays as it is; any other path is joined to the question file's folder, resolving '.'
// and '..' (never above the root). None when the result is longer than kMaxMediaPath.
std::optional<std::string> resolveMediaPath(std::string_view questionFile, std::string_view tagPath);

} // namespace rekal
