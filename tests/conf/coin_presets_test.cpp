#include "conf/coin_presets.h"

#include <gtest/gtest.h>

namespace korvane {
namespace {

TEST(CoinPresetsTest, EachCoinWritesItsLabelPortsAndNodeList)
{
    const struct
    {
        std::string_view button, label, peerPort, rpcPort;
    } expected[] = {
        { "BTC", "BTC - Bitcoin", "8333", "8332" },  { "NMC", "NMC - Namecoin", "8334", "8336" },
        { "LTC", "LTC - Litecoin", "9333", "9332" }, { "VTC", "VTC - Vertcoin", "5889", "5888" },
        { "DASH", "DASH - Dash", "9999", "9998" },   { "BTG", "BTG - BitcoinGold", "8338", "8332" },
    };
    ASSERT_EQ(coinPresets().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].button);
        EXPECT_EQ(coinPresets()[i].button, expected[i].button) << "buttons in the order BTC NMC LTC VTC DASH BTG";
        ConfModel model;
        model.setText(Key::FullNodeList, "addnode=old");
        applyCoinPreset(model, coinPresets()[i], "addnode=1.2.3.4\r\naddnode=5.6.7.8\r\n");
        EXPECT_EQ(model.text(Key::CryptoName), expected[i].label);
        EXPECT_EQ(model.text(Key::PeerPort), expected[i].peerPort);
        EXPECT_EQ(model.text(Key::RpcPort), expected[i].rpcPort);
        EXPECT_EQ(model.text(Key::FullNodeList),
                  expected[i].button == "VTC" ? "addnode=1.2.3.4\r\naddnode=5.6.7.8\r\n" : "");
        EXPECT_EQ(model.ticked(Key::DaemonTick), expected[i].button == "NMC");
    }
}

// The order of basic settings and a coin preset is covered by the window test.
TEST(CoinPresetsTest, BasicSettingsWriteTheirLinesAndClearTheDaemonPair)
{
    ConfModel model;
    model.settleAfterLoad();
    model.setTicked(Key::OldWalletSupportTick, true);
    model.setTicked(Key::DaemonTick, true);
    model.setTicked(Key::UpnpTick, true);
    model.setText(Key::UaComment, "NO2X");
    applyBasicSettings(model);
    const std::string output = model.render();
    for (std::string_view line :
         { "\r\nwallet=wallet.dat\r\n", "\r\ndisablewallet=0\r\n", "\r\nserver=1\r\n", "\r\nalerts=1\r\n",
           "\r\nlisten=1\r\n", "\r\n#upnp=0\r\n", "\r\ndns=1\r\n", "\r\n#daemon=0\r\n", "\r\nallowip=127.0.0.1\r\n",
           "\r\nrpcallowip=127.0.0.1\r\n", "\r\ntimeout=3000\r\n", "\r\nrpctimeout=3000\r\n",
           "\r\nmaxconnections=20\r\n", "\r\n#uacomment=\r\n" })
        EXPECT_NE(output.find(line), std::string::npos) << line;
    EXPECT_FALSE(model.tickEnabled(Key::DaemonTick));
}

TEST(CoinPresetsTest, WithoutABuildListTheVtcNodeListIsOneCommentLine)
{
    const std::string_view list = vtcNodeList();
    ASSERT_FALSE(list.empty());
    if (list.front() == '#')
        EXPECT_EQ(list.find('\n'), std::string_view::npos);
    else
        EXPECT_EQ(list.substr(0, 8), "addnode=");
}

} // namespace
} // namespace korvane
