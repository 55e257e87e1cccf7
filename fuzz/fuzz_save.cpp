// Question-file writer on books read from arbitrary lines: no crash, and reading the written file
// gives the same cards. Input: the lines after a version 1.6 header (the first byte picks the
// version 1.2 to 1.6 and whether the file is a .csv one). A lead byte that starts no double-byte
// character, followed by a raw control byte (or in a .csv file by a comma), cannot always be
// written back as it was, nor can a control byte written with a backslash before it: such input
// is only checked for crashes; so are files that switch the
// Group class to a single-byte set, whose names the reader finds and decodes by different rules.
// A body that is valid UTF-8 makes a UTF-8 book, which is written back in UTF-8.

#include "core/base/notifier.h"
#include "core/data/reader.h"
#include "core/data/save.h"
#include "support/book_describe.h"
#include "core/base/sjis.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A lead byte that starts no character, followed by a raw control byte 0x02-0x07 (or, in a .csv
// file, by a comma): the escape or mark such a byte is written as would join the lead byte.
bool hasLoneLeadBeforeEscape(std::string_view text, bool csv) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (rekal::isDoubleByteAt(text, i)) {
            ++i;
        } else if (rekal::isLeadByte(static_cast<unsigned char>(text[i]))) {
            const char next = text[i + 1];
            if ((next >= 2 && next <= 7) || (csv && next == ',')) return true;
        }
    }
    return false;
}

// A backslash before a raw control byte 0x02-0x07: the escaped byte is stored as it is, where it
// cannot be told from a media tag, separator or group mark that the writer writes as one.
bool hasEscapedControlByte(std::string_view text) {
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '\\' && text[i + 1] >= 2 && text[i + 1] <= 7) return true;
    }
    return false;
}

bool containsIgnoringCase(std::string_view text, std::string_view word) {
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i) {
        std::size_t j = 0;
        while (j < word.size() && (text[i + j] | 0x20) == (word[j] | 0x20))
            ++j;
        if (j == word.size()) return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int version = 12 + data[0] % 5;
    const bool csv = (data[0] & 0x80) != 0;
    const std::string_view body(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string text =
        "REKALDATA V" + std::to_string(version / 10) + "." + std::to_string(version % 10) + "\n";
    text += body;
    const std::string path = csv ? "fuzz.csv" : "fuzz.rkf";

    rekal::Settings settings;
    for (rekal::FontSpec& font : settings.fonts)
        font.charSet = rekal::kCharSetShiftJis;
    rekal::SilentNotifier quiet;
    rekal::QuestionBook first;
    if (!rekal::loadBookFromBytes(first, path, text, settings, quiet)) return 0;
    const std::string written = rekal::formatBook(first, settings);
    rekal::QuestionBook second;
    const bool loaded = rekal::loadBookFromBytes(second, path, written, settings, quiet);
    if (hasLoneLeadBeforeEscape(body, csv) || hasEscapedControlByte(body) ||
        containsIgnoringCase(body, "FontGroup"))
        return 0;
    // A Shift-JIS file that, saved, forms UTF-8 with multi-byte sequences (its other bytes dropped,
    // as a .csv line's fields after the comment are) is read back as UTF-8: real Shift-JIS text
    // practically never does, random bytes do.
    if (rekal::detectEncoding(written) != first.encoding()) return 0;
    if (!loaded || rekal::test::describeCards(first) != rekal::test::describeCards(second)) std::abort();
    return 0;
}
