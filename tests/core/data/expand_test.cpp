// Answer expansion and field decoding on their own.

#include "core/data/reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace rekal {
namespace {

// Writes a file-form answer in stored form: [ ] ( ) | become the group marks and separators.
std::string marks(std::string_view fileForm) {
    std::string out;
    for (char c : fileForm) {
        switch (c) {
        case '[':
            out += kGroupOpen;
            break;
        case ']':
            out += kGroupClose;
            break;
        case '(':
            out += kOptionalOpen;
            break;
        case ')':
            out += kOptionalClose;
            break;
        case '|':
            out += kListSeparator;
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::vector<std::string> split(const std::string& list) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (;;) {
        std::size_t sep = list.find(kListSeparator, start);
        out.push_back(list.substr(start, sep == std::string::npos ? std::string::npos : sep - start));
        if (sep == std::string::npos) return out;
        start = sep + 1;
    }
}

std::vector<std::string> expand(std::string_view fileForm) {
    auto result = expandAnswers(marks(fileForm));
    EXPECT_TRUE(result.has_value()) << fileForm;
    return result ? split(*result) : std::vector<std::string>{};
}

using List = std::vector<std::string>;

// The expansion as a plain rebuilding of the whole text around its first opening mark, step by step.
std::optional<std::string> rebuildingExpansion(std::string text) {
    auto isOpen = [](char c) { return c == kGroupOpen || c == kOptionalOpen; };
    auto isClose = [](char c) { return c == kGroupClose || c == kOptionalClose; };
    auto topSep = [&](std::size_t i) {
        int depth = 0;
        for (std::size_t j = i; j < text.size(); ++j) {
            if (isOpen(text[j]))
                ++depth;
            else if (isClose(text[j]))
                --depth;
            else if (text[j] == kListSeparator && depth == 0)
                return j;
        }
        return text.size();
    };
    auto join = [](std::string& out, const std::string& piece) {
        if (!out.empty()) out += kListSeparator;
        out += piece;
    };
    for (;;) {
        std::size_t open = std::find_if(text.begin(), text.end(), isOpen) - text.begin();
        if (open == text.size()) break;
        std::size_t close = open;
        for (int depth = 0;; ++close) {
            if (isOpen(text[close])) ++depth;
            if (isClose(text[close]) && --depth == 0) break;
        }
        std::size_t before = text.rfind(kListSeparator, open);
        std::size_t altStart = before == std::string::npos ? 0 : before + 1;
        std::size_t altEnd = topSep(close + 1);
        std::string prefix = text.substr(altStart, open - altStart);
        std::string suffix = text.substr(close + 1, altEnd - close - 1);
        std::string next;
        if (altStart > 0) join(next, text.substr(0, altStart - 1));
        for (std::size_t start = open + 1;;) {
            std::size_t sep = std::min(topSep(start), close);
            // topSep counts from depth 0 inside the group; the group's own close ends the options
            join(next, prefix + text.substr(start, sep - start) + suffix);
            if (sep >= close) break;
            start = sep + 1;
        }
        if (text[open] == kOptionalOpen) join(next, prefix + suffix);
        if (altEnd < text.size() && altEnd + 1 < text.size()) join(next, text.substr(altEnd + 1));
        text = next;
    }
    std::vector<std::string> items = split(text), kept;
    for (const std::string& item : items)
        if (std::find(kept.begin(), kept.end(), item) == kept.end()) kept.push_back(item);
    std::string out;
    for (std::size_t i = 0; i < kept.size(); ++i)
        out += (i ? std::string(1, kListSeparator) : "") + kept[i];
    return out;
}

// Random balanced file-form answers over a small alphabet, with empty options and separators.
std::string randomAnswer(std::mt19937& random, int depth) {
    std::string out;
    int parts = static_cast<int>(random() % 4);
    for (int i = 0; i < parts; ++i) {
        switch (random() % 6) {
        case 0:
            out += 'a';
            break;
        case 1:
            out += 'b';
            break;
        case 2:
            out += '|';
            break;
        case 3:
        case 4:
            if (depth < 2) {
                bool optional = random() % 2;
                out += optional ? '(' : '[';
                out += randomAnswer(random, depth + 1);
                while (random() % 3 == 0)
                    out += "|" + randomAnswer(random, depth + 1);
                out += optional ? ')' : ']';
            }
            break;
        default:
            break;
        }
    }
    return out;
}

TEST(ExpandAnswers, AgreesWithRebuildingTheWholeText) {
    std::mt19937 random(11);
    for (int i = 0; i < 5000; ++i) {
        std::string raw = randomAnswer(random, 0);
        ASSERT_EQ(expandAnswers(marks(raw)), rebuildingExpansion(marks(raw))) << raw;
    }
}

TEST(ExpandAnswers, Examples) {
    EXPECT_EQ(expand("富士(山|さん)"), (List{"富士山", "富士さん", "富士"}));
    EXPECT_EQ(expand("[東|西]京"), (List{"東京", "西京"}));
    EXPECT_EQ(expand("[a|b][c|d]"), (List{"ac", "ad", "bc", "bd"}));
    EXPECT_EQ(expand("a(b|c)d|e"), (List{"abd", "acd", "ad", "e"}));
    EXPECT_EQ(expand("[a(b)|c]"), (List{"ab", "a", "c"}));
}

TEST(ExpandAnswers, AlternativesAroundAGroupStayInPlace) {
    EXPECT_EQ(expand("x|a[b|c]d|y"), (List{"x", "abd", "acd", "y"}));
    EXPECT_EQ(expand("x|(a)|y"), (List{"x", "a", "", "y"}));
    EXPECT_EQ(expand("[a|[b|c]d]e"), (List{"ae", "bde", "cde"}));
    EXPECT_EQ(expand("(a)(b)"), (List{"ab", "a", "b", ""}));
}

TEST(ExpandAnswers, DuplicatesAreRemovedKeepingTheFirst) {
    EXPECT_EQ(expand("a|b|a"), (List{"a", "b"}));
    EXPECT_EQ(expand("[a|a]b|ab|c"), (List{"ab", "c"}));
    EXPECT_EQ(expand("(x)|x"), (List{"x", ""}));
}

TEST(ExpandAnswers, DuplicatesAmongManyAlternatives) {
    std::string raw = "[";
    List expected;
    for (int i = 0; i < 50; ++i) {
        raw += "w" + std::to_string(i) + "|";
        expected.push_back("w" + std::to_string(i) + "x");
    }
    raw += "w7|w49|w0]x|w3x|w50x";
    expected.push_back("w50x");
    EXPECT_EQ(expand(raw), expected);
}

TEST(ExpandAnswers, EmptyPieces) {
    // An empty first piece vanishes; later empty ones stay.
    EXPECT_EQ(expand("[|a]"), (List{"a"}));
    EXPECT_EQ(expand("(a)"), (List{"a", ""}));
    EXPECT_EQ(expand(""), (List{""}));
    EXPECT_EQ(expand("|a"), (List{"", "a"}));
    EXPECT_EQ(expand("|(a)"), (List{"a", ""}));
    EXPECT_EQ(expand("||(a)"), (List{"", "a"}));
    EXPECT_EQ(expand("(a)|"), (List{"a", ""}));
    EXPECT_EQ(expand("[a]||"), (List{"a", ""}));
}

TEST(ExpandAnswers, UnbalancedMarksAreRefused) {
    for (const char* raw : {"[a", "a]", "(a", "a)", "[a)", "(a]", "[(a])", "]["}) {
        EXPECT_FALSE(expandAnswers(marks(raw)).has_value()) << raw;
    }
}

TEST(ExpandAnswers, ExplosiveInputIsRefusedQuickly) {
    std::string raw;
    for (int i = 0; i < 40; ++i)
        raw += "[a|b]";
    EXPECT_FALSE(expandAnswers(marks(raw)).has_value());
    std::string single;
    for (int i = 0; i < 20000; ++i)
        single += "[a]";
    EXPECT_FALSE(expandAnswers(marks(single)).has_value());
    std::string wide = "[";
    for (int i = 0; i < 5000; ++i)
        wide += "a|";
    wide += "b]" + std::string(5000, 's');
    EXPECT_FALSE(expandAnswers(marks(wide)).has_value());
    std::string fine;
    for (int i = 0; i < 10; ++i)
        fine += "[a|b]";
    auto expanded = expandAnswers(marks(fine));
    ASSERT_TRUE(expanded.has_value());
    EXPECT_EQ(split(*expanded).size(), 1024u);
}

TEST(DecodeField, OptionsSelectTheEscapes) {
    EXPECT_EQ(decodeField("a\\nb\\hc\\cd\\\\", 16, 128, 0), "a\nbhccd\\");
    EXPECT_EQ(decodeField("a\\hb", 16, 128, FieldHints), "a\x03"
                                                         "b");
    EXPECT_EQ(decodeField("a\\hb", 14, 128, FieldHints), "ahb");
    EXPECT_EQ(decodeField("a\\cb|c", 16, 128, FieldChoices | FieldMarks), "a\x03"
                                                                          "b\x03"
                                                                          "c");
    EXPECT_EQ(decodeField("[a]|(b)", 13, 128, FieldMarks), "\x04"
                                                           "a\x05\x03\x06"
                                                           "b\x07");
    EXPECT_EQ(decodeField("[a]|(b)", 12, 128, FieldMarks), "[a]|(b)");
    EXPECT_EQ(decodeField("x\\ny", 16, 128, FieldNoLineBreaks), "xy");
    EXPECT_EQ(decodeField("\\i\"a b\"", 14, 128, FieldMedia), "\x02i\"a b\"");
    EXPECT_EQ(decodeField("\\i\"a b\"", 14, 128, 0), "i\"a b\"");
    EXPECT_EQ(decodeField("\\i", 14, 128, FieldMedia), std::nullopt);
    EXPECT_EQ(decodeField("\\i\"open", 14, 128, FieldMedia), std::nullopt);
    EXPECT_EQ(decodeField("\\m\"a\"", 15, 128, FieldMedia), "m\"a\"");
    EXPECT_EQ(decodeField("end\\", 16, 128, 0), "end");
}

TEST(DecodeField, DoubleByteAwarenessFollowsTheCharacterSet) {
    const std::string so = "\x83\x5C"
                           "n"; // ソ then n
    EXPECT_EQ(decodeField(so, 16, 128, 0), so);
    EXPECT_EQ(decodeField(so, 16, 1, 0), so);
    EXPECT_EQ(decodeField(so, 16, 0, 0), "\x83\n");
    EXPECT_EQ(decodeField(so, 16, 204, 0), "\x83\n");
    const std::string po = "\x83\x7C"
                           "a"; // ポ then a
    EXPECT_EQ(decodeField(po, 16, 128, FieldMarks), po);
    EXPECT_EQ(decodeField(po, 16, 0, FieldMarks), "\x83\x03"
                                                  "a");
    // An escaped double-byte character keeps both bytes.
    EXPECT_EQ(decodeField("\\\x83\x5C", 16, 128, 0), "\x83\x5C");
    // A lead byte at the very end stays a single byte.
    EXPECT_EQ(decodeField("a\x83", 16, 128, 0), "a\x83");
}

} // namespace
} // namespace rekal
