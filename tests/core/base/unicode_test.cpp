#include "core/base/unicode.h"
#include "core/base/textcode.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace rekal {
namespace {

// Sources are compiled to CP932; UTF-8 test texts are written as u8 literals.
std::string utf8(const char8_t* text) {
    return std::string(reinterpret_cast<const char*>(text));
}

std::string cp932Of(char32_t cp) {
    char code[2];
    const int n = codePointToCp932(cp, code);
    return std::string(code, static_cast<std::size_t>(n));
}

std::vector<std::uint32_t> decodeAll(std::string_view text) {
    std::vector<std::uint32_t> out;
    for (std::size_t pos = 0; pos < text.size();)
        out.push_back(nextUtf8(text, pos));
    return out;
}

TEST(Unicode, EveryDoubleByteCharacterComesBackToACodeOfTheSameCharacter) {
    int checked = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0) continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F) continue;
            const std::string code{static_cast<char>(lead), static_cast<char>(trail)};
            const std::string text = cp932ToUtf8(code);
            std::size_t pos = 0;
            const char32_t cp = nextUtf8(text, pos);
            if (text == "?" || pos != text.size()) continue; // no character at this code
            const std::string back = cp932Of(cp);
            ASSERT_EQ(2u, back.size()) << std::hex << lead << trail;
            // A character held twice comes back as the copy Windows writes; both read the same.
            EXPECT_EQ(text, cp932ToUtf8(back)) << std::hex << lead << trail;
            ++checked;
        }
    }
    EXPECT_GT(checked, 9000);
    // Of duplicates: the JIS code before NEC row 13, row 13 before the IBM extensions, and those
    // before their NEC-selected copies.
    EXPECT_EQ("\x81\xE0", cp932Of(0x2252));
    EXPECT_EQ("\x87\x54", cp932Of(0x2160));
    EXPECT_EQ("\xFA\x40", cp932Of(0x2170));
    EXPECT_EQ("\xFA\x5C", cp932Of(0x7E8A));
}

// The fast writers against nextCp932 one character at a time, over every pair of bytes (so every
// lead byte meets every trail byte, an ASCII byte and the end of the text).
TEST(Unicode, Cp932WritersAgreeWithReadingOneCharacterAtATime) {
    std::string text;
    for (int first = 0; first < 0x100; ++first)
        for (int second = 0; second < 0x100; ++second) {
            text += static_cast<char>(first);
            text += static_cast<char>(second);
        }
    text += '\x81'; // a lead byte at the very end
    std::string expected8, expected16;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t cp = nextCp932(text, pos);
        if (cp == kMalformed) cp = 0xFFFD;
        appendUtf8(expected8, cp);
        expected16 += static_cast<char>(cp & 0xFF);
        expected16 += static_cast<char>(cp >> 8);
    }
    std::string utf8Out = "x", utf16Out = "x";
    appendCp932AsUtf8(utf8Out, text);
    appendCp932AsUtf16(utf16Out, text, false);
    EXPECT_EQ("x" + expected8, utf8Out);
    EXPECT_EQ("x" + expected16, utf16Out);
}

TEST(Unicode, SingleBytesAlikesAndCharactersWithoutCode) {
    EXPECT_EQ("A", cp932Of(U'A'));
    EXPECT_EQ("\\", cp932Of(U'\\'));
    EXPECT_EQ(std::string(1, '\0'), cp932Of(0));
    EXPECT_EQ("\xB1", cp932Of(0xFF71));     // half-width ｱ
    EXPECT_EQ("\x82\xA0", cp932Of(0x3042)); // あ
    // Characters other tables put at the codes of ～ － ∥ ― ￠ ￡ ￢, and the yen sign.
    EXPECT_EQ("\x81\x60", cp932Of(0x301C));
    EXPECT_EQ("\x81\x60", cp932Of(0xFF5E));
    EXPECT_EQ("\x81\x7C", cp932Of(0x2212));
    EXPECT_EQ("\x81\x61", cp932Of(0x2016));
    EXPECT_EQ("\x81\x5C", cp932Of(0x2014));
    EXPECT_EQ("\x81\x91", cp932Of(0xA2));
    EXPECT_EQ("\x81\x92", cp932Of(0xA3));
    EXPECT_EQ("\x81\xCA", cp932Of(0xAC));
    EXPECT_EQ("\\", cp932Of(0xA5));
    for (char32_t cp : {char32_t{0x80}, char32_t{0xE9}, char32_t{0x20AC}, char32_t{0xFFFD}, char32_t{0x1F600},
                        char32_t{0x20B9F}, kMalformed})
        EXPECT_EQ("", cp932Of(cp)) << std::hex << std::uint32_t{cp};
}

TEST(Unicode, Utf8DecodingRejectsEveryMalformedForm) {
    EXPECT_EQ((std::vector<std::uint32_t>{U'a', 0xE9, 0x3042, 0x1F600}),
              decodeAll(utf8(u8"a\u00E9\u3042\U0001F600")));
    // Overlong forms, surrogates, beyond U+10FFFF, a stray continuation, a cut sequence: each bad
    // byte is one malformed character, and decoding resumes at the next byte.
    EXPECT_EQ((std::vector<std::uint32_t>{kMalformed, kMalformed}), decodeAll("\xC0\xAF"));
    EXPECT_EQ((std::vector<std::uint32_t>{kMalformed, kMalformed, kMalformed}), decodeAll("\xE0\x80\xAF"));
    EXPECT_EQ((std::vector<std::uint32_t>{kMalformed, kMalformed, kMalformed}), decodeAll("\xED\xA0\x80"));
    EXPECT_EQ(4u, decodeAll("\xF4\x90\x80\x80").size());
    EXPECT_EQ((std::vector<std::uint32_t>{kMalformed, U'x'}), decodeAll("\x80x"));
    EXPECT_EQ((std::vector<std::uint32_t>{kMalformed, kMalformed}), decodeAll("\xE3\x81"));
    EXPECT_TRUE(isUtf8(utf8(u8"富士山 ok")));
    EXPECT_FALSE(isUtf8("\x95\x78\x8E\x6D")); // CP932 富士
}

TEST(Unicode, ByteOrderMarksAndUtf16) {
    EXPECT_EQ(UnicodeForm::Utf8, findByteOrderMark("\xEF\xBB\xBFx").form);
    EXPECT_EQ(3u, findByteOrderMark("\xEF\xBB\xBF").length);
    EXPECT_EQ(UnicodeForm::Utf16Le, findByteOrderMark("\xFF\xFE").form);
    EXPECT_EQ(UnicodeForm::Utf16Be, findByteOrderMark("\xFE\xFF"
                                                      "a")
                                        .form);
    EXPECT_EQ(UnicodeForm::None, findByteOrderMark("\xEF\xBB").form);
    EXPECT_EQ(0u, findByteOrderMark("abc").length);

    // あ, 😀 as a surrogate pair, then an unpaired low surrogate and an odd last byte.
    const std::string le("\x42\x30\x3D\xD8\x00\xDE\x00\xDCx", 9);
    EXPECT_EQ(utf8(u8"\u3042\U0001F600\uFFFD\uFFFD"), unicodeToUtf8(le, UnicodeForm::Utf16Le));
    const std::string be("\x30\x42\xD8\x3D\x00\x41", 6); // あ, a high surrogate before A
    EXPECT_EQ(utf8(u8"\u3042\uFFFDA"), unicodeToUtf8(be, UnicodeForm::Utf16Be));
    EXPECT_EQ("\xFF", unicodeToUtf8("\xFF", UnicodeForm::Utf8));
}

TEST(Unicode, TextConversionReportsWhatItReplaced) {
    std::vector<Unrepresentable> missing;
    const std::string text = utf8(u8"a\u20AC\u3042\U0001F600") + "\xFF";
    EXPECT_EQ("a\x81\xAC\x82\xA0\x81\xAC\x81\xAC", utf8TextToCp932(text, "\x81\xAC", &missing)); // 〓
    ASSERT_EQ(3u, missing.size());
    EXPECT_EQ(1u, missing[0].offset);
    EXPECT_EQ(0x20ACu, std::uint32_t{missing[0].codePoint});
    EXPECT_EQ(7u, missing[1].offset);
    EXPECT_EQ(0x1F600u, std::uint32_t{missing[1].codePoint});
    EXPECT_TRUE(missing[2].codePoint == kMalformed);
    EXPECT_EQ("a\x82\xA0", utf8TextToCp932(text, ""));
}

} // namespace
} // namespace rekal
