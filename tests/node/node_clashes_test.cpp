#include "base/utf8_path.h"
#include "node/node_clashes.h"
#include "platform/fake/fake_services.h"
#include "settings/keys.h"
#include "tests/helpers/temporary_folder.h"

#include <gtest/gtest.h>
#include <regex>

namespace korvane {
namespace {

using test::TemporaryFolder;
using test::writeFile;

struct Copy
{
    std::string profile;
    std::string line; // the daemon command line; "@" stands for the test's folder
};

struct ClashCase
{
    std::string name;
    std::vector<std::pair<std::string, std::string>> files; // conf files in the test's folder
    std::string ownLine;
    std::vector<Copy> others;
    // "stops port 9333 LTC2": each clash's weight, key and the profile its text names, in order.
    std::vector<std::string> expected;
};

void PrintTo(const ClashCase& row, std::ostream* out)
{
    *out << row.name;
}

std::string placed(std::string line, const std::string& folder)
{
    for (auto at = line.find('@'); at != std::string::npos; at = line.find('@', at + folder.size()))
        line.replace(at, 1, folder);
    return line;
}

std::string summaryOf(const NodeClash& clash)
{
    std::smatch profile;
    std::regex_search(clash.text, profile, std::regex("profile (\\w+)'s"));
    return std::string(clash.stopsNode ? "stops " : "warns ") + clash.key + " " + profile[1].str();
}

// Two Litecoin folders "a" and "b" (and "c"), each with a conf of the case's own.
const std::vector<ClashCase> kCases {
    { "TwoMainNodesOnTheDefaultPorts",
      {},
      "litecoind -datadir=@/a",
      { { "LTC2", "litecoind -datadir=@/b" } },
      { "stops port 9333 LTC2", "stops rpcport 9332 LTC2" } },
    { "MainAndTestKeepToTheirOwnPorts",
      {},
      "litecoind -datadir=@/a",
      { { "LTCTEST", "litecoind -datadir=@/b -testnet" } },
      {} },
    { "APortInTheTestSectionMeetsTheMainNode",
      { { "b/litecoin.conf", "testnet=1\n[test]\nport=9333\n" } },
      "litecoind -datadir=@/a",
      { { "LTCTEST", "litecoind -datadir=@/b" } },
      { "stops port 9333 LTCTEST" } },
    { "APortInTheDefaultSectionDoesNotCountOnTest",
      { { "b/litecoin.conf", "testnet=1\nport=9333\n" } },
      "litecoind -datadir=@/a",
      { { "LTCTEST", "litecoind -datadir=@/b" } },
      {} },
    { "TheConfsMainSectionDoesNotCountOnRegtest",
      { { "b/litecoin.conf", "regtest=1\n[main]\nport=9333\nrpcport=9332\n" } },
      "litecoind -datadir=@/a",
      { { "REGTEST", "litecoind -datadir=@/b" } },
      {} },
    { "OwnAddressesApartShareNothing",
      { { "a/litecoin.conf", "bind=127.0.0.1\nrpcport=9400\n" },
        { "b/litecoin.conf", "bind=192.168.7.2:9333\nrpcport=9401\n" } },
      "litecoind -datadir=@/a",
      { { "LTC2", "litecoind -datadir=@/b" } },
      {} },
    { "AnAddressMeetsOneListeningOnAll",
      { { "a/litecoin.conf", "bind=127.0.0.1\nrpcport=9400\n" } },
      "litecoind -datadir=@/a",
      { { "LTC2", "litecoind -datadir=@/b" } },
      { "stops port 9333 LTC2" } },
    { "IPv6AndIPv4AreApart",
      { { "a/litecoin.conf", "bind=[::1]:9333\nrpcport=9400\n" },
        { "b/litecoin.conf", "bind=0.0.0.0\nrpcport=9401\n" } },
      "litecoind -datadir=@/a",
      { { "LTC2", "litecoind -datadir=@/b" } },
      {} },
    { "ANodeThatDoesNotListenTakesNoP2pPort",
      { { "a/litecoin.conf", "listen=0\nrpcport=9400\n" } },
      "litecoind -datadir=@/a",
      { { "LTC2", "litecoind -datadir=@/b -connect=10.0.0.1 -rpcport=9401" } },
      {} },
    { "RpcBindCountsOnlyWithRpcAllowIp",
      { { "a/litecoin.conf", "port=9500\nrpcbind=10.1.1.1\n" },
        { "b/litecoin.conf", "port=9501\nrpcallowip=10.0.0.0/8\nrpcbind=10.1.1.2\n" } },
      "litecoind -datadir=@/a",
      { { "LTC2", "litecoind -datadir=@/b" } },
      {} },
    { "ARpcPortMeetsAnotherNodesP2pPort",
      {},
      "litecoind -datadir=@/a -port=9600 -rpcport=9333",
      { { "LTC2", "litecoind -datadir=@/b -rpcport=9601" } },
      { "stops rpcport 9333 LTC2" } },
    { "OneDataFolderStopsTheSecondNode",
      { { "a/litecoin.conf", "" } },
      "litecoind -datadir=@/a -port=9700 -rpcport=9701",
      { { "LTC2", "litecoind -datadir=@/a -conf=@/other.conf" } },
      { "stops datadir LTC2" } },
    { "AFolderInsideAnother",
      { { "a/b/litecoin.conf", "" } },
      "litecoind -datadir=@/a -port=9700 -rpcport=9701",
      { { "INNER", "litecoind -datadir=@/a/b" } },
      { "warns datadir INNER" } },
    { "AFolderAroundAnother",
      { { "a/b/litecoin.conf", "" } },
      "litecoind -datadir=@/a/b -port=9700 -rpcport=9701",
      { { "OUTER", "litecoind -datadir=@/a" } },
      { "warns datadir OUTER" } },
    { "OneCoinsNetworksInOneDataFolderShareOnlyTheConf",
      { { "a/litecoin.conf", "" } },
      "litecoind -datadir=@/a",
      { { "LTCTEST", "litecoind -datadir=@/a -testnet" } },
      { "warns conf LTCTEST" } },
    { "AnotherCoinInsideAMainFolderIsNested",
      { { "a/testnet3/bitcoin.conf", "" } },
      "litecoind -datadir=@/a",
      { { "BTCTEST", "bitcoind -datadir=@/a -testnet -conf=@/btc.conf" } },
      { "warns datadir BTCTEST" } },
    { "ThreeCopies",
      { { "c/litecoin.conf", "port=9333\nrpcport=9800\n" } },
      "litecoind -datadir=@/a",
      { { "LTC2", "litecoind -datadir=@/b" }, { "LTC3", "litecoind -datadir=@/c" } },
      { "stops port 9333 LTC2", "stops rpcport 9332 LTC2", "stops port 9333 LTC3" } },
    { "ACopyWhoseNodeCannotBeReadIsLeftOut", {}, "litecoind -datadir=@/a", { { "ODD", "oddcoind -datadir=@/b" } }, {} },
};

class NodeClashesTest : public ::testing::TestWithParam<ClashCase>
{
protected:
    std::vector<std::string> clashes(const ClashCase& row)
    {
        const std::string root = m_folder.text();
        for (const char* folder : { "a", "b", "c" })
            std::filesystem::create_directories(m_folder.path() / folder);
        for (const auto& [file, text] : row.files)
            writeFile(m_folder.path() / file, text);
        const NodeFolders folders { OperatingSystem::Linux, root, root, root };
        std::vector<CopyProfile> copies;
        for (const Copy& copy : row.others)
            copies.push_back({ copy.profile, placed(copy.line, root), "" });
        const std::string ownLine = placed(row.ownLine, root);
        const NodeFootprint own = readNodeFootprint(nodeSource(folders, ownLine, ""));
        EXPECT_TRUE(own.known()) << own.problem;
        std::vector<std::string> found;
        for (const NodeClash& clash : findClashes(own, copiesNodes(copies, folders)))
            found.push_back(summaryOf(clash));
        return found;
    }

    TemporaryFolder m_folder;
};

TEST_P(NodeClashesTest, FindsWhatStopsANodeOrNeedsCare)
{
    EXPECT_EQ(clashes(GetParam()), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, NodeClashesTest, ::testing::ValuesIn(kCases), [](const auto& row) {
    return row.param.name;
});

// A path in `folder` as the reader shows it, with the system's own separators.
std::string shown(const TemporaryFolder& folder, const std::string& relative)
{
    return utf8Text((folder.path() / pathFromUtf8(relative)).make_preferred());
}

TEST(OtherCopies, AreTheOtherProfilesThatSetADaemon)
{
    fake::SettingsStore store;
    const auto set = [&store](std::string_view profile, Key key, std::string_view value) {
        ASSERT_TRUE(store.saveSetting(kApplicationName, profile, keyName(key), value));
    };
    set("ltc", Key::DaemonCommand, "litecoind");
    set("LTC2", Key::DaemonCommand, "litecoind -datadir=/n/ltc2");
    set("LTC2", Key::CryptoName, "LTC - Litecoin");
    set("BTC", Key::DaemonCommand, "  ");
    set("DASH", Key::CryptoName, "DASH");
    const std::vector<CopyProfile> onWindows = otherCopies(store, "LTC", OperatingSystem::Windows);
    ASSERT_EQ(onWindows.size(), 1u) << "LTC is ltc where letter case does not count";
    EXPECT_EQ(onWindows[0].profile, "LTC2");
    EXPECT_EQ(onWindows[0].daemonCommandLine, "litecoind -datadir=/n/ltc2");
    EXPECT_EQ(onWindows[0].cryptoName, "LTC - Litecoin");
    const std::vector<CopyProfile> onLinux = otherCopies(store, "LTC", OperatingSystem::Linux);
    ASSERT_EQ(onLinux.size(), 2u);
    EXPECT_EQ(onLinux[0].profile, "LTC2");
    EXPECT_EQ(onLinux[1].profile, "ltc");
    EXPECT_EQ(store.writes, 5) << "listing and reading write nothing";
}

TEST(NodeClashTexts, NameThePortTheOtherCopyAndItsConf)
{
    const TemporaryFolder folder;
    const std::string root = folder.text();
    const NodeFolders folders { OperatingSystem::Linux, root, root, root };
    writeFile(folder.path() / "LTC2-CRYPTO-CONFIG.conf", "[test]\nport=9333\n");
    const CopyProfile other { "LTC2", "litecoind -testnet -conf=" + root + "/LTC2-CRYPTO-CONFIG.conf", "" };
    const auto clashes
        = findClashes(readNodeFootprint(nodeSource(folders, "litecoind", "")), copiesNodes({ &other, 1 }, folders));
    ASSERT_EQ(clashes.size(), 1u);
    EXPECT_EQ(clashes[0].key, "port 9333");
    EXPECT_EQ(clashes[0].text,
              "also the P2P port of profile LTC2's node (" + shown(folder, "LTC2-CRYPTO-CONFIG.conf")
                  + "); the second to start stops");
}

TEST(NodeClashTexts, ALinkedDataFolderIsTheSameFolder)
{
    const TemporaryFolder folder;
    const std::string root = folder.text();
    std::filesystem::create_directories(folder.path() / "ltc");
    std::error_code unlinkable;
    std::filesystem::create_directory_symlink(folder.path() / "ltc", folder.path() / "link", unlinkable);
    if (unlinkable)
        GTEST_SKIP() << "no symbolic link here: " << unlinkable.message();
    const NodeFolders folders { OperatingSystem::Linux, root, root, root };
    const CopyProfile other { "LINKED", "litecoind -datadir=" + root + "/link -port=1 -rpcport=2", "" };
    const auto clashes = findClashes(readNodeFootprint(nodeSource(folders, "litecoind -datadir=" + root + "/ltc", "")),
                                     copiesNodes({ &other, 1 }, folders));
    ASSERT_EQ(clashes.size(), 2u); // the folder, and the conf file in it
    EXPECT_EQ(clashes[0].text,
              shown(folder, "ltc") + " is also the data folder of profile LINKED's node ("
                  + shown(folder, "link/litecoin.conf") + "); the second to start stops on its lock");
}

TEST(NodeMemory, TheCachesOfEveryNodeAgainstTheMachinesMemory)
{
    constexpr std::uint64_t kGiB = std::uint64_t(1) << 30;
    const std::vector<NodeCache> nodes { { "this node", 4500 }, { "profile LTC2", 4050 }, { "profile DASH", 450 } };
    EXPECT_FALSE(memoryClash(nodes, 16 * kGiB)) << "9000 of 16384 MiB is 55 %";
    const std::optional<NodeClash> tight = memoryClash(nodes, 12 * kGiB);
    ASSERT_TRUE(tight);
    EXPECT_FALSE(tight->stopsNode);
    EXPECT_EQ(tight->key, "dbcache");
    EXPECT_EQ(tight->text,
              "the database caches of the nodes that would run at once add up to 9000 MiB, 74 % of this machine's "
              "12288 MiB; above 60 % the system may end a node while it syncs. Each node's share, with the dbcache "
              "that keeps the sum at 60 %: this node 4500 MiB (dbcache=3686), profile LTC2 4050 MiB (dbcache=3317), "
              "profile DASH 450 MiB (dbcache=368)");

    const std::vector<NodeCache> oneUnknown { { "this node", 8000 }, { "profile ODD", std::nullopt } };
    const std::optional<NodeClash> partly = memoryClash(oneUnknown, 12 * kGiB);
    ASSERT_TRUE(partly);
    EXPECT_TRUE(partly->text.ends_with("this node 8000 MiB (dbcache=7372); not counted, its cache not known: "
                                       "profile ODD"))
        << partly->text;
    EXPECT_FALSE(memoryClash(oneUnknown, 16 * kGiB));
}

TEST(NodeMemory, ACopysNodeIsDescribedWithItsCacheAndPruning)
{
    const TemporaryFolder folder;
    const std::string root = folder.text();
    writeFile(folder.path() / "b/litecoin.conf", "testnet=1\nprune=2000\ndbcache=300\n");
    const NodeFolders folders { OperatingSystem::Linux, root, root, root };
    const CopyProfile copy { "LTC2", "litecoind -datadir=" + root + "/b", "" };
    const ProfileNode node = copiesNodes({ &copy, 1 }, folders).front();
    EXPECT_EQ(node.footprint.dbcacheMiB, 300u);
    EXPECT_EQ(describeNode(node, 300),
              "LTC2: Litecoin on test, P2P port 19335, RPC port 19332, data " + shown(folder, "b/testnet4")
                  + ", cache 300 MiB, pruned to 2000 MiB");
}

} // namespace
} // namespace korvane
