// The names the export dialog proposes and completes.

#include "core/shell/filename.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

std::filesystem::path u8(const char8_t* text) {
    return std::filesystem::path(text);
}

TEST(ExportFileName, TheBooksPathWithCsv) {
    EXPECT_EQ(proposedExportFile(u8(u8"単語.rkf")), u8(u8"単語.csv"));
    EXPECT_EQ(proposedExportFile(u8(u8"dir/a.b/単語.txt")), u8(u8"dir/a.b/単語.csv"));
    EXPECT_EQ(proposedExportFile("notes"), "notes.csv");
    EXPECT_EQ(proposedExportFile("list.backup.rkf"), "list.backup.csv");
}

TEST(ExportFileName, TheChosenFiltersExtensionOnlyForABareName) {
    EXPECT_EQ(withExtensionWhenNone(u8(u8"表"), "csv"), u8(u8"表.csv"));
    EXPECT_EQ(withExtensionWhenNone("table.", "txt"), "table.txt");
    EXPECT_EQ(withExtensionWhenNone("table.dat", "csv"), "table.dat");
    EXPECT_EQ(withExtensionWhenNone("table", ""), "table"); // all files: as typed
    EXPECT_EQ(withExtensionWhenNone("a.b/table", "csv"), "a.b/table.csv");
}

TEST(ExportFileName, TheExtensionOfAFilterPattern) {
    EXPECT_EQ("TXT", patternExtension("*.TXT"));
    EXPECT_EQ("rkf", patternExtension("*.rkf;*.txt"));
    EXPECT_EQ("", patternExtension("*.*"));
    EXPECT_EQ("", patternExtension("*.t*"));
    EXPECT_EQ("", patternExtension("*"));
    EXPECT_EQ(withExtensionWhenNone("log", patternExtension("*.TXT")), "log.TXT");
}

} // namespace
} // namespace rekal
