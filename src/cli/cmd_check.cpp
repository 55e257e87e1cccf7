// check FILE: load FILE as the program does, print its messages and a count of its cards.

#include "cli/cli.h"
#include "cli/load_status.h"

#include <string>

namespace rekal::cli {

int runCheckCommand(CliContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return usageError("usage: check FILE");
    QuestionBook book;
    const int status = loadForReport(ctx, args[0], book);
    if (status == kExitFailure) return status;
    printUtf8(ctx, std::to_string(book.questionCount()) + " questions, " + std::to_string(book.titleCount()) +
                       " titles, " + std::to_string(book.cardCount()) + " cards\n");
    return status;
}

} // namespace rekal::cli
