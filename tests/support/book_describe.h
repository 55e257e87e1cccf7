#pragma once
// Every field of every card as text, for comparing two books card by card (the save tests and the
// save fuzzer).

#include "core/data/book.h"

#include <string>
#include <vector>

namespace rekal::test {

// Every field of every card, so that two books can be compared card by card. An absent text and
// an empty one count as the same (a save writes neither).
inline std::vector<std::string> describeCards(const QuestionBook& book) {
    std::vector<std::string> out;
    for (const Card* c = book.firstCard(); c; c = c->next) {
        std::string d = std::to_string(static_cast<int>(c->kind)) + "|" + std::string(c->comment.view());
        auto add = [&](StoredText t) { (d += "|") += t.view(); };
        if (const TitleCard* t = asTitle(c)) {
            add(t->title);
            d += "|" + std::to_string(t->choiceCount) + "|" + std::to_string(t->compareOptions);
        } else if (const QuestionCard* q = asQuestion(c)) {
            for (StoredText s :
                 {q->question, q->hints, q->rawAnswer, q->answers, q->rawWrongChoices, q->wrongChoices})
                add(s);
            d +=
                "|" + std::to_string(q->history) + std::to_string(q->group) + std::to_string(q->displayIndex);
        } else if (const GroupNamesCard* g = asGroupNames(c)) {
            for (StoredText s : g->names)
                add(s);
        } else if (const MessageCard* m = asMessage(c)) {
            add(m->message);
        } else if (const ValueCard* v = asValue(c)) {
            d += "|" + std::to_string(v->value);
        } else if (const FontCard* f = asFont(c)) {
            d += "|" + std::to_string(f->size) + "|" + std::to_string(f->charSet);
            add(f->face);
        }
        out.push_back(d);
    }
    return out;
}

} // namespace rekal::test
