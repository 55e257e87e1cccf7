#include "cli/cli.h"

namespace rekal::cli {

// Each command lives in its own file, cmd_<name>.cpp.
int runCheckCommand(CliContext&, const std::vector<std::string>&);
int runDumpCommand(CliContext&, const std::vector<std::string>&);
int runSaveCommand(CliContext&, const std::vector<std::string>&);
int runFoldCommand(CliContext&, const std::vector<std::string>&);
int runJudgeCommand(CliContext&, const std::vector<std::string>&);
int runSearchCommand(CliContext&, const std::vector<std::string>&);
int runDrillCommand(CliContext&, const std::vector<std::string>&);
int runLogCommand(CliContext&, const std::vector<std::string>&);
int runStatsCommand(CliContext&, const std::vector<std::string>&);
int runExportCommand(CliContext&, const std::vector<std::string>&);
int runImportCommand(CliContext&, const std::vector<std::string>&);

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        {"check", runCheckCommand, "check FILE"},
        {"dump", runDumpCommand, "dump FILE"},
        {"save", runSaveCommand, "save FILE OUT"},
        {"fold", runFoldCommand, "fold TEXT --compare N"},
        {"judge", runJudgeCommand, "judge FILE QNUM ANSWER [--compare N]"},
        {"search", runSearchCommand, "search FILE START PATTERN [--up]"},
        {"export", runExportCommand, "export FILE OUT [--tab] [--encoding cp932|utf-8]"},
        {"import", runImportCommand,
         "import TABLE OUTPUT [--separator S] [--html|--no-html] [--columns LIST] [--skip-rows N] "
         "[--title-every N | --title-column N] [--replace] [--force]"},
        {"drill", runDrillCommand,
         "drill FILE [--method M] [--count N] [--no-repeat] [--mode M] [--seed N] ..."},
        {"log", runLogCommand, "log LOG"},
        {"stats", runStatsCommand, "stats LOG [--file TEXT] [--json]"},
    };
    return table;
}

} // namespace rekal::cli
