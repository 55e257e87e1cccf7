#ifndef _WIN32
#include "core/base/textcode.h"

#include "core/base/sjis.h"

#include <cerrno>
#include <iconv.h>

namespace rekal {

namespace {

using SkipLength = std::size_t (*)(const unsigned char* p, std::size_t left);

std::size_t skipCp932(const unsigned char* p, std::size_t left) {
    return left >= 2 && isLeadByte(p[0]) && isTrailByte(p[1]) ? 2 : 1;
}

std::size_t skipUtf8(const unsigned char* p, std::size_t left) {
    std::size_t n = p[0] >= 0xF0 ? 4 : p[0] >= 0xE0 ? 3 : p[0] >= 0xC0 ? 2 : 1;
    return n <= left ? n : left;
}

std::string convert(const char* to, const char* from, std::string_view in, SkipLength skip) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
    std::string out;
    out.reserve(in.size() + in.size() / 2);
    char buffer[4096];
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // A sequence that does not form a character: mark it and step over it.
            out.push_back('?');
            std::size_t n = skip(reinterpret_cast<const unsigned char*>(src), left);
            src += n;
            left -= n;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

} // namespace

std::string cp932ToUtf8(std::string_view cp932) {
    return convert("UTF-8", "CP932", cp932, skipCp932);
}
std::string utf8ToCp932(std::string_view utf8) {
    return convert("CP932", "UTF-8", utf8, skipUtf8);
}

} // namespace rekal
#endif
