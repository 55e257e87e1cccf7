#pragma once
// The encodings a question file may be written in. The program works on code page 932; a file saved
// by a modern editor in UTF-8 or UTF-16 is converted line by line to code page 932 when it is read,
// and every card is converted back when the book is saved, so the file keeps the editor's encoding.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

enum class TextEncoding : std::uint8_t {
    Cp932,   // Shift-JIS: read and written byte for byte, as the program always did
    Utf8,    // UTF-8 without a byte-order mark
    Utf8Bom, // UTF-8 with a byte-order mark
    Utf16Le, // UTF-16 little-endian with a byte-order mark
    Utf16Be, // UTF-16 big-endian with a byte-order mark
};

// "CP932", "UTF-8", "UTF-8 (BOM)", "UTF-16LE (BOM)", "UTF-16BE (BOM)".
std::string_view encodingName(TextEncoding encoding);

// The byte-order mark a file of the encoding starts with (empty for CP932 and plain UTF-8).
std::string_view byteOrderMark(TextEncoding encoding);

// The encoding of a file's bytes: a UTF-8 or UTF-16 byte-order mark says so; without one, a text that
// is valid UTF-8 up to its first zero byte and holds at least one multi-byte sequence is UTF-8 (real
// Shift-JIS text practically never is); everything else is CP932, so a pure-ASCII file stays CP932.
TextEncoding detectEncoding(std::string_view bytes);

// Where a line holds a character that code page 932 cannot hold.
struct LineCharacter {
    int line = 0;            // the file's line number, the header being line 1
    std::uint32_t value = 0; // the first such character, or the byte (UTF-16: code unit) that starts
                             // no character
    bool notACharacter = false;
};

// Such a line. Its card keeps the bytes as read, so that a save writes them back unchanged.
struct UnconvertedLine {
    LineCharacter where;
    std::string original; // the line's bytes in the file's encoding, without its line end
};

struct Cp932Text {
    std::string text;                      // the file in code page 932, its line ends as they were
    std::vector<UnconvertedLine> rejected; // in line order; their text in `text` is a stand-in
    int windowsFormLine = 0; // the first line with a character read as the Windows form of code page
                             // 932 (WAVE DASH for ～ and the like), 0 for none
};

// Converts the bytes of a file in a Unicode encoding (starting with the encoding's byte-order mark,
// if it has one) to code page 932.
// The text ends at the first zero character, as a Shift-JIS file's text ends at its first zero byte.
// A line with a character that code page 932 cannot hold, or with bytes that form no character, is
// rejected; its stand-in is its convertible characters with "〓" in place of the others.
Cp932Text convertToCp932(std::string_view bytes, TextEncoding encoding);

// detectEncoding and convertToCp932 in one: the encoding of a file and, unless it is CP932, its code
// page 932 text in converted. A UTF-8 file without a byte-order mark is checked while it is
// converted, so that it is read once.
TextEncoding decodeFile(std::string_view bytes, Cp932Text& converted);

// Appends code page 932 text to out, converted to the encoding (CP932: copied). A byte that starts no
// code page 932 character becomes U+FFFD.
void appendInEncoding(std::string& out, std::string_view cp932, TextEncoding encoding);

} // namespace rekal
