#include "core/base/fileio.h"

#include "core/base/textcode.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <new>

namespace rekal {

namespace {

int g_failReplace = 0;
unsigned g_failReplaceSteps = ReplaceWriteTemporary;

bool flushToDisk(std::FILE* f) {
    if (std::fflush(f) != 0) return false;
#ifdef _WIN32
    return _commit(_fileno(f)) == 0;
#else
    return fsync(fileno(f)) == 0;
#endif
}

} // namespace

#ifndef _WIN32
std::filesystem::path nativePath(std::string_view cp932) {
    return std::filesystem::path(cp932ToUtf8(cp932));
}

std::optional<std::string> storablePath(const std::filesystem::path& path) {
    const std::string& utf8 = path.native();
    std::string cp932 = utf8ToCp932(utf8);
    if (cp932ToUtf8(cp932) != utf8) return std::nullopt; // POSIX volumes have no short names
    return cp932;
}

std::string displayPath(const std::filesystem::path& path) {
    return utf8ToCp932(path.native());
}
#endif

bool isPlainFile(const std::filesystem::path& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

FilePtr openFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    return FilePtr(_wfopen(path.c_str(), wmode.c_str()));
#else
    return FilePtr(std::fopen(path.c_str(), mode));
#endif
}

std::uint64_t hashBytes(std::string_view bytes) {
    // Eight bytes a step, each word mixed in by a multiply and a rotation; the tail and the length
    // go in last. Fast enough to hash a book of several tens of megabytes in a few milliseconds.
    constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
    std::uint64_t h = 0x6A09E667F3BCC909ull;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    for (; left >= 8; p += 8, left -= 8) {
        std::uint64_t word;
        std::memcpy(&word, p, 8);
        h = (std::rotl(h, 23) ^ word) * kMultiplier;
    }
    std::uint64_t tail = 0;
    if (left > 0) std::memcpy(&tail, p, left);
    h = (std::rotl(h, 23) ^ tail) * kMultiplier;
    h ^= bytes.size();
    h ^= h >> 29;
    h *= kMultiplier;
    return h ^ (h >> 32);
}

std::optional<FileStamp> stampFile(const std::filesystem::path& path, std::string_view bytes) {
    std::error_code ec;
    const std::filesystem::file_time_type time = std::filesystem::last_write_time(path, ec);
    if (ec) return std::nullopt;
    return FileStamp{bytes.size(), time, hashBytes(bytes)};
}

FileBytes readFileBytes(const std::filesystem::path& path) {
    FileBytes result;
    FilePtr f = openFile(path, "rb");
    if (!f) {
        result.status = ReadStatus::NotFound;
        return result;
    }
    result.status = ReadStatus::ReadFailed;
#ifndef _WIN32
    // A folder opens like a file on POSIX; it has no bytes to read.
    struct stat info {};
    if (fstat(fileno(f.get()), &info) != 0 || !S_ISREG(info.st_mode)) return result;
#endif
    if (std::fseek(f.get(), 0, SEEK_END) != 0) return result;
#ifdef _WIN32
    long long size = _ftelli64(f.get());
#else
    long long size = ftello(f.get());
#endif
    if (size < 0 || std::fseek(f.get(), 0, SEEK_SET) != 0) return result;
    if (static_cast<unsigned long long>(size) > result.bytes.max_size()) return result;
    try {
        result.bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return result; // too large to hold: a read failure, not a crash
    }
    if (size > 0 && std::fread(result.bytes.data(), 1, result.bytes.size(), f.get()) != result.bytes.size()) {
        result.bytes.clear();
        return result;
    }
    result.status = ReadStatus::Ok;
    return result;
}

void normaliseLineEnds(std::string& text) {
    std::size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    // CR and LF are never the second byte of a double-byte character (those are 0x40 and above),
    // so every CR and LF byte ends a line and the runs between them are moved whole.
    char* const base = text.data();
    const std::size_t n = text.size();
    auto next = [&](std::size_t from, char c) {
        const void* hit = from < n ? std::memchr(base + from, c, n - from) : nullptr;
        return hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - base) : n;
    };
    std::size_t nextCr = next(0, '\r'), nextLf = next(0, '\n');
    std::size_t out = 0, i = 0;
    while (i < n) {
        const std::size_t stop = std::min(nextCr, nextLf);
        if (out != i) std::memmove(base + out, base + i, stop - i);
        out += stop - i;
        if (stop == n) break;
        const bool crLf = base[stop] == '\r' && stop + 1 < n && base[stop + 1] == '\n';
        base[out++] = '\x01';
        i = stop + (crLf ? 2 : 1);
        if (nextCr < i) nextCr = next(i, '\r');
        if (nextLf < i) nextLf = next(i, '\n');
    }
    text.resize(out);
    if (text.empty() || text.back() != '\x01') text.push_back('\x01');
}

namespace {

// The file a chain of symbolic links ends at (the path itself when it is no link, or when the
// chain cannot be followed): the new contents belong to it, and the links stay as they are.
std::filesystem::path linkTarget(const std::filesystem::path& path) {
    std::filesystem::path at = path;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(at, ec)) return at;
        const std::filesystem::path next = std::filesystem::read_symlink(at, ec);
        if (ec) return path;
        at = next.is_absolute() ? next : at.parent_path() / next;
    }
    return path;
}

// Writes bytes (or, when injected, half of them and then fails) and flushes them to the disk.
bool writeAndFlush(std::FILE* f, std::string_view bytes, bool injected) {
    const std::size_t toWrite = injected ? bytes.size() / 2 : bytes.size();
    return std::fwrite(bytes.data(), 1, toWrite, f) == toWrite && !injected && flushToDisk(f);
}

// The old way, for a file whose folder takes no new file: the file is truncated and rewritten.
bool rewriteInPlace(const std::filesystem::path& target, std::string_view bytes, bool injected) {
    FilePtr f = openFile(target, "wb");
    if (!f) return false;
    bool ok = writeAndFlush(f.get(), bytes, injected);
    if (std::fclose(f.release()) != 0) ok = false;
    return ok;
}

#ifndef _WIN32
// The new file gets the old one's permission bits and, where allowed, its owner and group (before
// anything is written to it, so a private file's contents are never open to others).
void copyOwnerAndMode(std::FILE* f, const std::filesystem::path& target) {
    struct stat old {};
    if (stat(target.c_str(), &old) != 0) return;
    const int fd = fileno(f);
    // A user may not give a file away; the group alone may still be his to keep.
    [[maybe_unused]] const bool owned =
        fchown(fd, old.st_uid, old.st_gid) == 0 || fchown(fd, static_cast<uid_t>(-1), old.st_gid) == 0;
    fchmod(fd, old.st_mode & 07777);
}
#endif

} // namespace

bool replaceFileContents(const std::filesystem::path& path, std::string_view bytes) {
    unsigned failing = 0;
    if (g_failReplace > 0 && --g_failReplace == 0) failing = g_failReplaceSteps;
    const std::filesystem::path target = linkTarget(path);
    std::filesystem::path temp = target;
    temp += ".tmp~";
    FilePtr f = (failing & ReplaceCreateTemporary) ? nullptr : openFile(temp, "wb");
    if (!f) return rewriteInPlace(target, bytes, (failing & ReplaceWriteInPlace) != 0);
#ifndef _WIN32
    copyOwnerAndMode(f.get(), target);
#endif
    bool ok = writeAndFlush(f.get(), bytes, (failing & ReplaceWriteTemporary) != 0);
    if (std::fclose(f.release()) != 0) ok = false;
    if (ok && moveFileOver(temp, target)) return true;
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    return false;
}

#ifndef _WIN32
bool moveFileOver(const std::filesystem::path& temp, const std::filesystem::path& target) {
    if (std::rename(temp.c_str(), target.c_str()) != 0) return false;
    // The rename is only lasting once the folder is on the disk too; a folder that cannot be
    // synced (some file systems refuse) leaves the file replaced all the same.
    std::filesystem::path folder = target.parent_path();
    if (folder.empty()) folder = ".";
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
    return true;
}
#endif

void failNextReplaceForTesting(int nth, unsigned steps) {
    g_failReplace = nth < 0 ? 0 : nth;
    g_failReplaceSteps = steps;
}

} // namespace rekal
