// judge FILE QNUM ANSWER [--compare N]: whether ANSWER is right for question QNUM (from 1).

#include "cli/cli.h"
#include "cli/compare_args.h"
#include "core/data/reader.h"
#include "core/exam/run.h"
#include "core/match/answer.h"

namespace rekal::cli {

int runJudgeCommand(CliContext& ctx, const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    bool bad = false;
    const std::optional<int> compare = takeCompareOption(args, bad);
    const std::optional<long> number = args.size() == 3 ? parseNumber(args[1]) : std::nullopt;
    if (bad || !number) return usageError("usage: judge FILE QNUM ANSWER [--compare N]");
    QuestionBook book;
    if (!loadBook(book, argPath(args[0]), ctx.settings, ctx.notifier)) return kExitFailure;
    const QuestionCard* q = *number >= 1 && *number <= book.questionCount()
                                ? book.questionAt(static_cast<int>(*number - 1))
                                : nullptr;
    if (!q) return usageError("no such question number");
    // Without --compare, the options an exam would use under the settings.
    const CompareOptions options = compare ? *compare : effectiveCompareOptions(book, ctx.settings, *q);
    const bool right = isAnswerRight(q, argToCp932(args[2]), options, ctx.vague);
    printUtf8(ctx, right ? "right\n" : "wrong\n");
    return right ? kExitOk : kExitNegative;
}

} // namespace rekal::cli
