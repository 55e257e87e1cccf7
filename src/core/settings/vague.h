#pragma once
// The vague-pair table: the user's ordered list of string replacements that the vague comparison
// applies to both the typed and the accepted answer, and its file RKLVAGUE.DAT.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

class Notifier;

inline constexpr std::uint32_t kVagueMagic = 0x21014B52;

// One replacement: an occurrence of first becomes second. Views into the table's block.
struct VaguePair {
    std::string_view first;
    std::string_view second;
};

// The pairs as one block of bytes (first, 0, second, 0 for each pair in turn) plus the pair count.
struct VagueTable {
    std::string block;
    int count = 0;
};

// The pairs of a table in order: at most count, and never beyond the end of the block (a pair
// whose strings are not both terminated inside the block is not a pair).
std::vector<VaguePair> vaguePairs(const VagueTable& table);

// Calls visit with the same pairs in the same order, without making a list; gives their number.
template <typename Visit> int forEachVaguePair(std::string_view block, int count, Visit visit) {
    const char* const data = block.data();
    const std::size_t size = block.size();
    std::size_t start = 0, firstEnd = 0;
    bool inSecond = false;
    int done = 0;
    for (std::size_t i = 0; i < size && done < count; ++i) {
        if (data[i] != '\0') continue;
        if (!inSecond) {
            firstEnd = i;
            inSecond = true;
            continue;
        }
        visit(VaguePair{std::string_view(data + start, firstEnd - start),
                        std::string_view(data + firstEnd + 1, i - firstEnd - 1)});
        ++done;
        start = i + 1;
        inSecond = false;
    }
    return done;
}

// Appends a pair at the end of the table.
void appendVaguePair(VagueTable& table, std::string_view first, std::string_view second);

// The 46 built-in pairs: a 330-byte block (329 bytes of strings and one more zero byte).
VagueTable defaultVagueTable();

// The table held in a file's bytes; the default table when the bytes do not start with the magic
// and the length. Pairs are counted only within the bytes actually present.
VagueTable parseVagueTable(std::string_view fileBytes);

// Reads the table file; a missing or foreign file gives the default table. When memory runs out
// the notifier (if any) is told and the table is empty.
VagueTable loadVagueTable(const std::filesystem::path& path, Notifier* notifier = nullptr);

// The file's bytes: magic, block length of the first count pairs, those pairs.
std::string formatVagueTable(const VagueTable& table);

// Rewrites the file; false when it cannot be written (the old file is then kept).
bool saveVagueTable(const std::filesystem::path& path, const VagueTable& table);

} // namespace rekal
