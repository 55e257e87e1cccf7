#pragma once
// Where the file a media tag names is looked for: beside the question file, and never anywhere a
// book from someone else should not reach (another computer, a device, a hidden stream).

#include <filesystem>
#include <optional>
#include <string_view>

namespace rekal {

inline constexpr std::size_t kMaxMediaPath = 259; // characters

// Why a tag's file is not opened.
enum class MediaPathStatus {
    Ok,
    TooLong,    // longer than kMaxMediaPath
    OtherPlace, // another computer or share, another drive than a shared book's, a \\?\ or \\.\ path
    DeviceName, // a part named CON, PRN, AUX, NUL, COM1..9, LPT1..9 (any extension), CONIN$, CONOUT$
    DataStream, // a part naming a stream of a file (a colon after the root)
    Playlist,   // .asx, .wax, .wvx, .m3u, .m3u8, .pls: lists that may name addresses
};

struct MediaFile {
    std::filesystem::path path; // resolved, even when refused (for reports); empty for TooLong
    MediaPathStatus status = MediaPathStatus::Ok;
};

// Resolves a tag path (CP932, as the question file writes it) against the question file and checks
// it. The question file's root is its drive ("D:\") or its share ("\\server\share\"), and '..'
// never climbs above it. A path beginning with one '\' or '/' goes on that root; a path with a
// drive letter stays on that drive (refused for a book on a share, which reaches only its share);
// a path beginning with two separators must name the book's own share; any other path is joined to
// the question file's folder. The question file's own name is used as it is, whatever characters it
// holds. The question file should be absolute: a relative one resolves relative paths to relative
// results.
MediaFile checkMediaFile(const std::filesystem::path& questionFile, std::string_view tagPath);

// The path of checkMediaFile, or none when it is refused.
std::optional<std::filesystem::path> resolveMediaFile(const std::filesystem::path& questionFile,
                                                      std::string_view tagPath);

} // namespace rekal
