// search FILE START PATTERN [--up]: the question the list window's find would show.

#include "cli/cli.h"
#include "cli/compare_args.h"
#include "core/data/reader.h"
#include "core/match/search.h"

namespace rekal::cli {

int runSearchCommand(CliContext& ctx, const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    const bool up = takeFlag(args, "--up");
    const std::optional<long> start = args.size() == 3 ? parseNumber(args[1]) : std::nullopt;
    if (!start) return usageError("usage: search FILE START PATTERN [--up]");
    QuestionBook book;
    if (!loadBook(book, argPath(args[0]), ctx.settings, ctx.notifier)) return kExitFailure;
    // A start outside the book finds nothing, as the list window's number box never holds one.
    const int from = *start >= 1 && *start <= book.questionCount() ? static_cast<int>(*start - 1) : -1;
    const int found =
        searchQuestions(book, from, argToCp932(args[2]), !up, ctx.settings.compareMode, ctx.vague);
    if (found < 0) {
        printUtf8(ctx, "none\n");
        return kExitNegative;
    }
    printUtf8(ctx, std::to_string(found + 1) + "\n");
    return kExitOk;
}

} // namespace rekal::cli
