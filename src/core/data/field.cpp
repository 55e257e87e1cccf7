#include "core/data/field.h"

#include "core/base/sjis.h"
#include "core/data/reader.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

namespace rekal {

namespace {

// Upper bound of the bytes an answer expansion may produce over all its steps; a line beyond it is
// rejected instead of growing without end (every group can double the alternatives).
constexpr std::size_t kExpansionBudget = std::size_t{8} << 20;

bool isOpenMark(char c) { return c == kGroupOpen || c == kOptionalOpen; }
bool isCloseMark(char c) { return c == kGroupClose || c == kOptionalClose; }

// The closing mark of the group opened at i (marks are known to be balanced).
std::size_t closingMark(std::string_view t, std::size_t i) {
    int depth = 0;
    for (std::size_t j = i; j < t.size(); ++j) {
        if (isOpenMark(t[j])) ++depth;
        else if (isCloseMark(t[j]) && --depth == 0) return j;
    }
    return t.size();
}

// The next separator at the top level from i up to end (groups skipped whole), or end.
std::size_t topLevelSeparator(std::string_view t, std::size_t i, std::size_t end) {
    int depth = 0;
    for (std::size_t j = i; j < end; ++j) {
        if (isOpenMark(t[j])) ++depth;
        else if (isCloseMark(t[j])) --depth;
        else if (t[j] == kListSeparator && depth == 0) return j;
    }
    return end;
}

bool marksBalanced(std::string_view raw) {
    std::vector<char> open;
    for (char c : raw) {
        if (isOpenMark(c)) {
            open.push_back(c);
        } else if (isCloseMark(c)) {
            if (open.empty() || open.back() + 1 != c) return false;
            open.pop_back();
        }
    }
    return open.empty();
}

template <class Fn> void forEachItem(std::string_view list, Fn fn) {
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = list.find(kListSeparator, start);
        fn(list.substr(start, sep == std::string_view::npos ? std::string_view::npos : sep - start));
        if (sep == std::string_view::npos) return;
        start = sep + 1;
    }
}

bool hasDuplicateItems(std::string_view list) {
    if (list.find(kListSeparator) == std::string_view::npos) return false;
    std::vector<std::string_view> items;
    forEachItem(list, [&](std::string_view item) { items.push_back(item); });
    if (items.size() <= 16) {
        for (std::size_t i = 0; i < items.size(); ++i)
            for (std::size_t j = 0; j < i; ++j)
                if (items[i] == items[j]) return true;
        return false;
    }
    std::unordered_set<std::string_view> seen(items.begin(), items.end());
    return seen.size() != items.size();
}

struct CharSetName {
    std::string_view name;
    int set;
};
constexpr CharSetName kCharSetNames[] = {
    {"ANSI", 0},       {"DEFAULT", 1},  {"SYMBOL", 2},    {"MAC", 77},      {"SHIFTJIS", 128},
    {"HANGEUL", 129},  {"JOHAB", 130},  {"GB2312", 134},  {"CHINESE", 136}, {"GREEK", 161},
    {"TURKISH", 162},  {"HEBREW", 177}, {"ARABIC", 178},  {"BALTIC", 186},  {"RUSSIAN", 204},
    {"THAI", 222},     {"EASTEUROPE", 238}, {"OEM", 255},
};

char asciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

} // namespace

FieldScan scanField(std::string_view s, std::size_t i, const FieldRules& r, char* out, std::size_t& outLength) {
    const std::size_t n = s.size();
    std::size_t o = 0;
    auto put = [&](char c) {
        if (out) out[o] = c;
        ++o;
    };
    const bool marks = (r.options & FieldMarks) && r.version >= 13;
    const bool hintSeparators = (r.options & FieldHints) && r.version >= 15;
    const bool choiceSeparators = (r.options & FieldChoices) != 0;
    const bool pictures = (r.options & FieldMedia) && r.version >= 14;
    const bool movies = (r.options & FieldMedia) && r.version >= 16;
    const bool dropLineBreaks = (r.options & FieldNoLineBreaks) != 0;
    FieldScan result{FieldStop::LineEnd, n};
    while (i < n) {
        const char c = s[i];
        if (r.doubleByte && isDoubleByteAt(s, i)) {
            put(c);
            put(s[i + 1]);
            i += 2;
            continue;
        }
        if ((c == ',' && r.stopComma) || (c == '\'' && r.stopApostrophe)) {
            result = {c == ',' ? FieldStop::Comma : FieldStop::Apostrophe, i};
            break;
        }
        if (c != '\\') {
            if (marks && (c == '[' || c == ']' || c == '(' || c == ')' || c == '|')) {
                put(c == '[' ? kGroupOpen : c == ']' ? kGroupClose : c == '(' ? kOptionalOpen
                                                         : c == ')' ? kOptionalClose
                                                                    : kListSeparator);
            } else {
                put(c);
            }
            ++i;
            continue;
        }
        // A backslash escapes the next character; one at the very end escapes nothing.
        if (i + 1 >= n) {
            ++i;
            continue;
        }
        if (r.doubleByte && isDoubleByteAt(s, i + 1)) {
            put(s[i + 1]);
            put(s[i + 2]);
            i += 3;
            continue;
        }
        const char d = s[i + 1];
        if (r.stopEscape != 0 && d == r.stopEscape) {
            result = {FieldStop::Escape, i};
            break;
        }
        if ((d == 'i' && pictures) || (d == 'm' && movies)) {
            // The name is copied byte for byte up to its closing double quote.
            std::size_t close = i + 2 < n && s[i + 2] == '"' ? s.find('"', i + 3) : std::string_view::npos;
            if (close == std::string_view::npos) {
                result = {FieldStop::BrokenTag, i};
                break;
            }
            put(kMediaTag);
            for (std::size_t j = i + 1; j <= close; ++j) put(s[j]);
            i = close + 1;
            continue;
        }
        if (d == 'n') {
            if (!dropLineBreaks) put(kLineBreak);
        } else if ((d == 'h' && hintSeparators) || (d == 'c' && choiceSeparators)) {
            put(kListSeparator);
        } else {
            put(d);
        }
        i += 2;
    }
    outLength = o;
    return result;
}

std::optional<std::string> decodeField(std::string_view text, int version, int charSet, unsigned options) {
    FieldRules rules;
    rules.doubleByte = charSet == kCharSetDefault || charSet == kCharSetShiftJis;
    rules.version = version;
    rules.options = options;
    std::string out(text.size(), '\0');
    std::size_t length = 0;
    if (scanField(text, 0, rules, out.data(), length).stop == FieldStop::BrokenTag) return std::nullopt;
    out.resize(length);
    return out;
}

bool answerNeedsExpansion(std::string_view raw) {
    for (char c : raw) {
        if (isOpenMark(c) || isCloseMark(c)) return true;
    }
    return hasDuplicateItems(raw);
}

// The expansion takes the first opening mark of the whole text again and again and rebuilds the
// text around it. Everything before that mark's alternative has no marks left, so the rebuilding is
// done here on a list of alternatives: finished ones, and pending ones with the next on top. The
// joining rule of the rebuilt text (a separator only after a non-empty text) means: an empty text
// before the alternative vanishes, so do leading empty pieces while nothing precedes them, and an
// empty text after the alternative is dropped.
std::optional<std::string> expandAnswers(std::string_view raw) {
    if (!marksBalanced(raw)) return std::nullopt;
    std::vector<std::string> done;
    std::vector<std::string> pending;
    for (std::size_t start = 0;;) {
        std::size_t sep = topLevelSeparator(raw, start, raw.size());
        pending.emplace_back(raw.substr(start, sep - start));
        if (sep == raw.size()) break;
        start = sep + 1;
    }
    std::reverse(pending.begin(), pending.end());
    std::size_t spent = 0;
    std::vector<std::string> pieces;
    while (!pending.empty()) {
        std::string alt = std::move(pending.back());
        pending.pop_back();
        const std::size_t open = std::find_if(alt.begin(), alt.end(), isOpenMark) - alt.begin();
        if (open == alt.size()) {
            done.push_back(std::move(alt));
            continue;
        }
        if (done.size() == 1 && done.front().empty()) done.clear();
        if (pending.size() == 1 && pending.front().empty()) pending.clear();
        const std::string_view t = alt;
        const std::size_t close = closingMark(t, open);
        const std::string_view prefix = t.substr(0, open);
        const std::string_view suffix = t.substr(close + 1);
        pieces.clear();
        auto addPiece = [&](std::string_view option) {
            if (done.empty() && pieces.empty() && prefix.empty() && option.empty() && suffix.empty()) return;
            std::string piece;
            piece.reserve(prefix.size() + option.size() + suffix.size());
            piece.append(prefix).append(option).append(suffix);
            spent += piece.size() + 1;
            pieces.push_back(std::move(piece));
        };
        for (std::size_t start = open + 1;;) {
            std::size_t sep = topLevelSeparator(t, start, close);
            addPiece(t.substr(start, sep - start));
            if (sep >= close) break;
            start = sep + 1;
        }
        if (t[open] == kOptionalOpen) addPiece(std::string_view());
        if (spent > kExpansionBudget) return std::nullopt;
        for (auto it = pieces.rbegin(); it != pieces.rend(); ++it) pending.push_back(std::move(*it));
    }
    std::unordered_set<std::string_view> seen;
    std::string out;
    bool first = true;
    for (const std::string& item : done) {
        if (!seen.insert(item).second) continue;
        if (!first) out += kListSeparator;
        out += item;
        first = false;
    }
    return out;
}

int charSetByName(std::string_view name) {
    if (name.empty() || name.size() > 15) return -1;
    for (const CharSetName& entry : kCharSetNames) {
        if (entry.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) same = asciiUpper(name[i]) == entry.name[i];
        if (same) return entry.set;
    }
    return -1;
}

bool CharSets::doubleByte(FontClass textClass) const {
    int set = sets[static_cast<std::size_t>(textClass)];
    return set == kCharSetDefault || set == kCharSetShiftJis;
}

CharSets startingCharSets(const Settings& settings) {
    CharSets charsets;
    for (int i = 0; i < kStoredFontCount; ++i)
        charsets.sets[static_cast<std::size_t>(i)] = settings.fonts[static_cast<std::size_t>(i)].charSet;
    return charsets;
}

} // namespace rekal
