// fold TEXT --compare N: the text after the comparison folding with options N.

#include "cli/cli.h"
#include "cli/compare_args.h"
#include "core/match/fold.h"

namespace rekal::cli {

int runFoldCommand(CliContext& ctx, const std::vector<std::string>& arguments) {
    std::vector<std::string> args = arguments;
    bool bad = false;
    const std::optional<int> options = takeCompareOption(args, bad);
    if (bad || !options || args.size() != 1)
        return usageError("usage: fold TEXT --compare N (N from 0 to 31)");
    printText(ctx, foldForCompare(argToCp932(args[0]), *options, ctx.vague));
    printUtf8(ctx, "\n");
    return kExitOk;
}

} // namespace rekal::cli
