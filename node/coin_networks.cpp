#include "node/coin_networks.h"

#include "base/ascii_case.h"

#include <algorithm>

namespace korvane {
namespace {

// Ports and network folders are those of each coin's CreateBaseChainParams (src/chainparamsbase.cpp),
// folder and file names those of GetDefaultDataDir and BITCOIN_CONF_FILENAME (src/util/system.cpp,
// src/util.cpp in older trees), read in the coins' own repositories:
// - Bitcoin Core 0.21: main 8332, test "testnet3" 18332, signet 38332, regtest 18443.
// - Namecoin Core (namecoin-core, 28.x tree): 8336, "testnet3" 18336, 38336, 18443; its testnet4
//   (48336) is a network that this table does not list.
// - Litecoin Core 0.21: 9332, "testnet4" 19332, 39332, 19443; checked against Debian's litecoind.
// - Vertcoin Core (vertcoin-core, a 0.16-era tree): 5888, "testnet3" 15888, 18443; that tree has
//   no signet, and a signet port was not found.
// - Dash Core (dashpay/dash, a 0.13-era tree): 9998, "testnet3" 19998, 19898; no signet (Dash has
//   devnets instead).
// - Bitcoin Gold (BTCGPU, a 0.21-era tree): names from its util/system.cpp; the only stored
//   chainparamsbase is from before its launch, so the ports are those the Bitcoin Gold library
//   documents for its networks (8332, 18332, signet 38332); regtest 18443 is Bitcoin Core's and
//   not confirmed.
// Namecoin, Vertcoin and Dash folder names (.namecoin/Namecoin, .vertcoin/Vertcoin,
// .dashcore/DashCore) are those of the coins' documentation; not confirmed in their source here.
constexpr std::array kCoins {
    NodeCoin { "BTC",
               "Bitcoin",
               "bitcoind",
               ".bitcoin",
               "Bitcoin",
               "bitcoin.conf",
               std::chrono::seconds(600),
               std::chrono::hours(3),
               { { { "", 8332 }, { "testnet3", 18332 }, { "signet", 38332 }, { "regtest", 18443 } } } },
    NodeCoin { "NMC",
               "Namecoin",
               "namecoind",
               ".namecoin",
               "Namecoin",
               "namecoin.conf",
               std::chrono::seconds(600),
               std::chrono::hours(3),
               { { { "", 8336 }, { "testnet3", 18336 }, { "signet", 38336 }, { "regtest", 18443 } } } },
    NodeCoin { "LTC",
               "Litecoin",
               "litecoind",
               ".litecoin",
               "Litecoin",
               "litecoin.conf",
               std::chrono::seconds(150),
               std::chrono::hours(1),
               { { { "", 9332 }, { "testnet4", 19332 }, { "signet", 39332 }, { "regtest", 19443 } } } },
    NodeCoin { "VTC",
               "Vertcoin",
               "vertcoind",
               ".vertcoin",
               "Vertcoin",
               "vertcoin.conf",
               std::chrono::seconds(150),
               std::chrono::hours(1),
               { { { "", 5888 }, { "testnet3", 15888 }, { "signet", 0 }, { "regtest", 18443 } } } },
    NodeCoin { "DASH",
               "Dash",
               "dashd",
               ".dashcore",
               "DashCore",
               "dash.conf",
               std::chrono::seconds(150),
               std::chrono::hours(1),
               { { { "", 9998 }, { "testnet3", 19998 }, { "signet", 0 }, { "regtest", 19898 } } } },
    NodeCoin { "BTG",
               "Bitcoin Gold",
               "bgoldd",
               ".bitcoingold",
               "BitcoinGold",
               "bitcoingold.conf",
               std::chrono::seconds(600),
               std::chrono::hours(3),
               { { { "", 8332 }, { "testnet3", 18332 }, { "signet", 38332 }, { "regtest", 18443 } } } },
};

// The P2P ports (nDefaultPort in chainparams.cpp), in the order of NodeNetwork, 0 where unknown:
// - Bitcoin Core: 8333, 18333, 38333, 18444.
// - Namecoin Core (namecoind 28.x manual page): 8334, 18334, 38334, 18444.
// - Litecoin Core 0.21: 9333, 19335, 19335 and 19444, as Debian's litecoind 0.21.2.1 says in its
//   help and does: its signet listens on 19335 like its testnet (127.0.0.1:39335 is its onion bind).
// - Vertcoin Core (vertcoin-core chainparams.cpp): 5889, 15889, no signet, 18444.
// - Dash Core (dashd manual page): 9999, 19999, no signet; regtest 19899 is not confirmed.
// - Bitcoin Gold (bgoldd 0.17.1 manual page): 8338, 18338; regtest 18444 is Bitcoin Core's and not
//   confirmed, and a signet port was not found.
struct CoinP2pPorts
{
    std::string_view ticker;
    std::array<std::uint16_t, 4> ports;
};
constexpr std::array kP2pPorts {
    CoinP2pPorts { "BTC", { 8333, 18333, 38333, 18444 } }, CoinP2pPorts { "NMC", { 8334, 18334, 38334, 18444 } },
    CoinP2pPorts { "LTC", { 9333, 19335, 19335, 19444 } }, CoinP2pPorts { "VTC", { 5889, 15889, 0, 18444 } },
    CoinP2pPorts { "DASH", { 9999, 19999, 0, 19899 } },    CoinP2pPorts { "BTG", { 8338, 18338, 0, 18444 } },
};

// "C:\Nodes\litecoind.exe" -> "litecoind".
std::string_view programName(std::string_view program)
{
    if (const auto separator = program.find_last_of("/\\"); separator != std::string_view::npos)
        program.remove_prefix(separator + 1);
    if (program.size() > 4 && equalsIgnoringAsciiCase(program.substr(program.size() - 4), ".exe"))
        program.remove_suffix(4);
    return program;
}

// "LTC - Litecoin" -> "LTC".
std::string_view leadingWord(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    text.remove_prefix(first);
    const auto end = std::find_if(text.begin(), text.end(), [](char c) {
        return !((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'));
    });
    return text.substr(0, static_cast<std::size_t>(end - text.begin()));
}

} // namespace

std::optional<std::uint16_t> NodeCoin::rpcPort(NodeNetwork network) const
{
    const std::uint16_t port = on(network).rpcPort;
    return port == 0 ? std::nullopt : std::optional(port);
}

std::string_view NodeCoin::dataFolderName(OperatingSystem system) const
{
    return system == OperatingSystem::Windows ? windowsDataFolder : linuxDataFolder;
}

std::span<const NodeCoin> nodeCoins()
{
    return kCoins;
}

const NodeCoin* coinByTicker(std::string_view ticker)
{
    const auto found = std::find_if(kCoins.begin(), kCoins.end(), [ticker](const NodeCoin& coin) {
        return equalsIgnoringAsciiCase(coin.ticker, ticker);
    });
    return found == kCoins.end() ? nullptr : &*found;
}

const NodeCoin* coinForProfile(std::string_view daemonProgram, std::string_view cryptoName)
{
    const std::string_view daemon = programName(daemonProgram);
    const auto byDaemon = std::find_if(kCoins.begin(), kCoins.end(), [daemon](const NodeCoin& coin) {
        return equalsIgnoringAsciiCase(coin.daemonName, daemon);
    });
    if (byDaemon != kCoins.end())
        return &*byDaemon;
    const std::string_view ticker = leadingWord(cryptoName);
    return ticker.empty() ? nullptr : coinByTicker(ticker);
}

std::optional<std::uint16_t> defaultP2pPort(const NodeCoin& coin, NodeNetwork network)
{
    const auto found = std::find_if(kP2pPorts.begin(), kP2pPorts.end(),
                                    [&coin](const CoinP2pPorts& ports) { return ports.ticker == coin.ticker; });
    const std::uint16_t port = found == kP2pPorts.end() ? 0 : found->ports[static_cast<std::size_t>(network)];
    return port == 0 ? std::nullopt : std::optional(port);
}

} // namespace korvane
