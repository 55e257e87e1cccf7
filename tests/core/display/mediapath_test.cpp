#include "core/display/mediapath.h"

#include "core/base/fileio.h"

#include <gtest/gtest.h>

using namespace rekal;

namespace {

std::string resolved(const std::filesystem::path& file, std::string_view tag) {
    const auto path = resolveMediaFile(file, tag);
    return path ? path->string() : "<none>";
}

} // namespace

TEST(MediaPath, LeadingSeparatorGoesOnTheQuestionFilesDrive) {
    EXPECT_EQ(resolved("D:\\drill\\q.rkf", "\\pics\\a.bmp"), "D:\\pics\\a.bmp");
    EXPECT_EQ(resolved("D:\\drill\\q.rkf", "/pics/a.bmp"), "D:/pics/a.bmp");
}

TEST(MediaPath, RelativePathsJoinTheQuestionFilesFolder) {
    EXPECT_EQ(resolved("D:\\drill\\q.rkf", "a.png"), "D:\\drill\\a.png");
    EXPECT_EQ(resolved("D:\\drill\\q.rkf", "fig\\map.png"), "D:\\drill\\fig\\map.png");
    EXPECT_EQ(resolved("D:\\drill\\q.rkf", "fig/map.png"), "D:\\drill\\fig\\map.png");
}

TEST(MediaPath, DotsAreResolvedButNeverAboveTheRoot) {
    EXPECT_EQ(resolved("D:\\drill\\sub\\q.rkf", "..\\a.bmp"), "D:\\drill\\a.bmp");
    EXPECT_EQ(resolved("D:\\drill\\q.rkf", ".\\x\\..\\y.png"), "D:\\drill\\y.png");
    EXPECT_EQ(resolved("D:\\drill\\q.rkf", "..\\..\\..\\a.bmp"), "D:\\a.bmp");
    EXPECT_EQ(resolved("\\\\server\\share\\q.rkf", "..\\..\\a.bmp"), "\\\\a.bmp");
}

TEST(MediaPath, DriveLetterPathsStayAsTheyAre) {
    EXPECT_EQ(resolved("D:\\drill\\q.rkf", "C:\\pics\\a.png"), "C:\\pics\\a.png");
}

TEST(MediaPath, DoubleByteNamesKeepTheirSecondByte) {
    // 0x95 0x5C is one character ending in the byte of a backslash.
    EXPECT_EQ(resolved(nativePath("C:\\a\\\x95\x5C.rkf"), "b.png"), "C:\\a\\b.png");
    EXPECT_EQ(resolved(nativePath("C:\\\x95\x5C\\q.rkf"), "x\\..\\b.png"),
              nativePath("C:\\\x95\x5C\\b.png").string());
    EXPECT_EQ(resolved("C:\\d\\q.rkf", "\x95\x5C\\..\\b.png"), "C:\\d\\b.png");
}

TEST(MediaPath, TheQuestionFilesFolderKeepsCharactersCodePage932Lacks) {
    // C:\Zoë\café\q.rkf, and 写真.png in CP932 in the tag.
    const std::filesystem::path book(u8"C:\\Zo\xC3\xAB\\caf\xC3\xA9\\q.rkf");
    EXPECT_EQ(resolveMediaFile(book, "..\\a.png"), std::filesystem::path(u8"C:\\Zo\xC3\xAB\\a.png"));
    EXPECT_EQ(resolveMediaFile(book, "\x8E\xCA\x90\x5E.png"),
              std::filesystem::path(u8"C:\\Zo\xC3\xAB\\caf\xC3\xA9\\\xE5\x86\x99\xE7\x9C\x9F.png"));
}

TEST(MediaPath, WithoutAQuestionFileTheTagPathStaysRelative) {
    EXPECT_EQ(resolved("", "pics\\.\\a.png"), "pics\\a.png");
    EXPECT_EQ(resolved("q.rkf", "a.png"), "a.png");
}

TEST(MediaPath, TooLongGivesNone) {
    std::string folder = "C:\\" + std::string(240, 'd') + "\\q.rkf";
    // 3 + 240 + 1 + 15 = 259 bytes still fit.
    EXPECT_EQ(resolved(folder, std::string(15, 'n')),
              "C:\\" + std::string(240, 'd') + "\\" + std::string(15, 'n'));
    EXPECT_FALSE(resolveMediaFile(folder, std::string(16, 'n')));
}
