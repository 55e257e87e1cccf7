#include "core/display/mediapath.h"

#include "core/base/sjis.h"

#include <vector>

namespace rekal {

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

bool hasDriveLetter(std::string_view path) {
    if (path.size() < 2 || path[1] != ':') return false;
    char c = path[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Splits at separators that are not the second byte of a double-byte character.
std::vector<std::string_view> splitPath(std::string_view path) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size();) {
        if (isDoubleByteAt(path, i)) {
            i += 2;
            continue;
        }
        if (isSeparator(path[i])) {
            parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
        ++i;
    }
    parts.push_back(path.substr(start));
    return parts;
}

// Length of the folder part of a file path, including its last separator.
std::size_t folderLength(std::string_view path) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < path.size(); i += isDoubleByteAt(path, i) ? 2 : 1) {
        if (isSeparator(path[i])) length = i + 1;
    }
    return length;
}

// The length of the root that '..' never climbs above: "C:\", "\\", "\" or nothing.
std::size_t rootLength(std::string_view path) {
    if (hasDriveLetter(path)) return path.size() > 2 && isSeparator(path[2]) ? 3 : 2;
    if (path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1])) return 2;
    if (!path.empty() && isSeparator(path[0])) return 1;
    return 0;
}

// Joins a folder and a relative path and removes "." and ".." parts.
std::string joinCanonical(std::string_view folder, std::string_view relative) {
    std::string joined(folder);
    if (!joined.empty() && !isSeparator(joined.back()) && joined.back() != ':' && !relative.empty())
        joined += '\\';
    joined += relative;

    std::string_view all(joined);
    std::size_t root = rootLength(all);
    std::string result;
    for (char c : all.substr(0, root))
        result += isSeparator(c) ? '\\' : c;
    std::vector<std::string> kept;
    std::vector<std::string_view> parts = splitPath(all.substr(root));
    for (std::size_t i = 0; i < parts.size(); ++i) {
        std::string_view part = parts[i];
        if (part == ".") continue;
        if (part == "..") {
            if (!kept.empty()) kept.pop_back();
            continue;
        }
        if (part.empty() && i + 1 < parts.size()) continue; // doubled separator
        kept.emplace_back(part);
    }
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i > 0) result += '\\';
        result += kept[i];
    }
    return result;
}

} // namespace

std::optional<std::string> resolveMediaPath(std::string_view questionFile, std::string_view tagPath) {
    std::string result;
    if (!tagPath.empty() && isSeparator(tagPath[0])) {
        result = std::string(questionFile.substr(0, 2)) + std::string(tagPath);
    } else if (hasDriveLetter(tagPath)) {
        result = std::string(tagPath);
    } else {
        result = joinCanonical(questionFile.substr(0, folderLength(questionFile)), tagPath);
    }
    if (result.size() > kMaxMediaPath) return std::nullopt;
    return result;
}

} // namespace rekal
