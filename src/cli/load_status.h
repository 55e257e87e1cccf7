#pragma once
// Loading a question file for the commands whose exit status tells how the load went (check, dump).

#include "cli/cli.h"
#include "core/data/book.h"
#include "core/data/reader.h"

#include <string>

namespace rekal::cli {

// Loads the file named by a command-line argument; kExitOk when it loaded with no rejected line,
// kExitNegative when it loaded with rejected lines, kExitFailure when it did not load.
inline int loadForReport(CliContext& ctx, const std::string& fileArg, QuestionBook& book,
                         LoadReport* found = nullptr) {
    LoadReport local;
    LoadReport& report = found ? *found : local;
    if (!loadBook(book, argPath(fileArg), ctx.settings, ctx.notifier, nullptr, &report)) return kExitFailure;
    return report.rejectedLines.empty() ? kExitOk : kExitNegative;
}

} // namespace rekal::cli
