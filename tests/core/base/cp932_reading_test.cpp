// Reading code page 932 characters back as code points: the direction a save takes for a question
// file written in UTF-8 or UTF-16.

#include "core/base/unicode.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace rekal {
namespace {

TEST(Cp932Reading, EveryCodeComesBackToTheCharacterItWasWrittenFrom) {
    int checked = 0;
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        char code[2];
        const int n = codePointToCp932(cp, code);
        if (n == 0 || isAlikeOfCp932Character(cp)) continue;
        const std::string text(code, static_cast<std::size_t>(n));
        std::size_t pos = 0;
        ASSERT_EQ(static_cast<std::uint32_t>(nextCp932(text, pos)), static_cast<std::uint32_t>(cp));
        EXPECT_EQ(pos, text.size());
        ++checked;
    }
    EXPECT_GT(checked, 7000);
    // The characters of other tables come back in the Windows form.
    std::size_t pos = 0;
    EXPECT_EQ(static_cast<std::uint32_t>(nextCp932("\x81\x60", pos)), 0xFF5Eu); // ～ written from WAVE DASH
}

TEST(Cp932Reading, BytesThatStartNoCharacter) {
    const std::string text = "a\x81\x20\xA0\xB1\xFD\x82";
    std::vector<std::uint32_t> read;
    for (std::size_t pos = 0; pos < text.size();)
        read.push_back(nextCp932(text, pos));
    // A lead byte before a byte that is no trail byte, 0xA0, 0xFD and a lead byte at the end.
    EXPECT_EQ(read,
              (std::vector<std::uint32_t>{'a', kMalformed, ' ', kMalformed, 0xFF71, kMalformed, kMalformed}));
}

} // namespace
} // namespace rekal
