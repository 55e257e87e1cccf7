#pragma once
// Which question an exam run asks next: the range and group filter, the draws of every method, the
// weak-point preference, and the fixed lists of retries and re-exams.

#include "core/data/book.h"
#include "core/exam/method.h"
#include "core/exam/random.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rekal {

// The questions a run may ask: question indices first..last (inclusive) whose group is 0 or has its
// flag on.
struct ExamRange {
    int first = 0;
    int last = -1;
    std::array<bool, 9> groups{}; // groups 1 to 9

    bool groupEnabled(int g) const { return g <= 0 || g > 9 || groups[static_cast<std::size_t>(g - 1)]; }
    bool eligible(const QuestionCard& q) const { return groupEnabled(q.group); }
};

// The book's stored range and group flags.
ExamRange examRangeOf(const QuestionBook& book);
// Eligible questions of the book with first <= index <= last (a negative first counts as 0).
int countEligible(const QuestionBook& book, const ExamRange& range);

// One asked question of a run. time: the tick when it was shown, and after the answer the
// milliseconds it took.
struct ExamResult {
    std::uint32_t time = 0;
    std::int32_t question = 0;
    Verdict verdict = Verdict::None;
};

// Which questions count as already asked in the running exam, kept as the verdicts are recorded
// instead of being looked up in the results; with counts of the eligible ones so that a draw knows
// whether anything is left to draw.
class AskedSet {
  public:
    void invalidate() { ready_ = false; }
    bool ready() const { return ready_; }
    // Rebuilds from the finished results.
    void rebuild(const QuestionBook& book, const ExamRange& range, const std::vector<ExamResult>& results,
                 int asked);
    void note(const QuestionBook& book, const ExamRange& range, int question, Verdict verdict);

    bool any(int q) const { return flag(q) != 0; }
    bool rightOrSkipped(int q) const { return (flag(q) & (kRight | kSkipped)) != 0; }
    bool right(int q) const { return (flag(q) & kRight) != 0; }

    int eligible() const { return eligible_; }
    int eligibleAny() const { return eligibleAny_; }
    int eligibleRightOrSkipped() const { return eligibleRightOrSkipped_; }
    int eligibleRight() const { return eligibleRight_; }

  private:
    static constexpr std::uint8_t kRight = 1, kWrong = 2, kSkipped = 4;
    std::uint8_t flag(int q) const {
        return q >= 0 && static_cast<std::size_t>(q) < flags_.size() ? flags_[static_cast<std::size_t>(q)]
                                                                     : 0;
    }

    bool ready_ = false;
    std::vector<std::uint8_t> flags_;
    int eligible_ = 0, eligibleAny_ = 0, eligibleRightOrSkipped_ = 0, eligibleRight_ = 0;
};

// Shows the wait cursor and a status text while a slow pick runs.
class BusyIndicator {
  public:
    virtual ~BusyIndicator() = default;
    virtual void beginBusy(std::string_view statusText) = 0;
    virtual void endBusy() = 0;
};

// The selection state of a run (the part of the ExamRun that the pick rules read and write).
struct ExamSelection {
    ExamMethod method = 0;
    ExamRange range;
    int current = 0;   // the question being asked; the in-order cursor
    int remaining = 0; // questions still to draw, right answers still missing (complete), list entries left
    int asked = 0;     // questions finished in this run; the results entry of the current question
    std::vector<ExamResult> results;
    AskedSet askedSet;
};

inline constexpr int kNoQuestion = -1;

// A random eligible question of the range; with NoRepeat one not yet asked (in a complete run a
// question answered wrong may come again, and once only skipped ones are left they may come again).
// kNoQuestion when nothing can be drawn.
int drawRandom(ExamSelection& run, const QuestionBook& book, RandomGenerator& random);

// The next question of the running method, or kNoQuestion when the run ends. Sets current.
int pickNext(ExamSelection& run, const QuestionBook& book, RandomGenerator& random, int weakPointStrength,
             BusyIndicator* busy = nullptr);

// The weak-point pick: prefers questions that were not right at their latest result.
int pickWeakPoint(ExamSelection& run, const QuestionBook& book, RandomGenerator& random,
                  int weakPointStrength, BusyIndicator* busy = nullptr);

// The wrong answers of the finished run as a fixed list, in asking order (method 0x44).
void buildRetryList(ExamSelection& run);
// Shuffles the prepared list and sets the Random flag.
void shuffleFixedList(ExamSelection& run, RandomGenerator& random);
// At the end of a run, the book was replaced by one read again from its file (newIndex: each old
// question index to the new one, -1 for a question the file no longer holds): the finished entries
// follow their questions, those of lost questions are dropped (the run's counts stay), and the range
// is kept inside the new book.
void remapRunQuestions(ExamSelection& run, const QuestionBook& book, const std::vector<int>& newIndex);

// Puts question indices into the list of a fixed-list run of the given kind.
void setFixedList(ExamSelection& run, const std::vector<int>& questions, ExamKind kind);

struct QuestionSpan {
    int first = 0;
    int last = 0;
};
// Title numbers (from 1) to the question range they cover; none when a number is out of range.
std::optional<QuestionSpan> titleRangeToQuestions(const QuestionBook& book, int firstTitle, int lastTitle);

} // namespace rekal
