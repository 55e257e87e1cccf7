#pragma once
// Helpers of the question-data tests: books loaded from literal file texts (CP932 literals).

#include "core/base/notifier.h"
#include "core/data/book.h"
#include "core/data/reader.h"
#include "core/settings/settings.h"

#include <string>
#include <string_view>
#include <vector>

namespace rekal::test {

// Settings whose six stored fonts use the given character set (SHIFTJIS unless told).
inline Settings settingsWithCharSet(int charSet = kCharSetShiftJis) {
    Settings settings;
    for (auto& font : settings.fonts)
        font.charSet = charSet;
    return settings;
}

struct Loaded {
    bool ok = false;
    RecordingNotifier notifier;
    LoadReport report;
};

inline Loaded loadText(QuestionBook& book, std::string_view text, std::string_view path = "test.rkf",
                       const Settings& settings = settingsWithCharSet()) {
    Loaded result;
    result.ok =
        loadBookFromBytes(book, path, std::string(text), settings, result.notifier, nullptr, &result.report);
    return result;
}

// The cards of the book in file order.
inline std::vector<const Card*> cardsOf(const QuestionBook& book) {
    std::vector<const Card*> cards;
    for (const Card* c = book.firstCard(); c; c = c->next)
        cards.push_back(c);
    return cards;
}

inline std::vector<std::string> items(StoredText list) {
    std::vector<std::string> out;
    for (int i = 0; i < listItemCount(list); ++i)
        out.push_back(*listItemAt(list, i));
    return out;
}

inline std::string text(StoredText t) {
    return std::string(t.view());
}

} // namespace rekal::test
