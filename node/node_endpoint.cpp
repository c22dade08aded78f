#include "node/node_endpoint.h"

#include "base/command_line_split.h"
#include "base/utf8_path.h"

#include <cerrno>
#include <fstream>
#include <optional>
#include <sstream>
#include <system_error>

namespace korvane {
namespace {

namespace fs = std::filesystem;

struct TextFile
{
    bool exists = false;
    std::string text;
    std::string error; // why an existing file cannot be read
};

// Conf files and cookies are small: a larger file is not one of them.
constexpr std::uintmax_t kLargestReadFile = 4 * 1024 * 1024;

// Why a file that exists cannot be read as text, or nothing: only a regular file is opened, so a
// FIFO or a device never holds up the reader.
std::string notARegularFile(const fs::file_status& found)
{
    switch (found.type()) {
    case fs::file_type::regular:
        return {};
    case fs::file_type::directory:
        return "it is a folder";
    case fs::file_type::fifo:
        return "it is a FIFO, not a file";
    case fs::file_type::block:
    case fs::file_type::character:
        return "it is a device, not a file";
    case fs::file_type::socket:
        return "it is a socket, not a file";
    default:
        return "it is not a regular file";
    }
}

TextFile readTextFile(const fs::path& path)
{
    std::error_code status;
    const fs::file_status found = fs::status(path, status);
    if (status && status != std::errc::no_such_file_or_directory && status != std::errc::not_a_directory)
        return { true, {}, status.message() };
    if (!fs::exists(found))
        return {};
    if (std::string problem = notARegularFile(found); !problem.empty())
        return { true, {}, std::move(problem) };
    if (fs::file_size(path, status) > kLargestReadFile && !status)
        return { true, {}, "it is larger than a conf file or cookie can be" };
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        const int error = errno;
        return { true, {}, error ? std::generic_category().message(error) : "it cannot be opened" };
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (file.bad())
        return { true, {}, "it cannot be read to its end" };
    return { true, text.str(), {} };
}

// A path as the node completes it: an absolute one stands, a relative one counts from `base`.
// Shown with the system's own separators ("auth/my.cookie" reads "auth\my.cookie" on Windows).
fs::path completed(const fs::path& base, std::string_view written)
{
    fs::path path = pathFromUtf8(written);
    return (path.is_absolute() ? path : base / path).make_preferred();
}

struct RpcAddress
{
    std::optional<std::string> loopbackHost; // the address to dial; empty when it is not a loopback one
    std::string port; // written after the address, if any
};

// "127.0.0.1", "[::1]:9999", "localhost", "0.0.0.0" (every address, loopback too) as the node
// takes them, and the loopback address of this machine that reaches the node there.
RpcAddress rpcAddress(std::string_view written)
{
    std::string_view host = written;
    RpcAddress address;
    if (written.starts_with('[')) {
        const auto close = written.find(']');
        host = written.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1);
        if (close != std::string_view::npos && written.substr(close + 1).starts_with(':'))
            address.port = written.substr(close + 2);
    } else if (const auto colon = written.find(':'); colon != std::string_view::npos && written.rfind(':') == colon) {
        host = written.substr(0, colon);
        address.port = written.substr(colon + 1);
    }
    if (host == "::1" || host == "::")
        address.loopbackHost = "::1";
    else if (host.starts_with("127.") || host == "localhost" || host == "0.0.0.0")
        address.loopbackHost = host == "localhost" || host == "0.0.0.0" ? std::string("127.0.0.1") : std::string(host);
    return address;
}

// The conf files read, their lines one after another, and where each file's lines begin.
struct ConfFiles
{
    struct File
    {
        std::size_t firstLine;
        std::string path;
    };
    std::vector<NodeConfLine> lines;
    std::vector<File> files;

    const std::string& pathOfLine(std::size_t line) const
    {
        auto file = files.begin();
        for (auto next = file; next != files.end() && next->firstLine <= line; ++next)
            file = next;
        return file->path;
    }
};

class EndpointReader
{
public:
    EndpointReader(const NodeEndpointSource& source, const NodeCoin& coin)
        : m_source(source)
        , m_coin(coin)
    {
    }

    NodeEndpoint read(std::vector<NodeOption> commandLine);

private:
    fs::path dataFolder(const NodeSettings& settings, NodeNetwork network) const;
    void readConf(const fs::path& path, bool named);
    void readIncludedConfs(NodeNetwork network, const fs::path& dataFolder);
    void sayUnsuitable(const NodeSettings& settings);
    void findPort(const NodeSettings& settings);
    void findCredentials(const NodeSettings& settings, const fs::path& networkFolder);
    void findHost(const NodeSettings& settings);
    void findDebugLog(const NodeSettings& settings, const fs::path& networkFolder);
    std::string fileOf(const NodeSettings::Found& found) const;
    std::string whereFound(std::string_view name, const NodeSettings::Found& found) const;
    void fail(std::string problem);

    const NodeEndpointSource& m_source;
    const NodeCoin& m_coin;
    ConfFiles m_conf;
    NodeEndpoint m_endpoint;
};

NodeEndpoint EndpointReader::read(std::vector<NodeOption> commandLine)
{
    m_endpoint.coin = &m_coin;
    const NodeSettings onCommandLine(commandLine, {});
    const fs::path commandLineDataFolder = dataFolder(onCommandLine, NodeNetwork::Main);
    const std::optional<std::string> conf = onCommandLine.value("conf", NodeNetwork::Main);
    readConf(completed(commandLineDataFolder, conf.value_or(std::string(m_coin.confFileName))), conf.has_value());

    const NodeSettings mainConf(commandLine, m_conf.lines);
    const NodeSettings::NetworkChoice choice = mainConf.network();
    if (!choice.network) {
        fail("the node will not start: " + choice.problem);
        return std::move(m_endpoint);
    }
    if (!mainConf.onCommandLine("includeconf"))
        readIncludedConfs(*choice.network, commandLineDataFolder);

    m_endpoint.settings = std::make_shared<const NodeSettings>(std::move(commandLine), m_conf.lines);
    const NodeSettings& settings = *m_endpoint.settings;
    m_endpoint.network = settings.network().network.value_or(*choice.network);
    const fs::path folder = dataFolder(settings, m_endpoint.network);
    m_endpoint.dataFolder = utf8Text(folder);
    sayUnsuitable(settings);
    std::error_code ignored;
    if (!fs::is_directory(folder, ignored) && !settings.value("datadir", m_endpoint.network).value_or("").empty()) {
        fail("the data folder " + m_endpoint.dataFolder + " does not exist: the node will not start");
        return std::move(m_endpoint);
    }
    const fs::path networkFolder = folder / pathFromUtf8(m_coin.on(m_endpoint.network).dataSubfolder);
    m_endpoint.networkFolder = utf8Text(networkFolder);
    findPort(settings);
    findHost(settings);
    findCredentials(settings, networkFolder);
    findDebugLog(settings, networkFolder);
    return std::move(m_endpoint);
}

fs::path EndpointReader::dataFolder(const NodeSettings& settings, NodeNetwork network) const
{
    const std::string written = settings.value("datadir", network).value_or("");
    if (!written.empty())
        return completed(pathFromUtf8(m_source.workingFolder), written);
    const bool windows = m_source.system == OperatingSystem::Windows;
    const std::string_view parent = windows ? m_source.appDataFolder : m_source.homeFolder;
    // A node without a home folder keeps its data under the root folder.
    return completed(pathFromUtf8(parent.empty() && !windows ? "/" : parent), m_coin.dataFolderName(m_source.system));
}

void EndpointReader::readConf(const fs::path& path, bool named)
{
    m_endpoint.confFile = utf8Text(path);
    m_endpoint.watchedFiles.push_back(m_endpoint.confFile);
    const TextFile file
        = m_source.confText ? TextFile { true, std::string(*m_source.confText), {} } : readTextFile(path);
    if (!file.exists) {
        m_endpoint.confNote = named
            ? "the conf file " + m_endpoint.confFile + " named by -conf does not exist: the node's defaults apply"
            : "no conf file " + m_endpoint.confFile + ": the node's defaults apply";
        return;
    }
    if (!file.error.empty()) {
        m_endpoint.confNote = "cannot read " + m_endpoint.confFile + ": " + file.error;
        return;
    }
    m_conf.files.push_back({ m_conf.lines.size(), m_endpoint.confFile });
    for (NodeConfLine& line : parseNodeConf(file.text)) {
        if (line.kind == NodeConfLine::Kind::Malformed && m_endpoint.confNote.empty())
            m_endpoint.confNote = "line " + std::to_string(line.number) + " of " + m_endpoint.confFile + ": "
                + line.problem + "; the node will not start with it";
        m_conf.lines.push_back(std::move(line));
    }
}

void EndpointReader::readIncludedConfs(NodeNetwork network, const fs::path& dataFolder)
{
    // The node reads every includeconf of the network's section, then of the default one, from the
    // first file only, each relative to the data folder of the command line.
    std::vector<std::string> included;
    for (const std::string_view section : { networkName(network), std::string_view() }) {
        for (const NodeConfLine& line : m_conf.lines) {
            if (line.kind == NodeConfLine::Kind::Setting && line.name == "includeconf" && line.section == section)
                included.push_back(line.value);
        }
    }
    for (const std::string& written : included) {
        const fs::path path = completed(dataFolder, written);
        const std::string text = utf8Text(path);
        m_endpoint.watchedFiles.push_back(text);
        const TextFile file = readTextFile(path);
        if (!file.exists || !file.error.empty()) {
            if (m_endpoint.confNote.empty())
                m_endpoint.confNote = "cannot include " + text
                    + (file.exists ? ": " + file.error : ": it does not exist") + "; the node will not start";
            continue;
        }
        m_conf.files.push_back({ m_conf.lines.size(), text });
        for (NodeConfLine& line : parseNodeConf(file.text))
            m_conf.lines.push_back(std::move(line));
    }
}

void EndpointReader::sayUnsuitable(const NodeSettings& settings)
{
    const std::vector<std::string> unsuitable = settings.unsuitableDefaultSectionOptions(m_endpoint.network);
    if (unsuitable.empty() || !m_endpoint.confNote.empty())
        return;
    const std::string network(networkName(m_endpoint.network));
    m_endpoint.confNote = unsuitable.front() + " outside the [" + network + "] section of " + m_endpoint.confFile
        + " counts only on main; the node will not start on " + network + " with it there";
}

void EndpointReader::findPort(const NodeSettings& settings)
{
    const NodeNetwork network = m_endpoint.network;
    if (const std::optional<NodeSettings::Found> found = settings.find("rpcport", network)) {
        m_endpoint.portSource = whereFound("rpcport", *found);
        if (const std::optional<std::uint16_t> port = portNumber(found->value))
            m_endpoint.port = *port;
        else
            fail("rpcport=" + found->value + " (" + m_endpoint.portSource + ") is not a port number");
        return;
    }
    const std::string networkText(networkName(network));
    if (const std::optional<std::uint16_t> port = m_coin.rpcPort(network)) {
        m_endpoint.port = *port;
        m_endpoint.portSource = std::string(m_coin.name) + "'s default RPC port on " + networkText;
    } else {
        fail("no default RPC port is known for " + std::string(m_coin.name) + " on " + networkText
             + "; set rpcport in the [" + networkText + "] section of " + m_endpoint.confFile);
    }
}

void EndpointReader::findCredentials(const NodeSettings& settings, const fs::path& networkFolder)
{
    const NodeNetwork network = m_endpoint.network;
    const std::optional<NodeSettings::Found> password = settings.find("rpcpassword", network);
    if (password && !password->value.empty()) {
        m_endpoint.credentials = settings.value("rpcuser", network).value_or("") + ":" + password->value;
        m_endpoint.credentialsSource = whereFound("rpcpassword", *password);
        m_endpoint.credentialsFile = fileOf(*password);
        return;
    }
    const fs::path cookie = completed(networkFolder, settings.value("rpccookiefile", network).value_or(".cookie"));
    m_endpoint.cookieFile = utf8Text(cookie);
    m_endpoint.credentialsFile = m_endpoint.cookieFile;
    m_endpoint.watchedFiles.push_back(m_endpoint.cookieFile);
    m_endpoint.credentialsSource = "cookie " + m_endpoint.cookieFile;
    const TextFile file = readTextFile(cookie);
    const std::string line = file.text.substr(0, file.text.find('\n'));
    if (!file.exists)
        fail("no cookie " + m_endpoint.cookieFile + ": " + std::string(kCookieNotWritten));
    else if (!file.error.empty())
        fail("cannot read the cookie " + m_endpoint.cookieFile + ": " + file.error);
    else if (line.empty())
        fail("the cookie " + m_endpoint.cookieFile + " is empty; " + std::string(kCookieNotWritten));
    else
        m_endpoint.credentials = line;
}

void EndpointReader::findHost(const NodeSettings& settings)
{
    const NodeNetwork network = m_endpoint.network;
    std::optional<NodeSettings::Found> found = settings.find("rpcconnect", network);
    const char* option = "rpcconnect";
    if (!found) {
        found = settings.find("rpcbind", network);
        option = "rpcbind";
    }
    if (!found)
        return;
    const RpcAddress address = rpcAddress(found->value);
    const std::string where = whereFound(option, *found);
    if (!address.loopbackHost) {
        fail(std::string(option) + "=" + found->value + " (" + where
             + ") is not this machine's loopback address; the node is asked only on this machine");
        return;
    }
    m_endpoint.host = *address.loopbackHost;
    if (!address.port.empty()) {
        if (const std::optional<std::uint16_t> port = portNumber(address.port)) {
            m_endpoint.port = *port;
            m_endpoint.portSource = where;
        } else {
            fail(std::string(option) + "=" + found->value + " (" + where + ") does not end in a port number");
        }
    }
}

void EndpointReader::findDebugLog(const NodeSettings& settings, const fs::path& networkFolder)
{
    const std::string written = settings.value("debuglogfile", m_endpoint.network).value_or("debug.log");
    // "-nodebuglogfile" reads "0": the node writes no log.
    if (written.empty() || written == "0")
        return;
    m_endpoint.debugLog = utf8Text(completed(networkFolder, written));
}

std::string EndpointReader::fileOf(const NodeSettings::Found& found) const
{
    return found.confLine ? m_conf.pathOfLine(*found.confLine) : std::string();
}

// The first problem is the one the user sees; the others follow from it or wait their turn.
void EndpointReader::fail(std::string problem)
{
    if (m_endpoint.problem.empty())
        m_endpoint.problem = std::move(problem);
}

std::string EndpointReader::whereFound(std::string_view name, const NodeSettings::Found& found) const
{
    if (!found.confLine)
        return "-" + std::string(name) + " on the daemon command line";
    const std::string& file = m_conf.pathOfLine(*found.confLine);
    if (found.section.empty())
        return std::string(name) + " in " + file;
    return std::string(name) + " in the [" + found.section + "] section of " + file;
}

} // namespace

NodeEndpoint readNodeEndpoint(const NodeEndpointSource& source)
{
    NodeEndpoint failed;
    SplitCommandLine split = splitCommandLine(source.daemonCommandLine);
    if (!split.ok() || split.value().empty()) {
        failed.problem = split.ok() ? "the daemon command line is empty" : split.error();
        return failed;
    }
    const NodeCoin* coin = source.coin ? source.coin : coinForProfile(split.value().front(), source.cryptoName);
    if (!coin) {
        failed.problem = "the profile names no coin this program knows (by the daemon's file name or the ticker "
                         "that begins the crypto name), so the node's files and default port are unknown";
        return failed;
    }
    const std::span<const std::string> options(split.value().begin() + 1, split.value().end());
    return EndpointReader(source, *coin).read(commandLineOptions(options));
}

} // namespace korvane
