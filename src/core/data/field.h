#pragma once
// Field scanning shared by the line reader and decodeField: one pass that finds where a field of a
// question-file line ends and, when asked, writes its stored text.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
    std::size_t end = 0;     // the stopping byte (for Escape its backslash); text.size() at the line end
    bool marks = false;      // group marks were written
    bool separators = false; // list separators were written (from escapes or marks)
};

// Scans text from start under the rules and writes the decoded bytes to out; they never outnumber
// the bytes scanned, so out needs room for text.size() - start bytes. outLength receives their
// number.
FieldScan scanField(std::string_view text, std::size_t start, const FieldRules& rules, char* out,
                    std::size_t& outLength);

// Whether a raw answer needs the full expansion: group marks, or duplicate alternatives.
bool answerNeedsExpansion(std::string_view raw);

// Work space of answer expansions, kept from one expansion to the next so that they allocate
// nothing once it has grown.
struct ExpansionSpace {
    struct Span {
        std::uint32_t offset, length;
    };
    std::string bytes; // the alternatives of one expansion, one after the other
    std::vector<Span> pending, done, pieces;
    std::vector<char> open;
};

// Upper bound of the bytes one answer expansion may produce over all its steps; a line beyond it is
// rejected instead of growing without end (every group can double the alternatives).
inline constexpr std::size_t kExpansionBudget = std::size_t{1} << 20;

// expandAnswers into out, with a reused work space; false for unbalanced marks or an expansion whose
// work exceeds `budget` bytes (at most kExpansionBudget).
bool expandAnswersInto(std::string_view raw, std::string& out, ExpansionSpace& space,
                       std::size_t budget = kExpansionBudget);

// The bytes all the answer expansions of one book may add together: eight times its text and 8 MiB
// more. A dictionary expands to a few times its size; a book written to expand every line hundreds of
// ways has the lines beyond this rejected instead of taking the machine's memory.
inline constexpr std::size_t bookExpansionBudget(std::size_t textSize) {
    return textSize * 8 + (std::size_t{8} << 20);
}

// Work space of the line reader for one load.
struct ReaderSpace {
    std::string scratch;      // the decoded fields of one line
    std::string answers;      // the alternatives of its answer
    std::string wrongChoices; // the alternatives of its wrong choices
    ExpansionSpace expansion;
    std::size_t expansionLeft = bookExpansionBudget(0); // what the book's expansions may still add
};

} // namespace rekal
