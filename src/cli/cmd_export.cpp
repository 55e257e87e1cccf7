// export FILE OUT [--tab]: the export table of FILE, comma- or tab-separated.

#include "cli/cli.h"
#include "cli/compare_args.h"
#include "core/data/export.h"
#include "core/data/reader.h"

namespace rekal::cli {

int runExportCommand(CliContext& ctx, const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    const bool tab = takeFlag(args, "--tab");
    if (args.size() != 2) return usageError("usage: export FILE OUT [--tab]");
    QuestionBook book;
    if (!loadBook(book, argPath(args[0]), ctx.settings, ctx.notifier)) return kExitFailure;
    return exportBook(book, argPath(args[1]), !tab, ctx.notifier) ? kExitOk : kExitFailure;
}

} // namespace rekal::cli
