#pragma once
// Field scanning shared by the line reader and decodeField: one pass that finds where a field of a
// question-file line ends and, when asked, writes its stored text.

#include <cstddef>
#include <string_view>

namespace rekal {

struct FieldRules {
    bool doubleByte = true; // keep double-byte characters together (the class's set is DEFAULT or SHIFTJIS)
    int version = 16;
    unsigned options = 0; // FieldOption bits (reader.h)
    bool stopComma = false;
    bool stopApostrophe = false;
    char stopEscape = 0; // 'h' or 'c': an unescaped \h or \c ends the field
};

enum class FieldStop { LineEnd, Comma, Apostrophe, Escape, BrokenTag };

struct FieldScan {
    FieldStop stop = FieldStop::LineEnd;
    std::size_t end = 0; // the stopping byte (for Escape its backslash); text.size() at the line end
};

// Scans text from start under the rules. With out, the decoded bytes are written there; they never
// outnumber the bytes scanned, so out may be the scanned bytes' own place (or a buffer of that size).
// outLength receives their number.
FieldScan scanField(std::string_view text, std::size_t start, const FieldRules& rules, char* out,
                    std::size_t& outLength);

// Whether a raw answer needs the full expansion: group marks, or duplicate alternatives.
bool answerNeedsExpansion(std::string_view raw);

} // namespace rekal
