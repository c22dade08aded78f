#include "node/coin_networks.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(CoinNetworks, FindsTheCoinOfAProfile)
{
    ASSERT_EQ(nodeCoins().size(), 6u);
    EXPECT_EQ(coinForProfile("C:\\Program Files\\Litecoin\\daemon\\LITECOIND.EXE", "")->ticker, "LTC");
    EXPECT_EQ(coinForProfile("/opt/btg/bin/bgoldd", "BTC - Bitcoin")->ticker, "BTG");
    // The daemon's name first; the crypto name's ticker when the daemon's name says nothing.
    EXPECT_EQ(coinForProfile("/srv/node-1", " dash - Dash")->ticker, "DASH");
    EXPECT_EQ(coinForProfile("", "NMC")->ticker, "NMC");
    EXPECT_EQ(coinForProfile("bitcoind.exe.old", "Bitcoin"), nullptr);
    EXPECT_EQ(coinForProfile("", "LTCX - Other"), nullptr);
    EXPECT_EQ(coinForProfile("", ""), nullptr);
}

TEST(CoinNetworks, FoldersAndPortsPerNetwork)
{
    const NodeCoin& litecoin = *coinByTicker("LTC");
    EXPECT_EQ(litecoin.dataFolderName(OperatingSystem::Linux), ".litecoin");
    EXPECT_EQ(litecoin.dataFolderName(OperatingSystem::Windows), "Litecoin");
    EXPECT_EQ(litecoin.on(NodeNetwork::Main).dataSubfolder, "");
    EXPECT_EQ(litecoin.on(NodeNetwork::Test).dataSubfolder, "testnet4");
    EXPECT_EQ(coinByTicker("BTC")->on(NodeNetwork::Test).dataSubfolder, "testnet3");
    EXPECT_EQ(litecoin.rpcPort(NodeNetwork::Regtest), 19443);
    EXPECT_EQ(coinByTicker("DASH")->rpcPort(NodeNetwork::Signet), std::nullopt);
    for (const NodeCoin& coin : nodeCoins()) {
        EXPECT_TRUE(coin.rpcPort(NodeNetwork::Main)) << coin.ticker;
        EXPECT_EQ(coin.on(NodeNetwork::Regtest).dataSubfolder, "regtest") << coin.ticker;
    }
}

} // namespace
} // namespace korvane
