#include "conf/coin_presets.h"

#include "conf/vtc_node_list.h"
#include "node/coin_networks.h"

#include <array>
#include <string>

namespace korvane {
namespace {

constexpr std::array kCoins {
    CoinPreset { "BTC", "Bitcoin", "BTC - Bitcoin", "8333", false, false },
    CoinPreset { "NMC", "Namecoin", "NMC - Namecoin", "8334", false, true },
    CoinPreset { "LTC", "Litecoin", "LTC - Litecoin", "9333", false, false },
    CoinPreset { "VTC", "Vertcoin", "VTC - Vertcoin", "5889", true, false },
    CoinPreset { "DASH", "Dash", "DASH - Dash", "9999", false, false },
    CoinPreset { "BTG", "BitcoinGold", "BTG - BitcoinGold", "8338", false, false },
};

} // namespace

std::span<const CoinPreset> coinPresets()
{
    return kCoins;
}

std::string_view vtcNodeList()
{
    return KORVANE_VTC_NODE_LIST;
}

void applyCoinPreset(ConfFields& fields, const CoinPreset& preset, std::string_view nodeList)
{
    fields.setText(Key::CryptoName, preset.label);
    if (preset.oldWalletSupport) {
        fields.setTicked(Key::OldWalletSupportTick, true);
        fields.setTicked(Key::DaemonTick, true);
        fields.setTickEnabled(Key::DaemonTick, true);
    }
    fields.setText(Key::PeerPort, preset.peerPort);
    fields.setText(Key::RpcPort, std::to_string(coinByTicker(preset.button)->on(NodeNetwork::Main).rpcPort));
    fields.setText(Key::FullNodeList, preset.copiesNodeList ? nodeList : std::string_view());
}

void applyBasicSettings(ConfFields& fields)
{
    fields.setText(Key::WalletFile, "wallet.dat");
    const std::pair<Key, bool> ticks[] = {
        { Key::WalletTick, true },
        { Key::ServerTick, true },
        { Key::AlertsTick, true },
        { Key::ListenTick, true },
        { Key::UpnpTick, false },
        { Key::DnsTick, true },
        { Key::OldWalletSupportTick, false },
        { Key::DaemonTick, false },
    };
    for (const auto& [tick, ticked] : ticks)
        fields.setTicked(tick, ticked);
    fields.setTickEnabled(Key::DaemonTick, false);
    fields.setTicked(Key::PeerLocalhostTick, true);
    fields.setTicked(Key::RpcLocalhostTick, true);
    fields.setText(Key::Timeout, "3000");
    fields.setText(Key::RpcTimeout, "3000");
    fields.setText(Key::MaxConnections, "20");
    fields.setText(Key::UaComment, "");
}

} // namespace korvane
