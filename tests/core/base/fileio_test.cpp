#include "core/base/fileio.h"
#include "core/base/textcode.h"

#include "support/tempfiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

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

struct stat statOf(const std::filesystem::path& p) {
    struct stat info {};
    EXPECT_EQ(0, stat(p.c_str(), &info)) << p;
    return info;
}

std::filesystem::path leftTemporary(const std::filesystem::path& p) {
    std::filesystem::path temp = p;
    temp += ".tmp~";
    return temp;
}

TEST(ReplaceFile, TheFileKeepsWhatItWas) {
    test::TestFolder folder;
    const std::filesystem::path book = folder.write("book.rkf", "old");

    // Permission bits, and as far as allowed the owner, come over to the new file.
    ASSERT_EQ(0, chmod(book.c_str(), 0640));
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(0, chown(book.c_str(), 4321, 4321));
    }
    ASSERT_TRUE(replaceFileContents(book, "new"));
    EXPECT_EQ("new", readFileBytes(book).bytes);
    EXPECT_EQ(0640u, statOf(book).st_mode & 07777);
    if (root) {
        EXPECT_EQ(4321u, statOf(book).st_uid);
    }
    EXPECT_FALSE(std::filesystem::exists(leftTemporary(book)));
    ASSERT_EQ(0, chmod(book.c_str(), 0600));
    ASSERT_TRUE(replaceFileContents(book, "private"));
    EXPECT_EQ(0600u, statOf(book).st_mode & 07777);

    // A link (even a chain of relative links) stays a link; the file it points at gets the bytes,
    // and the temporary file is made beside that one.
    std::filesystem::create_directories(folder.file("links"));
    const std::filesystem::path link = folder.file("links/book.rkf"), link2 = folder.file("links/again.rkf");
    std::filesystem::create_symlink("../book.rkf", link);
    std::filesystem::create_symlink("book.rkf", link2);
    ASSERT_TRUE(replaceFileContents(link2, "through two links"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_symlink(link2));
    EXPECT_EQ("through two links", readFileBytes(book).bytes);
    EXPECT_EQ(0600u, statOf(book).st_mode & 07777);
    EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(folder.file("links")), {}));

    // No temporary file can be made beside it: the file itself is rewritten (the same file, so
    // its links and permissions stay), and a failure of that is reported.
    const ino_t inode = statOf(book).st_ino;
    failNextReplaceForTesting(1, ReplaceCreateTemporary);
    ASSERT_TRUE(replaceFileContents(book, "in place"));
    EXPECT_EQ("in place", readFileBytes(book).bytes);
    EXPECT_EQ(inode, statOf(book).st_ino);
    failNextReplaceForTesting(1, ReplaceCreateTemporary | ReplaceWriteInPlace);
    EXPECT_FALSE(replaceFileContents(book, "in place, failing"));

    // A failed write of the temporary file leaves the old file itself, and no temporary file.
    ASSERT_TRUE(replaceFileContents(book, "kept"));
    const ino_t kept = statOf(book).st_ino;
    failNextReplaceForTesting(1, ReplaceWriteTemporary);
    EXPECT_FALSE(replaceFileContents(link, "lost"));
    EXPECT_EQ("kept", readFileBytes(book).bytes);
    EXPECT_EQ(kept, statOf(book).st_ino);
    EXPECT_FALSE(std::filesystem::exists(leftTemporary(book)));
    failNextReplaceForTesting(0);
}

TEST(ReplaceFile, AFolderTheUserMayNotWriteStillTakesHisFile) {
    if (geteuid() == 0) GTEST_SKIP() << "root writes every folder";
    test::TestFolder folder;
    std::filesystem::create_directories(folder.file("shut"));
    const std::filesystem::path book = folder.write("shut/book.rkf", "old");
    ASSERT_EQ(0, chmod(folder.file("shut").c_str(), 0555));
    EXPECT_TRUE(replaceFileContents(book, "new"));
    ASSERT_EQ(0, chmod(folder.file("shut").c_str(), 0755));
    EXPECT_EQ("new", readFileBytes(book).bytes);
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
