#pragma once

#include "node/node_footprint.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace korvane {

// How this copy's node and another copy's get in each other's way when both run.
struct NodeClash
{
    bool stopsNode = false; // the node started second refuses to start
    std::string key; // what it is about: "port 9333", "rpcport 9332", "datadir", "conf", "dbcache"
    std::string text; // what it means, naming the other copy
};

// This copy's node against the other copies' nodes: a port on the same address (whichever starts
// second cannot listen and stops), the same data folder of a network (it stops on the folder's lock),
// a data folder inside another's (each one's folder size counts the other's files), the same conf
// file (a change for one is a change for both). Nodes whose settings could not be read are left out.
std::vector<NodeClash> findClashes(const NodeFootprint& own, std::span<const ProfileNode> others);

// A node's database cache as it would run.
struct NodeCache
{
    std::string name; // "this node", "profile LTC2"
    std::optional<std::uint64_t> mebibytes; // empty where neither its settings nor its daemon tell
};

// The database caches of the nodes that would run at once against the machine's physical memory:
// above 60 % of it a warning, naming each node's share and the dbcache that would bring the sum
// down to 60 %. Nodes whose cache is not known are named as not counted.
std::optional<NodeClash> memoryClash(std::span<const NodeCache> nodes, std::uint64_t physicalBytes);

// One line on a node for the user: "LTC2: Litecoin on main, P2P port 9333, RPC port 9332, data
// /home/u/.litecoin, cache 450 MiB, pruned to 2000 MiB"; or why it could not be read.
std::string describeNode(const ProfileNode& node, std::optional<std::uint64_t> cacheMiB);

} // namespace korvane
