#include "core/base/fileio.h"

#include "core/base/textcode.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <new>

namespace rekal {

namespace {

int g_failReplace = 0;

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

FilePtr openFile(const std::filesystem::path& path, const char* mode) {
#ifdef _WIN32
    std::wstring wmode(mode, mode + std::char_traits<char>::length(mode));
    return FilePtr(_wfopen(path.c_str(), wmode.c_str()));
#else
    return FilePtr(std::fopen(path.c_str(), mode));
#endif
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

bool replaceFileContents(const std::filesystem::path& target, std::string_view bytes) {
    std::filesystem::path temp = target;
    temp += L".tmp~";
    bool injected = false;
    if (g_failReplace > 0 && --g_failReplace == 0) injected = true;
    {
        FilePtr f = openFile(temp, "wb");
        if (!f) return false;
        std::size_t toWrite = injected ? bytes.size() / 2 : bytes.size();
        bool ok = std::fwrite(bytes.data(), 1, toWrite, f.get()) == toWrite && !injected;
        ok = ok && flushToDisk(f.get());
        if (std::fclose(f.release()) != 0) ok = false;
        if (!ok) {
            std::error_code ec;
            std::filesystem::remove(temp, ec);
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, target, ec);
    if (ec) {
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

void failNextReplaceForTesting(int nth) {
    g_failReplace = nth < 0 ? 0 : nth;
}

} // namespace rekal
