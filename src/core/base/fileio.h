#pragma once
// Files of the program: whole-file reads, line-end normalisation shared by every text reader, and
// the one crash-safe way of rewriting a file. Paths are platform paths (UTF-16 on Windows) from the
// user down to the file functions; CP932 path texts exist only inside CP932 files (the recent list,
// the exam log, media tags in a book), and nativePath turns those into platform paths.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace rekal {

// CP932 path text to a platform path: UTF-8 on POSIX, UTF-16 through code page 932 on Windows
// (fileio_win.cpp).
std::filesystem::path nativePath(std::string_view cp932);

// The CP932 text that names this file in a CP932 file: the path itself when code page 932 holds
// every character of it, else its short (8.3) form when the volume has one that it holds; none
// when neither exists. Nothing is ever replaced by a look-alike character.
std::optional<std::string> storablePath(const std::filesystem::path& path);

// A folder as CP932 text ending with a separator, to which a CP932 file (the settings) joins names;
// empty for an empty folder or one that code page 932 cannot name.
inline std::string storableFolder(const std::filesystem::path& folder) {
    if (folder.empty()) return {};
    std::optional<std::string> text = storablePath(folder);
    if (!text) return {};
    // The last character is looked at in the platform path: in CP932 a 0x5C byte may end a
    // double-byte character.
    const auto last = folder.native().back();
    if (last != '/' && last != '\\') *text += static_cast<char>(std::filesystem::path::preferred_separator);
    return *text;
}

// The path as CP932 text for a message: the storable text, else the path with the characters code
// page 932 lacks shown as '?'.
std::string displayPath(const std::filesystem::path& path);

struct FileCloser {
    void operator()(std::FILE* f) const {
        if (f) std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// True for a plain disk file (a link to one counts): never a folder, a device, a pipe or a socket,
// which a loader would read without end or wait on. Loaders of files that a book names ask this
// before they open anything.
bool isPlainFile(const std::filesystem::path& path);

// Opens with a C stdio mode ("rb", "wb", "ab").
FilePtr openFile(const std::filesystem::path& path, const char* mode);

enum class ReadStatus { Ok, NotFound, ReadFailed };

struct FileBytes {
    ReadStatus status = ReadStatus::NotFound;
    std::string bytes; // the whole file, as read
};

// One read of the whole file into one buffer.
FileBytes readFileBytes(const std::filesystem::path& path);

// What a file was when the program last read or wrote it: its size, its last-write time and a hash
// of its bytes, so that a later look can tell whether something else has written it since.
struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type lastWrite{};
    std::uint64_t hash = 0;

    bool operator==(const FileStamp&) const = default;
};

// A 64-bit hash of bytes (not cryptographic; it tells one version of a file from another).
std::uint64_t hashBytes(std::string_view bytes);

// The stamp of a file whose bytes are these (read from it, or just written to it); none when the
// file's last-write time cannot be read.
std::optional<FileStamp> stampFile(const std::filesystem::path& path, std::string_view bytes);

// Cuts the text at its first zero byte, then turns every CR LF, lone CR and lone LF into one 0x01
// byte, keeping double-byte characters together, and ends the text with 0x01 when it does not.
void normaliseLineEnds(std::string& text);

// Rewrites the target with bytes, keeping the file what it was: the same permissions, attributes
// and (on Windows) ACL and creation time, and a symbolic link still pointing at the rewritten file.
// The bytes go to a temporary file beside the file a link points to, are flushed to the disk and
// only then put in its place; a failure at any of those steps leaves the old file as it was and
// returns false. Where no temporary file can be made there (a folder the user may not write), the
// file itself is rewritten, and a failure of that is reported the same way.
bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes);

// Puts a finished temporary file in the place of target, in the same folder, keeping target's
// identity: on POSIX a rename and a sync of the folder; on Windows ReplaceFileW, with MoveFileExW
// where it is refused (fileio_win.cpp).
bool moveFileOver(const std::filesystem::path& temp, const std::filesystem::path& target);

// Steps of replaceFileContents that a test can make fail.
enum ReplaceStep : unsigned {
    ReplaceWriteTemporary = 1,  // the temporary file is partly written, then the write fails
    ReplaceCreateTemporary = 2, // no temporary file can be made beside the target
    ReplaceWriteInPlace = 4,    // rewriting the file itself fails after part of it
};

// Test hook: when set, the given steps of the n-th following replaceFileContents fail (1 = the
// next one). 0 switches it off.
void failNextReplaceForTesting(int nth, unsigned steps = ReplaceWriteTemporary);

// Test hook (Windows): with false, storablePath takes every volume to have no short names.
void useShortNamesForTesting(bool on);

} // namespace rekal
