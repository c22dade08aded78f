#include "node/node_clashes.h"

#include <algorithm>

namespace korvane {
namespace {

using Kind = NodeListener::Kind;

constexpr std::uint64_t kMemoryShareLimitPercent = 60;

std::string nodeOf(const ProfileNode& other)
{
    return "profile " + other.profile + "'s node";
}

std::string nodeWithConf(const ProfileNode& other)
{
    return nodeOf(other) + " (" + other.footprint.endpoint.confFile + ")";
}

std::string portKey(const NodeListener& listener)
{
    return (listener.kind == Kind::Peers ? "port " : "rpcport ") + std::to_string(listener.port);
}

std::string_view portRole(const NodeListener& listener)
{
    return listener.kind == Kind::Peers ? "P2P port" : "RPC port";
}

void addPortClashes(const NodeFootprint& own, const ProfileNode& other, std::vector<NodeClash>& clashes)
{
    const std::size_t before = clashes.size();
    for (const NodeListener& mine : own.listeners) {
        for (const NodeListener& theirs : other.footprint.listeners) {
            const std::string key = portKey(mine);
            const bool said = std::any_of(clashes.begin() + static_cast<std::ptrdiff_t>(before), clashes.end(),
                                          [&key](const NodeClash& clash) { return clash.key == key; });
            if (said || !sameSocket(mine, theirs))
                continue;
            clashes.push_back({ true, key,
                                "also the " + std::string(portRole(theirs)) + " of " + nodeWithConf(other)
                                    + "; the second to start stops" });
        }
    }
}

// Whether a compared folder lies inside another.
bool inside(std::string_view inner, std::string_view outer)
{
    if (inner.size() <= outer.size() || !inner.starts_with(outer))
        return false;
    const auto separates = [](char c) { return c == '/' || c == '\\'; };
    return separates(outer.back()) || separates(inner[outer.size()]);
}

void addFolderClashes(const NodeFootprint& own, const ProfileNode& other, std::vector<NodeClash>& clashes)
{
    const NodeFootprint& theirs = other.footprint;
    const std::string& folder = own.networkFolder;
    // A coin keeps its other networks' folders inside its main one: that is the node's own layout.
    const bool oneNodesLayout = own.endpoint.coin == theirs.endpoint.coin && own.dataFolderKey == theirs.dataFolderKey;
    if (own.networkFolderKey == theirs.networkFolderKey)
        clashes.push_back({ true, "datadir",
                            folder + " is also the data folder of " + nodeWithConf(other)
                                + "; the second to start stops on its lock" });
    else if (!oneNodesLayout && inside(own.networkFolderKey, theirs.networkFolderKey))
        clashes.push_back({ false, "datadir",
                            folder + " lies inside the data folder of " + nodeWithConf(other)
                                + ": its size includes this node's files, and removing it removes them" });
    else if (!oneNodesLayout && inside(theirs.networkFolderKey, own.networkFolderKey))
        clashes.push_back({ false, "datadir",
                            folder + " holds the data folder of " + nodeWithConf(other)
                                + ": its size includes that node's files, and removing it removes them" });
    if (own.confFileKey == theirs.confFileKey)
        clashes.push_back({ false, "conf",
                            own.endpoint.confFile + " is also the conf file of " + nodeOf(other)
                                + ": a change to it changes both nodes" });
}

} // namespace

std::vector<NodeClash> findClashes(const NodeFootprint& own, std::span<const ProfileNode> others)
{
    std::vector<NodeClash> clashes;
    if (!own.known())
        return clashes;
    for (const ProfileNode& other : others) {
        if (!other.footprint.known())
            continue;
        addPortClashes(own, other, clashes);
        addFolderClashes(own, other, clashes);
    }
    return clashes;
}

std::optional<NodeClash> memoryClash(std::span<const NodeCache> nodes, std::uint64_t physicalBytes)
{
    const std::uint64_t memoryMiB = physicalBytes >> 20;
    std::uint64_t sum = 0;
    for (const NodeCache& node : nodes)
        sum += node.mebibytes.value_or(0);
    if (memoryMiB == 0 || sum * 100 <= memoryMiB * kMemoryShareLimitPercent)
        return std::nullopt;
    const std::uint64_t limit = memoryMiB * kMemoryShareLimitPercent / 100;
    std::string shares;
    std::string notCounted;
    for (const NodeCache& node : nodes) {
        std::string& list = node.mebibytes ? shares : notCounted;
        list += list.empty() ? "" : ", ";
        list += node.name;
        if (node.mebibytes)
            list += " " + std::to_string(*node.mebibytes)
                + " MiB (dbcache=" + std::to_string(std::max(*node.mebibytes * limit / sum, kSmallestDbcacheMiB)) + ")";
    }
    std::string text = "the database caches of the nodes that would run at once add up to " + std::to_string(sum)
        + " MiB, " + std::to_string((sum * 100 + memoryMiB - 1) / memoryMiB) + " % of this machine's "
        + std::to_string(memoryMiB) + " MiB; above " + std::to_string(kMemoryShareLimitPercent)
        + " % the system may end a node while it syncs. Each node's share, with the dbcache that keeps the sum at "
        + std::to_string(kMemoryShareLimitPercent) + " %: " + shares;
    if (!notCounted.empty())
        text += "; not counted, its cache not known: " + notCounted;
    return NodeClash { false, "dbcache", std::move(text) };
}

std::string describeNode(const ProfileNode& node, std::optional<std::uint64_t> cacheMiB)
{
    const NodeFootprint& footprint = node.footprint;
    if (!footprint.known())
        return node.profile + ": " + footprint.problem;
    std::string text = node.profile + ": " + std::string(footprint.endpoint.coin->name) + " on "
        + std::string(networkName(footprint.endpoint.network));
    for (const Kind kind : { Kind::Peers, Kind::Rpc }) {
        const auto listener = std::find_if(footprint.listeners.begin(), footprint.listeners.end(),
                                           [kind](const NodeListener& each) { return each.kind == kind; });
        if (listener != footprint.listeners.end())
            text += ", " + std::string(portRole(*listener)) + " " + std::to_string(listener->port);
    }
    text += ", data " + footprint.networkFolder;
    text += cacheMiB ? ", cache " + std::to_string(*cacheMiB) + " MiB" : ", cache not known";
    if (footprint.pruneMiB)
        text += ", pruned to " + std::to_string(*footprint.pruneMiB) + " MiB";
    return text;
}

} // namespace korvane
