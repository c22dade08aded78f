#include "platform/linux/linux_program_runner.h"
#include "tests/conf/conf_check_support.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <gtest/gtest.h>
#include <set>

namespace korvane {
namespace {

using test::basicLitecoinConf;
using test::keysOf;

constexpr const char* kLitecoind = "/usr/lib/litecoin/litecoind";

bool isEmpty(const test::TemporaryFolder& folder)
{
    return std::filesystem::is_empty(folder.path());
}

// A daemon that writes into its working folder writes into the check's own scratch folder, which
// goes with what it holds; this program's working folder stays as it was.
TEST(DaemonOptions, TheDaemonRunsInAFreshFolderRemovedAfter)
{
    const test::TemporaryFolder programs;
    const test::TemporaryFolder temporary;
    const test::ScopedEnvironment temporaryFolder("TMPDIR", temporary.text());
    const std::string folders = programs.text("working-folders");
    test::writeFile(programs.path() / "writerd",
                    "#!/bin/sh\npwd >> '" + folders + "'\nls -A >> '" + folders
                        + "'\ntouch left-behind\necho '  -rpcport=<port>'\n");
    std::filesystem::permissions(programs.path() / "writerd", std::filesystem::perms::owner_all);

    LinuxProgramRunner runner;
    ASSERT_TRUE(readDaemonOptions(runner, programs.text("writerd")).known());
    const std::string ran = test::readFile(folders);
    const std::string scratch = ran.substr(0, ran.find('\n'));
    EXPECT_EQ(ran, scratch + "\n" + scratch + "\nleft-behind\n") << "fresh and empty for -help";
    EXPECT_EQ(scratch.rfind(temporary.text(), 0), 0u) << scratch;
    EXPECT_TRUE(isEmpty(temporary)) << "the scratch folder is removed";
    EXPECT_FALSE(std::filesystem::exists("left-behind"));
}

// Debian's litecoind, asked for its options with the user's home and temporary folder watched.
class RealLitecoind : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::filesystem::exists(kLitecoind))
            GTEST_SKIP() << kLitecoind << " is not installed";
    }

    test::TemporaryFolder m_home;
    test::TemporaryFolder m_temporary;
    test::ScopedEnvironment m_userHome { "HOME", m_home.text() };
    test::ScopedEnvironment m_temporaryFolder { "TMPDIR", m_temporary.text() };
    LinuxProgramRunner m_runner;
};

TEST_F(RealLitecoind, ItsOptionsShowWhatTheNodeIgnoresAndTouchNothingOfTheUsers)
{
    DaemonOptionsCache cache;
    const DaemonOptions daemon = cache.get(m_runner, kLitecoind);
    ASSERT_TRUE(daemon.known()) << daemon.problem;
    EXPECT_EQ(daemon.name, "litecoind 0.21.2.1");
    EXPECT_TRUE(daemon.help.options.contains("regtest"));
    EXPECT_TRUE(isEmpty(m_home));
    EXPECT_TRUE(isEmpty(m_temporary)) << "the daemon's scratch folder is removed";

    const ConfCheck check = checkConf(basicLitecoinConf(), {}, daemon);
    EXPECT_EQ(keysOf(check, FindingWeight::Ignored), (std::vector<std::string> { "alerts", "allowip", "rpctimeout" }));
    EXPECT_FALSE(check.stopsNode());

    // Asked again, the file unchanged, the daemon is not run again.
    test::ScopedEnvironment noPath("PATH", std::nullopt);
    EXPECT_EQ(cache.get(m_runner, kLitecoind).help.options, daemon.help.options);
}

// The node itself, started with the generated file and regtest chosen in it, refuses to start and
// names the same options the check names.
TEST_F(RealLitecoind, TheNodeRefusesTheNetworkOnlyLinesTheCheckNames)
{
    const std::string conf = basicLitecoinConf("regtest=1");
    test::writeFile(m_temporary.path() / "LTC.conf", conf);
    const ProgramRun run { kLitecoind,
                           { "-conf=" + m_temporary.text("LTC.conf"), "-datadir=" + m_temporary.text(), "-listen=0",
                             "-connect=0", "-dnsseed=0" },
                           {},
                           std::chrono::seconds(30) };
    const ProgramOutput output = m_runner.run(run);
    ASSERT_EQ(output.outcome, ProgramOutcome::Finished);
    EXPECT_NE(output.exitCode, 0);
    std::set<std::string> named;
    for (const char* option : { "port", "rpcport", "wallet", "bind", "rpcbind", "addnode", "connect" }) {
        if (output.standardError.find("-" + std::string(option) + " only applied on regtest") != std::string::npos)
            named.insert(option);
    }
    const std::vector<std::string> stops
        = keysOf(checkConf(conf, {}, DaemonOptionsCache().get(m_runner, kLitecoind)), FindingWeight::Stops);
    EXPECT_EQ(named, std::set<std::string>(stops.begin(), stops.end())) << output.standardError;
    EXPECT_TRUE(isEmpty(m_home));
}

} // namespace
} // namespace korvane
