#pragma once

#include "conf/conf_model.h"

#include <span>
#include <string_view>

namespace korvane {

// Ports and label of one coin, written into the generator by its preset button; the RPC port is
// the main network's of the coin table.
struct CoinPreset
{
    std::string_view button; // the button's caption and the coin's ticker, also the start of its object name
    std::string_view name; // the button's tool tip
    std::string_view label; // the crypto name the preset writes
    std::string_view peerPort;
    bool copiesNodeList; // takes the build's node list; every other coin clears the list
    bool oldWalletSupport; // ticks "OLD Wallet Support" and "Daemon"
};

// The six coins in the order of their buttons: BTC, NMC, LTC, VTC, DASH, BTG.
std::span<const CoinPreset> coinPresets();

// The "addnode=" lines the VTC preset copies, set when the program is built; without one, a
// comment line that says so.
std::string_view vtcNodeList();

// Writes a coin's label, ports and node list (ticking "OLD Wallet Support" and "Daemon" for NMC).
void applyCoinPreset(ConfFields& fields, const CoinPreset& preset, std::string_view nodeList);

// The settings common to every coin: wallet file, ticks, timeouts and connections.
void applyBasicSettings(ConfFields& fields);

} // namespace korvane
