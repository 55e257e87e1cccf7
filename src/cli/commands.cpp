#include "cli/cli.h"

namespace rekal::cli {

// Each command lives in its own file, cmd_<name>.cpp.
// int runCheckCommand(CliContext&, const std::vector<std::string>&);

const std::vector<Command>& commandTable() {
    static const std::vector<Command> table = {
        // {"check", runCheckCommand, "check FILE"},
    };
    return table;
}

} // namespace rekal::cli
