#pragma once
// Runs rekal-cli with arguments and standard input, and gives back what it printed.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace rekal::test {

struct CliResult {
    int exitCode = -1;
    std::string out; // standard output (UTF-8)
    std::string err; // standard error (UTF-8)
};

inline std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

inline std::string slurp(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

// A fresh folder for one test's files, removed when the object goes.
class TempDir {
  public:
    TempDir() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "rekal-test-XXXXXX").string();
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        path_ = mkdtemp(buf.data());
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }
    std::filesystem::path write(const std::string& name, const std::string& bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return path_ / name;
    }

  private:
    std::filesystem::path path_;
};

// Runs REKAL_CLI_PATH with args; input goes to its standard input.
inline CliResult runCli(const std::vector<std::string>& args, const std::string& input = {}) {
    TempDir dir;
    auto in = dir.write("stdin", input);
    std::string cmd = shellQuote(REKAL_CLI_PATH);
    for (const auto& a : args)
        cmd += " " + shellQuote(a);
    cmd += " <" + shellQuote(in.string()) + " >" + shellQuote((dir.path() / "stdout").string()) + " 2>" +
           shellQuote((dir.path() / "stderr").string());
    int status = std::system(cmd.c_str());
    CliResult r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = slurp(dir.path() / "stdout");
    r.err = slurp(dir.path() / "stderr");
    return r;
}

} // namespace rekal::test
