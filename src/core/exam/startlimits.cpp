#include "core/exam/startlimits.h"

#include "core/shell/numberfield.h"

#include <algorithm>

namespace rekal {

int rangeNumberLimit(const QuestionBook& book, bool byTitle) {
    return std::max(byTitle ? book.titleCount() : book.questionCount(), 0);
}

RangeCheck checkRange(const QuestionBook& book, const RangeChoice& choice) {
    RangeCheck check;
    const int limit = rangeNumberLimit(book, choice.byTitle);
    if (limit < 1) return check;
    check.start = parseNumberField(choice.startText, 1, limit);
    check.end = parseNumberField(choice.endText, 1, limit);
    if (!check.start || !check.end || *check.start > *check.end) return check;
    if (choice.byTitle) {
        const std::optional<QuestionSpan> span = titleRangeToQuestions(book, *check.start, *check.end);
        if (!span) return check;
        check.first = span->first;
        check.last = span->last;
    } else {
        check.first = *check.start - 1;
        check.last = *check.end - 1;
    }
    ExamRange range;
    range.first = check.first;
    range.last = check.last;
    range.groups = choice.groups;
    check.count = countEligible(book, range);
    return check;
}

void storeRange(QuestionBook& book, const RangeCheck& check, const std::array<bool, 9>& groups) {
    if (!check.valid()) return;
    for (int g = 1; g <= 9; ++g)
        book.setGroupEnabled(g, groups[static_cast<std::size_t>(g - 1)]);
    book.setExamRange(check.first, check.last);
}

int examCountMaximum(const QuestionBook& book, bool noRepeat) {
    if (!noRepeat) return kMaxStoredExamCount;
    return std::max(book.countInRange(book.rangeFirst(), book.rangeLast()), 1);
}

int openingExamCount(const Settings& settings, int maximum) {
    return std::clamp(settings.initialExamCount, 1, std::max(maximum, 1));
}

std::string numberLimitText(int maximum) {
    return "(1～" + std::to_string(maximum) + ")";
}

std::optional<int> acceptExamCount(const QuestionBook& book, Settings& settings, const CountChoice& choice) {
    if (choice.weakPointStrength) settings.weakPointStrength = std::clamp(*choice.weakPointStrength, 0, 10);
    settings.set(NoAlready, choice.noRepeat);
    const std::optional<int> count =
        parseNumberField(choice.countText, 1, examCountMaximum(book, choice.noRepeat));
    if (count) settings.initialExamCount = storedExamCount(*count);
    return count;
}

} // namespace rekal
