#pragma once

#include "base/operating_system.h"
#include "node/coin_networks.h"
#include "node/node_conf.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// What the RPC endpoint of a profile's node is read from.
struct NodeEndpointSource
{
    std::string_view daemonCommandLine = {}; // the profile's daemon line, split as the launcher splits it
    std::string_view cryptoName = {}; // the profile's crypto name ("LTC - Litecoin")
    // The coin; when none is given, coinForProfile() of the line's program and the crypto name.
    const NodeCoin* coin = nullptr;
    OperatingSystem system = OperatingSystem::Linux;
    std::string_view homeFolder = {}; // HOME, where a Linux node keeps its data folder
    std::string_view appDataFolder = {}; // %APPDATA%, where a Windows node keeps it
    std::string_view workingFolder = {}; // where the daemon starts: a relative -datadir counts from there
    // The conf file's text where it is not saved yet (the conf generator's): read in place of the
    // file's own; the files it includes are still read.
    std::optional<std::string_view> confText = {};
};

// Where and how to reach a node over RPC, found as the node itself finds its settings. Every path
// and text is UTF-8; every text is for the user as it stands.
struct NodeEndpoint
{
    NodeNetwork network = NodeNetwork::Main;
    std::string host = "127.0.0.1"; // a loopback address of either family: "127.0.0.1", "::1"
    std::uint16_t port = 0; // 0 when none can be found
    std::string credentials; // "user:password" for Basic authentication; empty when none were found
    std::string portSource; // "rpcport in the [regtest] section of /home/u/.litecoin/litecoin.conf"
    std::string credentialsSource; // "rpcpassword in ...", "cookie /home/u/.litecoin/regtest/.cookie"

    std::string dataFolder; // the node's data folder (the network's subfolder not included)
    std::string networkFolder; // the network's own folder in it, where the chain and the log are
    std::string confFile; // the conf file the node reads, whether or not it exists
    std::string cookieFile; // the cookie it authenticates with; empty when a password is set
    // The file the credentials come from: the cookie or the conf file holding the password; empty
    // when they are on the daemon's command line.
    std::string credentialsFile;
    std::string debugLog; // the log it writes; empty when it writes none (-nodebuglogfile)
    std::vector<std::string> watchedFiles; // read again when one of them changes: conf files, cookie

    // About the conf file, plainly, when it is missing ("defaults apply"), unreadable or refused.
    std::string confNote;
    // Why the node cannot be reached with what was read (no coin, a cookie not yet written, a port
    // that is not a number, ...); empty when port and credentials are found.
    std::string problem;

    const NodeCoin* coin = nullptr; // the coin read for; none when none could be found
    // Every option as the node resolved it from its command line and conf files, for reading more
    // of them; empty when the command line could not be read or the network is not known.
    std::shared_ptr<const NodeSettings> settings;

    bool usable() const { return problem.empty(); }
};

// The node's order: on the daemon's command line -datadir, -conf (relative to the data folder),
// -chain/-regtest/-testnet/-signet, -rpcport, -rpcuser, -rpcpassword, -rpccookiefile (the last of
// each wins); then the conf file (the first value of each option wins; the network's section over
// the default one, and network-only options such as rpcport only from the network's section on a
// network other than main; it may set datadir too); then, when rpcpassword is empty, the cookie
// "__cookie__:<hex>" in the network's data subfolder; then the coin's default port for the network.
// The address dialled is rpcconnect's, else the first rpcbind's (a port given with it counts), else
// 127.0.0.1; an address that is not this machine's loopback is refused. Only regular files are
// read (a FIFO, a device or a folder is a problem said in words): call it off the GUI thread.
NodeEndpoint readNodeEndpoint(const NodeEndpointSource& source);

// What a missing cookie means to the user.
inline constexpr std::string_view kCookieNotWritten = "the node writes its cookie when it starts";

} // namespace korvane
