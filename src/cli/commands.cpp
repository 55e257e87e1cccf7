#include "cli/cli.h"

namespace rekal::cli {

// Each command lives in its own file, cmd_<name>.cpp.
// int runCheckCommand(CliContext&, const std::vector<std::string>&);
int runSaveCommand(CliContext&, const std::vector<std::string>&);
int runFoldCommand(CliContext&, const std::vector<std::string>&);
int runJudgeCommand(CliContext&, const std::vector<std::string>&);
int runSearchCommand(CliContext&, const std::vector<std::string>&);

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        // {"check", runCheckCommand, "check FILE"},
        {"save", runSaveCommand, "save FILE OUT"},
        {"fold", runFoldCommand, "fold TEXT --compare N"},
        {"judge", runJudgeCommand, "judge FILE QNUM ANSWER [--compare N]"},
        {"search", runSearchCommand, "search FILE START PATTERN [--up]"},
    };
    return table;
}

} // namespace rekal::cli
