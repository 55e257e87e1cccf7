// rekal-cli's own rules: usage, exit statuses, settings beside the program or from --ini.

#include "cli/cli_runner.h"

#include <gtest/gtest.h>

namespace rekal::test {
namespace {

TEST(CliBasics, UsageErrorsExitWithTwo) {
    CliResult none = runCli({});
    EXPECT_EQ(2, none.exitCode);
    EXPECT_NE(std::string::npos, none.err.find("usage: rekal-cli"));

    CliResult unknown = runCli({"no-such-command"});
    EXPECT_EQ(2, unknown.exitCode);

    CliResult dangling = runCli({"--ini"});
    EXPECT_EQ(2, dangling.exitCode);
    EXPECT_TRUE(dangling.out.empty());
}

TEST(CliBasics, VersionIsTheBuildsOwn) {
    CliResult version = runCli({"--version"});
    EXPECT_EQ(0, version.exitCode);
    EXPECT_EQ(std::string("rekal-cli ") + REKAL_VERSION + "\n", version.out);
}

} // namespace
} // namespace rekal::test
