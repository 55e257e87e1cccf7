#include "core/exam/choices.h"

#include "core/exam/method.h"
#include "core/match/answer.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace rekal {

namespace {

// The pool of draws: positions 0..n-1 taken out one at a time, the k-th remaining one found in
// logarithmic time (the rest keep their order, as if the taken one were erased from a list).
class DrawPool {
  public:
    explicit DrawPool(int n) : size_(n), tree_(static_cast<std::size_t>(n) + 1, 0) {
        for (int i = 1; i <= n; ++i) {
            tree_[idx(i)] += 1;
            const int parent = i + (i & -i);
            if (parent <= n) tree_[idx(parent)] += tree_[idx(i)];
        }
        while (top_ * 2 <= n)
            top_ *= 2;
    }
    int size() const { return size_; }

    // Removes the k-th (from 0) remaining position and returns it.
    int take(int k) {
        int pos = 0;
        int rest = k + 1;
        const int n = static_cast<int>(tree_.size()) - 1;
        for (int step = top_; step > 0; step /= 2) {
            const int next = pos + step;
            if (next <= n && tree_[idx(next)] < rest) {
                pos = next;
                rest -= tree_[idx(next)];
            }
        }
        for (int i = pos + 1; i <= n; i += i & -i)
            --tree_[idx(i)];
        --size_;
        return pos;
    }

  private:
    static std::size_t idx(int i) { return static_cast<std::size_t>(i); }
    int size_;
    int top_ = 1;
    std::vector<int> tree_;
};

// The number of choices wanted for q in this mode, 0 for none.
int wantedChoices(const TitleCard* title, const Settings& settings, int answerMode) {
    switch (answerMode) {
    case AnswerWritten:
    case AnswerConfirm:
        return 0;
    case AnswerChoice:
        return std::clamp<int>(settings.defaultSelection, 0, kMaxChoices);
    default:
        return title ? std::min<int>(title->choiceCount, kMaxChoices) : 0;
    }
}

// First and last question index of the section of q: from the first question after its title card
// (the first of the book when it has none) up to the next title card.
std::pair<int, int> sectionOf(const QuestionBook& book, const QuestionCard& q) {
    const TitleCard* title = book.enclosingTitle(&q);
    int first = 0;
    if (title) {
        const QuestionCard* head = book.nextQuestion(title);
        first = head ? head->kindIndex : q.kindIndex;
    }
    const TitleCard* nextTitle = book.titleAt(title ? title->kindIndex + 1 : 0);
    const int last = nextTitle ? book.indexOfKind(nextTitle, CardKind::Question) : book.questionCount() - 1;
    return {first, last};
}

// The question indices choices are drawn from, by the SelectFrom bits (1 the section, 2 the group).
std::vector<int> questionPool(const QuestionBook& book, const Settings& settings, const QuestionCard& q) {
    const bool bySection = (settings.selectFrom & 1) != 0;
    const bool byGroup = (settings.selectFrom & 2) != 0;
    int first = 0;
    int last = book.questionCount() - 1;
    if (bySection) std::tie(first, last) = sectionOf(book, q);
    std::vector<int> pool;
    pool.reserve(static_cast<std::size_t>(std::max(last - first + 1, 0)));
    for (int i = first; i <= last; ++i) {
        const QuestionCard* other = book.questionAt(i);
        if (!other) continue;
        if (byGroup && other->group != 0 && other->group != q.group) continue;
        pool.push_back(i);
    }
    return pool;
}

bool alreadyTaken(const std::vector<Choice>& out, const std::string& text) {
    return std::any_of(out.begin(), out.end(), [&](const Choice& c) { return c.text == text; });
}

// Whether choosing the text would be judged right for q: the chosen text is judged with its line
// feeds removed, as a given answer is.
bool acceptedBy(const QuestionCard& q, std::string text, CompareOptions options, const VagueReplacer& vague) {
    text.erase(std::remove(text.begin(), text.end(), kLineBreak), text.end());
    return isAnswerRight(&q, text, options, vague);
}

} // namespace

FontSpec answerFontFor(const QuestionBook& book, const Settings& settings, const QuestionCard& q) {
    const FontSpec& base = settings.fonts[AnswerFont];
    if ((settings.useData & UseFonts) == 0) return base;
    const FontCard* card = book.fontInEffect(&q, AnswerFont);
    return card ? applyFontCard(base, card) : base;
}

bool buildChoices(std::vector<Choice>& out, const QuestionBook& book, const Settings& settings,
                  RandomGenerator& random, const QuestionCard& q, int answerMode,
                  const ChoiceJudging& judging) {
    out.clear();
    const int wanted = wantedChoices(book.enclosingTitle(&q), settings, answerMode);
    if (wanted < 1) return false;

    const bool ownWrongChoices =
        (settings.useData & UseQuestionSettings) != 0 && book.wrongChoiceCount(&q) > 0;
    std::vector<int> questions;
    const int poolSize = ownWrongChoices
                             ? book.wrongChoiceCount(&q)
                             : static_cast<int>((questions = questionPool(book, settings, q)).size());

    std::optional<std::string> right = book.displayAnswer(&q);
    if (!right) return false;
    const FontSpec ownFont = answerFontFor(book, settings, q);
    out.push_back(Choice{std::move(*right), ownFont});

    const VagueReplacer vague = (judging.options & CompareVague) != 0 && judging.vague
                                    ? VagueReplacer(*judging.vague)
                                    : VagueReplacer();
    DrawPool pool(poolSize);
    while (static_cast<int>(out.size()) < wanted && pool.size() > 0) {
        const int position = pool.take(random.below(pool.size()));
        std::optional<std::string> text;
        FontSpec font = ownFont;
        if (ownWrongChoices) {
            text = book.wrongChoiceAt(&q, position);
        } else {
            const QuestionCard* other = book.questionAt(questions[static_cast<std::size_t>(position)]);
            text = book.displayAnswer(other);
            if (other) font = answerFontFor(book, settings, *other);
        }
        if (!text || alreadyTaken(out, *text) || acceptedBy(q, *text, judging.options, vague)) continue;
        out.push_back(Choice{std::move(*text), std::move(font)});
    }

    const int at = random.below(static_cast<int>(out.size()));
    std::swap(out[0], out[static_cast<std::size_t>(at)]);
    return true;
}

} // namespace rekal
