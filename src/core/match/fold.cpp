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

VagueReplacer::VagueReplacer(const VagueTable& table) : strings_(table.block) {
    // Rules point into the replacer's own copy of the block.
    const std::string_view block = strings_;
    const int count = forEachVaguePair(block, table.count, [&](const VaguePair& p) {
        if (!p.first.empty()) ++bucketOf_[byteAt(p.first, 0) + 1];
    });
    for (std::size_t b = 1; b < bucketOf_.size(); ++b)
        bucketOf_[b] += bucketOf_[b - 1];
    std::uint16_t distinct = 0;
    for (std::size_t b = 0; b < 256; ++b) {
        if (bucketOf_[b] != bucketOf_[b + 1]) secondsOf_[b] = distinct++;
    }
    seconds_.resize(distinct);
    std::array<std::uint32_t, 256> next;
    for (std::size_t b = 0; b < next.size(); ++b)
        next[b] = bucketOf_[b];
    rules_.resize(bucketOf_.back());
    forEachVaguePair(block, count, [&](const VaguePair& p) {
        if (p.first.empty()) return;
        const unsigned char first = byteAt(p.first, 0);
        ByteSet& seconds = seconds_[secondsOf_[first]];
        if (p.first.size() == 1) {
            seconds.fill(~std::uint64_t{0});
        } else {
            const unsigned char second = byteAt(p.first, 1);
            seconds[second >> 6] |= std::uint64_t{1} << (second & 63);
        }
        rules_[next[first]++] = Rule{static_cast<std::uint32_t>(p.first.data() - block.data()),
                                     static_cast<std::uint32_t>(p.first.size()),
                                     static_cast<std::uint32_t>(p.second.data() - block.data()),
                                     static_cast<std::uint32_t>(p.second.size())};
    });
}

bool VagueReplacer::mayStartAt(unsigned char first, std::string_view text, std::size_t i) const {
    if (bucketOf_[first] == bucketOf_[first + 1u]) return false;
    if (i + 1 >= text.size()) return true;
    const unsigned char second = byteAt(text, i + 1);
    return (seconds_[secondsOf_[first]][second >> 6] >> (second & 63)) & 1;
}

void VagueReplacer::apply(std::string_view text, std::string& out) const {
    if (rules_.empty()) {
        out.append(text);
        return;
    }
    const std::size_t n = text.size();
    std::size_t copied = 0; // text before this has been written to out
    for (std::size_t i = 0; i < n;) {
        const unsigned char b = byteAt(text, i);
        if (mayStartAt(b, text, i)) {
            const Rule* found = nullptr;
            for (std::uint32_t r = bucketOf_[b]; r < bucketOf_[b + 1u] && !found; ++r) {
                const Rule& rule = rules_[r];
                if (rule.firstSize <= n - i &&
                    std::memcmp(strings_.data() + rule.firstAt, text.data() + i, rule.firstSize) == 0)
                    found = &rule;
            }
            if (found) {
                out.append(text.data() + copied, i - copied);
                out.append(strings_, found->secondAt, found->secondSize);
                i += found->firstSize;
                copied = i;
                continue;
            }
        }
        i += isDoubleByteAt(text, i) ? 2 : 1;
    }
    out.append(text.data() + copied, n - copied);
}

namespace {

// Half-width form of a double-byte character (one or two bytes), or false when it keeps its width.
bool halfWidthOf(std::uint16_t code, char& first, char& second) {
    second = 0;
    if (code >= 0x824F && code <= 0x8258) {
        first = static_cast<char>('0' + (code - 0x824F));
    } else if (code >= 0x8260 && code <= 0x8279) {
        first = static_cast<char>('A' + (code - 0x8260));
    } else if (code >= 0x8281 && code <= 0x829A) {
        first = static_cast<char>('a' + (code - 0x8281));
    } else if (code >= kSymbolBase && code < kSymbolBase + kSymbolHalf.size()) {
        first = static_cast<char>(kSymbolHalf[code - kSymbolBase]);
    } else if ((code >> 8) == 0x83 && (code & 0xFF) >= widthtables::kKatakanaFirst &&
               (code & 0xFF) <= widthtables::kKatakanaLast) {
        const std::uint8_t* form = widthtables::kKatakanaForms[(code & 0xFF) - widthtables::kKatakanaFirst];
        first = static_cast<char>(form[0]);
        second = static_cast<char>(form[1]);
    } else {
        first = 0;
    }
    return first != 0;
}

// Whether a half-width sound mark belongs to the half-width kana before it: ﾞ after ｳ, ｶ-ﾄ and ﾊ-ﾎ,
// ﾟ after ﾊ-ﾎ. Such a mark is part of its kana, not a symbol.
bool takesSoundMark(unsigned char kana, unsigned char mark) {
    const bool haHo = kana >= 0xCA && kana <= 0xCE;
    if (mark == 0xDE) return haHo || (kana >= 0xB6 && kana <= 0xC4) || kana == 0xB3;
    return mark == 0xDF && haHo;
}

// The case, kana, width and symbol steps in one pass: each character goes through the selected
// steps in that order. This equals running the steps one after the other over the whole text,
// because none of them changes where characters begin: a lead byte stays a lead byte, the width
// step only produces bytes that never start a double-byte character, and a byte that ends up after
// a lone lead byte is one that was never a trail byte. Every character becomes at most as long as
// it was, so the text is rewritten in place.
//
// The symbol step keeps a sound mark that is part of a voiced or semi-voiced kana: the ﾞ or ﾟ that
// the width step splits off a katakana, and a half-width ﾞ or ﾟ written after a kana that takes it.
// Only a mark standing alone (゛, ゜, or ﾞ ﾟ after anything else) is a symbol; otherwise ボ and ホ
// would both end as ﾎ. Marks are judged on the text as it reaches the width step, so the symbol
// step gives what it would give before that step; the question search, which drops symbols
// before it folds widths, treats marks alike.
void foldCharacters(std::string& text, CompareOptions options) {
    const bool upper = options & CompareIgnoreCase, kana = options & CompareIgnoreKana,
               width = options & CompareIgnoreWidth, symbols = options & CompareIgnoreSymbols;
    std::size_t out = 0;
    unsigned char previous = 0; // the single byte read before this character, 0 after a double-byte one
    for (std::size_t i = 0; i < text.size();) {
        if (!isDoubleByteAt(text, i)) {
            char c = text[i++];
            if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            const unsigned char b = static_cast<unsigned char>(c);
            if (!symbols || !isRemovedSymbolByte(b) || takesSoundMark(previous, b)) text[out++] = c;
            previous = b;
            continue;
        }
        previous = 0;
        std::uint16_t code = codeAt(text, i);
        i += 2;
        if (upper) code = upperDoubleByte(code);
        if (kana) {
            if (code >= 0x829F && code <= 0x82DD)
                code += 0xA1; // ぁ-み
            else if (code >= 0x82DE && code <= 0x82F1)
                code += 0xA2; // む-ん
        }
        if (symbols && isRemovedSymbolCode(code)) continue; // every full-width symbol, ゛ and ゜ too
        char first, second;
        if (width && halfWidthOf(code, first, second)) {
            // Digits, letters and kana, none of them a symbol; a mark split off is part of its kana.
            text[out++] = first;
            if (second != 0) text[out++] = second;
        } else {
            storeCode(text, out, code);
            out += 2;
        }
    }
    text.resize(out);
}

} // namespace

void foldCase(std::string& text) {
    foldCharacters(text, CompareIgnoreCase);
}
void foldKana(std::string& text) {
    foldCharacters(text, CompareIgnoreKana);
}
void foldWidth(std::string& text) {
    foldCharacters(text, CompareIgnoreWidth);
}
void removeSymbols(std::string& text) {
    foldCharacters(text, CompareIgnoreSymbols);
}

void foldForCompare(std::string_view text, CompareOptions options, const VagueReplacer& vague,
                    std::string& out) {
    out.clear();
    if (options & CompareVague) {
        vague.apply(text, out);
    } else {
        out.assign(text);
    }
    if (options & (CompareIgnoreCase | CompareIgnoreKana | CompareIgnoreWidth | CompareIgnoreSymbols))
        foldCharacters(out, options);
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
