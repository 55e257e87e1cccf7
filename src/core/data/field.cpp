#include "core/data/field.h"

#include "core/base/sjis.h"
#include "core/data/reader.h"

#include <algorithm>
#include <cstring>
#include <array>
#include <cstdint>
#include <optional>
#include <unordered_set>
#include <vector>

namespace rekal {

namespace {

bool isOpenMark(char c) {
    return c == kGroupOpen || c == kOptionalOpen;
}
bool isCloseMark(char c) {
    return c == kGroupClose || c == kOptionalClose;
}

// The closing mark of the group opened at i (marks are known to be balanced).
std::size_t closingMark(std::string_view t, std::size_t i) {
    int depth = 0;
    for (std::size_t j = i; j < t.size(); ++j) {
        if (isOpenMark(t[j]))
            ++depth;
        else if (isCloseMark(t[j]) && --depth == 0)
            return j;
    }
    return t.size();
}

// The next separator at the top level from i up to end (groups skipped whole), or end.
std::size_t topLevelSeparator(std::string_view t, std::size_t i, std::size_t end) {
    int depth = 0;
    for (std::size_t j = i; j < end; ++j) {
        if (isOpenMark(t[j]))
            ++depth;
        else if (isCloseMark(t[j]))
            --depth;
        else if (t[j] == kListSeparator && depth == 0)
            return j;
    }
    return end;
}

// Whether the marks pair up; groups counts the opening marks. The kinds of the open groups are
// kept as bits while they fit in a word (1 = optional group), beyond that in the vector.
bool marksBalanced(std::string_view raw, std::vector<char>& deep, std::size_t& groups) {
    deep.clear();
    groups = 0;
    std::uint64_t kinds = 0;
    std::size_t depth = 0;
    for (char c : raw) {
        if (isOpenMark(c)) {
            if (depth < 64)
                kinds = (kinds << 1) | (c == kOptionalOpen);
            else
                deep.push_back(c);
            ++depth;
            ++groups;
        } else if (isCloseMark(c)) {
            if (depth == 0) return false;
            --depth;
            const char open = depth < 64 ? ((kinds & 1) ? kOptionalOpen : kGroupOpen) : deep.back();
            if (open + 1 != c) return false;
            if (depth < 64)
                kinds >>= 1;
            else
                deep.pop_back();
        }
    }
    return depth == 0;
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
    std::size_t count = 0;
    forEachItem(list, [&](std::string_view) { ++count; });
    if (count > 64) {
        std::unordered_set<std::string_view> seen;
        bool duplicate = false;
        forEachItem(list, [&](std::string_view item) { duplicate = !seen.insert(item).second || duplicate; });
        return duplicate;
    }
    // Few items: each is compared with those after it, without building anything.
    bool duplicate = false;
    std::size_t start = 0;
    while (!duplicate) {
        std::size_t sep = list.find(kListSeparator, start);
        if (sep == std::string_view::npos) break;
        const std::string_view item = list.substr(start, sep - start);
        forEachItem(list.substr(sep + 1),
                    [&](std::string_view later) { duplicate = duplicate || later == item; });
        start = sep + 1;
    }
    return duplicate;
}

struct CharSetName {
    std::string_view name;
    int set;
};
constexpr CharSetName kCharSetNames[] = {
    {"ANSI", 0},     {"DEFAULT", 1},  {"SYMBOL", 2},    {"MAC", 77},    {"SHIFTJIS", 128},   {"HANGEUL", 129},
    {"JOHAB", 130},  {"GB2312", 134}, {"CHINESE", 136}, {"GREEK", 161}, {"TURKISH", 162},    {"HEBREW", 177},
    {"ARABIC", 178}, {"BALTIC", 186}, {"RUSSIAN", 204}, {"THAI", 222},  {"EASTEUROPE", 238}, {"OEM", 255},
};

char asciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

namespace {

// Byte classes of the field scanner: most bytes are copied as they are; a lead byte may start a
// double-byte character; the few bytes that can end a field or start an escape or a mark are
// looked at closely.
enum ByteClass : std::uint8_t { Plain, Lead, Special };

constexpr std::array<std::uint8_t, 256> byteClasses(bool doubleByte) {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c) {
        if (doubleByte && isLeadByte(static_cast<unsigned char>(c)))
            table[static_cast<std::size_t>(c)] = Lead;
    }
    for (char c : {',', '\'', '\\', '[', ']', '(', ')', '|'})
        table[static_cast<unsigned char>(c)] = Special;
    // Control bytes of stored texts found as they are in the file are noted as marks and separators.
    for (int c = kListSeparator; c <= kOptionalClose; ++c)
        table[static_cast<std::size_t>(c)] = Special;
    return table;
}
constexpr std::array<std::uint8_t, 256> kSingleByteClasses = byteClasses(false);
constexpr std::array<std::uint8_t, 256> kDoubleByteClasses = byteClasses(true);

constexpr std::array<std::uint8_t, 256> trailBytes() {
    std::array<std::uint8_t, 256> table{};
    for (int c = 0; c < 256; ++c)
        table[static_cast<std::size_t>(c)] = isTrailByte(static_cast<unsigned char>(c));
    return table;
}
constexpr std::array<std::uint8_t, 256> kTrailBytes = trailBytes();

char markFor(char c) {
    switch (c) {
    case '[':
        return kGroupOpen;
    case ']':
        return kGroupClose;
    case '(':
        return kOptionalOpen;
    case ')':
        return kOptionalClose;
    default:
        return kListSeparator;
    }
}

} // namespace

FieldScan scanField(std::string_view s, std::size_t i, const FieldRules& r, char* out,
                    std::size_t& outLength) {
    const std::size_t n = s.size();
    const std::uint8_t* classes = r.doubleByte ? kDoubleByteClasses.data() : kSingleByteClasses.data();
    std::size_t o = 0;
    const bool marks = (r.options & FieldMarks) && r.version >= 13;
    const bool hintSeparators = (r.options & FieldHints) && r.version >= 15;
    const bool choiceSeparators = (r.options & FieldChoices) != 0;
    const bool pictures = (r.options & FieldMedia) && r.version >= 14;
    const bool movies = (r.options & FieldMedia) && r.version >= 16;
    const bool dropLineBreaks = (r.options & FieldNoLineBreaks) != 0;
    FieldScan result{FieldStop::LineEnd, n};
    while (i < n) {
        const char c = s[i];
        const std::uint8_t byteClass = classes[static_cast<unsigned char>(c)];
        if (byteClass == Plain) {
            out[o++] = c;
            ++i;
            continue;
        }
        if (byteClass == Lead) {
            out[o++] = c;
            if (i + 1 < n && kTrailBytes[static_cast<unsigned char>(s[i + 1])]) out[o++] = s[++i];
            ++i;
            continue;
        }
        if ((c == ',' && r.stopComma) || (c == '\'' && r.stopApostrophe)) {
            result.stop = c == ',' ? FieldStop::Comma : FieldStop::Apostrophe;
            result.end = i;
            break;
        }
        if (c >= kListSeparator && c <= kOptionalClose) {
            out[o++] = c;
            if (c == kListSeparator)
                result.separators = true;
            else
                result.marks = true;
            ++i;
            continue;
        }
        if (c != '\\') {
            if (marks && c != ',' && c != '\'') {
                out[o] = markFor(c);
                if (out[o] == kListSeparator)
                    result.separators = true;
                else
                    result.marks = true;
                ++o;
            } else {
                out[o++] = c;
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
            out[o++] = s[i + 1];
            out[o++] = s[i + 2];
            i += 3;
            continue;
        }
        const char d = s[i + 1];
        if (r.stopEscape != 0 && d == r.stopEscape) {
            result.stop = FieldStop::Escape;
            result.end = i;
            break;
        }
        if ((d == 'i' && pictures) || (d == 'm' && movies)) {
            // The name is copied byte for byte up to its closing double quote.
            std::size_t close = i + 2 < n && s[i + 2] == '"' ? s.find('"', i + 3) : std::string_view::npos;
            if (close == std::string_view::npos) {
                result.stop = FieldStop::BrokenTag;
                result.end = i;
                break;
            }
            out[o++] = kMediaTag;
            for (std::size_t j = i + 1; j <= close; ++j)
                out[o++] = s[j];
            i = close + 1;
            continue;
        }
        if (d == 'n') {
            if (!dropLineBreaks) out[o++] = kLineBreak;
        } else if ((d == 'h' && hintSeparators) || (d == 'c' && choiceSeparators)) {
            out[o++] = kListSeparator;
            result.separators = true;
        } else {
            out[o++] = d;
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

namespace {

// The first position of c in t from start on, or t.size() (short texts: no library call).
std::size_t findByte(std::string_view t, char c, std::size_t start) {
    while (start < t.size() && t[start] != c)
        ++start;
    return start;
}

// Removes the items of a list text equal to an earlier one, in place.
void removeDuplicateItems(std::string& list, ExpansionSpace& space) {
    const std::string_view all = list;
    if (findByte(all, kListSeparator, 0) == all.size()) return;
    auto& kept = space.done;
    kept.clear();
    std::optional<std::unordered_set<std::string_view>> seen; // only for many items
    std::size_t write = 0;
    for (std::size_t read = 0;;) {
        const std::size_t end = findByte(all, kListSeparator, read);
        const std::string_view item = all.substr(read, end - read);
        bool duplicate = false;
        if (kept.size() < 32) {
            for (std::size_t k = 0; k < kept.size() && !duplicate; ++k)
                duplicate = all.substr(kept[k].offset, kept[k].length) == item;
        } else {
            if (!seen) {
                seen.emplace();
                for (const auto& k : kept)
                    seen->insert(all.substr(k.offset, k.length));
            }
            duplicate = seen->count(item) != 0;
        }
        if (!duplicate) {
            if (!kept.empty()) list[write++] = kListSeparator;
            // The kept items stay before the write position, which never passes the read one.
            if (write != read) std::memmove(list.data() + write, list.data() + read, item.size());
            kept.push_back({static_cast<std::uint32_t>(write), static_cast<std::uint32_t>(item.size())});
            if (seen) seen->insert(all.substr(write, item.size()));
            write += item.size();
        }
        if (end == all.size()) break;
        read = end + 1;
    }
    list.resize(write);
}

enum class SingleGroup { OverBudget, Distinct, MayRepeat };

// With a single group (the usual answer) one rebuilding of the text is the whole expansion. When
// the group's alternative is the whole text, the pieces differ exactly where their options differ,
// so repeated options are left out on the way (Distinct); otherwise the result may still hold
// repeated alternatives. OverBudget when every option repeating the text around the group would
// exceed the budget.
SingleGroup expandSingleGroup(std::string_view t, std::string& out,
                              std::vector<ExpansionSpace::Span>& options, std::size_t budget) {
    auto join = [&](std::string_view a, std::string_view b, std::string_view c) {
        if (!out.empty()) out += kListSeparator;
        out.append(a).append(b).append(c);
    };
    std::size_t open = 0;
    while (!isOpenMark(t[open]))
        ++open;
    std::size_t close = open + 1;
    while (!isCloseMark(t[close]))
        ++close;
    std::size_t altStart = open;
    while (altStart > 0 && t[altStart - 1] != kListSeparator)
        --altStart;
    const std::size_t altEnd = findByte(t, kListSeparator, close + 1);
    const std::string_view prefix = t.substr(altStart, open - altStart);
    const std::string_view suffix = t.substr(close + 1, altEnd - close - 1);
    const std::size_t pieces =
        1 + static_cast<std::size_t>(std::count(t.begin() + open, t.begin() + close, kListSeparator)) +
        (t[open] == kOptionalOpen ? 1 : 0);
    if (pieces * (prefix.size() + suffix.size() + 1) + t.size() > budget) return SingleGroup::OverBudget;
    const bool whole = altStart == 0 && altEnd == t.size() && pieces <= 32;
    options.clear();
    auto add = [&](std::size_t start, std::size_t length) {
        const std::string_view option = t.substr(start, length);
        if (whole) {
            if (out.empty() && prefix.empty() && option.empty() && suffix.empty()) return;
            for (const auto& o : options)
                if (t.substr(o.offset, o.length) == option) return;
            options.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(length)});
        }
        join(prefix, option, suffix);
    };
    if (altStart > 0) join(t.substr(0, altStart - 1), {}, {});
    for (std::size_t start = open + 1;;) {
        const std::size_t sep = std::min(findByte(t, kListSeparator, start), close);
        add(start, sep - start);
        if (sep == close) break;
        start = sep + 1;
    }
    if (t[open] == kOptionalOpen) add(close, 0);
    if (altEnd + 1 < t.size()) join(t.substr(altEnd + 1), {}, {});
    return whole ? SingleGroup::Distinct : SingleGroup::MayRepeat;
}

} // namespace

namespace {

// The general case: the first opening mark of the whole text is taken again and again and the text
// rebuilt around it. Everything before that mark's alternative has no marks left, so the rebuilding
// works on a list of alternatives: finished ones, and pending ones with the next on top. The joining
// rule of the rebuilt text (a separator only after a non-empty text) means: an empty text before
// the alternative vanishes, so do leading empty pieces while nothing precedes them, and an empty
// text after the alternative is dropped. False when the work exceeds the budget.
bool expandGroups(std::string_view raw, ExpansionSpace& space, std::size_t budget) {
    using Span = ExpansionSpace::Span;
    std::string& bytes = space.bytes;
    bytes.assign(raw);
    space.pending.clear();
    space.done.clear();
    for (std::size_t start = 0;;) {
        std::size_t sep = topLevelSeparator(raw, start, raw.size());
        space.pending.push_back({static_cast<std::uint32_t>(start), static_cast<std::uint32_t>(sep - start)});
        if (sep == raw.size()) break;
        start = sep + 1;
    }
    std::reverse(space.pending.begin(), space.pending.end());
    auto view = [&](Span s) { return std::string_view(bytes).substr(s.offset, s.length); };
    while (!space.pending.empty()) {
        const Span alt = space.pending.back();
        space.pending.pop_back();
        const std::string_view a = view(alt);
        const std::size_t open = std::find_if(a.begin(), a.end(), isOpenMark) - a.begin();
        if (open == a.size()) {
            space.done.push_back(alt);
            continue;
        }
        if (space.done.size() == 1 && space.done.front().length == 0) space.done.clear();
        if (space.pending.size() == 1 && space.pending.front().length == 0) space.pending.clear();
        const std::size_t close = closingMark(a, open);
        // Room for every piece first, so that views into the bytes stay valid while they are added.
        const std::size_t options =
            1 + static_cast<std::size_t>(std::count(a.begin() + open, a.begin() + close, kListSeparator));
        const std::size_t room = (options + 1) * a.size();
        if (bytes.size() + room > budget) return false;
        bytes.reserve(bytes.size() + room);
        const std::string_view t = view(alt);
        const std::string_view prefix = t.substr(0, open);
        const std::string_view suffix = t.substr(close + 1);
        space.pieces.clear();
        auto addPiece = [&](std::string_view option) {
            const std::size_t length = prefix.size() + option.size() + suffix.size();
            if (length == 0 && space.done.empty() && space.pieces.empty()) return;
            const std::size_t offset = bytes.size();
            bytes.append(prefix).append(option).append(suffix);
            space.pieces.push_back({static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(length)});
        };
        for (std::size_t start = open + 1;;) {
            std::size_t sep = topLevelSeparator(t, start, close);
            addPiece(t.substr(start, sep - start));
            if (sep >= close) break;
            start = sep + 1;
        }
        if (t[open] == kOptionalOpen) addPiece(std::string_view());
        space.pending.insert(space.pending.end(), space.pieces.rbegin(), space.pieces.rend());
    }
    return true;
}

} // namespace

bool expandAnswersInto(std::string_view raw, std::string& out, ExpansionSpace& space, std::size_t budget) {
    out.clear();
    budget = std::min(budget, kExpansionBudget);
    std::size_t groups = 0;
    if (!marksBalanced(raw, space.open, groups) || raw.size() > budget) return false;
    if (groups == 1) {
        const SingleGroup single = expandSingleGroup(raw, out, space.pieces, budget);
        if (single == SingleGroup::OverBudget) return false;
        if (single == SingleGroup::Distinct) return true;
    } else {
        if (!expandGroups(raw, space, budget)) return false;
        const std::string_view bytes = space.bytes;
        for (std::size_t i = 0; i < space.done.size(); ++i) {
            if (i) out += kListSeparator;
            out += bytes.substr(space.done[i].offset, space.done[i].length);
        }
    }
    removeDuplicateItems(out, space);
    return true;
}

std::optional<std::string> expandAnswers(std::string_view raw) {
    ExpansionSpace space;
    std::string out;
    if (!expandAnswersInto(raw, out, space)) return std::nullopt;
    return out;
}

int charSetByName(std::string_view name) {
    if (name.empty() || name.size() > 15) return -1;
    for (const CharSetName& entry : kCharSetNames) {
        if (entry.name.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = asciiUpper(name[i]) == entry.name[i];
        if (same) return entry.set;
    }
    return -1;
}

CharSets startingCharSets(const Settings& settings) {
    CharSets charsets;
    for (int i = 0; i < kStoredFontCount; ++i)
        charsets.sets[static_cast<std::size_t>(i)] = settings.fonts[static_cast<std::size_t>(i)].charSet;
    return charsets;
}

} // namespace rekal
