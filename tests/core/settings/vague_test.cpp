#include "core/base/fileio.h"
#include "core/settings/vague.h"

#include "support/tempfiles.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

using test::readBytes;
using test::TestFolder;

std::string le32(std::uint32_t v) {
    std::string s;
    for (int i = 0; i < 4; ++i)
        s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    return s;
}

std::string fileOf(std::uint32_t n, std::string_view block) {
    return le32(kVagueMagic) + le32(n) + std::string(block);
}

TEST(VagueDefault, FortySixPairsInA330ByteBlock) {
    VagueTable table = defaultVagueTable();
    EXPECT_EQ(46, table.count);
    EXPECT_EQ(330u, table.block.size());
    std::vector<VaguePair> pairs = vaguePairs(table);
    ASSERT_EQ(46u, pairs.size());
    EXPECT_EQ("うぁ", pairs[0].first);
    EXPECT_EQ("わ", pairs[0].second);
    EXPECT_EQ("う\x81\x4Aぁ", pairs[8].first); // う followed by the full-width voiced mark ゛
    EXPECT_EQ("ヴィ", pairs[11].first);
    EXPECT_EQ("ヴ", pairs[13].first);
    EXPECT_EQ("ブ", pairs[13].second);
    EXPECT_EQ("ヴェ", pairs[15].first);
    EXPECT_EQ("ｳﾞｧ", pairs[36].first);
    EXPECT_EQ("ﾂﾞ", pairs[45].first);
    EXPECT_EQ("ｽﾞ", pairs[45].second);
}

TEST(VagueFile, MissingFileGivesDefaultsAndIsWrittenWith329Bytes) {
    TestFolder dir;
    const std::string path = dir.file("RKLVAGUE.DAT");
    VagueTable table = loadVagueTable(path);
    EXPECT_EQ(46, table.count);
    ASSERT_TRUE(saveVagueTable(path, table));
    const std::string bytes = readBytes(path);
    ASSERT_EQ(8u + 329u, bytes.size());
    EXPECT_EQ(le32(kVagueMagic) + le32(329), bytes.substr(0, 8));

    VagueTable again = loadVagueTable(path);
    EXPECT_EQ(46, again.count);
    EXPECT_EQ(defaultVagueTable().block.substr(0, 329), again.block);
}

TEST(VagueFile, ForeignFileGivesDefaultsAndIsReplacedAtSave) {
    TestFolder dir;
    const auto path = dir.write("RKLVAGUE.DAT", "not a vague table at all");
    VagueTable table = loadVagueTable(path);
    EXPECT_EQ(46, table.count);
    table.count = 1; // the table in memory is what gets written
    ASSERT_TRUE(saveVagueTable(path, table));
    EXPECT_EQ(fileOf(8, std::string("うぁ\0わ\0", 8)), readBytes(path));
}

TEST(VagueFile, EmptyTableRoundTrips) {
    TestFolder dir;
    const std::string path = dir.file("v.dat");
    ASSERT_TRUE(saveVagueTable(path, VagueTable{}));
    EXPECT_EQ(fileOf(0, ""), readBytes(path));
    VagueTable table = loadVagueTable(path);
    EXPECT_EQ(0, table.count);
    EXPECT_TRUE(vaguePairs(table).empty());
}

TEST(VagueFile, FailedWriteKeepsTheOldFile) {
    TestFolder dir;
    const auto path = dir.write("v.dat", fileOf(4, std::string("a\0b\0", 4)));
    const std::string before = readBytes(path);
    failNextReplaceForTesting(1);
    EXPECT_FALSE(saveVagueTable(path, defaultVagueTable()));
    failNextReplaceForTesting(0);
    EXPECT_EQ(before, readBytes(path));
}

TEST(VagueParse, ShortBlockCountsOnlyThePairsReallyPresent) {
    // N says 100 bytes but only two pairs and half of a third follow.
    VagueTable table = parseVagueTable(fileOf(100, std::string("ab\0c\0d\0e\0fg", 11)));
    EXPECT_EQ(2, table.count);
    std::vector<VaguePair> pairs = vaguePairs(table);
    ASSERT_EQ(2u, pairs.size());
    EXPECT_EQ("d", pairs[1].first);
    EXPECT_EQ("e", pairs[1].second);
}

TEST(VagueParse, PairWithoutItsSecondZeroIsDropped) {
    EXPECT_EQ(1, parseVagueTable(fileOf(7, std::string("a\0b\0c\0d", 7))).count);
    EXPECT_EQ(0, parseVagueTable(fileOf(3, std::string("abc", 3))).count);
}

TEST(VagueParse, LengthShorterThanTheDataCutsTheBlock) {
    VagueTable table = parseVagueTable(fileOf(4, std::string("a\0b\0c\0d\0", 8)));
    EXPECT_EQ(1, table.count);
    EXPECT_EQ(4u, table.block.size());
}

TEST(VagueParse, MagicWithoutLengthGivesDefaults) {
    EXPECT_EQ(46, parseVagueTable(le32(kVagueMagic) + "\x01").count);
    EXPECT_EQ(46, parseVagueTable("").count);
}

TEST(VagueParse, EmptyStringsArePairsToo) {
    VagueTable table = parseVagueTable(fileOf(6, std::string("\0\0a\0\0\0", 6)));
    EXPECT_EQ(2, table.count);
}

TEST(VagueTableEdit, CountBelowTheBlockWritesOnlyThoseAndAppendGoesAfterThem) {
    VagueTable table = defaultVagueTable();
    table.count = 2;
    EXPECT_EQ(fileOf(16, table.block.substr(0, 16)), formatVagueTable(table));
    appendVaguePair(table, "x", "");
    EXPECT_EQ(3, table.count);
    std::vector<VaguePair> pairs = vaguePairs(table);
    ASSERT_EQ(3u, pairs.size());
    EXPECT_EQ("x", pairs[2].first);
    EXPECT_EQ("", pairs[2].second);
}

TEST(VagueTableEdit, CountAboveTheBlockStopsAtItsEnd) {
    VagueTable table;
    table.block = std::string("a\0b\0", 4);
    table.count = 5;
    EXPECT_EQ(1u, vaguePairs(table).size());
    EXPECT_EQ(fileOf(4, table.block), formatVagueTable(table));
}

} // namespace
} // namespace rekal
