#include "conf/conf_model.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace korvane {
namespace {

std::string joined(const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i)
        text += (i == 0 ? "" : "\r\n") + lines[i];
    return text;
}

// The rendered line of an option (lines 2 to 17, then 19 to 21).
std::string lineOf(ConfModel& model, ConfOption option)
{
    const auto index = static_cast<std::size_t>(option);
    const std::size_t line = index < 16 ? index + 1 : index + 2;
    std::string text = model.render() + "\r\n";
    for (std::size_t i = 0; i < line; ++i)
        text.erase(0, text.find("\r\n") + 2);
    return text.substr(0, text.find("\r\n"));
}

const std::vector<std::string> kAllEmpty {
    "# -  - CONF FILE CREATED USING QUILLON - VORSELL - CONF-GENERATOR -",
    "#wallet=",
    "#disablewallet=0",
    "#server=0",
    "#alerts=0",
    "#listen=0",
    "#upnp=0",
    "#dns=0",
    "#daemon=0",
    "#allowip=127.0.0.1",
    "#rpcallowip=127.0.0.1",
    "#timeout=",
    "#rpctimeout=",
    "#maxconnections=",
    "#port=",
    "#rpcport=",
    "#uacomment=",
    "",
    "#rpcuser=",
    "#rpcpassword=",
    "#rpcauth=",
    "",
    "",
    "",
    "",
};

TEST(ConfModelTest, AllEmptyModelAfterLoadRendersEveryLineCommented)
{
    ConfModel model;
    model.settleAfterLoad();
    EXPECT_EQ(model.render(), joined(kAllEmpty));
    EXPECT_EQ(kAllEmpty.size(), 25u);
}

TEST(ConfModelTest, FullyFilledModelRendersEveryValueVerbatim)
{
    ConfModel model;
    const std::pair<Key, std::string> texts[] = {
        { Key::CryptoName, "BTC" },
        { Key::WalletFile, "wallet.dat" },
        { Key::Timeout, "3000" },
        { Key::RpcTimeout, "30" },
        { Key::MaxConnections, "20" },
        { Key::PeerPort, "8333" },
        { Key::RpcPort, "8332" },
        { Key::UaComment, "NO2X" },
        { Key::RpcUser, "alice" },
        { Key::RpcPassword, " p=w " },
        { Key::RpcAuth, "alice:00$ff" },
        { Key::FullNodeList, "addnode=a\r\naddnode=b" },
        { Key::UserDefinedSettings, "txindex=1\r\nprune=0" },
    };
    for (const auto& [key, value] : texts)
        model.setText(key, value);
    for (Key key : confGeneratorKeys()) {
        if (keyInfo(key).kind == KeyKind::Tick && key != Key::DisableWalletTick && key != Key::DaemonTick)
            model.setTicked(key, true);
    }
    model.setTicked(Key::DisableWalletTick, true);
    model.setTicked(Key::DaemonTick, true);

    EXPECT_EQ(model.render(),
              joined({
                  "# - BTC - CONF FILE CREATED USING QUILLON - VORSELL - CONF-GENERATOR -",
                  "wallet=wallet.dat",
                  "disablewallet=1",
                  "server=1",
                  "alerts=1",
                  "listen=1",
                  "upnp=1",
                  "dns=1",
                  "daemon=1",
                  "allowip=127.0.0.1",
                  "rpcallowip=127.0.0.1",
                  "timeout=3000",
                  "rpctimeout=30",
                  "maxconnections=20",
                  "port=8333",
                  "rpcport=8332",
                  "uacomment=NO2X",
                  "",
                  "rpcuser=alice",
                  "rpcpassword= p=w ",
                  "rpcauth=alice:00$ff",
                  "",
                  "txindex=1",
                  "prune=0",
                  "",
                  "addnode=a",
                  "addnode=b",
              }));
}

TEST(ConfModelTest, TextKeyPartsFollowTheirValueAtRenderAndBlanksCountAsContent)
{
    ConfModel model;
    model.setText(Key::PeerPort, " ");
    EXPECT_TRUE(model.keyPartActive(ConfOption::Port)) << "unchanged until the next render";
    model.setText(Key::RpcUser, "bob");
    model.render();
    EXPECT_FALSE(model.keyPartActive(ConfOption::Timeout));
    EXPECT_EQ(lineOf(model, ConfOption::Port), "port= ");
    EXPECT_EQ(lineOf(model, ConfOption::RpcUser), "rpcuser=bob");

    model.setText(Key::RpcUser, "");
    EXPECT_TRUE(model.keyPartActive(ConfOption::RpcUser));
    EXPECT_EQ(lineOf(model, ConfOption::RpcUser), "#rpcuser=");

    model.setText(Key::CryptoName, "  ");
    EXPECT_EQ(model.header(), "# -    - CONF FILE CREATED USING QUILLON - VORSELL - CONF-GENERATOR -");
}

TEST(ConfModelTest, UserDefinedTextEndingInCrLfLeavesTwoEmptyLinesBeforeTheNodeList)
{
    ConfModel model;
    model.setText(Key::UserDefinedSettings, "txindex=1\r\n");
    model.setText(Key::FullNodeList, "addnode=x");
    const std::string output = model.render();
    EXPECT_EQ(output.substr(output.find("txindex")), "txindex=1\r\n\r\n\r\naddnode=x");
}

TEST(ConfModelTest, PlainTicksSwitchOnlyTheirOwnLine)
{
    const struct
    {
        Key tick;
        std::size_t line;
        std::string activeLine;
    } ticks[] = {
        { Key::ServerTick, 3, "server=1" },
        { Key::AlertsTick, 4, "alerts=1" },
        { Key::ListenTick, 5, "listen=1" },
        { Key::UpnpTick, 6, "upnp=1" },
        { Key::DnsTick, 7, "dns=1" },
        { Key::PeerLocalhostTick, 9, "allowip=127.0.0.1" },
        { Key::RpcLocalhostTick, 10, "rpcallowip=127.0.0.1" },
    };
    for (const auto& [tick, line, activeLine] : ticks) {
        SCOPED_TRACE(keyName(tick));
        ConfModel model;
        model.settleAfterLoad();
        model.setTicked(tick, true);
        auto expected = kAllEmpty;
        expected[line] = activeLine;
        EXPECT_EQ(model.render(), joined(expected));
        model.setTicked(tick, false);
        EXPECT_EQ(model.render(), joined(kAllEmpty));
    }
}

TEST(ConfModelTest, WalletAndOldWalletSupportArmTheirDependentTick)
{
    struct Pair
    {
        Key main;
        Key dependent;
        ConfOption option;
    };
    for (const Pair& pair : { Pair { Key::WalletTick, Key::DisableWalletTick, ConfOption::DisableWallet },
                              Pair { Key::OldWalletSupportTick, Key::DaemonTick, ConfOption::Daemon } }) {
        SCOPED_TRACE(keyName(pair.main));
        const std::string active = keyPartText(pair.option, true);
        ConfModel model;
        model.settleAfterLoad();
        EXPECT_FALSE(model.tickEnabled(pair.dependent));

        model.setTicked(pair.main, true);
        EXPECT_TRUE(model.tickEnabled(pair.dependent));
        EXPECT_EQ(lineOf(model, pair.option), active + "0") << "ticked with the dependent clear";

        model.setTicked(pair.dependent, true);
        EXPECT_EQ(lineOf(model, pair.option), active + "1");

        model.setTicked(pair.dependent, false);
        model.setTicked(pair.dependent, true);
        EXPECT_TRUE(model.ticked(pair.main)) << "the dependent changes only itself";

        model.setTicked(pair.main, false);
        EXPECT_FALSE(model.ticked(pair.dependent));
        EXPECT_FALSE(model.tickEnabled(pair.dependent));
        EXPECT_EQ(lineOf(model, pair.option), "#" + active + "0");
    }
}

TEST(ConfModelTest, AtLoadTheDaemonLineFollowsDaemonNotOldWalletSupport)
{
    // Loading ticks "OLD Wallet Support" (its rule activates the line), then settles the key parts.
    ConfModel loaded;
    loaded.setTicked(Key::OldWalletSupportTick, true);
    loaded.settleAfterLoad();
    EXPECT_TRUE(loaded.tickEnabled(Key::DaemonTick));
    EXPECT_EQ(lineOf(loaded, ConfOption::Daemon), "#daemon=0");

    // A click on the same state afterwards gives the active line.
    loaded.setTicked(Key::OldWalletSupportTick, false);
    loaded.setTicked(Key::OldWalletSupportTick, true);
    EXPECT_EQ(lineOf(loaded, ConfOption::Daemon), "daemon=0");

    // A stored "Daemon" without "OLD Wallet Support" keeps its tick, greyed, on an active line.
    ConfModel stray;
    stray.setTicked(Key::DaemonTick, true);
    stray.settleAfterLoad();
    EXPECT_FALSE(stray.tickEnabled(Key::DaemonTick));
    EXPECT_EQ(lineOf(stray, ConfOption::Daemon), "daemon=1");
}

TEST(ConfModelTest, ClearAllEmptiesEveryValueAndRunsTheTickRules)
{
    ConfModel model;
    model.settleAfterLoad();
    for (Key key : confGeneratorKeys()) {
        if (keyInfo(key).kind == KeyKind::Tick)
            model.setTicked(key, true);
        else
            model.setText(key, "x");
    }
    clearAll(model);
    EXPECT_EQ(model.render(), joined(kAllEmpty));
    EXPECT_FALSE(model.tickEnabled(Key::DisableWalletTick));
    EXPECT_FALSE(model.tickEnabled(Key::DaemonTick));
}

} // namespace
} // namespace korvane
