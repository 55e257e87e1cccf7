#include "core/display/mediapath.h"

#include "core/base/fileio.h"

#include <array>
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

Char asciiLower(Char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<Char>(c - 'A' + 'a') : c;
}

bool equalIgnoringCase(TextView a, TextView b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const Char x = isSeparator(a[i]) ? Char('\\') : asciiLower(a[i]);
        const Char y = isSeparator(b[i]) ? Char('\\') : asciiLower(b[i]);
        if (x != y) return false;
    }
    return true;
}

bool hasDriveLetter(TextView path) {
    if (path.size() < 2 || path[1] != ':') return false;
    const Char c = path[0];
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool startsWithTwoSeparators(TextView path) {
    return path.size() >= 2 && isSeparator(path[0]) && isSeparator(path[1]);
}

Text platformText(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end())).native();
}

// "\\?\" and "\\.\" (and the "\??\" of the kernel): paths to devices or past every check of the
// platform's path handling.
bool isDevicePath(TextView path) {
    if (path.size() < 4 || !isSeparator(path[3])) return false;
    if (startsWithTwoSeparators(path)) return path[2] == '?' || path[2] == '.';
    return isSeparator(path[0]) && path[1] == '?' && path[2] == '?';
}

// End of the part of path that starts at `from`, including the separator after it when there is one.
std::size_t afterPart(TextView path, std::size_t from) {
    while (from < path.size() && !isSeparator(path[from]))
        ++from;
    return from < path.size() ? from + 1 : from;
}

// The length of the root that '..' never climbs above: "C:\" (or "C:"), "\\server\share\", the
// whole prefix of a device path, "\" or nothing.
std::size_t rootLength(TextView path) {
    if (hasDriveLetter(path)) return path.size() > 2 && isSeparator(path[2]) ? 3 : 2;
    if (isDevicePath(path)) {
        const TextView rest = path.substr(4);
        if (hasDriveLetter(rest)) return 4 + rootLength(rest);
        if (rest.size() >= 4 && equalIgnoringCase(rest.substr(0, 4), platformText("UNC\\")))
            return afterPart(path, afterPart(path, 8));
        return afterPart(path, 4);
    }
    if (startsWithTwoSeparators(path)) return afterPart(path, afterPart(path, 2));
    if (!path.empty() && isSeparator(path[0])) return 1;
    return 0;
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

bool isDots(TextView part, std::size_t n) {
    if (part.size() != n) return false;
    for (Char c : part)
        if (c != '.') return false;
    return true;
}

// The root with backslashes (and one at its end when the root has one), then the parts of rest with
// "." and ".." removed; ".." never climbs into the root.
Text canonical(TextView root, TextView rest) {
    Text result;
    for (Char c : root)
        result += isSeparator(c) ? Char('\\') : c;
    std::vector<TextView> kept;
    const std::vector<TextView> parts = splitPath(rest);
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

Text joinCanonical(TextView folder, TextView relative) {
    Text joined(folder);
    if (!joined.empty() && !isSeparator(joined.back()) && joined.back() != ':' && !relative.empty())
        joined += '\\';
    joined += relative;
    const std::size_t root = rootLength(joined);
    return canonical(TextView(joined).substr(0, root), TextView(joined).substr(root));
}

// The platform opens a device for these names whatever extension follows and whatever spaces end
// the name (the superscript digits count as digits there).
bool isDeviceName(TextView part) {
    static const std::array<Text, 6> kNames = {platformText("con"),    platformText("prn"),
                                               platformText("aux"),    platformText("nul"),
                                               platformText("conin$"), platformText("conout$")};
    static const std::array<Text, 13> kDigits = {
        platformText("0"),       platformText("1"), platformText("2"),        platformText("3"),
        platformText("4"),       platformText("5"), platformText("6"),        platformText("7"),
        platformText("8"),       platformText("9"), platformText("\xC2\xB9"), platformText("\xC2\xB2"),
        platformText("\xC2\xB3")};
    TextView stem = part.substr(0, part.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    for (const Text& name : kNames)
        if (equalIgnoringCase(stem, name)) return true;
    if (stem.size() < 4) return false;
    const TextView head = stem.substr(0, 3);
    if (!equalIgnoringCase(head, platformText("com")) && !equalIgnoringCase(head, platformText("lpt")))
        return false;
    for (const Text& digit : kDigits)
        if (stem.substr(3) == digit) return true;
    return false;
}

bool isPlaylist(TextView path) {
    const std::size_t dot = path.rfind('.');
    if (dot == TextView::npos || folderLength(path) > dot) return false;
    const TextView extension = path.substr(dot);
    for (const char* playlist : {".asx", ".wax", ".wvx", ".m3u", ".m3u8", ".pls"})
        if (equalIgnoringCase(extension, platformText(playlist))) return true;
    return false;
}

bool startsWithRoot(TextView path, TextView root) {
    return !root.empty() && path.size() >= root.size() &&
           equalIgnoringCase(path.substr(0, root.size()), root);
}

// The refusals that depend on the resolved path: a device path (unless the book itself was opened
// by one), a device name or a stream in any part, a playlist.
MediaPathStatus checkResolved(TextView path, TextView bookRoot) {
    if (isDevicePath(path) && !(isDevicePath(bookRoot) && startsWithRoot(path, bookRoot)))
        return MediaPathStatus::OtherPlace;
    for (TextView part : splitPath(path.substr(rootLength(path)))) {
        if (part.find(':') != TextView::npos) return MediaPathStatus::DataStream;
        if (isDeviceName(part)) return MediaPathStatus::DeviceName;
    }
    if (isPlaylist(path)) return MediaPathStatus::Playlist;
    return MediaPathStatus::Ok;
}

} // namespace

MediaFile checkMediaFile(const std::filesystem::path& questionFile, std::string_view tagPath) {
    const Text tag = nativePath(tagPath).native();
    const TextView file(questionFile.native());
    const TextView bookRoot = file.substr(0, rootLength(file));
    // A book on a share reaches that share only; a local book any local file.
    const bool sharedBook =
        startsWithTwoSeparators(bookRoot) && !(isDevicePath(bookRoot) && hasDriveLetter(bookRoot.substr(4)));
    MediaFile result;
    if (startsWithTwoSeparators(tag) || isDevicePath(tag)) {
        // Only the book's own share (or device root), named in full.
        const std::size_t root = rootLength(tag);
        result.path = canonical(TextView(tag).substr(0, root), TextView(tag).substr(root));
        const TextView tagRoot = TextView(tag).substr(0, root);
        const bool sameRoot = equalIgnoringCase(tagRoot, bookRoot) ||
                              (tagRoot.size() + 1 == bookRoot.size() && startsWithRoot(bookRoot, tagRoot));
        if (!sameRoot) result.status = MediaPathStatus::OtherPlace;
    } else if (!tag.empty() && isSeparator(tag[0])) {
        const TextView root = bookRoot.empty() ? TextView(tag).substr(0, 1) : bookRoot;
        result.path = canonical(root, TextView(tag).substr(1));
    } else if (hasDriveLetter(tag)) {
        const std::size_t root = rootLength(tag);
        result.path = canonical(TextView(tag).substr(0, root), TextView(tag).substr(root));
        if (sharedBook) result.status = MediaPathStatus::OtherPlace;
    } else {
        result.path = joinCanonical(file.substr(0, folderLength(file)), tag);
    }
    const TextView resolved(result.path.native());
    if (resolved.size() > kMaxMediaPath) return {{}, MediaPathStatus::TooLong};
    if (result.status == MediaPathStatus::Ok) result.status = checkResolved(resolved, bookRoot);
    return result;
}

std::optional<std::filesystem::path> resolveMediaFile(const std::filesystem::path& questionFile,
                                                      std::string_view tagPath) {
    MediaFile file = checkMediaFile(questionFile, tagPath);
    if (file.status != MediaPathStatus::Ok) return std::nullopt;
    return std::move(file.path);
}

} // namespace rekal
