#include "node/node_conf.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using Kind = NodeConfLine::Kind;

NodeSettings settingsOf(std::vector<std::string> words, std::string_view conf)
{
    return NodeSettings(commandLineOptions(words), parseNodeConf(conf));
}

TEST(NodeConf, ReadsLinesAsTheNodeDoes)
{
    const auto lines = parseNodeConf("# comment\r\n"
                                     "server=1 # on\r\n"
                                     "  rpcuser = alice \r\n"
                                     "[regtest]\r\n"
                                     "rpcport=19443\r\n"
                                     "test.port=1\r\n"
                                     "-daemon=1\r\n"
                                     "nolisten\r\n"
                                     "rpcpassword=a#b\r\n"
                                     "uacomment=");
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0].kind, Kind::Empty);
    EXPECT_EQ(lines[1].kind, Kind::Setting);
    EXPECT_EQ(lines[1].value, "1");
    EXPECT_EQ(lines[2].name, "rpcuser");
    EXPECT_EQ(lines[2].value, "alice");
    EXPECT_EQ(lines[2].section, "");
    EXPECT_EQ(lines[3].kind, Kind::Section);
    EXPECT_EQ(lines[4].section, "regtest");
    EXPECT_EQ(lines[4].number, 5);
    EXPECT_EQ(lines[5].section, "test");
    EXPECT_EQ(lines[5].name, "port");
    for (int malformed : { 6, 7, 8 }) {
        EXPECT_EQ(lines[malformed].kind, Kind::Malformed) << malformed;
        EXPECT_FALSE(lines[malformed].problem.empty());
    }
    EXPECT_NE(lines[7].problem.find("nolisten=1"), std::string::npos);
    EXPECT_EQ(lines[9].kind, Kind::Setting);
    EXPECT_EQ(lines[9].value, "");
}

TEST(NodeConf, CommandLineOptionsStopAtTheFirstOtherWord)
{
    const auto options = commandLineOptions(std::vector<std::string> {
        "-datadir=/srv/node", "--regtest", "-nolisten", "-nodnsseed=0", "-regtest.rpcport=1", "stop", "-server" });
    ASSERT_EQ(options.size(), 5u);
    EXPECT_EQ(options[0].name, "datadir");
    EXPECT_EQ(options[0].value, "/srv/node");
    EXPECT_EQ(options[1].name, "regtest");
    EXPECT_FALSE(options[1].hasValue);
    EXPECT_EQ(options[2].name, "listen");
    EXPECT_EQ(options[2].value, "0");
    EXPECT_EQ(options[3].value, "1");
    EXPECT_EQ(options[4].section, "regtest");
    EXPECT_EQ(options[4].written, "-regtest.rpcport=1");
}

TEST(NodeConf, ChoosesTheNetwork)
{
    EXPECT_EQ(settingsOf({}, "").network().network, NodeNetwork::Main);
    EXPECT_EQ(settingsOf({ "-regtest" }, "").network().network, NodeNetwork::Regtest);
    EXPECT_EQ(settingsOf({}, "testnet=1").network().network, NodeNetwork::Test);
    EXPECT_EQ(settingsOf({ "-chain=signet" }, "").network().network, NodeNetwork::Signet);
    // A chain in a network's section does not choose it; the last value wins for chains.
    EXPECT_EQ(settingsOf({}, "[regtest]\nregtest=1").network().network, NodeNetwork::Main);
    EXPECT_EQ(settingsOf({}, "regtest=1\nregtest=0").network().network, NodeNetwork::Main);
    EXPECT_EQ(settingsOf({ "-regtest=0" }, "regtest=1").network().network, NodeNetwork::Main);
    const auto contradiction = settingsOf({ "-regtest" }, "testnet=1").network();
    EXPECT_FALSE(contradiction.network);
    EXPECT_NE(contradiction.problem.find("at most one"), std::string::npos);
    EXPECT_FALSE(settingsOf({ "-chain=moon" }, "").network().network);
}

TEST(NodeConf, ResolvesValuesInTheNodesOrder)
{
    const auto settings = settingsOf({ "-rpcuser=cli", "-rpcuser=last" },
                                     "rpcuser=conf\n"
                                     "rpcpassword=first\n"
                                     "rpcpassword=second\n"
                                     "rpcport=9332\n"
                                     "server=1\n"
                                     "[regtest]\n"
                                     "server=0\n"
                                     "rpcport=19443\n"
                                     "rpcport=19999\n");
    EXPECT_EQ(settings.value("rpcuser", NodeNetwork::Main), "last");
    EXPECT_EQ(settings.value("rpcpassword", NodeNetwork::Main), "first");
    EXPECT_EQ(settings.value("rpcport", NodeNetwork::Main), "9332");
    EXPECT_EQ(settings.value("rpcport", NodeNetwork::Regtest), "19443");
    EXPECT_EQ(settings.value("server", NodeNetwork::Regtest), "0");
    EXPECT_EQ(settings.value("server", NodeNetwork::Test), "1");
    // Network-only options are not taken from the default section on another network.
    EXPECT_EQ(settings.value("rpcport", NodeNetwork::Test), std::nullopt);
    EXPECT_EQ(settings.value("rpcpassword", NodeNetwork::Test), "first");
    EXPECT_TRUE(settings.onCommandLine("rpcuser"));
    EXPECT_FALSE(settings.onCommandLine("rpcport"));
    EXPECT_EQ(settingsOf({ "-regtest.rpcport=1" }, "").value("rpcport", NodeNetwork::Regtest), "1");
    EXPECT_EQ(settingsOf({ "-regtest.rpcport=1" }, "").value("rpcport", NodeNetwork::Main), std::nullopt);
    EXPECT_EQ(settingsOf({}, "nolisten=1").value("listen", NodeNetwork::Main), "0");

    // The node refuses to start with a network-only option in the default section alone.
    EXPECT_EQ(settings.unsuitableDefaultSectionOptions(NodeNetwork::Test), std::vector<std::string> { "rpcport" });
    EXPECT_TRUE(settings.unsuitableDefaultSectionOptions(NodeNetwork::Regtest).empty());
    EXPECT_TRUE(settings.unsuitableDefaultSectionOptions(NodeNetwork::Main).empty());
    EXPECT_TRUE(settingsOf({ "-rpcport=1" }, "rpcport=2").unsuitableDefaultSectionOptions(NodeNetwork::Test).empty());
}

} // namespace
} // namespace korvane
