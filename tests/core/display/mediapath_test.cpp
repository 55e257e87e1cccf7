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
    EXPECT_EQ(resolved("D:\\drill\\q.rkf", "/pics/a.bmp"), "D:\\pics\\a.bmp");
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
    // The share is the root of a book on a share.
    EXPECT_EQ(resolved("\\\\server\\share\\q.rkf", "..\\..\\a.bmp"), "\\\\server\\share\\a.bmp");
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

// Every form a tag path may take, for a local book and a book on a share: where it leads, or why
// it is not opened.
TEST(MediaPath, FormsOfTagPathsAndWhatTheyReach) {
    struct Case {
        const char* book;
        const char* tag;
        const char* path; // resolved path, "" when refused
        MediaPathStatus status;
    };
    using S = MediaPathStatus;
    const Case cases[] = {
        // A local book reaches local files, with '..' anywhere on its drive.
        {"D:\\drill\\sub\\q.rkf", "..\\..\\pics\\a.png", "D:\\pics\\a.png", S::Ok},
        {"D:\\drill\\q.rkf", "C:\\pics\\..\\a.png", "C:\\a.png", S::Ok},
        {"D:\\drill\\q.rkf", "\\\\evil\\s\\x.png", "", S::OtherPlace},
        {"D:\\drill\\q.rkf", "//evil/s/x.png", "", S::OtherPlace},
        {"D:\\drill\\q.rkf", "\\\\?\\C:\\x.png", "", S::OtherPlace},
        {"D:\\drill\\q.rkf", "\\\\.\\PhysicalDrive0", "", S::OtherPlace},
        {"D:\\drill\\q.rkf", "\\\\?\\UNC\\evil\\s\\x.png", "", S::OtherPlace},
        // A book on a share: its share is the root, and nothing outside it is reached.
        {"\\\\srv\\sh\\b.rkf", "..\\..\\..\\evil\\s\\x.png", "\\\\srv\\sh\\evil\\s\\x.png", S::Ok},
        {"\\\\srv\\sh\\d\\b.rkf", "\\pics\\a.png", "\\\\srv\\sh\\pics\\a.png", S::Ok},
        {"\\\\srv\\sh\\b.rkf", "\\\\SRV\\Sh\\a.png", "\\\\SRV\\Sh\\a.png", S::Ok},
        {"\\\\srv\\sh\\b.rkf", "\\\\srv\\other\\a.png", "", S::OtherPlace},
        {"\\\\srv\\sh\\b.rkf", "\\\\srv\\sh\\..\\other\\a.png", "\\\\srv\\sh\\other\\a.png", S::Ok},
        {"\\\\srv\\sh\\b.rkf", "C:\\Windows\\a.bmp", "", S::OtherPlace},
        // A book opened by a device path keeps that root.
        {"\\\\?\\D:\\drill\\q.rkf", "..\\..\\a.png", "\\\\?\\D:\\a.png", S::Ok},
        // Device names, with or without an extension or trailing spaces, in any part.
        {"D:\\drill\\q.rkf", "CON", "", S::DeviceName},
        {"D:\\drill\\q.rkf", "nul.png", "", S::DeviceName},
        {"D:\\drill\\q.rkf", "com1 .wav", "", S::DeviceName},
        {"D:\\drill\\q.rkf", "lpt9\\a.png", "", S::DeviceName},
        {"D:\\drill\\q.rkf", "Conout$", "", S::DeviceName},
        {"D:\\drill\\q.rkf", "com10.png", "D:\\drill\\com10.png", S::Ok},
        {"D:\\drill\\q.rkf", "console.png", "D:\\drill\\console.png", S::Ok},
        // Streams of a file.
        {"D:\\drill\\q.rkf", "a.png:hidden", "", S::DataStream},
        {"D:\\drill\\q.rkf", "C:\\x\\a.wav::$DATA", "", S::DataStream},
        // Playlists name addresses; no player gets them.
        {"D:\\drill\\q.rkf", "list.ASX", "", S::Playlist},
        {"D:\\drill\\q.rkf", "radio.m3u8", "", S::Playlist},
        {"D:\\drill\\q.rkf", "pls\\a.wav", "D:\\drill\\pls\\a.wav", S::Ok},
    };
    for (const Case& c : cases) {
        const MediaFile file = checkMediaFile(c.book, c.tag);
        EXPECT_EQ(file.status, c.status) << c.book << " " << c.tag;
        EXPECT_EQ(resolved(c.book, c.tag), *c.path ? c.path : "<none>") << c.book << " " << c.tag;
    }
}
