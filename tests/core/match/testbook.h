#pragma once
// Books of question cards built directly in memory, for tests that need cards but not the file format.

#include "core/data/book.h"

#include <initializer_list>
#include <optional>
#include <string>

namespace rekal::test {

struct QuestionTexts {
    std::string question;
    std::optional<std::string> answers = std::string(); // list text, 0x03 between alternatives
    std::optional<std::string> hints = std::nullopt;
    std::optional<std::string> wrongChoices = std::nullopt;
    std::optional<std::string> comment = std::nullopt;
};

// Every entry becomes one question card, preceded by a comment card (so cards and questions differ).
inline void fillBook(QuestionBook& book, std::initializer_list<QuestionTexts> questions) {
    BookBuilder builder(book, 16, std::string());
    auto text = [&](const std::optional<std::string>& t) {
        return StoredText{t ? builder.copyText(*t) : nullptr};
    };
    for (const QuestionTexts& q : questions) {
        builder.append(builder.make<Card>(CardKind::Comment));
        QuestionCard* card = builder.make<QuestionCard>(CardKind::Question);
        card->question = text(q.question);
        card->answers = card->rawAnswer = text(q.answers);
        card->hints = text(q.hints);
        card->wrongChoices = card->rawWrongChoices = text(q.wrongChoices);
        card->comment = text(q.comment);
        builder.append(card);
    }
    builder.commit();
}

} // namespace rekal::test
