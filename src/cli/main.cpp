#include "cli/cli.h"

#include "core/base/fileio.h"
#include "core/base/textcode.h"

#include <cstring>

#ifdef _WIN32
#include <windows.h>
#include "win/base/wintext.h"
#else
#include <unistd.h>
#endif

namespace rekal::cli {

namespace {

void printBlock(const char* label, std::string_view text) {
    writeTerminal(stderr, std::string(label) + ": " + cp932ToUtf8(text) + "\n");
}

// The directory of the running executable; empty when unknown.
std::filesystem::path findProgramDir() {
#ifdef _WIN32
    std::filesystem::path exe(win::moduleFilePath(nullptr));
#else
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    std::filesystem::path exe(n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string());
#endif
    return exe.has_filename() ? exe.parent_path() : std::filesystem::path();
}

void printUsage() {
    std::string usage =
        "usage: rekal-cli [--ini PATH] [--vague PATH] COMMAND ...\n       rekal-cli --version\ncommands:\n";
    for (const Command& c : commandTable())
        usage += std::string("  ") + c.usage + "\n";
    writeTerminal(stderr, usage);
}

} // namespace

void TerminalNotifier::error(std::string_view text) {
    printBlock("error", text);
}
void TerminalNotifier::warning(std::string_view text) {
    printBlock("warning", text);
}
void TerminalNotifier::info(std::string_view text) {
    printBlock("info", text);
}
bool TerminalNotifier::ask(std::string_view text) {
    printBlock("info", text);
    return false;
}

void printText(CliContext& ctx, std::string_view cp932) {
    printUtf8(ctx, cp932ToUtf8(cp932));
}
void printUtf8(CliContext& ctx, std::string_view utf8) {
    writeTerminal(ctx.out, utf8);
}

std::string argToCp932(const std::string& utf8) {
    return utf8ToCp932(utf8);
}
std::filesystem::path argPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

int usageError(const char* message) {
    writeTerminal(stderr, std::string("rekal-cli: ") + message + "\n");
    return kExitFailure;
}

int runCli(std::vector<std::string> args) {
    CliContext ctx;
    ctx.programDir = findProgramDir();
    std::filesystem::path iniPath;
    bool iniGiven = false;
    std::size_t i = 0;
    std::vector<std::string> rest;
    for (; i < args.size(); ++i) {
        if (args[i] == "--ini" || args[i] == "--vague") {
            if (i + 1 >= args.size()) return usageError("missing path after option");
            if (args[i] == "--ini") {
                iniPath = argPath(args[i + 1]);
                iniGiven = true;
            } else {
                ctx.vaguePath = argPath(args[i + 1]);
                ctx.vagueGiven = true;
            }
            ++i;
        } else {
            rest.push_back(args[i]);
        }
    }
    if (rest.size() == 1 && rest.front() == "--version") {
        writeTerminal(stdout, "rekal-cli " REKAL_VERSION "\n");
        return kExitOk;
    }
    if (rest.empty()) {
        printUsage();
        return kExitFailure;
    }
    SettingsInputs inputs;
    inputs.programDir = storableFolder(ctx.programDir);
    ctx.settings = defaultSettings(inputs);
    if (!iniGiven) iniPath = ctx.programDir / "REKALWIN.INI";
    loadSettings(ctx.settings, iniPath);
    if (!ctx.vagueGiven) ctx.vaguePath = ctx.programDir / "RKLVAGUE.DAT";
    ctx.vague = loadVagueTable(ctx.vaguePath, &ctx.notifier);

    const std::string name = rest.front();
    rest.erase(rest.begin());
    for (const Command& c : commandTable()) {
        if (name == c.name) return c.run(ctx, rest);
    }
    printUsage();
    return kExitFailure;
}

} // namespace rekal::cli

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(rekal::win::toUtf8(argv[i]));
    return rekal::cli::runCli(std::move(args));
}
#else
int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return rekal::cli::runCli(std::move(args));
}
#endif
