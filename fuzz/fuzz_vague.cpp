// Vague-pair table file on arbitrary bytes: no crash, no read past the bytes given, and what is
// read writes back to a file that reads as the same pairs. The table then drives a replacement
// over text taken from the same bytes.

#include "core/match/fold.h"
#include "core/settings/vague.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool samePairs(const std::vector<rekal::VaguePair>& a, const std::vector<rekal::VaguePair>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].first != b[i].first || a[i].second != b[i].second) return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // An exact-size copy, so that the sanitizer sees any read beyond the file's bytes.
    const std::vector<char> file(data, data + size);
    const rekal::VagueTable table = rekal::parseVagueTable(std::string_view(file.data(), file.size()));
    const std::vector<rekal::VaguePair> pairs = rekal::vaguePairs(table);
    if (static_cast<int>(pairs.size()) != table.count) std::abort();

    const std::string written = rekal::formatVagueTable(table);
    const rekal::VagueTable again = rekal::parseVagueTable(written);
    if (!samePairs(pairs, rekal::vaguePairs(again))) std::abort();

    const rekal::VagueReplacer replacer(table);
    std::string out;
    replacer.apply(std::string_view(file.data(), file.size()), out);
    return 0;
}
