#pragma once
// rekal-cli: the command-line front end on the same core as the Windows program.

#include "core/base/notifier.h"
#include "core/settings/settings.h"
#include "core/settings/vague.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace rekal::cli {

// Exit statuses shared by every command.
inline constexpr int kExitOk = 0;
inline constexpr int kExitNegative = 1; // the negative answer named by the command
inline constexpr int kExitFailure = 2;  // bad usage, or a file that cannot be loaded, read or written

// Messages the Windows program shows in a message box go to standard error, one block each.
class TerminalNotifier : public Notifier {
  public:
    void error(std::string_view text) override;
    void warning(std::string_view text) override;
    void info(std::string_view text) override;
    bool ask(std::string_view text) override; // answered No: the terminal front end never waits
};

struct CliContext {
    Settings settings;
    std::filesystem::path programDir; // the executable's folder (empty when unknown)
    std::filesystem::path vaguePath;  // --vague, else RKLVAGUE.DAT beside the executable
    bool vagueGiven = false;
    VagueTable vague; // read from vaguePath, else the built-in table
    TerminalNotifier notifier;
    std::FILE* out = stdout;
    std::FILE* in = stdin;
};

// Writes UTF-8 text to a stream: to a Windows console as its own characters, elsewhere as bytes.
void writeTerminal(std::FILE* stream, std::string_view utf8);
// Reads one line of UTF-8 text without its line end, from a Windows console as typed; false at the
// end of input.
bool readTerminalLine(std::FILE* in, std::string& line);

// Writes a CP932 text to the terminal as UTF-8.
void printText(CliContext& ctx, std::string_view cp932);
// Writes a UTF-8 text as it is.
void printUtf8(CliContext& ctx, std::string_view utf8);

// Command-line texts are UTF-8; core texts are CP932 and core paths platform paths.
std::string argToCp932(const std::string& utf8);
std::filesystem::path argPath(const std::string& utf8);

int usageError(const char* message);

using CommandFn = int (*)(CliContext& ctx, const std::vector<std::string>& args);
struct Command {
    const char* name;
    CommandFn run;
    const char* usage;
};
// The command table (commands.cpp).
const std::vector<Command>& commandTable();

} // namespace rekal::cli
