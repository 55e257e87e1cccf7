#include "core/settings/vague.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/base/notifier.h"

#include <algorithm>
#include <new>

namespace rekal {

namespace {

// The built-in pairs as code page 932 bytes, each string followed by its zero byte.
// clang-format off
constexpr unsigned char kDefaultPairs[] = {
    // 1 うぁ -> わ
    0x82, 0xA4, 0x82, 0x9F, 0x00, 0x82, 0xED, 0x00,
    // 2 ウァ -> ワ
    0x83, 0x45, 0x83, 0x40, 0x00, 0x83, 0x8F, 0x00,
    // 3 うぃ -> い
    0x82, 0xA4, 0x82, 0xA1, 0x00, 0x82, 0xA2, 0x00,
    // 4 ウィ -> イ
    0x83, 0x45, 0x83, 0x42, 0x00, 0x83, 0x43, 0x00,
    // 5 うぇ -> え
    0x82, 0xA4, 0x82, 0xA5, 0x00, 0x82, 0xA6, 0x00,
    // 6 ウェ -> エ
    0x83, 0x45, 0x83, 0x46, 0x00, 0x83, 0x47, 0x00,
    // 7 うぉ -> お
    0x82, 0xA4, 0x82, 0xA7, 0x00, 0x82, 0xA8, 0x00,
    // 8 ウォ -> オ
    0x83, 0x45, 0x83, 0x48, 0x00, 0x83, 0x49, 0x00,
    // 9 う゛ぁ -> ば
    0x82, 0xA4, 0x81, 0x4A, 0x82, 0x9F, 0x00, 0x82, 0xCE, 0x00,
    // 10 ヴァ -> バ
    0x83, 0x94, 0x83, 0x40, 0x00, 0x83, 0x6F, 0x00,
    // 11 う゛ぃ -> び
    0x82, 0xA4, 0x81, 0x4A, 0x82, 0xA1, 0x00, 0x82, 0xD1, 0x00,
    // 12 ヴィ -> ビ
    0x83, 0x94, 0x83, 0x42, 0x00, 0x83, 0x72, 0x00,
    // 13 う゛ -> ぶ
    0x82, 0xA4, 0x81, 0x4A, 0x00, 0x82, 0xD4, 0x00,
    // 14 ヴ -> ブ
    0x83, 0x94, 0x00, 0x83, 0x75, 0x00,
    // 15 う゛ぇ -> べ
    0x82, 0xA4, 0x81, 0x4A, 0x82, 0xA5, 0x00, 0x82, 0xD7, 0x00,
    // 16 ヴェ -> ベ
    0x83, 0x94, 0x83, 0x46, 0x00, 0x83, 0x78, 0x00,
    // 17 う゛ぉ -> ぼ
    0x82, 0xA4, 0x81, 0x4A, 0x82, 0xA7, 0x00, 0x82, 0xDA, 0x00,
    // 18 ヴォ -> ボ
    0x83, 0x94, 0x83, 0x48, 0x00, 0x83, 0x7B, 0x00,
    // 19 つぃ -> ち
    0x82, 0xC2, 0x82, 0xA1, 0x00, 0x82, 0xBF, 0x00,
    // 20 ツィ -> チ
    0x83, 0x63, 0x83, 0x42, 0x00, 0x83, 0x60, 0x00,
    // 21 てぃ -> ち
    0x82, 0xC4, 0x82, 0xA1, 0x00, 0x82, 0xBF, 0x00,
    // 22 ティ -> チ
    0x83, 0x65, 0x83, 0x42, 0x00, 0x83, 0x60, 0x00,
    // 23 でぃ -> じ
    0x82, 0xC5, 0x82, 0xA1, 0x00, 0x82, 0xB6, 0x00,
    // 24 ディ -> ジ
    0x83, 0x66, 0x83, 0x42, 0x00, 0x83, 0x57, 0x00,
    // 25 ぢ -> じ
    0x82, 0xC0, 0x00, 0x82, 0xB6, 0x00,
    // 26 ヂ -> ジ
    0x83, 0x61, 0x00, 0x83, 0x57, 0x00,
    // 27 づ -> ず
    0x82, 0xC3, 0x00, 0x82, 0xB8, 0x00,
    // 28 ヅ -> ズ
    0x83, 0x64, 0x00, 0x83, 0x59, 0x00,
    // 29 ゐ -> い
    0x82, 0xEE, 0x00, 0x82, 0xA2, 0x00,
    // 30 ヰ -> イ
    0x83, 0x90, 0x00, 0x83, 0x43, 0x00,
    // 31 ゑ -> え
    0x82, 0xEF, 0x00, 0x82, 0xA6, 0x00,
    // 32 ヱ -> エ
    0x83, 0x91, 0x00, 0x83, 0x47, 0x00,
    // 33 ｳｧ -> ﾜ
    0xB3, 0xA7, 0x00, 0xDC, 0x00,
    // 34 ｳｨ -> ｲ
    0xB3, 0xA8, 0x00, 0xB2, 0x00,
    // 35 ｳｪ -> ｴ
    0xB3, 0xAA, 0x00, 0xB4, 0x00,
    // 36 ｳｫ -> ｵ
    0xB3, 0xAB, 0x00, 0xB5, 0x00,
    // 37 ｳﾞｧ -> ﾊﾞ
    0xB3, 0xDE, 0xA7, 0x00, 0xCA, 0xDE, 0x00,
    // 38 ｳﾞｨ -> ﾋﾞ
    0xB3, 0xDE, 0xA8, 0x00, 0xCB, 0xDE, 0x00,
    // 39 ｳﾞ -> ﾌﾞ
    0xB3, 0xDE, 0x00, 0xCC, 0xDE, 0x00,
    // 40 ｳﾞｪ -> ﾍﾞ
    0xB3, 0xDE, 0xAA, 0x00, 0xCD, 0xDE, 0x00,
    // 41 ｳﾞｫ -> ﾎﾞ
    0xB3, 0xDE, 0xAB, 0x00, 0xCE, 0xDE, 0x00,
    // 42 ﾂｨ -> ﾁ
    0xC2, 0xA8, 0x00, 0xC1, 0x00,
    // 43 ﾃｨ -> ﾁ
    0xC3, 0xA8, 0x00, 0xC1, 0x00,
    // 44 ﾃﾞｨ -> ｼﾞ
    0xC3, 0xDE, 0xA8, 0x00, 0xBC, 0xDE, 0x00,
    // 45 ﾁﾞ -> ｼﾞ
    0xC1, 0xDE, 0x00, 0xBC, 0xDE, 0x00,
    // 46 ﾂﾞ -> ｽﾞ
    0xC2, 0xDE, 0x00, 0xBD, 0xDE, 0x00,

};
// clang-format on
static_assert(sizeof kDefaultPairs == 329);
constexpr int kDefaultPairCount = 46;

constexpr std::size_t kHeaderSize = 8;

std::uint32_t readLittleEndian32(std::string_view bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i)
        value |= std::uint32_t(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

void appendLittleEndian32(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

} // namespace

std::vector<VaguePair> vaguePairs(const VagueTable& table) {
    std::vector<VaguePair> pairs;
    pairs.reserve(
        std::min<std::size_t>(static_cast<std::size_t>(std::max(table.count, 0)), table.block.size() / 2));
    forEachVaguePair(table.block, table.count, [&](const VaguePair& p) { pairs.push_back(p); });
    return pairs;
}

void appendVaguePair(VagueTable& table, std::string_view first, std::string_view second) {
    // Bytes after the last complete pair would otherwise be glued to the new pair.
    std::size_t used = 0;
    table.count = forEachVaguePair(table.block, table.count, [&](const VaguePair& p) {
        used = static_cast<std::size_t>(p.second.data() - table.block.data()) + p.second.size() + 1;
    });
    table.block.resize(used);
    table.block.append(first);
    table.block.push_back('\0');
    table.block.append(second);
    table.block.push_back('\0');
    ++table.count;
}

VagueTable defaultVagueTable() {
    VagueTable table;
    table.block.assign(reinterpret_cast<const char*>(kDefaultPairs), sizeof kDefaultPairs);
    table.block.push_back('\0');
    table.count = kDefaultPairCount;
    return table;
}

VagueTable parseVagueTable(std::string_view fileBytes) {
    if (fileBytes.size() < kHeaderSize || readLittleEndian32(fileBytes, 0) != kVagueMagic)
        return defaultVagueTable();
    std::uint32_t length = readLittleEndian32(fileBytes, 4);
    // A file shorter than its length field gives only the bytes it holds.
    std::string_view data = fileBytes.substr(kHeaderSize);
    if (data.size() > length) data = data.substr(0, length);
    VagueTable table;
    table.block.assign(data);
    table.count = forEachVaguePair(table.block, static_cast<int>(data.size()), [](const VaguePair&) {});
    return table;
}

VagueTable loadVagueTable(const std::filesystem::path& path, Notifier* notifier) {
    try {
        FileBytes file = readFileBytes(path);
        if (file.status != ReadStatus::Ok) return defaultVagueTable();
        return parseVagueTable(file.bytes);
    } catch (const std::bad_alloc&) {
        if (notifier) notifier->error(msg::kOutOfMemory);
        return VagueTable{};
    }
}

std::string formatVagueTable(const VagueTable& table) {
    std::size_t length = 0;
    forEachVaguePair(table.block, table.count,
                     [&](const VaguePair& p) { length += p.first.size() + p.second.size() + 2; });
    std::string out;
    out.reserve(kHeaderSize + length);
    appendLittleEndian32(out, kVagueMagic);
    appendLittleEndian32(out, static_cast<std::uint32_t>(length));
    out.append(table.block, 0, length);
    return out;
}

bool saveVagueTable(const std::filesystem::path& path, const VagueTable& table) {
    return replaceFileContents(path, formatVagueTable(table));
}

} // namespace rekal
