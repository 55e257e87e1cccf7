#pragma once
// The numbers behind the start dialogs: reading and checking a range of question or title numbers
// with the groups chosen in the range dialog, and the largest count the count and weak-point
// dialogs accept.

#include "core/data/book.h"
#include "core/exam/selection.h"
#include "core/settings/settings.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace rekal {

// The largest count the settings keep as the next initial count.
inline constexpr int kMaxStoredExamCount = 32767;

// What the range dialog shows: numbers are question numbers or title numbers (from 1).
struct RangeChoice {
    bool byTitle = false;
    std::string_view startText;
    std::string_view endText;
    std::array<bool, 9> groups{}; // groups 1 to 9 selected in the list
};

struct RangeCheck {
    int count = 0; // eligible questions; 0 when the choice is refused
    int first = 0; // question indices of the range (valid when count > 0)
    int last = -1;
    std::optional<int> start; // the numbers read, each when it names a question or title
    std::optional<int> end;

    bool valid() const { return count > 0; }
};

// The largest number the edits take: the number of questions, or of titles.
int rangeNumberLimit(const QuestionBook& book, bool byTitle);

// Reads both numbers and counts the eligible questions with the chosen groups. A number that is
// empty, not a whole number, below 1 or above the limit, a start after the end, or a range whose
// questions are all in unselected groups gives a count of 0.
RangeCheck checkRange(const QuestionBook& book, const RangeChoice& choice);

// Stores an accepted range: the question indices and the group flags.
void storeRange(QuestionBook& book, const RangeCheck& check, const std::array<bool, 9>& groups);

// The largest count of the count and weak-point dialogs: with the no-repeat box the eligible
// questions of the stored range (at least 1), else the largest count the settings keep.
int examCountMaximum(const QuestionBook& book, bool noRepeat);

// The count the count and weak-point dialogs open with: the kept initial count, brought within
// 1 … maximum so that "OK" at once accepts what is shown.
int openingExamCount(const Settings& settings, int maximum);

// "(1～max)": the largest number an edit of the start dialogs takes, shown beside it.
std::string numberLimitText(int maximum);

// What "OK" of the count and weak-point dialogs reads.
struct CountChoice {
    std::string_view countText;
    bool noRepeat = false;
    std::optional<int> weakPointStrength; // the trackbar's position (the weak-point dialog only)
};

// "OK" of the count and weak-point dialogs. The box goes into NoAlready and the trackbar's
// position into WeakPointStrength first, so both stay even when the count is refused. A count
// from 1 to examCountMaximum(book, noRepeat) is accepted and kept as the next initial count
// (within what the settings keep). The accepted count, or none.
std::optional<int> acceptExamCount(const QuestionBook& book, Settings& settings, const CountChoice& choice);

// The count kept as the next initial count (a no-repeat count may exceed what the settings keep).
inline int storedExamCount(int count) {
    return count < 1 ? 1 : count > kMaxStoredExamCount ? kMaxStoredExamCount : count;
}

} // namespace rekal
