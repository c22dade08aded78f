#include "conf/copies_check.h"
#include "tests/conf/conf_check_support.h"
#include "tests/helpers/temporary_folder.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using test::basicLitecoinConf;
using test::keysOf;

std::string recordedHelp(const char* file)
{
    return test::readFile(std::filesystem::path(KORVANE_CONF_TEST_DATA) / file);
}

// Debian's litecoind 0.21.2.1, as its recorded help texts tell.
const DaemonOptions& litecoind()
{
    static const DaemonOptions daemon = [] {
        DaemonOptions options;
        options.program = "/usr/lib/litecoin/litecoind";
        options.help = parseDaemonHelp(recordedHelp("litecoind-0.21.2.1-help.txt"));
        options.help.options.merge(parseDaemonHelp(recordedHelp("litecoind-0.21.2.1-help-debug.txt")).options);
        options.name = daemonDisplayName(options.program, options.help.version);
        options.state = DaemonOptionsState::Known;
        return options;
    }();
    return daemon;
}

ConfCheck checked(std::string_view conf, std::vector<std::string> words = {})
{
    return checkConf(conf, words, litecoind());
}

TEST(DaemonHelp, ReadsOptionNamesOfBothLayouts)
{
    const DaemonHelp help = parseDaemonHelp(recordedHelp("litecoind-0.21.2.1-help.txt"));
    const DaemonHelp debug = parseDaemonHelp(recordedHelp("litecoind-0.21.2.1-help-debug.txt"));
    EXPECT_EQ(help.version, "0.21.2.1");
    EXPECT_EQ(help.options.size(), 117u);
    EXPECT_EQ(debug.options.size(), 153u);
    for (const char* name : { "?", "rpcport", "wallet", "rpcallowip", "assumevalid", "dnsseed" })
        EXPECT_TRUE(help.options.contains(name)) << name;
    // Listed only by -help-debug.
    for (const char* name : { "regtest", "checkblocks", "peertimeout" }) {
        EXPECT_FALSE(help.options.contains(name)) << name;
        EXPECT_TRUE(debug.options.contains(name)) << name;
    }
    // Wrapped descriptions (hashes, "-1 to disable") name no option.
    for (const auto& options : { help.options, debug.options }) {
        for (const std::string& name : options)
            EXPECT_EQ(name.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789?-"), std::string::npos) << name;
    }

    // Older daemons put the description beside the option and wrap it far indented.
    const DaemonHelp older = parseDaemonHelp("Bitcoin version v0.8.6-beta\r\n\r\nUsage:\r\n"
                                             "  bitcoind [options]                     Start Bitcoin server\r\n"
                                             "Options:\r\n"
                                             "  -?                     This help message\r\n"
                                             "  -conf=<file>           Specify configuration file\r\n"
                                             "  -alerts                Receive and display P2P network alerts\r\n"
                                             "  -loadblock=<file>      Imports blocks from external file\r\n"
                                             "                         -rescan is implied\r\n");
    EXPECT_EQ(older.version, "0.8.6");
    EXPECT_EQ(older.options, (std::set<std::string, std::less<>> { "?", "alerts", "conf", "loadblock" }));
    EXPECT_EQ(daemonDisplayName("C:\\Litecoin\\daemon\\litecoind.EXE", "0.21.2.1"), "litecoind 0.21.2.1");
    EXPECT_EQ(daemonDisplayName("/opt/node/bitcoind", ""), "bitcoind");
}

TEST(DaemonHelp, ReadsTheDefaultsDescriptionsName)
{
    DaemonOptions daemon;
    daemon.help = parseDaemonHelp(recordedHelp("litecoind-0.21.2.1-help.txt"));
    EXPECT_EQ(daemon.help.defaults.at("dbcache"), "450");
    EXPECT_EQ(daemon.help.defaults.at("rpcport"), "9332");
    EXPECT_EQ(daemon.help.defaults.at("listen"), "1 if no -proxy or -connect");
    EXPECT_EQ(daemon.help.defaults.count("datadir"), 0u);
    EXPECT_EQ(defaultCacheMiB(daemon), std::nullopt) << "only a daemon whose options are known";
    daemon.state = DaemonOptionsState::Known;
    EXPECT_EQ(defaultCacheMiB(daemon), 450u);
}

TEST(ConfCheck, BasicSettingsForLitecoinHaveThreeLinesTheNodeIgnores)
{
    const ConfCheck check = checked(basicLitecoinConf());
    EXPECT_EQ(keysOf(check, FindingWeight::Ignored), (std::vector<std::string> { "alerts", "allowip", "rpctimeout" }));
    EXPECT_FALSE(check.stopsNode());
    EXPECT_EQ(check.summary, "3 lines the node will ignore; nothing that stops it");
    EXPECT_EQ(check.findings.front().text,
              "alerts — litecoind 0.21.2.1 does not know this option; the node ignores the line");
    EXPECT_EQ(check.findings.front().line, 5);

    // With regtest chosen in the default section, the node names every network-only option set there.
    const ConfCheck regtest = checked(basicLitecoinConf("regtest=1"));
    EXPECT_EQ(keysOf(regtest, FindingWeight::Stops), (std::vector<std::string> { "wallet", "port", "rpcport" }));
    EXPECT_EQ(regtest.findings.at(0).text,
              "wallet — the node refuses to start: on regtest it reads this option only in the [regtest] section");
    EXPECT_EQ(regtest.summary, "3 lines the node will ignore; 3 problems that stop it from starting");
}

TEST(ConfCheck, NetworkOnlyOptionsCountOnlyInTheirSection)
{
    const std::string conf = "testnet=1\nport=1\nrpcport=2\nregtest.bind=x\n[test]\nport=3\n[regtest]\nrpcbind=y\n";
    EXPECT_EQ(keysOf(checked(conf), FindingWeight::Stops), std::vector<std::string> { "rpcport" });
    // Given on the command line, the option is set on the chosen network.
    EXPECT_FALSE(checked(conf, { "-rpcport=5" }).stopsNode());
    // On main the default section serves.
    EXPECT_FALSE(checked("port=1\nrpcport=2\n[regtest]\nregtest=1\n").stopsNode());
    const ConfCheck both = checked("", { "-regtest", "-testnet" });
    ASSERT_EQ(both.findings.size(), 1u);
    EXPECT_EQ(both.findings[0].key, "chain");
    EXPECT_TRUE(both.stopsNode());
}

TEST(ConfCheck, UnknownRepeatedAndMalformedLines)
{
    const ConfCheck check = checked("server=1\n"
                                    "noserver=1\n"
                                    "addnode=a\n"
                                    "addnode=b\n"
                                    "noalerts=1\n"
                                    "test.nosuch=1\n"
                                    "nolisten=1\n"
                                    "testnet=1\n"
                                    "testnet=0\n"
                                    "-daemon=1\n"
                                    "[test]\n"
                                    "server=0\n");
    ASSERT_EQ(check.findings.size(), 5u);
    EXPECT_EQ(check.findings[0].text, "noserver — given twice; the node uses the first, line 1");
    EXPECT_EQ(check.findings[0].line, 2);
    EXPECT_EQ(check.findings[1].key, "noalerts");
    EXPECT_EQ(check.findings[2].key, "nosuch");
    EXPECT_EQ(check.findings[3].text, "testnet — given twice; the node uses the last, line 9");
    EXPECT_EQ(check.findings[3].line, 8);
    EXPECT_EQ(check.findings[4].key, "-daemon=1");
    EXPECT_EQ(check.findings[4].weight, FindingWeight::Stops);
    EXPECT_NE(check.findings[4].text.find("without leading -"), std::string::npos);

    // Without the daemon's options only the form of the lines is checked.
    DaemonOptions missing;
    missing.state = DaemonOptionsState::Missing;
    const ConfCheck unchecked = checkConf("alerts=1\nalerts=0\n", std::vector<std::string> { "-alerts" }, missing);
    EXPECT_EQ(keysOf(unchecked, FindingWeight::Ignored), std::vector<std::string> { "alerts" });
    EXPECT_FALSE(unchecked.stopsNode());
    EXPECT_EQ(checked("").summary, "Nothing the node will ignore; nothing that stops it");
}

TEST(ConfCheck, CommandLineOptionsTheDaemonDoesNotKnowStopIt)
{
    const ConfCheck check = checked("",
                                    { "-conf=/n/x.conf", "-datadir=/n", "-nolisten", "-regtest.rpcport=1",
                                      "-disablewallet=0", "-alerts=1", "stop" });
    ASSERT_EQ(check.findings.size(), 2u);
    EXPECT_EQ(check.findings[0].text,
              "-alerts — litecoind 0.21.2.1 does not know this option; the node refuses to "
              "start (\"Invalid parameter -alerts=1\")");
    EXPECT_EQ(check.findings[0].line, 0);
    EXPECT_EQ(check.findings[1].key, "stop");
    EXPECT_EQ(check.summary, "Nothing the node will ignore; 2 problems that stop it from starting");
}

} // namespace
} // namespace korvane
