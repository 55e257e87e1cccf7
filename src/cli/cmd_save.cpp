// save FILE OUT: load FILE and write the book to OUT as the program's save writes a changed book.

#include "cli/cli.h"
#include "core/data/reader.h"
#include "core/data/save.h"

namespace rekal::cli {

int runSaveCommand(CliContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 2) return usageError("usage: save FILE OUT");
    QuestionBook book;
    if (!loadBook(book, argPath(args[0]), ctx.settings, ctx.notifier)) return kExitFailure;
    book.setFile(argPath(args[1]));
    book.setDirty(true);
    return saveBook(book, ctx.settings, ctx.notifier) ? kExitOk : kExitFailure;
}

} // namespace rekal::cli
