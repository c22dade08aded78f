#pragma once

#include "node/node_endpoint.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

class SettingsStore;

// An address and port a node listens on.
struct NodeListener
{
    enum class Kind
    {
        Peers, // its P2P port (bind, whitebind, port)
        Rpc, // its RPC port (rpcbind, rpcport)
    };
    Kind kind = Kind::Peers;
    std::string host; // "0.0.0.0", "::", "127.0.0.1", "::1" or as written
    std::uint16_t port = 0;
};

// Whether two listeners cannot both be bound: the same port on the same address, or on any address
// of the same family where either listens on all of them ("0.0.0.0", "::"). A node listens on IPv6
// only through an IPv6 socket, so "::" and "0.0.0.0" share nothing.
bool sameSocket(const NodeListener& a, const NodeListener& b);

// The smallest database cache a node takes; it raises a smaller dbcache to this.
inline constexpr std::uint64_t kSmallestDbcacheMiB = 4;

// What a node takes of the workstation while it runs: its ports, its data folder, its conf file
// and its database cache, read as the node reads its command line and conf files.
struct NodeFootprint
{
    NodeEndpoint endpoint; // the network, RPC port, data folder, conf file and coin
    std::string networkFolder; // the data folder with the network's subfolder: the one the node locks
    std::vector<NodeListener> listeners; // none where it does not listen
    std::optional<std::uint64_t> dbcacheMiB; // as set; empty where the daemon's default applies
    std::optional<std::uint64_t> pruneMiB; // the prune target as set; empty where it keeps every block
    // The folders and conf file as compared: links resolved, letter case folded on Windows.
    std::string dataFolderKey;
    std::string networkFolderKey;
    std::string confFileKey;
    std::string problem; // why nothing of this could be read; empty when it was

    bool known() const { return problem.empty(); }
};

// Reads files, never a named pipe or a device; not on the GUI thread.
NodeFootprint readNodeFootprint(const NodeEndpointSource& source);

// Where this user's nodes keep their folders and start.
struct NodeFolders
{
    OperatingSystem system = OperatingSystem::Linux;
    std::string home; // HOME
    std::string appData; // %APPDATA%
    std::string working; // where the daemons start: a relative -datadir counts from there
};

// The source of a profile's node as `folders` place it.
NodeEndpointSource
nodeSource(const NodeFolders& folders, std::string_view daemonCommandLine, std::string_view cryptoName);

// Another copy of the program, by what its profile says of its node.
struct CopyProfile
{
    std::string profile; // the copy's profile name: "LTC2"
    std::string daemonCommandLine;
    std::string cryptoName;
};

// This user's other copies: each profile in the store but `ownProfile` (compared without regard to
// letter case on Windows, as the registry compares names) whose daemon command line is set. Reads
// the profiles only, never writes them.
std::vector<CopyProfile> otherCopies(const SettingsStore& store, std::string_view ownProfile, OperatingSystem system);

// The node of another copy, as its profile sets it.
struct ProfileNode
{
    std::string profile;
    std::string daemonProgram; // the first word of its daemon command line
    NodeFootprint footprint;
};

// The copies' nodes, each read as the node reads its command line and conf files: not on the GUI
// thread.
std::vector<ProfileNode> copiesNodes(std::span<const CopyProfile> copies, const NodeFolders& folders);

} // namespace korvane
