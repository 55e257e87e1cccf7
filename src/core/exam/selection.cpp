#include "core/exam/selection.h"

#include <algorithm>
#include <array>
#include <optional>

namespace rekal {

ExamRange examRangeOf(const QuestionBook& book) {
    ExamRange range;
    range.first = book.rangeFirst();
    range.last = book.rangeLast();
    for (int g = 1; g <= 9; ++g)
        range.groups[static_cast<std::size_t>(g - 1)] = book.groupEnabled(g);
    return range;
}

int countEligible(const QuestionBook& book, const ExamRange& range) {
    const int first = std::max(range.first, 0);
    const int last = std::min(range.last, book.questionCount() - 1);
    int count = 0;
    for (int i = first; i <= last; ++i) {
        const QuestionCard* q = book.questionAt(i);
        if (q && range.eligible(*q)) ++count;
    }
    return count;
}

// ---- AskedSet ----

void AskedSet::rebuild(const QuestionBook& book, const ExamRange& range,
                       const std::vector<ExamResult>& results, int asked) {
    flags_.assign(static_cast<std::size_t>(std::max(book.questionCount(), 0)), 0);
    eligible_ = countEligible(book, range);
    eligibleAny_ = eligibleRightOrSkipped_ = eligibleRight_ = 0;
    ready_ = true;
    const int finished = std::min<int>(asked, static_cast<int>(results.size()));
    for (int i = 0; i < finished; ++i)
        note(book, range, results[static_cast<std::size_t>(i)].question,
             results[static_cast<std::size_t>(i)].verdict);
}

void AskedSet::note(const QuestionBook& book, const ExamRange& range, int question, Verdict verdict) {
    if (!ready_ || question < 0 || static_cast<std::size_t>(question) >= flags_.size()) return;
    std::uint8_t& f = flags_[static_cast<std::size_t>(question)];
    const std::uint8_t before = f;
    f |= verdict == Verdict::Right ? kRight : verdict == Verdict::Skipped ? kSkipped : kWrong;
    if (f == before || question < range.first || question > range.last) return;
    const QuestionCard* q = book.questionAt(question);
    if (!q || !range.eligible(*q)) return;
    if (before == 0) ++eligibleAny_;
    if ((before & (kRight | kSkipped)) == 0 && (f & (kRight | kSkipped)) != 0) ++eligibleRightOrSkipped_;
    if ((before & kRight) == 0 && (f & kRight) != 0) ++eligibleRight_;
}

// ---- draws ----

namespace {

enum class Blocked { Nothing, Any, RightOrSkipped, Right };

bool isBlocked(const AskedSet& set, int q, Blocked rule) {
    switch (rule) {
    case Blocked::Any:
        return set.any(q);
    case Blocked::RightOrSkipped:
        return set.rightOrSkipped(q);
    case Blocked::Right:
        return set.right(q);
    default:
        return false;
    }
}

} // namespace

int drawRandom(ExamSelection& run, const QuestionBook& book, RandomGenerator& random) {
    AskedSet& set = run.askedSet;
    if (!set.ready()) set.rebuild(book, run.range, run.results, run.asked);
    Blocked rule = Blocked::Nothing;
    if (hasFlag(run.method, MethodNoRepeat)) {
        if (methodKind(run.method) == KindComplete) {
            // A question answered right (or skipped) is not drawn again; once only skipped ones are
            // left, they come again instead of the draw searching for ever.
            if (set.eligible() - set.eligibleRightOrSkipped() > 0)
                rule = Blocked::RightOrSkipped;
            else if (set.eligible() - set.eligibleRight() > 0)
                rule = Blocked::Right;
            else
                return kNoQuestion;
        } else {
            if (set.eligible() - set.eligibleAny() <= 0) return kNoQuestion;
            rule = Blocked::Any;
        }
    } else if (set.eligible() <= 0) {
        return kNoQuestion;
    }
    const long long span = static_cast<long long>(run.range.last) - run.range.first + 1;
    if (span <= 0 || span > 0x3FFFFFFF) return kNoQuestion;
    for (;;) {
        const int index = random.below(static_cast<int>(span)) + run.range.first;
        const QuestionCard* q = book.questionAt(index);
        if (!q || !run.range.eligible(*q)) continue;
        if (isBlocked(set, index, rule)) continue;
        return index;
    }
}

namespace {

// How many eligible questions of the range hold each history value, when every question of the range
// is eligible and none is barred as already asked: then each draw takes exactly one candidate (one
// or two generator values), so a level of the weak-point search that no question can pass is known
// in advance to refuse all its draws.
std::optional<std::array<int, 32>> historiesWhenEveryDrawCounts(ExamSelection& run,
                                                                const QuestionBook& book) {
    const AskedSet& set = run.askedSet;
    const long long span = static_cast<long long>(run.range.last) - run.range.first + 1;
    if (run.range.first < 0 || span != set.eligible()) return std::nullopt;
    if (hasFlag(run.method, MethodNoRepeat) && set.eligibleAny() > 0) return std::nullopt;
    std::array<int, 32> counts{};
    for (int i = run.range.first; i <= run.range.last; ++i)
        ++counts[book.questionAt(i)->history & 31];
    return counts;
}

bool noQuestionPasses(const std::array<int, 32>& histories, int mask) {
    for (int h = 0; h < 32; ++h) {
        if ((h & mask) == 0 && histories[static_cast<std::size_t>(h)] > 0) return false;
    }
    return true;
}

} // namespace

int pickWeakPoint(ExamSelection& run, const QuestionBook& book, RandomGenerator& random,
                  int weakPointStrength, BusyIndicator* busy) {
    if (busy) busy->beginBusy("選択中...");
    const long long span = static_cast<long long>(run.range.last) - run.range.first + 1;
    const long long perLevel = span * weakPointStrength * 2 / 10;
    if (!run.askedSet.ready()) run.askedSet.rebuild(book, run.range, run.results, run.asked);
    const std::optional<std::array<int, 32>> histories =
        perLevel > 0 ? historiesWhenEveryDrawCounts(run, book) : std::nullopt;
    const int valuesPerDraw = span > RandomGenerator::kMaxValue + 1 ? 2 : 1;
    long long tries = perLevel;
    int mask = 16;
    int pick = kNoQuestion;
    for (;;) {
        if (tries <= 0) {
            tries = perLevel;
            mask /= 2;
        }
        if (histories && mask != 0 && tries > 0 && noQuestionPasses(*histories, mask)) {
            // Every draw of this level would be refused: skip them, generator values included.
            random.discard(static_cast<std::uint64_t>(tries) * valuesPerDraw);
            tries = 0;
            continue;
        }
        const int candidate = drawRandom(run, book, random);
        if (candidate == kNoQuestion) break;
        --tries;
        if ((book.questionAt(candidate)->history & mask) == 0) {
            pick = candidate;
            break;
        }
    }
    if (busy) busy->endBusy();
    return pick;
}

int pickNext(ExamSelection& run, const QuestionBook& book, RandomGenerator& random, int weakPointStrength,
             BusyIndicator* busy) {
    if (run.method == kMethodAll) {
        for (;;) {
            if (run.current >= run.range.last) return kNoQuestion;
            ++run.current;
            const QuestionCard* q = book.questionAt(run.current);
            if (q && run.range.eligible(*q)) return run.current;
        }
    }
    if (run.remaining <= 0) return kNoQuestion;
    int pick = kNoQuestion;
    if (hasFlag(run.method, MethodFixedList)) {
        // An entry naming a question the book does not have (a re-exam of a file that has since
        // shrunk) is dropped from the list.
        while (run.remaining > 0 && static_cast<std::size_t>(run.asked) < run.results.size()) {
            --run.remaining;
            const auto at = run.results.begin() + run.asked;
            if (book.questionAt(at->question)) {
                pick = at->question;
                break;
            }
            run.results.erase(at);
        }
    } else if (run.method == kMethodComplete) {
        pick = drawRandom(run, book, random);
    } else if (methodKind(run.method) == KindWeak) {
        --run.remaining;
        pick = pickWeakPoint(run, book, random, weakPointStrength, busy);
    } else {
        --run.remaining;
        pick = drawRandom(run, book, random);
    }
    if (pick != kNoQuestion) run.current = pick;
    return pick;
}

// ---- fixed lists ----

void buildRetryList(ExamSelection& run) {
    int count = 0;
    const int finished = std::min<int>(run.asked, static_cast<int>(run.results.size()));
    for (int i = 0; i < finished; ++i) {
        const ExamResult entry = run.results[static_cast<std::size_t>(i)];
        if (entry.verdict != Verdict::Wrong) continue;
        run.results[static_cast<std::size_t>(count)] = ExamResult{0, entry.question, Verdict::None};
        ++count;
    }
    run.results.resize(static_cast<std::size_t>(count));
    run.remaining = count;
    run.method = kMethodRetry;
}

void shuffleFixedList(ExamSelection& run, RandomGenerator& random) {
    run.method |= MethodRandom;
    const int n = std::min<int>(run.remaining, static_cast<int>(run.results.size()));
    for (int i = n - 1; i >= 0; --i) {
        const int j = random.below(n);
        std::swap(run.results[static_cast<std::size_t>(i)].question,
                  run.results[static_cast<std::size_t>(j)].question);
    }
}

void remapRunQuestions(ExamSelection& run, const QuestionBook& book, const std::vector<int>& newIndex) {
    const auto mapped = [&](int q) {
        return q >= 0 && static_cast<std::size_t>(q) < newIndex.size() ? newIndex[static_cast<std::size_t>(q)]
                                                                       : kNoQuestion;
    };
    // Only the finished entries matter once the run is over; the counts (asked, right, wrong) stay
    // what the run did, the entries of lost questions go.
    run.results.resize(std::min(run.results.size(), static_cast<std::size_t>(std::max(run.asked, 0))));
    std::erase_if(run.results, [&](ExamResult& entry) {
        entry.question = mapped(entry.question);
        return entry.question == kNoQuestion;
    });
    run.current = std::max(0, mapped(run.current));
    run.range.last = std::min(run.range.last, book.questionCount() - 1);
    if (run.range.first > run.range.last) run.range.first = 0;
    run.askedSet.invalidate();
}

void setFixedList(ExamSelection& run, const std::vector<int>& questions, ExamKind kind) {
    run.results.assign(questions.size(), ExamResult{});
    for (std::size_t i = 0; i < questions.size(); ++i)
        run.results[i].question = questions[i];
    run.remaining = static_cast<int>(questions.size());
    run.method = kind | MethodFixedList;
}

// ---- title numbers ----

namespace {

// The index of the first question card after title number n (from 1), or none.
std::optional<int> firstQuestionAfterTitle(const QuestionBook& book, int n) {
    const TitleCard* title = book.titleAt(n - 1);
    if (!title) return std::nullopt;
    const QuestionCard* q = book.nextQuestion(title);
    if (!q) return std::nullopt;
    return q->kindIndex;
}

} // namespace

std::optional<QuestionSpan> titleRangeToQuestions(const QuestionBook& book, int firstTitle, int lastTitle) {
    const int titles = book.titleCount();
    if (firstTitle < 1 || lastTitle < 1 || firstTitle > titles || lastTitle > titles) return std::nullopt;
    const int lastQuestion = book.questionCount() - 1;
    QuestionSpan span;
    span.first = firstQuestionAfterTitle(book, firstTitle).value_or(lastQuestion);
    const std::optional<int> next = firstQuestionAfterTitle(book, lastTitle + 1);
    span.last = next ? *next - 1 : lastQuestion;
    return span;
}

} // namespace rekal
