#include "node/node_conf.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdlib>

namespace korvane {
namespace {

constexpr std::string_view kBlanks = " \t\r\n";

constexpr std::array<std::pair<NodeNetwork, std::string_view>, 4> kNetworkNames { {
    { NodeNetwork::Main, "main" },
    { NodeNetwork::Test, "test" },
    { NodeNetwork::Signet, "signet" },
    { NodeNetwork::Regtest, "regtest" },
} };

constexpr std::array<std::string_view, 7> kNetworkOnlyOptions {
    "addnode", "bind", "connect", "port", "rpcbind", "rpcport", "wallet",
};

constexpr std::array<std::string_view, 19> kListOptions {
    "addnode",    "bind",      "blockfilterindex", "connect",    "debug",     "debugexclude", "deprecatedrpc",
    "externalip", "loadblock", "onlynet",          "rpcallowip", "rpcauth",   "rpcbind",      "rpcwhitelist",
    "seednode",   "uacomment", "wallet",           "whitebind",  "whitelist",
};

constexpr std::array<std::string_view, 4> kNetworkChoiceOptions { "chain", "regtest", "signet", "testnet" };

template <std::size_t N> bool isAmong(const std::array<std::string_view, N>& names, std::string_view name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(kBlanks);
    return text.substr(first, last - first + 1);
}

struct OptionName
{
    std::string section;
    std::string name;
    bool negated = false;
};

// "regtest.norpcport" -> section "regtest", name "rpcport", negated.
OptionName interpretName(std::string_view written)
{
    OptionName result;
    if (const auto dot = written.find('.'); dot != std::string_view::npos) {
        result.section = std::string(written.substr(0, dot));
        written.remove_prefix(dot + 1);
    }
    result.name = std::string(unnegatedName(written));
    result.negated = result.name.size() != written.size();
    return result;
}

// A negated option is false, and a doubly negated one ("-nofoo=0") true.
std::string interpretValue(const OptionName& name, std::string_view value)
{
    if (!name.negated)
        return std::string(value);
    return nodeBoolean(value) ? "0" : "1";
}

NodeConfLine parseLine(std::string_view raw, int number, const std::string& section)
{
    NodeConfLine line;
    line.number = number;
    line.section = section;
    std::string_view text = raw;
    const auto hash = text.find('#');
    const bool usedHash = hash != std::string_view::npos;
    if (usedHash)
        text = text.substr(0, hash);
    text = trimmed(text);
    if (text.empty())
        return line;

    if (text.front() == '[' && text.back() == ']') {
        line.kind = NodeConfLine::Kind::Section;
        line.section = std::string(text.substr(1, text.size() - 2));
        return line;
    }
    line.kind = NodeConfLine::Kind::Malformed;
    if (text.front() == '-') {
        line.problem = "options in a configuration file must be specified without leading -";
        return line;
    }
    const auto equals = text.find('=');
    if (equals == std::string_view::npos) {
        line.problem = "a line must be an option and its value, name=value";
        if (text.starts_with("no"))
            line.problem += "; for a negated option write " + std::string(text) + "=1";
        return line;
    }
    std::string_view name = trimmed(text.substr(0, equals));
    if (usedHash && name.find("rpcpassword") != std::string_view::npos) {
        line.problem = "using # in rpcpassword can be ambiguous and should be avoided";
        return line;
    }
    line.kind = NodeConfLine::Kind::Setting;
    if (const auto dot = name.find('.'); dot != std::string_view::npos) {
        line.section = std::string(name.substr(0, dot));
        name.remove_prefix(dot + 1);
    }
    line.name = std::string(name);
    line.value = std::string(trimmed(text.substr(equals + 1)));
    return line;
}

} // namespace

std::string_view networkName(NodeNetwork network)
{
    for (const auto& [each, name] : kNetworkNames) {
        if (each == network)
            return name;
    }
    return {};
}

std::optional<NodeNetwork> networkByName(std::string_view name)
{
    for (const auto& [network, each] : kNetworkNames) {
        if (each == name)
            return network;
    }
    return std::nullopt;
}

bool isNetworkOnlyOption(std::string_view name)
{
    return isAmong(kNetworkOnlyOptions, name);
}

bool isListOption(std::string_view name)
{
    return isAmong(kListOptions, name);
}

bool isNetworkChoiceOption(std::string_view name)
{
    return isAmong(kNetworkChoiceOptions, name);
}

std::string_view unnegatedName(std::string_view name)
{
    return name.starts_with("no") ? name.substr(2) : name;
}

bool nodeBoolean(std::string_view text)
{
    if (text.empty())
        return true;
    return std::atoi(std::string(text).c_str()) != 0;
}

std::optional<std::uint16_t> portNumber(std::string_view text)
{
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

std::vector<NodeConfLine> parseNodeConf(std::string_view text)
{
    std::vector<NodeConfLine> lines;
    std::string section;
    int number = 0;
    while (!text.empty() || number == 0) {
        const auto end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        NodeConfLine line = parseLine(raw, ++number, section);
        if (line.kind == NodeConfLine::Kind::Section)
            section = line.section;
        lines.push_back(std::move(line));
        if (end == std::string_view::npos)
            break;
    }
    return lines;
}

std::vector<NodeOption> commandLineOptions(std::span<const std::string> words)
{
    std::vector<NodeOption> options;
    for (const std::string& word : words) {
        if (!word.starts_with('-'))
            break;
        std::string_view key = word;
        key.remove_prefix(key.starts_with("--") ? 2 : 1);
        const auto equals = key.find('=');
        const std::string_view value = equals == std::string_view::npos ? std::string_view() : key.substr(equals + 1);
        const OptionName name = interpretName(key.substr(0, equals));
        options.push_back(
            { name.section, name.name, interpretValue(name, value), equals != std::string_view::npos, word });
    }
    return options;
}

NodeSettings::NodeSettings(std::vector<NodeOption> commandLine, const std::vector<NodeConfLine>& conf)
{
    for (NodeOption& option : commandLine)
        m_commandLine.push_back(
            { std::move(option.section), std::move(option.name), std::move(option.value), std::nullopt });
    for (std::size_t index = 0; index < conf.size(); ++index) {
        const NodeConfLine& line = conf[index];
        if (line.kind != NodeConfLine::Kind::Setting)
            continue;
        OptionName name = interpretName(line.name);
        name.section = line.section;
        m_conf.push_back({ name.section, name.name, interpretValue(name, line.value), index });
    }
}

std::optional<bool> NodeSettings::chainFlag(std::string_view name) const
{
    // For the network's own options the last value wins everywhere, the command line first.
    for (const auto* entries : { &m_commandLine, &m_conf }) {
        const auto found = std::find_if(entries->rbegin(), entries->rend(), [name](const Entry& entry) {
            return entry.section.empty() && entry.name == name;
        });
        if (found != entries->rend())
            return nodeBoolean(found->value);
    }
    return std::nullopt;
}

NodeSettings::NetworkChoice NodeSettings::network() const
{
    constexpr std::array<std::pair<std::string_view, NodeNetwork>, 3> kFlags { {
        { "regtest", NodeNetwork::Regtest },
        { "signet", NodeNetwork::Signet },
        { "testnet", NodeNetwork::Test },
    } };
    NetworkChoice choice;
    int chosen = 0;
    for (const auto& [flag, network] : kFlags) {
        if (chainFlag(flag).value_or(false)) {
            ++chosen;
            if (!choice.network)
                choice.network = network;
        }
    }
    std::optional<std::string> chain;
    for (const auto* entries : { &m_commandLine, &m_conf }) {
        const auto found = std::find_if(entries->rbegin(), entries->rend(), [](const Entry& entry) {
            return entry.section.empty() && entry.name == "chain";
        });
        if (!chain && found != entries->rend())
            chain = found->value;
    }
    if (chain)
        ++chosen;
    if (chosen > 1)
        return { std::nullopt, "Invalid combination of -regtest, -signet, -testnet and -chain. Can use at most one." };
    if (chain) {
        choice.network = networkByName(*chain);
        if (!choice.network)
            choice.problem = "unknown chain " + *chain;
    }
    if (chosen == 0)
        choice.network = NodeNetwork::Main;
    return choice;
}

std::optional<NodeSettings::Found> NodeSettings::find(std::string_view name, NodeNetwork network) const
{
    const std::string_view section = networkName(network);
    const auto lastOnCommandLine = std::find_if(m_commandLine.rbegin(), m_commandLine.rend(), [&](const Entry& entry) {
        return entry.name == name && (entry.section.empty() || entry.section == section);
    });
    if (lastOnCommandLine != m_commandLine.rend())
        return Found { lastOnCommandLine->value, std::nullopt, {} };

    const auto firstIn = [&](std::string_view wanted) -> std::optional<Found> {
        const auto found = std::find_if(m_conf.begin(), m_conf.end(), [&](const Entry& entry) {
            return entry.name == name && entry.section == wanted;
        });
        if (found == m_conf.end())
            return std::nullopt;
        return Found { found->value, found->confLine, found->section };
    };
    if (auto inSection = firstIn(section))
        return inSection;
    if (network != NodeNetwork::Main && isNetworkOnlyOption(name))
        return std::nullopt;
    return firstIn("");
}

std::optional<std::string> NodeSettings::value(std::string_view name, NodeNetwork network) const
{
    std::optional<Found> found = find(name, network);
    return found ? std::optional(std::move(found->value)) : std::nullopt;
}

std::vector<std::string> NodeSettings::values(std::string_view name, NodeNetwork network) const
{
    const std::string_view section = networkName(network);
    std::vector<std::string> found;
    const auto gather = [&](const std::vector<Entry>& entries, auto fits) {
        for (const Entry& entry : entries) {
            if (entry.name == name && fits(entry.section))
                found.push_back(entry.value);
        }
    };
    gather(m_commandLine, [section](const std::string& s) { return s.empty() || s == section; });
    gather(m_conf, [section](const std::string& s) { return s == section; });
    if (network == NodeNetwork::Main || !isNetworkOnlyOption(name))
        gather(m_conf, [](const std::string& s) { return s.empty(); });
    return found;
}

std::vector<std::string> NodeSettings::unsuitableDefaultSectionOptions(NodeNetwork network) const
{
    std::vector<std::string> unsuitable;
    if (network == NodeNetwork::Main)
        return unsuitable;
    for (const std::string_view name : kNetworkOnlyOptions) {
        const bool inDefaultSection = std::any_of(m_conf.begin(), m_conf.end(), [name](const Entry& entry) {
            return entry.section.empty() && entry.name == name;
        });
        if (inDefaultSection && !find(name, network))
            unsuitable.emplace_back(name);
    }
    return unsuitable;
}

bool NodeSettings::onCommandLine(std::string_view name) const
{
    return std::any_of(m_commandLine.begin(), m_commandLine.end(),
                       [name](const Entry& entry) { return entry.name == name; });
}

} // namespace korvane
