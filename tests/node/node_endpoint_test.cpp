#include "base/utf8_path.h"
#include "node/node_endpoint.h"
#include "tests/helpers/temporary_folder.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

using test::TemporaryFolder;
using test::writeFile;

class NodeEndpointTest : public ::testing::Test
{
protected:
    NodeEndpoint read(const std::string& commandLine,
                      std::string_view ticker = "LTC",
                      OperatingSystem system = OperatingSystem::Linux)
    {
        const std::string folder = m_folder.text();
        return readNodeEndpoint({ .daemonCommandLine = commandLine,
                                  .coin = coinByTicker(ticker),
                                  .system = system,
                                  .homeFolder = folder,
                                  .appDataFolder = folder,
                                  .workingFolder = folder });
    }

    // A path in the temporary folder ("a/b" for its folder a and file b), as the reader writes it.
    std::filesystem::path pathTo(const std::string& relative) const
    {
        std::filesystem::path path = m_folder.path();
        for (std::size_t start = 0; start <= relative.size();) {
            const std::size_t end = std::min(relative.find('/', start), relative.size());
            path /= pathFromUtf8(std::string_view(relative).substr(start, end - start));
            start = end + 1;
        }
        return path;
    }
    std::string at(const std::string& relative) const { return utf8Text(pathTo(relative)); }
    void write(const std::string& relative, const std::string& content) const { writeFile(pathTo(relative), content); }

    TemporaryFolder m_folder;
};

TEST_F(NodeEndpointTest, WithoutAConfTheDefaultsApplyAndTheCookieIsWaitedFor)
{
    NodeEndpoint endpoint = read("litecoind");
    EXPECT_EQ(endpoint.network, NodeNetwork::Main);
    EXPECT_EQ(endpoint.host, "127.0.0.1");
    EXPECT_EQ(endpoint.port, 9332);
    EXPECT_EQ(endpoint.portSource, "Litecoin's default RPC port on main");
    EXPECT_EQ(endpoint.confFile, at(".litecoin/litecoin.conf"));
    EXPECT_EQ(endpoint.confNote, "no conf file " + at(".litecoin/litecoin.conf") + ": the node's defaults apply");
    EXPECT_EQ(endpoint.cookieFile, at(".litecoin/.cookie"));
    EXPECT_EQ(endpoint.problem, "no cookie " + at(".litecoin/.cookie") + ": the node writes its cookie when it starts");
    EXPECT_FALSE(endpoint.usable());
    EXPECT_EQ(endpoint.watchedFiles, (std::vector { at(".litecoin/litecoin.conf"), at(".litecoin/.cookie") }));

    write(".litecoin/.cookie", "__cookie__:00ff");
    endpoint = read("litecoind");
    EXPECT_TRUE(endpoint.usable()) << endpoint.problem;
    EXPECT_EQ(endpoint.credentials, "__cookie__:00ff");
    EXPECT_EQ(endpoint.credentialsSource, "cookie " + at(".litecoin/.cookie"));
}

TEST_F(NodeEndpointTest, CommandLineOverConfSectionsAndTheFirstConfValue)
{
    write("node/node.conf",
          "rpcport=1111\n"
          "rpcuser=conf\n"
          "rpcpassword=first\n"
          "rpcpassword=second\n"
          "[regtest]\n"
          "rpcport=19999\n"
          "rpcport=19998\n");
    NodeEndpoint endpoint = read("litecoind -datadir=node -conf=node.conf -regtest -rpcuser=cli");
    EXPECT_EQ(endpoint.network, NodeNetwork::Regtest);
    EXPECT_EQ(endpoint.confFile, at("node/node.conf"));
    EXPECT_EQ(endpoint.dataFolder, at("node"));
    EXPECT_EQ(endpoint.port, 19999);
    EXPECT_EQ(endpoint.portSource, "rpcport in the [regtest] section of " + at("node/node.conf"));
    EXPECT_EQ(endpoint.credentials, "cli:first");
    EXPECT_EQ(endpoint.credentialsSource, "rpcpassword in " + at("node/node.conf"));
    EXPECT_TRUE(endpoint.cookieFile.empty());
    EXPECT_TRUE(endpoint.usable()) << endpoint.problem;

    endpoint = read("litecoind -datadir=node -conf=node.conf -regtest -rpcport=1 -rpcport=2222 -rpcpassword=cli");
    EXPECT_EQ(endpoint.port, 2222);
    EXPECT_EQ(endpoint.portSource, "-rpcport on the daemon command line");
    EXPECT_EQ(endpoint.credentials, "conf:cli");
    EXPECT_EQ(endpoint.credentialsSource, "-rpcpassword on the daemon command line");

    // rpcport in the default section counts on main only; on test the coin's default applies.
    EXPECT_EQ(read("litecoind -datadir=node -conf=node.conf").port, 1111);
    endpoint = read("litecoind -datadir=node -conf=node.conf -testnet");
    EXPECT_EQ(endpoint.port, 19332);
    EXPECT_EQ(endpoint.credentials, "conf:first");
    EXPECT_EQ(endpoint.confNote,
              "rpcport outside the [test] section of " + at("node/node.conf")
                  + " counts only on main; the node will not start on test with it there");
}

TEST_F(NodeEndpointTest, TheCookieOnlyWithoutAPasswordInTheNetworksSubfolder)
{
    write(".litecoin/litecoin.conf", "testnet=1\nrpcuser=alice\nrpcpassword=\n");
    write(".litecoin/testnet4/.cookie", "__cookie__:abc\nignored");
    NodeEndpoint endpoint = read("/usr/lib/litecoin/litecoind");
    EXPECT_EQ(endpoint.network, NodeNetwork::Test);
    EXPECT_EQ(endpoint.credentials, "__cookie__:abc");
    EXPECT_EQ(endpoint.credentialsSource, "cookie " + at(".litecoin/testnet4/.cookie"));

    // Bitcoin keeps its test network in "testnet3"; -rpccookiefile counts from that subfolder.
    write("btc/bitcoin.conf", "chain=test\n");
    write("btc/testnet3/auth/my.cookie", "__cookie__:def");
    endpoint = read("bitcoind -datadir=" + at("btc") + " -rpccookiefile=auth/my.cookie", "BTC");
    EXPECT_EQ(endpoint.cookieFile, at("btc/testnet3/auth/my.cookie"));
    EXPECT_EQ(endpoint.credentials, "__cookie__:def");
    EXPECT_EQ(endpoint.port, 18332);
    EXPECT_EQ(endpoint.watchedFiles, (std::vector { at("btc/bitcoin.conf"), at("btc/testnet3/auth/my.cookie") }));

    write("btc/testnet3/auth/my.cookie", "");
    EXPECT_NE(read("bitcoind -datadir=" + at("btc") + " -rpccookiefile=auth/my.cookie", "BTC").problem.find("is empty"),
              std::string::npos);
}

TEST_F(NodeEndpointTest, DataFolderFromTheConfAndIncludedConfFiles)
{
    // A datadir set in the conf file moves the cookie, not the conf file that set it.
    write("moved/regtest/.cookie", "__cookie__:1");
    write(".litecoin/litecoin.conf", "datadir=" + at("moved") + "\nregtest=1\nincludeconf=extra.conf\n");
    NodeEndpoint endpoint = read("litecoind");
    EXPECT_EQ(endpoint.dataFolder, at("moved"));
    EXPECT_EQ(endpoint.cookieFile, at("moved/regtest/.cookie"));
    EXPECT_EQ(endpoint.confNote,
              "cannot include " + at(".litecoin/extra.conf") + ": it does not exist; the node will not start");

    // An included file counts after the one that includes it.
    write(".litecoin/extra.conf", "[regtest]\nrpcpassword=included\nrpcport=20001\n");
    write(".litecoin/litecoin.conf", "regtest=1\nincludeconf=extra.conf\nrpcuser=u\n");
    endpoint = read("litecoind");
    EXPECT_TRUE(endpoint.confNote.empty()) << endpoint.confNote;
    EXPECT_EQ(endpoint.credentials, "u:included");
    EXPECT_EQ(endpoint.credentialsSource, "rpcpassword in the [regtest] section of " + at(".litecoin/extra.conf"));
    EXPECT_EQ(endpoint.port, 20001);
    EXPECT_EQ(endpoint.watchedFiles, (std::vector { at(".litecoin/litecoin.conf"), at(".litecoin/extra.conf") }));
}

TEST_F(NodeEndpointTest, DefaultPortPerCoinAndNetwork)
{
    const struct
    {
        std::string_view ticker;
        std::string_view options;
        std::uint16_t port;
    } cases[] = {
        { "LTC", "", 9332 },          { "LTC", "-testnet", 19332 }, { "LTC", "-regtest", 19443 },  { "BTC", "", 8332 },
        { "BTC", "-testnet", 18332 }, { "BTC", "-regtest", 18443 }, { "BTC", "-signet", 38332 },   { "NMC", "", 8336 },
        { "VTC", "-testnet", 15888 }, { "DASH", "", 9998 },         { "DASH", "-regtest", 19898 }, { "BTG", "", 8332 },
    };
    for (const auto& each : cases) {
        const NodeEndpoint endpoint = read("node " + std::string(each.options), each.ticker);
        EXPECT_EQ(endpoint.port, each.port) << each.ticker << " " << each.options;
    }
    const NodeEndpoint unknown = read("dashd -signet", "DASH");
    EXPECT_EQ(unknown.port, 0);
    EXPECT_EQ(unknown.problem,
              "no default RPC port is known for Dash on signet; set rpcport in the [signet] section of "
                  + at(".dashcore/dash.conf"));
    EXPECT_EQ(read("node", "BTG", OperatingSystem::Windows).confFile, at("BitcoinGold/bitcoingold.conf"));
}

TEST_F(NodeEndpointTest, MissingUnreadableAndRefusedSettingsSaidPlainly)
{
    NodeEndpoint endpoint = read("litecoind -conf=" + at("none.conf"));
    EXPECT_EQ(endpoint.confNote,
              "the conf file " + at("none.conf") + " named by -conf does not exist: the node's defaults apply");

    std::filesystem::create_directories(pathTo("folder.conf"));
    endpoint = read("litecoind -conf=" + at("folder.conf"));
    EXPECT_EQ(endpoint.confNote, "cannot read " + at("folder.conf") + ": it is a folder");

    write("bad.conf", "rpcport=1\nnolisten\n");
    endpoint = read("litecoind -conf=" + at("bad.conf"));
    EXPECT_EQ(endpoint.confNote.rfind("line 2 of " + at("bad.conf") + ": ", 0), 0u) << endpoint.confNote;
    EXPECT_EQ(endpoint.port, 1);

    write("port.conf", "rpcport=93x2\n");
    EXPECT_EQ(read("litecoind -conf=" + at("port.conf")).problem,
              "rpcport=93x2 (rpcport in " + at("port.conf") + ") is not a port number");
    EXPECT_EQ(read("litecoind -datadir=" + at("absent")).problem,
              "the data folder " + at("absent") + " does not exist: the node will not start");
    EXPECT_EQ(read("litecoind -regtest -testnet").problem.rfind("the node will not start: Invalid combination", 0), 0u);
    EXPECT_NE(readNodeEndpoint({ .daemonCommandLine = "mynoded" }).problem.find("names no coin"), std::string::npos);
    // Without a coin given, the daemon's file name or the crypto name's ticker tells it.
    EXPECT_EQ(readNodeEndpoint({ .daemonCommandLine = "\"C:\\Nodes\\dashd.exe\" -testnet" }).port, 19998);
    EXPECT_EQ(readNodeEndpoint({ .daemonCommandLine = "node", .cryptoName = "VTC - Vertcoin" }).port, 5888);
}

} // namespace
} // namespace korvane
