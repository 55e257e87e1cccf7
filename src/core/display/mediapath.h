#pragma once
// Where the file a media tag names is looked for: beside the question file.

#include <filesystem>
#include <optional>
#include <string_view>

namespace rekal {

inline constexpr std::size_t kMaxMediaPath = 259; // characters

// Resolves a tag path (CP932, as the question file writes it) against the question file. A path
// beginning with '\' or '/' goes on the question file's drive (its first two characters); a path
// with a drive letter stays as it is; any other path is joined to the question file's folder,
// resolving '.' and '..' (never above the root). The question file's own name is used as it is,
// whatever characters it holds. None when the result is longer than kMaxMediaPath.
std::optional<std::filesystem::path> resolveMediaFile(const std::filesystem::path& questionFile,
                                                      std::string_view tagPath);

} // namespace rekal
