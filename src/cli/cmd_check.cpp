// check FILE: load FILE as the program does, print its messages, a count of its cards, the encoding
// it was written in and every rejected line (the program's warning names only the first ones).

#include "cli/cli.h"
#include "cli/load_status.h"

#include <string>

namespace rekal::cli {

int runCheckCommand(CliContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return usageError("usage: check FILE");
    QuestionBook book;
    LoadReport report;
    const int status = loadForReport(ctx, args[0], book, &report);
    if (status == kExitFailure) return status;
    std::string out = std::to_string(book.questionCount()) + " questions, " +
                      std::to_string(book.titleCount()) + " titles, " + std::to_string(book.cardCount()) +
                      " cards\n";
    out += "encoding: " + std::string(encodingName(book.encoding())) + "\n";
    if (!report.rejectedLines.empty()) out += "rejected lines: " + rejectedLineList(report, 0) + "\n";
    printUtf8(ctx, out);
    return status;
}

} // namespace rekal::cli
