#pragma once
// Unicode texts brought into the program (tables from other programs, question files saved as
// UTF-8 or UTF-16): byte-order marks, UTF-8 and UTF-16 decoding, and the code page 932 code of each
// character. Portable: it needs no platform converter, so every platform converts the same way.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

enum class UnicodeForm { None, Utf8, Utf16Le, Utf16Be };

struct ByteOrderMark {
    UnicodeForm form = UnicodeForm::None;
    std::size_t length = 0; // bytes of the mark
};
// The byte-order mark a buffer starts with (EF BB BF, FF FE, FE FF); None with length 0 without one.
ByteOrderMark findByteOrderMark(std::string_view bytes);

// What the decoders give for bytes that form no character: a broken UTF-8 sequence, an unpaired
// UTF-16 surrogate, an odd last byte of UTF-16.
inline constexpr char32_t kMalformed = 0x110000;

// The character at pos of a UTF-8 text, moving pos past it. A malformed sequence (also an overlong
// form, a surrogate or a code point beyond U+10FFFF) gives kMalformed and moves pos by one byte.
char32_t nextUtf8(std::string_view text, std::size_t& pos);
// The same for UTF-16 bytes in the given byte order.
char32_t nextUtf16(std::string_view bytes, std::size_t& pos, bool bigEndian);

// True when the whole text is well-formed UTF-8.
bool isUtf8(std::string_view text);

// Appends a code point as UTF-8; kMalformed (or anything beyond U+10FFFF) is written as U+FFFD.
void appendUtf8(std::string& out, char32_t cp);

// The bytes after any byte-order mark as UTF-8: UTF-16 is converted (a malformed unit becoming
// U+FFFD); None and Utf8 are copied as they are, malformed bytes included.
std::string unicodeToUtf8(std::string_view bytes, UnicodeForm form);

// The code page 932 code of a code point, written to out: 1 or 2 bytes, or 0 when code page 932 has
// no such character. Besides code page 932's own mapping, the characters other Japanese tables put
// at the same codes are taken: WAVE DASH U+301C as ～, MINUS SIGN U+2212 as －, DOUBLE VERTICAL LINE
// U+2016 as ∥, EM DASH U+2014 as ―, CENT, POUND and NOT SIGN as ￠ ￡ ￢, and YEN SIGN U+00A5 as 0x5C
// (the yen sign of Japanese fonts). Control characters map to their own bytes.
int codePointToCp932(char32_t cp, char out[2]);
// True for those characters of other Japanese tables (WAVE DASH and the like, YEN SIGN included),
// which code page 932 itself reads as other code points.
bool isAlikeOfCp932Character(char32_t cp);

// The code point of the code page 932 character at pos, moving pos past it, as Windows reads code
// page 932 (～ is U+FF5E): a byte that starts no character, and a double-byte code that no character
// of codePointToCp932 has, give kMalformed and move pos by one byte.
char32_t nextCp932(std::string_view text, std::size_t& pos);
// Appends code page 932 text as UTF-8, or as UTF-16 in the given byte order, each character as
// nextCp932 reads it and a byte that starts no character as U+FFFD.
void appendCp932AsUtf8(std::string& out, std::string_view cp932);
void appendCp932AsUtf16(std::string& out, std::string_view cp932, bool bigEndian);
// The same into a buffer with room for the most the text can take, maxUtf8Size or maxUtf16Size;
// they give the number of bytes written.
constexpr std::size_t maxUtf8Size(std::size_t cp932Bytes) {
    return cp932Bytes * 3; // three for a byte that starts no character or a half-width katakana
}
constexpr std::size_t maxUtf16Size(std::size_t cp932Bytes) {
    return cp932Bytes * 2; // one code unit a character, and no character is shorter than a byte
}
std::size_t writeCp932AsUtf8(std::string_view cp932, char* out);
std::size_t writeCp932AsUtf16(std::string_view cp932, char* out, bool bigEndian);

// A character of a UTF-8 text that code page 932 cannot hold.
struct Unrepresentable {
    std::size_t offset = 0; // of its first byte in the UTF-8 text
    char32_t codePoint = 0; // kMalformed for bytes that form no character
};
// A UTF-8 text in code page 932. Each character without a code, and each malformed byte, is
// replaced by replacement (CP932 bytes; may be empty) and listed in missing when it is given.
std::string utf8TextToCp932(std::string_view utf8, std::string_view replacement,
                            std::vector<Unrepresentable>* missing = nullptr);

} // namespace rekal
