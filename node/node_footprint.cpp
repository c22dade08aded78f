#include "node/node_footprint.h"

#include "base/ascii_case.h"
#include "base/command_line_split.h"
#include "base/utf8_path.h"
#include "platform/settings_store.h"
#include "settings/profile.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace korvane {
namespace {

namespace fs = std::filesystem;

using Kind = NodeListener::Kind;

constexpr std::int64_t kSmallestPruneTarget = 2; // 1 is pruning by hand only

bool isIpv6(std::string_view host)
{
    return host.find(':') != std::string_view::npos;
}

bool listensOnAll(std::string_view host)
{
    return host == "0.0.0.0" || host == "::";
}

// The number a text begins with, as the node reads one (blanks, a sign, digits); 0 for any other.
std::int64_t leadingNumber(std::string_view text)
{
    text.remove_prefix(std::min(text.find_first_not_of(" \t"), text.size()));
    if (text.starts_with('+'))
        text.remove_prefix(1);
    std::int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// "[::1]:8332", "127.0.0.1:8332", "::1", "localhost" as the node splits a bind address: a port only
// after a bracketed address or a single colon.
NodeListener listenerAt(Kind kind, std::string_view written, std::uint16_t defaultPort)
{
    std::string_view host = written;
    std::optional<std::uint16_t> port;
    const auto colon = written.rfind(':');
    const bool bracketed = written.starts_with('[');
    if (colon != std::string_view::npos && (bracketed || written.find(':') == colon)) {
        port = portNumber(written.substr(colon + 1));
        if (port)
            host = written.substr(0, colon);
    }
    if (bracketed && host.ends_with(']'))
        host = host.substr(1, host.size() - 2);
    return { kind, std::string(host), port.value_or(defaultPort) };
}

std::vector<NodeListener> onEveryAddress(Kind kind, std::uint16_t port, bool loopbackOnly)
{
    if (loopbackOnly)
        return { { kind, "127.0.0.1", port }, { kind, "::1", port } };
    return { { kind, "0.0.0.0", port }, { kind, "::", port } };
}

// Where the node listens for peers: nowhere with listen=0, nor by default with connect or proxy set;
// on every address unless bind or whitebind name some ("addr[:port][=onion]", "perms@addr[:port]").
std::vector<NodeListener> peerListeners(const NodeSettings& settings, NodeNetwork network, const NodeCoin& coin)
{
    const bool listensByDefault = !settings.find("connect", network) && !settings.find("proxy", network);
    if (!nodeBoolean(settings.value("listen", network).value_or(listensByDefault ? "1" : "0")))
        return {};
    const std::optional<std::string> written = settings.value("port", network);
    const std::optional<std::uint16_t> port = written ? portNumber(*written) : defaultP2pPort(coin, network);
    if (!port)
        return {};
    std::vector<NodeListener> listeners;
    for (std::string_view bind : settings.values("bind", network)) {
        if (bind.ends_with("=onion"))
            bind.remove_suffix(6);
        listeners.push_back(listenerAt(Kind::Peers, bind, *port));
    }
    for (std::string_view bind : settings.values("whitebind", network))
        listeners.push_back(listenerAt(Kind::Peers, bind.substr(bind.find('@') + 1), *port));
    return listeners.empty() ? onEveryAddress(Kind::Peers, *port, false) : listeners;
}

// Where it listens for RPC: nowhere with server=0; on the loopback addresses unless rpcbind names
// others, which counts only together with rpcallowip.
std::vector<NodeListener> rpcListeners(const NodeSettings& settings, NodeNetwork network, std::uint16_t port)
{
    if (port == 0 || !nodeBoolean(settings.value("server", network).value_or("1")))
        return {};
    std::vector<NodeListener> listeners;
    if (settings.find("rpcallowip", network)) {
        for (const std::string& bind : settings.values("rpcbind", network))
            listeners.push_back(listenerAt(Kind::Rpc, bind, port));
    }
    return listeners.empty() ? onEveryAddress(Kind::Rpc, port, true) : listeners;
}

// A path as compared with another: links resolved, no separator at its end, letter case folded
// where the system ignores it.
std::string comparedPath(const std::string& written, OperatingSystem system)
{
    std::error_code unresolved;
    fs::path path = fs::weakly_canonical(pathFromUtf8(written), unresolved);
    if (unresolved)
        path = pathFromUtf8(written).lexically_normal();
    std::string text = utf8Text(path.make_preferred());
    while (text.size() > 1 && (text.back() == '/' || text.back() == '\\'))
        text.pop_back();
    return system == OperatingSystem::Windows ? asciiLowered(text) : text;
}

bool sameProfile(std::string_view a, std::string_view b, OperatingSystem system)
{
    return system == OperatingSystem::Windows ? equalsIgnoringAsciiCase(a, b) : a == b;
}

} // namespace

bool sameSocket(const NodeListener& a, const NodeListener& b)
{
    return a.port == b.port && isIpv6(a.host) == isIpv6(b.host)
        && (a.host == b.host || listensOnAll(a.host) || listensOnAll(b.host));
}

NodeFootprint readNodeFootprint(const NodeEndpointSource& source)
{
    NodeFootprint footprint;
    footprint.endpoint = readNodeEndpoint(source);
    const NodeEndpoint& endpoint = footprint.endpoint;
    if (!endpoint.settings) {
        footprint.problem = endpoint.problem;
        return footprint;
    }
    const NodeSettings& settings = *endpoint.settings;
    const NodeNetwork network = endpoint.network;
    const std::string_view subfolder = endpoint.coin->on(network).dataSubfolder;
    footprint.networkFolder = subfolder.empty()
        ? endpoint.dataFolder
        : utf8Text((pathFromUtf8(endpoint.dataFolder) / pathFromUtf8(subfolder)).make_preferred());
    footprint.listeners = peerListeners(settings, network, *endpoint.coin);
    for (NodeListener& listener : rpcListeners(settings, network, endpoint.port))
        footprint.listeners.push_back(std::move(listener));
    if (const std::optional<std::string> dbcache = settings.value("dbcache", network))
        footprint.dbcacheMiB = std::max<std::uint64_t>(
            static_cast<std::uint64_t>(std::max<std::int64_t>(leadingNumber(*dbcache), 0)), kSmallestDbcacheMiB);
    if (const std::int64_t prune = leadingNumber(settings.value("prune", network).value_or("0"));
        prune >= kSmallestPruneTarget)
        footprint.pruneMiB = static_cast<std::uint64_t>(prune);
    footprint.dataFolderKey = comparedPath(endpoint.dataFolder, source.system);
    footprint.networkFolderKey = comparedPath(footprint.networkFolder, source.system);
    footprint.confFileKey = comparedPath(endpoint.confFile, source.system);
    return footprint;
}

NodeEndpointSource
nodeSource(const NodeFolders& folders, std::string_view daemonCommandLine, std::string_view cryptoName)
{
    return { .daemonCommandLine = daemonCommandLine,
             .cryptoName = cryptoName,
             .system = folders.system,
             .homeFolder = folders.home,
             .appDataFolder = folders.appData,
             .workingFolder = folders.working };
}

std::vector<CopyProfile> otherCopies(const SettingsStore& store, std::string_view ownProfile, OperatingSystem system)
{
    std::vector<CopyProfile> copies;
    for (std::string& profile : store.sections(kApplicationName)) {
        std::string line = storedText(store, profile, Key::DaemonCommand);
        if (sameProfile(profile, ownProfile, system) || line.find_first_not_of(" \t") == std::string::npos)
            continue;
        std::string cryptoName = storedText(store, profile, Key::CryptoName);
        copies.push_back({ std::move(profile), std::move(line), std::move(cryptoName) });
    }
    std::sort(copies.begin(), copies.end(),
              [](const CopyProfile& a, const CopyProfile& b) { return a.profile < b.profile; });
    return copies;
}

std::vector<ProfileNode> copiesNodes(std::span<const CopyProfile> copies, const NodeFolders& folders)
{
    std::vector<ProfileNode> nodes;
    for (const CopyProfile& copy : copies) {
        const SplitCommandLine words = splitCommandLine(copy.daemonCommandLine);
        nodes.push_back({ copy.profile, words && !words.value().empty() ? words.value().front() : std::string(),
                          readNodeFootprint(nodeSource(folders, copy.daemonCommandLine, copy.cryptoName)) });
    }
    return nodes;
}

} // namespace korvane
