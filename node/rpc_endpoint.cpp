#include "node/rpc_endpoint.h"

#include "base/command_line_split.h"
#include "base/node_conf.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvane {
namespace {

std::string fileText(const std::filesystem::path& path, bool& readable)
{
    std::ifstream file(path, std::ios::binary);
    readable = static_cast<bool>(file);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string networkFolder(NodeNetwork network)
{
    switch (network) {
    case NodeNetwork::Main:
        return {};
    case NodeNetwork::Test:
        return "testnet4";
    case NodeNetwork::Signet:
        return "signet";
    case NodeNetwork::Regtest:
        return "regtest";
    }
    return {};
}

int defaultPort(NodeNetwork network)
{
    switch (network) {
    case NodeNetwork::Main:
        return 9332;
    case NodeNetwork::Test:
        return 19332;
    case NodeNetwork::Signet:
        return 39332;
    case NodeNetwork::Regtest:
        return 19443;
    }
    return 0;
}

} // namespace

RpcEndpoint rpcEndpointFor(const std::string& daemonCommand, const std::string& blockchainHome)
{
    namespace fs = std::filesystem;
    RpcEndpoint endpoint;
    const SplitCommandLine words = splitCommandLine(daemonCommand);
    if (!words.ok() || words.arguments.empty()) {
        endpoint.problem = "no daemon command line is set";
        return endpoint;
    }
    const std::vector<std::string> options(words.arguments.begin() + 1, words.arguments.end());
    const NodeSettings commandLine(commandLineOptions(options), {});
    const auto fromLine = [&](const char* name) { return commandLine.value(name, NodeNetwork::Main); };

    std::string program = fs::path(words.arguments.front()).stem().string();
    if (program.ends_with('d'))
        program.pop_back();
    const fs::path dataFolder = fromLine("datadir").value_or(
        blockchainHome.empty() ? (fs::path(std::getenv("HOME") ? std::getenv("HOME") : "") / ("." + program)).string()
                               : blockchainHome);
    fs::path confFile = fromLine("conf").value_or(program + ".conf");
    if (confFile.is_relative())
        confFile = dataFolder / confFile;

    bool confReadable = false;
    const std::string confText = fileText(confFile, confReadable);
    const NodeSettings settings(commandLineOptions(options), parseNodeConf(confText));
    const NodeNetwork network = settings.network().network.value_or(NodeNetwork::Main);
    const auto value = [&](const char* name) { return settings.value(name, network); };

    endpoint.watchedFiles.push_back(confFile.string());
    endpoint.port = value("rpcport") ? std::atoi(value("rpcport")->c_str()) : defaultPort(network);
    const std::string password = value("rpcpassword").value_or("");
    if (!password.empty()) {
        endpoint.credentials = value("rpcuser").value_or("") + ":" + password;
        endpoint.source = settings.onCommandLine("rpcpassword") ? "the daemon command line" : confFile.string();
        return endpoint;
    }
    fs::path cookie = value("rpccookiefile").value_or(".cookie");
    if (cookie.is_relative())
        cookie = dataFolder / networkFolder(network) / cookie;
    endpoint.watchedFiles.push_back(cookie.string());
    bool cookieReadable = false;
    endpoint.credentials = fileText(cookie, cookieReadable);
    endpoint.source = cookie.string();
    if (!cookieReadable)
        endpoint.problem = "the cookie file " + cookie.string() + " cannot be read";
    return endpoint;
}

} // namespace korvane
