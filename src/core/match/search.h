#pragma once
// The question search behind the question list window's Find: the next question, downward or
// upward from a start question, whose texts contain a pattern under the comparison options.

#include "core/data/book.h"
#include "core/match/fold.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace rekal {

// Reads one character at pos, folded for the search's comparisons (case, width and kana bits of
// options), and moves pos past it: a half-width katakana followed by its voiced or semi-voiced
// mark is read together with the mark as one full-width character, so a voiced kana stays apart
// from its plain one under every option, as in the answer comparison.
std::uint16_t readSearchChar(std::string_view text, std::size_t& pos, CompareOptions options);

// True when text contains pattern under folded-character equality (Knuth-Morris-Pratt over the
// characters as read by readSearchChar).
bool containsFolded(std::string_view text, std::string_view pattern, CompareOptions options);

// The index of the first question after start (down) or before it (up) whose question text,
// hints, answers, wrong choices or comment contain the pattern; -1 when there is none, when start
// is no question, or when memory runs out. The vague and symbol steps are applied to the pattern
// and to each text before the search.
int searchQuestions(const QuestionBook& book, int start, std::string_view pattern, bool down,
                    CompareOptions options, const VagueTable& table);

} // namespace rekal
