// The question book's queries and changes.

#include "book_fixture.h"

#include <gtest/gtest.h>

#include <random>

namespace rekal {
namespace {

using test::cardsOf;
using test::loadText;
using test::text;

QuestionBook& loaded(QuestionBook& book, std::string_view body) {
    auto r = loadText(book, "REKALDATA V1.6\n" + std::string(body));
    EXPECT_TRUE(r.ok);
    return book;
}

TEST(Book, EmptyBookAnswersNone) {
    QuestionBook book;
    EXPECT_FALSE(book.isLoaded());
    EXPECT_EQ(book.questionCount(), 0);
    EXPECT_EQ(book.questionAt(0), nullptr);
    EXPECT_EQ(book.titleAt(0), nullptr);
    EXPECT_EQ(book.nextQuestion(nullptr), nullptr);
    EXPECT_EQ(book.enclosingTitle(nullptr), nullptr);
    EXPECT_EQ(book.indexOfKind(nullptr, CardKind::Question), -1);
    EXPECT_EQ(book.countInRange(0, 10), 0);
    EXPECT_EQ(book.valueInEffect(nullptr, CardKind::TimeLimit), -1);
    EXPECT_EQ(book.compareOptionsFor(nullptr), -1);
    EXPECT_EQ(book.groupName(0), "全般");
    book.clearHistories();
    EXPECT_FALSE(book.isDirty());
}

TEST(Book, FirstCardIsAQuestion) {
    QuestionBook book;
    loaded(book, "q,a,<00\n#t,001010\nq2,a,<00\n");
    const QuestionCard* q = book.questionAt(0);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q, book.firstCard());
    EXPECT_EQ(book.enclosingTitle(q), nullptr);
    EXPECT_EQ(book.compareOptionsFor(q), -1);
    EXPECT_EQ(book.compareOptionsFor(book.questionAt(1)), CompareIgnoreKana | CompareIgnoreSymbols);
    EXPECT_EQ(book.questionAt(-1), nullptr);
    EXPECT_EQ(book.questionAt(2), nullptr);
    EXPECT_EQ(book.indexOfKind(book.titleAt(0), CardKind::Question), 0);
    EXPECT_EQ(book.indexOfKind(q, CardKind::Title), -1);
}

TEST(Book, HistoryUpdates) {
    QuestionBook book;
    loaded(book, "q,a,[00\nq,a,<00\n");
    const QuestionCard* full = book.questionAt(0);
    const QuestionCard* fresh = book.questionAt(1);
    EXPECT_EQ(full->history, 31);
    book.recordResult(full, Verdict::Wrong);
    EXPECT_EQ(full->history, 15);
    EXPECT_TRUE(book.isDirty());
    book.recordResult(fresh, Verdict::Right);
    EXPECT_EQ(fresh->history, 16);
    book.recordResult(fresh, Verdict::Skipped);
    EXPECT_EQ(fresh->history, 16);

    EXPECT_FALSE(book.setHistory(fresh, 32));
    EXPECT_FALSE(book.setHistory(fresh, -1));
    EXPECT_EQ(fresh->history, 16);
    EXPECT_TRUE(book.setHistory(fresh, 31));
    EXPECT_EQ(fresh->history, 31);

    book.setDirty(false);
    book.clearHistories();
    EXPECT_TRUE(book.isDirty());
    EXPECT_EQ(full->history, 0);
    EXPECT_EQ(fresh->history, 0);
}

TEST(Book, ChangesRefuseCardsOfAnotherBook) {
    QuestionBook a, b;
    loaded(a, "q,a,<00\n");
    loaded(b, "q,a,<00\n");
    EXPECT_FALSE(a.setHistory(b.questionAt(0), 5));
    a.recordResult(b.questionAt(0), Verdict::Right);
    EXPECT_EQ(b.questionAt(0)->history, 0);
    EXPECT_FALSE(a.isDirty());
}

TEST(Book, GroupNamesTakeTheFirstNonEmptyName) {
    QuestionBook book;
    loaded(book, "$Group=,一,二,,四\n$Group=零,壱,,参\nq,a,<00\n");
    EXPECT_EQ(book.groupName(0), "零");
    EXPECT_EQ(book.groupName(1), "一");
    EXPECT_EQ(book.groupName(2), "二");
    EXPECT_EQ(book.groupName(3), "参");
    EXPECT_EQ(book.groupName(5), "５");
    EXPECT_EQ(book.groupName(9), "９");
    EXPECT_EQ(book.groupName(10), std::nullopt);
    EXPECT_EQ(book.groupName(-1), std::nullopt);
}

TEST(Book, ValuesAndFontsInEffect) {
    QuestionBook book;
    loaded(book, "q0,a,<00\n$TimeLimit=10\n$FontQuestion=14,,Face\nq1,a,<00\n$TimeLimit=20\n"
                 "$FontQuestion=,0\nq2,a,<00\n");
    const QuestionCard* q0 = book.questionAt(0);
    const QuestionCard* q1 = book.questionAt(1);
    const QuestionCard* q2 = book.questionAt(2);
    EXPECT_EQ(book.valueInEffect(q0, CardKind::TimeLimit), -1);
    EXPECT_EQ(book.valueInEffect(q1, CardKind::TimeLimit), 10);
    EXPECT_EQ(book.valueInEffect(q2, CardKind::TimeLimit), 20);
    EXPECT_EQ(book.valueInEffect(q2, CardKind::QuestionShowTime), -1);
    EXPECT_EQ(book.valueInEffect(q2, CardKind::Question), -1);
    EXPECT_EQ(book.valueInEffect(cardsOf(book)[1], CardKind::TimeLimit), 10);

    EXPECT_EQ(book.fontInEffect(q0, QuestionFont), nullptr);
    EXPECT_EQ(book.fontInEffect(q1, HintFont), nullptr);
    FontSpec base{11, 128, 0x123456, 0xFFFFFF, "Base"};
    FontSpec font = applyFontCard(base, book.fontInEffect(q1, QuestionFont));
    EXPECT_EQ(font.size, 14);
    EXPECT_EQ(font.charSet, 128);
    EXPECT_EQ(font.face, "Face");
    EXPECT_EQ(font.color, 0x123456u);
    // The nearest font card wins alone; it does not add up with earlier ones.
    font = applyFontCard(base, book.fontInEffect(q2, QuestionFont));
    EXPECT_EQ(font.size, 11);
    EXPECT_EQ(font.charSet, 0);
    EXPECT_EQ(font.face, "Base");
}

TEST(Book, NavigationAndCounts) {
    QuestionBook book;
    loaded(book, "'c\n#t0,000000\nq0,a,<10\nq1,a,<20\n#t1,000000\n\nq2,a,<00\nq3,a,<90\n'end\n");
    auto cards = cardsOf(book);
    ASSERT_EQ(book.cardCount(), 9);
    EXPECT_EQ(book.lastCard(), cards.back());
    EXPECT_EQ(cards[1]->prev, cards[0]);
    EXPECT_EQ(book.nextQuestion(cards[0]), book.questionAt(0));
    EXPECT_EQ(book.nextQuestion(book.questionAt(1)), book.questionAt(2));
    EXPECT_EQ(book.nextQuestion(book.questionAt(3)), nullptr);
    EXPECT_EQ(book.nextQuestion(cards[5]), book.questionAt(2));
    EXPECT_EQ(book.enclosingTitle(cards[5]), book.titleAt(1));
    EXPECT_EQ(book.enclosingTitle(cards[0]), nullptr);
    EXPECT_EQ(book.indexOfKind(cards[5], CardKind::Question), 1);
    EXPECT_EQ(book.indexOfKind(cards[5], CardKind::Comment), 1);
    EXPECT_EQ(book.indexOfKind(cards[8], CardKind::Comment), 2);
    EXPECT_EQ(book.indexOfKind(cards[8], CardKind::Message), -1);

    EXPECT_EQ(book.countInRange(0, 3), 4);
    EXPECT_EQ(book.countInRange(-5, 1), 2);
    EXPECT_EQ(book.countInRange(2, 100), 2);
    EXPECT_EQ(book.countInRange(3, 2), 0);
    book.setGroupEnabled(1, false);
    book.setGroupEnabled(9, false);
    EXPECT_EQ(book.countInRange(0, 3), 2);
    EXPECT_TRUE(book.groupEnabled(0));
    EXPECT_FALSE(book.groupEnabled(1));
    book.setGroupEnabled(0, false);
    EXPECT_TRUE(book.groupEnabled(0));
}

TEST(Book, ListGettersGiveCopiesOrNone) {
    QuestionBook book;
    loaded(book, "q\\ha\\h\\hb,x|y|,<02\nq,,<00\n");
    const QuestionCard* q = book.questionAt(0);
    EXPECT_EQ(book.hintCount(q), 3);
    EXPECT_EQ(book.hintAt(q, 1), "");
    EXPECT_EQ(book.hintAt(q, 2), "b");
    EXPECT_EQ(book.hintAt(q, 3), std::nullopt);
    EXPECT_EQ(book.hintAt(q, -1), std::nullopt);
    EXPECT_EQ(book.answerCount(q), 3);
    EXPECT_EQ(book.displayAnswer(q), "");
    EXPECT_EQ(book.wrongChoiceCount(q), 0);
    EXPECT_EQ(book.wrongChoiceAt(q, 0), std::nullopt);
    q = book.questionAt(1);
    EXPECT_EQ(book.answerCount(q), 0);
    EXPECT_EQ(book.answerAt(q, 0), "");
    EXPECT_EQ(book.answerAt(nullptr, 0), std::nullopt);
}

TEST(Book, DisplayIndexBeyondTheAnswersGivesNone) {
    QuestionBook book;
    loaded(book, "q,a|b,<05\n");
    EXPECT_EQ(book.displayAnswer(book.questionAt(0)), std::nullopt);
}

TEST(Book, DiscardReleasesEverything) {
    QuestionBook book;
    loaded(book, "q,a,<00\n$Group=x\n");
    EXPECT_GT(book.memoryUsed(), 0u);
    book.discard();
    EXPECT_FALSE(book.isLoaded());
    EXPECT_EQ(book.firstCard(), nullptr);
    EXPECT_EQ(book.questionCount(), 0);
    EXPECT_EQ(book.cardCount(), 0);
    EXPECT_EQ(book.groupName(0), "全般");
    EXPECT_EQ(book.memoryUsed(), 0u);
}

TEST(HintPager, WrapsAtBothEnds) {
    HintPager pager{2, 3};
    EXPECT_EQ(pager.counterText(), "3 / 3");
    pager.step(+1);
    EXPECT_EQ(pager.counterText(), "1 / 3");
    pager.step(-1);
    EXPECT_EQ(pager.counterText(), "3 / 3");
    pager.step(-1);
    EXPECT_EQ(pager.position, 1);
    EXPECT_FALSE(pager.show(3));
    EXPECT_FALSE(pager.show(-1));
    EXPECT_EQ(pager.position, 1);
    EXPECT_TRUE(pager.show(0));
    EXPECT_EQ(pager.position, 0);
    HintPager none;
    none.step(1);
    EXPECT_EQ(none.position, 0);
}

// The index must give what a walk over the card list gives, for every card and kind.
class LinearWalk {
  public:
    explicit LinearWalk(const QuestionBook& book) : book_(book) {}

    int indexOfKind(const Card* card, CardKind kind) const {
        if (!card) return -1;
        int n = 0;
        for (const Card* c = card; c; c = c->prev)
            n += c->kind == kind;
        return n - 1;
    }
    const Card* lastAtOrBefore(const Card* card, CardKind kind) const {
        for (const Card* c = card; c; c = c->prev)
            if (c->kind == kind) return c;
        return nullptr;
    }
    const Card* nextQuestion(const Card* card) const {
        for (const Card* c = card->next; c; c = c->next)
            if (c->kind == CardKind::Question) return c;
        return nullptr;
    }
    const Card* nth(CardKind kind, int n) const {
        for (const Card* c = book_.firstCard(); c; c = c->next)
            if (c->kind == kind && n-- == 0) return c;
        return nullptr;
    }

  private:
    const QuestionBook& book_;
};

TEST(BookIndex, AgreesWithLinearWalks) {
    const char* lines[] = {"q,a,<00",
                           "#t,000000",
                           "#u,011111",
                           "'c",
                           "",
                           "$TimeLimit=5",
                           "$QuestionShowTime=6",
                           "$AnswerStartTime=7",
                           "$Message=m",
                           "$Group=a",
                           "$FontTitle=1",
                           "$FontQuestion=2",
                           "$FontHint=3",
                           "$FontAnswer=4",
                           "$FontGroup=5",
                           "$FontComment=6",
                           "bad"};
    const CardKind kinds[] = {
        CardKind::Title,     CardKind::Question,     CardKind::Comment,          CardKind::GroupNames,
        CardKind::Message,   CardKind::TimeLimit,    CardKind::QuestionShowTime, CardKind::AnswerStartTime,
        CardKind::FontTitle, CardKind::FontQuestion, CardKind::FontHint,         CardKind::FontAnswer,
        CardKind::FontGroup, CardKind::FontComment};
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::string body;
        int count = 1 + static_cast<int>(random() % 120);
        for (int i = 0; i < count; ++i) {
            // Questions most of the time, so that long runs of them occur.
            std::size_t pick = random() % 3 == 0 ? random() % std::size(lines) : 0;
            body += lines[pick];
            body += '\n';
        }
        body += "q,a,<00\n";
        QuestionBook book;
        loaded(book, body);
        LinearWalk walk(book);
        for (const Card* card : cardsOf(book)) {
            for (CardKind kind : kinds) {
                ASSERT_EQ(book.indexOfKind(card, kind), walk.indexOfKind(card, kind));
            }
            ASSERT_EQ(book.enclosingTitle(card), walk.lastAtOrBefore(card, CardKind::Title));
            ASSERT_EQ(book.nextQuestion(card), walk.nextQuestion(card));
            for (CardKind kind :
                 {CardKind::TimeLimit, CardKind::QuestionShowTime, CardKind::AnswerStartTime}) {
                const Card* v = walk.lastAtOrBefore(card, kind);
                ASSERT_EQ(book.valueInEffect(card, kind), v ? asValue(v)->value : -1);
            }
            for (int fc = 0; fc < kStoredFontCount; ++fc) {
                auto textClass = static_cast<FontClass>(fc);
                ASSERT_EQ(book.fontInEffect(card, textClass),
                          walk.lastAtOrBefore(card, fontCardKind(textClass)));
            }
        }
        for (int n = -1; n <= book.questionCount(); ++n)
            ASSERT_EQ(book.questionAt(n), walk.nth(CardKind::Question, n));
        for (int n = -1; n <= book.titleCount(); ++n)
            ASSERT_EQ(book.titleAt(n), walk.nth(CardKind::Title, n));
    }
}

} // namespace
} // namespace rekal
