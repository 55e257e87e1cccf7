// Encoding detection and the conversion of a question file to code page 932 and back, on arbitrary
// bytes: no crash, a code page 932 text of whole characters, rejected lines in order and each kept
// exactly, and, unless a character was read in its Windows form, a file that comes back byte for
// byte when every line is converted back and the rejected ones are put in as they were read.
// Input: the file; when it starts with no byte-order mark and is not UTF-8, the first byte picks the
// encoding it is read in (so that every converter sees arbitrary bytes).

#include "core/base/unicode.h"
#include "core/data/encoding.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace rekal;

void check(bool ok) {
    if (!ok) std::abort();
}

bool isUtf16(TextEncoding e) {
    return e == TextEncoding::Utf16Le || e == TextEncoding::Utf16Be;
}

// The bytes of the file up to its first zero character (a UTF-16 zero unit at a unit boundary).
std::string_view textPart(std::string_view file, TextEncoding e) {
    if (!isUtf16(e)) return file.substr(0, file.find('\0'));
    for (std::size_t pos = byteOrderMark(e).size(); pos + 1 < file.size(); pos += 2)
        if (file[pos] == '\0' && file[pos + 1] == '\0') return file.substr(0, pos);
    return file;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string file(reinterpret_cast<const char*>(data), size);
    TextEncoding encoding = detectEncoding(file);
    // The reader's one pass finds the same encoding and the same text.
    Cp932Text decoded;
    check(decodeFile(file, decoded) == encoding);
    if (encoding != TextEncoding::Cp932) {
        const Cp932Text converted = convertToCp932(file, encoding);
        check(decoded.text == converted.text && decoded.windowsFormLine == converted.windowsFormLine);
        check(decoded.rejected.size() == converted.rejected.size());
        for (std::size_t i = 0; i < decoded.rejected.size(); ++i)
            check(decoded.rejected[i].where.line == converted.rejected[i].where.line &&
                  decoded.rejected[i].original == converted.rejected[i].original);
    }
    if (encoding == TextEncoding::Cp932) {
        if (file.empty()) return 0;
        // Read the rest in the encoding the first byte names, its mark put in front.
        static constexpr TextEncoding kForced[] = {TextEncoding::Utf8Bom, TextEncoding::Utf16Le,
                                                   TextEncoding::Utf16Be};
        encoding = kForced[static_cast<unsigned char>(file[0]) % 3];
        file = std::string(byteOrderMark(encoding)) + file.substr(1);
    }
    const Cp932Text converted = convertToCp932(file, encoding);

    // Whole code page 932 characters only; no zero byte.
    for (std::size_t pos = 0; pos < converted.text.size();)
        check(nextCp932(converted.text, pos) != kMalformed);
    check(converted.text.find('\0') == std::string::npos);

    // Convert every line back, the rejected ones as they were read.
    std::string back(byteOrderMark(encoding));
    auto rejected = converted.rejected.begin();
    int line = 1;
    int previous = 0;
    const std::string_view text = converted.text;
    for (std::size_t pos = 0;; ++line) {
        std::size_t end = text.find_first_of(std::string_view("\r\n\x01", 3), pos);
        if (end == std::string_view::npos) end = text.size();
        if (rejected != converted.rejected.end() && rejected->where.line == line) {
            check(rejected->where.line > previous);
            previous = rejected->where.line;
            back += rejected->original;
            ++rejected;
        } else {
            appendInEncoding(back, text.substr(pos, end - pos), encoding);
        }
        if (end == text.size()) break;
        const std::size_t lineEnd = text.compare(end, 2, "\r\n") == 0 ? 2 : 1;
        appendInEncoding(back, text.substr(end, lineEnd), encoding);
        pos = end + lineEnd;
    }
    check(rejected == converted.rejected.end()); // every rejected line is a line of the text
    check(converted.windowsFormLine >= 0 && converted.windowsFormLine <= line);
    if (converted.windowsFormLine == 0) check(back == textPart(file, encoding));
    return 0;
}
