#pragma once
// Judging a typed or chosen answer against the accepted alternatives of a question.

#include "core/data/book.h"
#include "core/match/fold.h"

#include <string_view>

namespace rekal {

// True when the folded answer equals one folded alternative of the question (line breaks of the
// alternatives removed first). The book is not changed.
bool isAnswerRight(const QuestionCard* q, std::string_view answer, CompareOptions options,
                   const VagueReplacer& vague);
bool isAnswerRight(const QuestionCard* q, std::string_view answer, CompareOptions options,
                   const VagueTable& table);

} // namespace rekal
