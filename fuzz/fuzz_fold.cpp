// Comparison folding, answer judging and the search's folded substring test on arbitrary bytes:
// no crash, no read past a buffer, no endless loop. Input: one byte of compare options, then a
// typed answer, an alternatives list and vague pairs, separated by zero bytes. The folding steps
// must give the same text whether run one by one or together.

#include "core/data/book.h"
#include "core/match/answer.h"
#include "core/match/fold.h"
#include "core/match/search.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// The next piece of the input up to a zero byte, as an exact-size copy.
std::string nextPiece(std::string_view& rest) {
    const std::size_t end = rest.find('\0');
    std::string piece(rest.substr(0, end));
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    return piece;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const rekal::CompareOptions options = data[0] & rekal::kAllCompareOptions;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string answer = nextPiece(rest);
    const std::string alternatives = nextPiece(rest);
    rekal::VagueTable table;
    while (!rest.empty()) {
        const std::string first = nextPiece(rest);
        rekal::appendVaguePair(table, first, nextPiece(rest));
    }
    const rekal::VagueReplacer vague(table);

    // One pass against the steps one after the other.
    const std::string folded = rekal::foldForCompare(answer, options, vague);
    std::string stepwise;
    if (options & rekal::CompareVague)
        vague.apply(answer, stepwise);
    else
        stepwise = answer;
    if (options & rekal::CompareIgnoreCase) rekal::foldCase(stepwise);
    if (options & rekal::CompareIgnoreKana) rekal::foldKana(stepwise);
    // A sound mark is judged where it stood before the width step split it off its kana, so the
    // symbols go first when the steps run one by one.
    if (options & rekal::CompareIgnoreSymbols) rekal::removeSymbols(stepwise);
    if (options & rekal::CompareIgnoreWidth) rekal::foldWidth(stepwise);
    if (folded != stepwise) std::abort();

    // A question whose answers are the alternatives: the answer folded equal to one of them is right.
    rekal::QuestionBook book;
    rekal::BookBuilder builder(book, 16, std::string());
    auto* q = builder.make<rekal::QuestionCard>(rekal::CardKind::Question);
    if (!q) return 0;
    q->question.p = builder.copyText("q");
    q->answers.p = q->rawAnswer.p = builder.copyText(alternatives);
    builder.append(q);
    builder.commit();
    const bool right = rekal::isAnswerRight(q, answer, options, vague);
    if (alternatives.find('\x03') == std::string::npos && alternatives.find('\n') == std::string::npos &&
        right != (folded == rekal::foldForCompare(alternatives, options, vague)))
        std::abort();

    rekal::containsFolded(alternatives, answer, options);
    return 0;
}
