#include "core/display/mediapath.h"

#include "core/base/fileio.h"

#include <string>
#include <vector>

namespace rekal {

namespace {

// The work is done on the platform's own path text (UTF-16 on Windows, UTF-8 elsewhere), where a
// backslash or a slash is always a separator.
using Char = std::filesystem::path::value_type;
using Text = std::filesystem::path::string_type;
using TextView = std::basic_string_view<Char>;

bool isSeparator(Char c) {
    return c == '\\' || c == '/';
}

bool hasDriveLetter(TextView path) {
    if (path.size() < 2 || path[1] != ':') return false;
    const Char c = path[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

std::vector<TextView> splitPath(TextView path) {
    std::vector<TextView> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (isSeparator(path[i])) {
            parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(path.substr(start));
    return parts;
}

// Length of the folder part of a file path, including its last separator.
std::size_t folderLength(TextView path) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < path.size(); ++i)
        if (isSeparator(path[i])) length = i + 1;
    return length;
}

// The length of the root that '..' never climbs above: "C:\", "\\", "\" or nothing.
std::size_t rootLength(TextView path) {
    if (hasDriveLetter(path)) return path.size() > 2 && isSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) return 2;
    if (!path.empty() && isSeparator(path[0])) return 1;
    return 0;
}

bool isDots(TextView part, std::size_t n) {
    if (part.size() != n) return false;
    for (Char c : part)
        if (c != '.') return false;
    return true;
}

// Joins a folder and a relative path and removes "." and ".." parts.
Text joinCanonical(TextView folder, TextView relative) {
    Text joined(folder);
    if (!joined.empty() && !isSeparator(joined.back()) && joined.back() != ':' && !relative.empty())
        joined += '\\';
    joined += relative;

    const TextView all(joined);
    const std::size_t root = rootLength(all);
    Text result;
    for (Char c : all.substr(0, root))
        result += isSeparator(c) ? Char('\\') : c;
    std::vector<TextView> kept;
    const std::vector<TextView> parts = splitPath(all.substr(root));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const TextView part = parts[i];
        if (isDots(part, 1)) continue;
        if (isDots(part, 2)) {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        if (part.empty() && i + 1 < parts.size()) continue; // doubled separator
        kept.push_back(part);
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) result += '\\';
        result += kept[i];
    }
    return result;
}

} // namespace

std::optional<std::filesystem::path> resolveMediaFile(const std::filesystem::path& questionFile,
                                                      std::string_view tagPath) {
    const Text tag = nativePath(tagPath).native();
    const TextView file(questionFile.native());
    Text result;
    if (!tag.empty() && isSeparator(tag[0])) {
        result = Text(file.substr(0, 2)) + tag;
    } else if (hasDriveLetter(tag)) {
        result = tag;
    } else {
        result = joinCanonical(file.substr(0, folderLength(file)), tag);
    }
    if (result.size() > kMaxMediaPath) return std::nullopt;
    return std::filesystem::path(std::move(result));
}

} // namespace rekal
