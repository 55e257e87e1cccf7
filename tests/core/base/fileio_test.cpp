#include "core/base/fileio.h"
#include "core/base/textcode.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

std::string normalised(std::string s) {
    normaliseLineEnds(s);
    return s;
}

TEST(LineEnds, EveryKindOfLineEndBecomesOneMark) {
    EXPECT_EQ("a\x01"
              "b\x01"
              "c\x01"
              "\x01"
              "d\x01",
              normalised("a\r\nb\rc\n\nd"));
    EXPECT_EQ("a\x01", normalised("a\r\n"));
    EXPECT_EQ("\x01", normalised(""));
    EXPECT_EQ("\x01\x01", normalised("\r\r\n"));
    // The text ends at its first zero byte.
    EXPECT_EQ("ab\x01", normalised(std::string("ab\0\r\ncd", 7)));
}

TEST(LineEnds, DoubleByteCharactersStayTogether) {
    // ソ is 0x83 0x5C; a lead byte before CR is not a character, so the CR still ends the line.
    EXPECT_EQ("\x83\x5C\x01", normalised("\x83\x5C\r\n"));
    EXPECT_EQ("\x83\x01x\x01", normalised("\x83\rx"));
}

// Line ends read one character at a time, keeping double-byte characters whole.
std::string normalisedByCharacters(std::string text) {
    text = text.substr(0, text.find('\0'));
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool pair = i + 1 < text.size() && ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) &&
                          static_cast<unsigned char>(text[i + 1]) >= 0x40 &&
                          static_cast<unsigned char>(text[i + 1]) != 0x7F &&
                          static_cast<unsigned char>(text[i + 1]) <= 0xFC;
        if (pair) {
            out += text.substr(i, 2);
            i += 2;
        } else if (c == '\r' || c == '\n') {
            out += '\x01';
            i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        } else {
            out += text[i++];
        }
    }
    if (out.empty() || out.back() != '\x01') out += '\x01';
    return out;
}

TEST(LineEnds, SameAsReadingCharacterByCharacter) {
    const char alphabet[] = {'\r', '\n', 'a', '\x81', '\x83', '\x5C', '\xE0', '\x40', '\x0D', '\x01', '\0'};
    unsigned seed = 12345;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const int length = static_cast<int>(seed % 24);
        for (int i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += alphabet[(seed >> 16) % sizeof alphabet];
        }
        seed = seed * 1103515245u + 12345u;
        ASSERT_EQ(normalisedByCharacters(text), normalised(text)) << "round " << round;
    }
}

TEST(ReplaceFile, FailedWriteKeepsTheOldFile) {
    auto dir = std::filesystem::temp_directory_path() / "rekal-fileio-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto target = dir / "book.rkf";
    ASSERT_TRUE(replaceFileContents(target, "old contents"));
    failNextReplaceForTesting(2);
    EXPECT_TRUE(replaceFileContents(target, "second"));
    EXPECT_FALSE(replaceFileContents(target, "third, lost"));
    EXPECT_EQ("second", readFileBytes(target).bytes);
    EXPECT_TRUE(replaceFileContents(target, "fourth"));
    EXPECT_EQ("fourth", readFileBytes(target).bytes);
    // A folder that does not exist cannot be written.
    EXPECT_FALSE(replaceFileContents(dir / "missing" / "x.rkf", "x"));
    EXPECT_EQ(ReadStatus::NotFound, readFileBytes(dir / "missing" / "x.rkf").status);
    // A folder is not a file to read.
    EXPECT_EQ(ReadStatus::ReadFailed, readFileBytes(dir).status);
    std::filesystem::remove_all(dir);
}

TEST(TextCode, Cp932AndUtf8) {
    // ～ － ○ × as the program writes them.
    EXPECT_EQ("\xEF\xBD\x9E\xEF\xBC\x8D\xE2\x97\x8B\xC3\x97",
              cp932ToUtf8("\x81\x60\x81\x7C\x81\x9B\x81\x7E"));
    EXPECT_EQ("\x81\x60\x81\x7C\x81\x9B\x81\x7E",
              utf8ToCp932("\xEF\xBD\x9E\xEF\xBC\x8D\xE2\x97\x8B\xC3\x97"));
    EXPECT_EQ("a?b", cp932ToUtf8("a\xA0"
                                 "b"));
    EXPECT_EQ("a?b", utf8ToCp932("a\xF0\x9F\x98\x80"
                                 "b")); // no CP932 character for it
}

} // namespace
} // namespace rekal
