#include "core/match/fold.h"

#include "core/base/sjis.h"
#include "core/match/widthtables.h"

#include <array>
#include <cstring>

namespace rekal {

namespace {

inline unsigned char byteAt(std::string_view text, std::size_t i) {
    return static_cast<unsigned char>(text[i]);
}

inline std::uint16_t codeAt(std::string_view text, std::size_t i) {
    return static_cast<std::uint16_t>((byteAt(text, i) << 8) | byteAt(text, i + 1));
}

inline void storeCode(std::string& text, std::size_t i, std::uint16_t code) {
    text[i] = static_cast<char>(code >> 8);
    text[i + 1] = static_cast<char>(code & 0xFF);
}

// Small letters of the double-byte rows that ANSI upper-casing of code page 932 turns into capitals.
std::uint16_t upperDoubleByte(std::uint16_t code) {
    if (code >= 0x8281 && code <= 0x829A) return code - 0x21;              // ａ-ｚ
    if (code >= 0x83BF && code <= 0x83D6) return code - 0x20;              // α-ω
    if (code >= 0x8470 && code <= 0x847E) return 0x8440 + (code - 0x8470); // а-н
    if (code >= 0x8480 && code <= 0x8491) return 0x844F + (code - 0x8480); // о-я
    if (code >= 0xEEEF && code <= 0xEEF8) return 0x8754 + (code - 0xEEEF); // ⅰ-ⅹ
    if (code >= 0xFA40 && code <= 0xFA49) return 0x8754 + (code - 0xFA40); // ⅰ-ⅹ
    if (code >= 0xFA4A && code <= 0xFA53) return 0x8754 + (code - 0xFA4A); // Ⅰ-Ⅹ, second row
    return code;
}

// Half-width forms of the double-byte symbols 0x8140-0x8197 (0 = none), indexed by code - 0x8140.
constexpr std::uint16_t kSymbolBase = 0x8140;
constexpr std::array<std::uint8_t, 0x58> kSymbolHalf = [] {
    std::array<std::uint8_t, 0x58> table{};
    for (const widthtables::SymbolForm& s : widthtables::kSymbolForms)
        table[s.code - kSymbolBase] = s.half;
    return table;
}();

bool isRemovedSymbolByte(unsigned char c) {
    return (c >= 0x20 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
           (c >= 0x7B && c <= 0xA5) || c == 0xB0 || c == 0xDE || c == 0xDF || c >= 0xE0;
}

bool isRemovedSymbolCode(std::uint16_t code) {
    return (code >= 0x8140 && code <= 0x824E) || (code >= 0x849F && code <= 0x889E);
}

} // namespace

VagueReplacer::VagueReplacer(const VagueTable& table) : bucketOf_(257, 0) {
    std::vector<VaguePair> pairs = vaguePairs(table);
    for (const VaguePair& p : pairs) {
        if (!p.first.empty()) ++bucketOf_[byteAt(p.first, 0) + 1];
    }
    for (std::size_t b = 1; b < bucketOf_.size(); ++b)
        bucketOf_[b] += bucketOf_[b - 1];
    std::vector<std::uint32_t> next(bucketOf_.begin(), bucketOf_.end() - 1);
    rules_.resize(bucketOf_.back());
    for (const VaguePair& p : pairs) {
        if (p.first.empty()) continue;
        Rule rule;
        rule.firstAt = static_cast<std::uint32_t>(strings_.size());
        rule.firstSize = static_cast<std::uint32_t>(p.first.size());
        strings_.append(p.first);
        rule.secondAt = static_cast<std::uint32_t>(strings_.size());
        rule.secondSize = static_cast<std::uint32_t>(p.second.size());
        strings_.append(p.second);
        rules_[next[byteAt(p.first, 0)]++] = rule;
    }
}

void VagueReplacer::apply(std::string_view text, std::string& out) const {
    if (rules_.empty()) {
        out.append(text);
        return;
    }
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = byteAt(text, i);
        bool replaced = false;
        for (std::uint32_t r = bucketOf_[b]; r < bucketOf_[b + 1]; ++r) {
            const Rule& rule = rules_[r];
            if (rule.firstSize <= n - i &&
                std::memcmp(strings_.data() + rule.firstAt, text.data() + i, rule.firstSize) == 0) {
                out.append(strings_, rule.secondAt, rule.secondSize);
                i += rule.firstSize;
                replaced = true;
                break;
            }
        }
        if (replaced) continue;
        const std::size_t length = isDoubleByteAt(text, i) ? 2 : 1;
        out.append(text.substr(i, length));
        i += length;
    }
}

void foldCase(std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        if (isDoubleByteAt(text, i)) {
            std::uint16_t code = codeAt(text, i);
            std::uint16_t upper = upperDoubleByte(code);
            if (upper != code) storeCode(text, i, upper);
            i += 2;
        } else {
            if (text[i] >= 'a' && text[i] <= 'z') text[i] = static_cast<char>(text[i] - 'a' + 'A');
            ++i;
        }
    }
}

void foldKana(std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        if (!isDoubleByteAt(text, i)) {
            ++i;
            continue;
        }
        std::uint16_t code = codeAt(text, i);
        if (code >= 0x829F && code <= 0x82DD)
            storeCode(text, i, code + 0xA1); // ぁ-み
        else if (code >= 0x82DE && code <= 0x82F1)
            storeCode(text, i, code + 0xA2); // む-ん
        i += 2;
    }
}

void foldWidth(std::string& text) {
    // Every character becomes at most as long as it was, so the text is rewritten in place.
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (!isDoubleByteAt(text, i)) {
            text[out++] = text[i++];
            continue;
        }
        const std::uint16_t code = codeAt(text, i);
        const unsigned char trail = byteAt(text, i + 1);
        char first = 0, second = 0;
        if (code >= 0x824F && code <= 0x8258) {
            first = static_cast<char>('0' + (code - 0x824F));
        } else if (code >= 0x8260 && code <= 0x8279) {
            first = static_cast<char>('A' + (code - 0x8260));
        } else if (code >= 0x8281 && code <= 0x829A) {
            first = static_cast<char>('a' + (code - 0x8281));
        } else if (code >= kSymbolBase && code < kSymbolBase + kSymbolHalf.size()) {
            first = static_cast<char>(kSymbolHalf[code - kSymbolBase]);
        } else if ((code >> 8) == 0x83 && trail >= widthtables::kKatakanaFirst &&
                   trail <= widthtables::kKatakanaLast) {
            const std::uint8_t* form = widthtables::kKatakanaForms[trail - widthtables::kKatakanaFirst];
            first = static_cast<char>(form[0]);
            second = static_cast<char>(form[1]);
        }
        if (first == 0) {
            text[out++] = text[i];
            text[out++] = text[i + 1];
        } else {
            text[out++] = first;
            if (second != 0) text[out++] = second;
        }
        i += 2;
    }
    text.resize(out);
}

void removeSymbols(std::string& text) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (isDoubleByteAt(text, i)) {
            if (!isRemovedSymbolCode(codeAt(text, i))) {
                text[out++] = text[i];
                text[out++] = text[i + 1];
            }
            i += 2;
        } else {
            if (!isRemovedSymbolByte(byteAt(text, i))) text[out++] = text[i];
            ++i;
        }
    }
    text.resize(out);
}

void foldForCompare(std::string_view text, CompareOptions options, const VagueReplacer& vague,
                    std::string& out) {
    out.clear();
    if (options & CompareVague) {
        vague.apply(text, out);
    } else {
        out.assign(text);
    }
    if (options & CompareIgnoreCase) foldCase(out);
    if (options & CompareIgnoreKana) foldKana(out);
    if (options & CompareIgnoreWidth) foldWidth(out);
    if (options & CompareIgnoreSymbols) removeSymbols(out);
}

std::string foldForCompare(std::string_view text, CompareOptions options, const VagueReplacer& vague) {
    std::string out;
    foldForCompare(text, options, vague, out);
    return out;
}

std::string foldForCompare(std::string_view text, CompareOptions options, const VagueTable& table) {
    return foldForCompare(text, options, (options & CompareVague) ? VagueReplacer(table) : VagueReplacer());
}

} // namespace rekal
