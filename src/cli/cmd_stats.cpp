// stats LOG [--file TEXT] [--json]: the runs and answers of every day in the exam log, as the study
// graph counts them.

#include "cli/cli.h"
#include "cli/compare_args.h"
#include "core/examlog/stats.h"

namespace rekal::cli {

namespace {

std::string dayLine(const DayTally& day, bool json) {
    const std::string date = isoDateText(day.date);
    if (!json) {
        return date + " " + std::to_string(day.runs) + " " + std::to_string(day.answered) + " " +
               std::to_string(day.right) + "\n";
    }
    return "{\"date\":\"" + date + "\",\"runs\":" + std::to_string(day.runs) +
           ",\"answered\":" + std::to_string(day.answered) + ",\"right\":" + std::to_string(day.right) +
           "}\n";
}

} // namespace

int runStatsCommand(CliContext& ctx, const std::vector<std::string>& arguments) {
    constexpr const char* kUsage = "usage: stats LOG [--file TEXT] [--json]";
    std::vector<std::string> args = arguments;
    const bool json = takeFlag(args, "--json");
    bool bad = false;
    const std::optional<std::string> file = takeOption(args, "--file", bad);
    if (bad || args.size() != 1) return usageError(kUsage);
    const std::optional<ExamLog> log = readExamLog(argPath(args[0]), ctx.notifier);
    if (!log) return kExitFailure;
    const std::string part = file ? argToCp932(*file) : std::string();
    const LogFileFilter filter{file ? LogFileMatch::Contains : LogFileMatch::Any, part};
    for (const DayTally& day : tallyExamLogByDays(*log, filter))
        printUtf8(ctx, dayLine(day, json));
    return kExitOk;
}

} // namespace rekal::cli
