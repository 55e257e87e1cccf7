#pragma once
// The choice buttons of a question: how many, which wrong options, and where the right one goes.

#include "core/data/book.h"
#include "core/exam/random.h"
#include "core/settings/vague.h"
#include "core/settings/settings.h"

#include <string>
#include <vector>

namespace rekal {

inline constexpr int kMaxChoices = 9;
inline constexpr int kFirstChoiceId = 1071; // control identifier of choice k is 1071 + k

struct Choice {
    std::string text; // the full answer text, markup included
    FontSpec font;    // the answer font in effect for the question the text came from
};

// The answer font in effect for a question: the book's when the file's fonts are used and it defines
// one, else the settings'.
FontSpec answerFontFor(const QuestionBook& book, const Settings& settings, const QuestionCard& q);

// How the exam judges an answer to the question: a wrong choice it would accept is no wrong choice.
struct ChoiceJudging {
    CompareOptions options = 0;
    const VagueTable* vague = nullptr; // none: no vague pairs apply
};

// Builds the choices of q for the answer mode; false (no choices, the answer is typed) in written
// mode, in standard mode without a title choice count, or when q has no displayed answer. A
// candidate equal to a taken one, or one that q accepts as its answer when judged as the exam
// judges, is passed over. Fewer choices than wanted come out when the pool runs short, down to
// the right answer alone.
bool buildChoices(std::vector<Choice>& out, const QuestionBook& book, const Settings& settings,
                  RandomGenerator& random, const QuestionCard& q, int answerMode,
                  const ChoiceJudging& judging);

} // namespace rekal
