#include "core/match/answer.h"

#include "core/match/sjistext.h"

#include <new>

namespace rekal {

bool isAnswerRight(const QuestionCard* q, std::string_view answer, CompareOptions options,
                   const VagueReplacer& vague) {
    if (!q || !q->answers.present()) return false;
    try {
        const std::string folded = foldForCompare(answer, options, vague);
        // Alternatives are the pieces between separators; an empty list is one empty alternative.
        std::string alternative, foldedAlternative;
        std::string_view rest = q->answers.view();
        for (;;) {
            const std::size_t end = rest.find(kListSeparator);
            std::string_view item = rest.substr(0, end);
            if (item.find(kLineBreak) != std::string_view::npos) {
                alternative.assign(item);
                removeChar(alternative, kLineBreak);
                item = alternative;
            }
            foldForCompare(item, options, vague, foldedAlternative);
            if (foldedAlternative == folded) return true;
            if (end == std::string_view::npos) return false;
            rest.remove_prefix(end + 1);
        }
    } catch (const std::bad_alloc&) {
        return false; // out of memory counts as a wrong answer
    }
}

bool isAnswerRight(const QuestionCard* q, std::string_view answer, CompareOptions options,
                   const VagueTable& table) {
    return isAnswerRight(q, answer, options,
                         (options & CompareVague) ? VagueReplacer(table) : VagueReplacer());
}

} // namespace rekal
