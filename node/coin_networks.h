#pragma once

#include "base/operating_system.h"
#include "node/node_conf.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace korvane {

// What a coin's node calls its files and folders, and where it listens for RPC on each network.
struct NodeCoin
{
    struct Network
    {
        std::string_view dataSubfolder; // inside the data folder; "" on main
        std::uint16_t rpcPort; // 0: the coin has no such network, or its port is not known
    };

    std::string_view ticker; // "LTC"
    std::string_view name; // "Litecoin"
    std::string_view daemonName; // the daemon's file name without ".exe": "litecoind"
    std::string_view linuxDataFolder; // in the home folder: ".litecoin"
    std::string_view windowsDataFolder; // in %APPDATA%: "Litecoin"
    std::string_view confFileName; // "litecoin.conf"
    std::chrono::seconds blockSpacing; // the time the chain aims for between two blocks
    // A synced node whose tip is older than this has likely lost touch with the network: about 18
    // blocks' time on a 10-minute chain, 24 on a 2.5-minute one.
    std::chrono::hours tipStaleAfter;
    std::array<Network, 4> networks; // in the order of NodeNetwork: main, test, signet, regtest

    // A tip older than this is a node still catching up, whatever else it says: a day for every coin.
    static constexpr std::chrono::hours kBehindAfter { 24 };

    const Network& on(NodeNetwork network) const { return networks[static_cast<std::size_t>(network)]; }
    std::optional<std::uint16_t> rpcPort(NodeNetwork network) const;
    std::string_view dataFolderName(OperatingSystem system) const;
};

// The coins of the presets, in the order of their buttons: BTC, NMC, LTC, VTC, DASH, BTG.
std::span<const NodeCoin> nodeCoins();

const NodeCoin* coinByTicker(std::string_view ticker);

// The coin a profile looks after: the one whose daemon the daemon program's file name is
// ("C:\Nodes\litecoind.exe", "/usr/bin/litecoind"), else the one whose ticker begins the crypto
// name ("LTC - Litecoin"); none when neither says.
const NodeCoin* coinForProfile(std::string_view daemonProgram, std::string_view cryptoName);

// The port a coin's node listens on for its peers on a network; empty where it is not known.
std::optional<std::uint16_t> defaultP2pPort(const NodeCoin& coin, NodeNetwork network);

} // namespace korvane
