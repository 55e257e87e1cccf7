// The question-file reader on arbitrary bytes: no crash, no read beyond the text, and a book that
// keeps its promises: one card per line after the header, rejected lines kept byte for byte (as
// read in code page 932 or, from a UTF-8 or UTF-16 file, converted to it), an
// index that agrees with walking the card list, list texts whose items can all be taken out.
// The first byte picks the comma rules and the starting character sets; the rest is the file.

#include "core/base/fileio.h"
#include "core/base/notifier.h"
#include "core/data/book.h"
#include "core/data/encoding.h"
#include "core/data/reader.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace rekal;

void check(bool ok) {
    if (!ok) std::abort();
}

// The items of a list text: as many as counted, the first and last ones can be taken out, one more
// cannot (item getters skip items, so taking every item by number would be quadratic).
void checkList(StoredText list) {
    const int count = listItemCount(list);
    if (count > 0) {
        check(listItemAt(list, 0).has_value());
        check(listItemAt(list, count - 1).has_value());
    }
    check(!listItemAt(list, count).has_value() || (count == 0 && list.present()));
}

// Cards of a kind at or before the card, counted by walking back.
int walkIndex(const Card* card, CardKind kind) {
    int n = 0;
    for (const Card* c = card; c; c = c->prev)
        n += c->kind == kind;
    return n - 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const unsigned char mode = data[0];
    std::string text(reinterpret_cast<const char*>(data + 1), size - 1);

    Settings settings;
    const int sets[4] = {kCharSetShiftJis, kCharSetAnsi, kCharSetDefault, 204};
    for (int i = 0; i < kStoredFontCount; ++i)
        settings.fonts[static_cast<std::size_t>(i)].charSet = sets[(mode >> (i % 3)) & 3];
    const bool csv = (mode & 0x80) != 0;

    // The lines after the header, as the reader will see them (a UTF-8 or UTF-16 file converted to
    // code page 932 first; a line it cannot hold is kept with a stand-in as its text).
    std::string normalised = convertToCp932(text, detectEncoding(text)).text;
    normaliseLineEnds(normalised);
    std::size_t lines = 0;
    for (char c : normalised)
        lines += c == '\x01';

    QuestionBook book;
    SilentNotifier quiet;
    LoadReport report;
    const bool loaded =
        loadBookFromBytes(book, csv ? "fuzz.csv" : "fuzz.rkf", text, settings, quiet, nullptr, &report);
    check(loaded == book.isLoaded());
    if (!loaded) return 0;
    check(book.questionCount() > 0);
    check(static_cast<std::size_t>(book.cardCount()) == lines - 1);
    check(book.rangeFirst() == 0 && book.rangeLast() == book.questionCount() - 1);

    // Rejected lines are comment cards holding exactly their line.
    std::size_t lineStart = normalised.find('\x01') + 1;
    std::size_t rejected = 0;
    int lineNumber = 2;
    for (const Card* card = book.firstCard(); card; card = card->next, ++lineNumber) {
        const std::size_t lineEnd = normalised.find('\x01', lineStart);
        const std::string_view line(normalised.data() + lineStart, lineEnd - lineStart);
        if (rejected < report.rejectedLines.size() && report.rejectedLines[rejected] == lineNumber) {
            check(card->kind == CardKind::Comment && card->comment.view() == line);
            ++rejected;
        }
        lineStart = lineEnd + 1;

        check(book.indexOfKind(card, card->kind) == walkIndex(card, card->kind));
        check(book.indexOfKind(card, CardKind::Title) == walkIndex(card, CardKind::Title));
        check(book.indexOfKind(card, CardKind::TimeLimit) == walkIndex(card, CardKind::TimeLimit));
        const TitleCard* title = book.enclosingTitle(card);
        check(title == nullptr ? walkIndex(card, CardKind::Title) == -1 : title->position <= card->position);
        if (const QuestionCard* q = asQuestion(card)) {
            check(book.questionAt(q->kindIndex) == q);
            checkList(q->hints);
            checkList(q->answers);
            checkList(q->wrongChoices);
            check(q->history <= kMaxHistory && q->group <= 9 && q->displayIndex <= 9);
            book.displayAnswer(q);
            book.compareOptionsFor(q);
            for (int k = 0; k < kStoredFontCount; ++k)
                book.fontInEffect(q, static_cast<FontClass>(k));
            book.valueInEffect(q, CardKind::QuestionShowTime);
            // The alternatives of the raw answer are the answers, and expanding them again changes nothing.
            if (q->answers.p != q->rawAnswer.p) {
                const auto again = expandAnswers(q->answers.view());
                check(again.has_value() && *again == q->answers.view());
            }
        }
    }
    check(rejected == report.rejectedLines.size());
    book.countInRange(-1, book.questionCount());
    for (int g = 0; g < 10; ++g)
        check(book.groupName(g).has_value());
    book.clearHistories();
    check(book.isDirty());
    return 0;
}
