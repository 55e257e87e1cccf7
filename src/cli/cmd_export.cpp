// export FILE OUT [--tab] [--encoding cp932|utf-8]: the export table of FILE, comma- or tab-separated,
// in code page 932 or in UTF-8 with a byte-order mark.

#include "cli/cli.h"
#include "cli/compare_args.h"
#include "core/data/export.h"
#include "core/data/reader.h"

namespace rekal::cli {

int runExportCommand(CliContext& ctx, const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    const bool tab = takeFlag(args, "--tab");
    bool bad = false;
    const std::string encoding = takeOption(args, "--encoding", bad).value_or("cp932");
    if (encoding != "cp932" && encoding != "utf-8") bad = true;
    if (bad || args.size() != 2) return usageError("usage: export FILE OUT [--tab] [--encoding cp932|utf-8]");
    QuestionBook book;
    if (!loadBook(book, argPath(args[0]), ctx.settings, ctx.notifier)) return kExitFailure;
    return exportBook(book, argPath(args[1]), !tab, ctx.notifier,
                      encoding == "utf-8" ? ExportEncoding::Utf8 : ExportEncoding::Cp932)
               ? kExitOk
               : kExitFailure;
}

} // namespace rekal::cli
