// import TABLE OUTPUT [options]: a UTF-8 or UTF-16 table from a spreadsheet or another program
// becomes a version 1.6 question file.

#include "cli/cli.h"
#include "cli/compare_args.h"
#include "core/base/messages.h"
#include "core/base/textcode.h"
#include "core/base/unicode.h"
#include "core/data/import.h"
#include "core/data/table.h"

#include <algorithm>
#include <cstdio>

namespace rekal::cli {

namespace {

constexpr const char* kUsage =
    "usage: import TABLE OUTPUT [--separator NAME|C] [--html|--no-html] [--columns LIST] "
    "[--skip-rows N] [--title-every N | --title-column N] [--replace] [--force]";

// A number option of at least least; bad when it is not one.
int takeCount(std::vector<std::string>& args, std::string_view name, long least, bool& bad) {
    const std::optional<std::string> text = takeOption(args, name, bad);
    if (!text) return 0;
    const std::optional<long> value = parseNumber(*text);
    if (!value || *value < least || *value > 1000000000) {
        bad = true;
        return 0;
    }
    return static_cast<int>(*value);
}

std::string codePointText(std::uint32_t cp) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(cp));
    return text;
}

std::string describe(const ImportProblem& p) {
    std::string where = "row " + std::to_string(p.row);
    if (p.column > 0) where += ", column " + std::to_string(p.column);
    std::string what;
    switch (p.kind) {
    case ImportProblemKind::NoCode: {
        std::string ch;
        appendUtf8(ch, p.value);
        what = codePointText(p.value) + " (" + ch + ") is not in code page 932";
        break;
    }
    case ImportProblemKind::NotUtf8: {
        char byte[8];
        std::snprintf(byte, sizeof byte, "0x%02X", static_cast<unsigned>(p.value));
        what = std::string("byte ") + byte + " is not UTF-8";
        break;
    }
    case ImportProblemKind::Control:
        what = "control character " + codePointText(p.value) + " cannot be in a question file";
        break;
    case ImportProblemKind::NoQuestion:
        what = "no question";
        break;
    case ImportProblemKind::BadGroup:
        what = "the group is not 0-9";
        break;
    }
    return where + ": " + what + (p.rowSkipped ? "; row skipped" : "; replaced by " + cp932ToUtf8("〓"));
}

} // namespace

int runImportCommand(CliContext& ctx, const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    ImportOptions options;
    bool bad = false;
    if (const auto separator = takeOption(args, "--separator", bad)) {
        options.separator = separatorByName(*separator);
        if (!options.separator) bad = true;
    }
    const bool html = takeFlag(args, "--html"), noHtml = takeFlag(args, "--no-html");
    if (html && noHtml) bad = true;
    if (html || noHtml) options.html = html ? 1 : 0;
    if (const auto columns = takeOption(args, "--columns", bad)) {
        const auto roles = parseColumnRoles(*columns);
        if (!roles || std::find(roles->begin(), roles->end(), ColumnRole::Question) == roles->end())
            bad = true;
        else
            options.columns = *roles;
    }
    options.skipRows = takeCount(args, "--skip-rows", 0, bad);
    options.titleEvery = takeCount(args, "--title-every", 1, bad);
    options.titleColumn = takeCount(args, "--title-column", 1, bad);
    if (options.titleEvery > 0 && options.titleColumn > 0) bad = true;
    options.replace = takeFlag(args, "--replace");
    const bool force = takeFlag(args, "--force");
    if (bad || args.size() != 2) return usageError(kUsage);

    ImportSummary summary;
    const ImportStatus status =
        importTable(argPath(args[0]), argPath(args[1]), options, ctx.settings, force, summary);
    for (const ImportProblem& p : summary.problems) {
        writeTerminal(stderr, describe(p) + "\n");
    }
    switch (status) {
    case ImportStatus::TableNotFound:
        ctx.notifier.error(msg::kFileNotFound);
        return kExitFailure;
    case ImportStatus::TableReadFailed:
        ctx.notifier.error(msg::kReadFailed);
        return kExitFailure;
    case ImportStatus::OutputExists:
        return usageError((args[1] + " exists; --force replaces it").c_str());
    case ImportStatus::WriteFailed:
        ctx.notifier.error(msg::kWriteFailed);
        return kExitFailure;
    case ImportStatus::NothingImported:
    case ImportStatus::Written:
        break;
    }
    const std::string line = std::to_string(summary.imported) + " rows imported, " +
                             std::to_string(summary.skipped) + " skipped, " +
                             std::to_string(summary.changed) + " changed\n";
    printUtf8(ctx, line);
    if (status == ImportStatus::NothingImported) {
        writeTerminal(stderr, "rekal-cli: no row became a question; nothing was written\n");
        return kExitFailure;
    }
    return summary.skipped > 0 ? kExitNegative : kExitOk;
}

} // namespace rekal::cli
