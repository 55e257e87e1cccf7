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
constexpr std::size_t kExpansionBudget = std::size_t{4} << 20;

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

// The next separator at the top level from i (groups skipped whole), or t.size().
std::size_t topLevelSeparator(std::string_view t, std::size_t i) {
    int depth = 0;
    for (std::size_t j = i; j < t.size(); ++j) {
        if (isOpenMark(t[j])) ++depth;
        else if (isCloseMark(t[j])) --depth;
        else if (t[j] == kListSeparator && depth == 0) return j;
    }
    return t.size();
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

// Joins a piece: the separator goes only after a non-empty text, so an empty first piece vanishes.
void appendPiece(std::string& out, std::string_view piece) {
    if (!out.empty()) out += kListSeparator;
    out += piece;
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

std::string removeDuplicates(std::string_view list) {
    if (list.empty()) return std::string();
    std::vector<std::string_view> kept;
    std::unordered_set<std::string_view> seen;
    forEachItem(list, [&](std::string_view item) {
        if (seen.insert(item).second) kept.push_back(item);
    });
    std::string out;
    out.reserve(list.size());
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (i) out += kListSeparator;
        out += kept[i];
    }
    return out;
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

std::optional<std::string> expandAnswers(std::string_view raw) {
    if (!marksBalanced(raw)) return std::nullopt;
    std::string text(raw);
    std::size_t spent = 0;
    for (;;) {
        const std::size_t open = std::find_if(text.begin(), text.end(), isOpenMark) - text.begin();
        if (open == text.size()) break;
        const std::string_view t = text;
        const std::size_t close = closingMark(t, open);
        // No group precedes the first opening mark, so every separator before it is at the top level.
        const std::size_t lastSep = t.rfind(kListSeparator, open);
        const std::size_t altStart = lastSep == std::string_view::npos ? 0 : lastSep + 1;
        const std::size_t altEnd = topLevelSeparator(t, close + 1);
        const std::string_view prefix = t.substr(altStart, open - altStart);
        const std::string_view suffix = t.substr(close + 1, altEnd - close - 1);

        std::string next;
        if (altStart > 0) appendPiece(next, t.substr(0, altStart - 1));
        std::string piece;
        auto addAlternative = [&](std::string_view option) {
            piece.assign(prefix);
            piece += option;
            piece += suffix;
            appendPiece(next, piece);
        };
        for (std::size_t start = open + 1;;) {
            std::size_t sep = std::min(topLevelSeparator(t, start), close);
            addAlternative(t.substr(start, sep - start));
            if (sep >= close) break;
            start = sep + 1;
        }
        if (t[open] == kOptionalOpen) addAlternative(std::string_view());
        if (altEnd < t.size() && altEnd + 1 < t.size()) appendPiece(next, t.substr(altEnd + 1));
        spent += next.size();
        if (spent > kExpansionBudget) return std::nullopt;
        text.swap(next);
    }
    return removeDuplicates(text);
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
