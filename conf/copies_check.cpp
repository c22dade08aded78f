#include "conf/copies_check.h"

#include "base/command_line_split.h"
#include "node/node_clashes.h"

#include <charconv>

namespace korvane {
namespace {

std::string firstWord(const std::string& commandLine)
{
    const SplitCommandLine words = splitCommandLine(commandLine);
    return words && !words.value().empty() ? words.value().front() : std::string();
}

ConfFinding findingOf(const NodeClash& clash)
{
    return confFinding(0, clash.key, clash.stopsNode ? FindingWeight::Stops : FindingWeight::Warns, clash.text);
}

} // namespace

CopiesCheck checkAcrossCopies(const ThisCopy& copy, const Workstation& workstation)
{
    NodeEndpointSource source = nodeSource(workstation.folders, copy.daemonCommandLine, copy.cryptoName);
    if (copy.confText)
        source.confText = *copy.confText;
    const NodeFootprint own = readNodeFootprint(source);
    const std::vector<ProfileNode> others = copiesNodes(workstation.others, workstation.folders);

    CopiesCheck check;
    for (const NodeClash& clash : findClashes(own, others))
        check.findings.push_back(findingOf(clash));

    const auto cacheOf = [&workstation](const NodeFootprint& node, const std::string& program) {
        if (node.dbcacheMiB || !node.known() || !workstation.cacheDefault)
            return node.dbcacheMiB;
        return workstation.cacheDefault(program);
    };
    std::vector<NodeCache> caches;
    if (own.known())
        caches.push_back({ "this node", cacheOf(own, firstWord(copy.daemonCommandLine)) });
    for (const ProfileNode& other : others) {
        const std::optional<std::uint64_t> cache = cacheOf(other.footprint, other.daemonProgram);
        check.others.push_back(describeNode(other, cache));
        if (other.footprint.known())
            caches.push_back({ "profile " + other.profile, cache });
    }
    if (workstation.memoryBytes && workstation.cacheDefault) {
        if (const std::optional<NodeClash> memory = memoryClash(caches, *workstation.memoryBytes))
            check.findings.push_back(findingOf(*memory));
    }
    return check;
}

std::optional<std::uint64_t> defaultCacheMiB(const DaemonOptions& daemon)
{
    const auto found = daemon.help.defaults.find("dbcache");
    if (!daemon.known() || found == daemon.help.defaults.end())
        return std::nullopt;
    std::uint64_t mebibytes = 0;
    const std::string& text = found->second;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mebibytes);
    return error == std::errc() && end == text.data() + text.size() ? std::optional(mebibytes) : std::nullopt;
}

} // namespace korvane
