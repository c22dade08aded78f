// The endpoint reader against Debian's real litecoind on regtest: the files it reads are the
// node's own, and the credentials it finds are the ones the node accepts.
#include "node/node_endpoint.h"
#include "tests/helpers/temporary_folder.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace korvane {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

constexpr const char* kLitecoind = "/usr/lib/litecoin/litecoind";

// A port nobody listens on now, chosen by the system.
int freePort()
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(socket, reinterpret_cast<sockaddr*>(&address), length);
    ::getsockname(socket, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(socket);
    return ntohs(address.sin_port);
}

bool eventually(const std::function<bool()>& condition, std::chrono::seconds limit = 60s)
{
    for (const auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;) {
        if (condition())
            return true;
        std::this_thread::sleep_for(200ms);
    }
    return condition();
}

// A litecoind started with a temporary home; stopped through its client, as a user stops it.
class LitecoindTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!fs::exists(kLitecoind))
            GTEST_SKIP() << kLitecoind << " is not installed";
        fs::create_directories(m_folder.path() / "home");
        fs::create_directories(m_folder.path() / "data");
        fs::create_directories(m_folder.path() / "client");
    }

    void TearDown() override
    {
        if (!m_commandLine.empty())
            stop();
    }

    std::string path(const std::string& relative) const { return m_folder.text(relative); }

    NodeEndpoint read(const std::string& commandLine) const
    {
        const std::string home = path("home");
        return readNodeEndpoint({ .daemonCommandLine = commandLine, .homeFolder = home, .workingFolder = home });
    }

    std::string regtestLine(const std::string& conf)
    {
        return std::string(kLitecoind) + " -regtest -datadir=" + path("data") + " -conf=" + conf + " -listen=0";
    }

    void start(const std::string& commandLine, const std::string& pidFile)
    {
        m_commandLine = commandLine;
        m_pidFile = pidFile;
        ASSERT_EQ(std::system(("HOME=" + path("home") + " " + commandLine + " -daemon >/dev/null").c_str()), 0);
    }

    // Asks the node through its client, told nothing but the endpoint: no conf, no data folder.
    bool ask(const NodeEndpoint& endpoint, const std::string& command) const
    {
        const auto colon = endpoint.credentials.find(':');
        const std::string line = "litecoin-cli -datadir=" + path("client")
            + " -conf=/dev/null -rpcconnect=" + endpoint.host + " -rpcport=" + std::to_string(endpoint.port)
            + " '-rpcuser=" + endpoint.credentials.substr(0, colon)
            + "' '-rpcpassword=" + endpoint.credentials.substr(colon + 1) + "' " + command + " >/dev/null 2>&1";
        return std::system(line.c_str()) == 0;
    }

    // Through the client; a node that cannot be asked yet gets SIGTERM, its own clean stop too.
    void stop()
    {
        const NodeEndpoint endpoint = read(m_commandLine);
        m_commandLine.clear();
        pid_t pid = 0;
        eventually([&] { return fs::exists(m_pidFile); }, 10s);
        std::ifstream(m_pidFile) >> pid;
        if (!ask(endpoint, "stop") && pid > 0)
            ::kill(pid, SIGTERM);
        EXPECT_TRUE(eventually([pid] { return pid <= 0 || ::kill(pid, 0) != 0; })) << "litecoind did not stop";
    }

    // Waits until the node answers RPC with what the reader found.
    void expectAnswers(const NodeEndpoint& endpoint)
    {
        EXPECT_TRUE(eventually([&] { return ask(endpoint, "getblockcount"); }))
            << "no answer on port " << endpoint.port << " with " << endpoint.credentialsSource;
    }

    test::TemporaryFolder m_folder;
    std::string m_commandLine;
    std::string m_pidFile;
};

TEST_F(LitecoindTest, CookieAuthenticationWithThePortOfTheRegtestSection)
{
    const int port = freePort();
    test::writeFile(path("node.conf"), "[regtest]\nrpcport=" + std::to_string(port) + "\n");
    const std::string line = regtestLine(path("node.conf"));
    const std::string cookie = path("data/regtest/.cookie");
    EXPECT_EQ(read(line).problem, "no cookie " + cookie + ": the node writes its cookie when it starts");

    start(line, path("data/regtest/bitcoind.pid"));
    ASSERT_TRUE(eventually([&] { return read(line).usable(); })) << read(line).problem;
    const NodeEndpoint endpoint = read(line);
    EXPECT_EQ(endpoint.network, NodeNetwork::Regtest);
    EXPECT_EQ(endpoint.port, port);
    EXPECT_EQ(endpoint.portSource, "rpcport in the [regtest] section of " + path("node.conf"));
    EXPECT_EQ(endpoint.credentialsSource, "cookie " + cookie);
    EXPECT_EQ(endpoint.credentials.rfind("__cookie__:", 0), 0u);
    expectAnswers(endpoint);

    stop();
    // The node removes its cookie when it stops; the next start writes a new one.
    EXPECT_TRUE(eventually([&] { return !fs::exists(cookie); }));
}

TEST_F(LitecoindTest, PasswordInTheRegtestSection)
{
    const int port = freePort();
    test::writeFile(path("node.conf"),
                    "[regtest]\nrpcport=" + std::to_string(port) + "\nrpcuser=alice\nrpcpassword=s3cret\n");
    const std::string line = regtestLine(path("node.conf"));
    const NodeEndpoint endpoint = read(line);
    EXPECT_TRUE(endpoint.usable()) << endpoint.problem;
    EXPECT_EQ(endpoint.credentials, "alice:s3cret");
    EXPECT_EQ(endpoint.credentialsSource, "rpcpassword in the [regtest] section of " + path("node.conf"));

    start(line, path("data/regtest/bitcoind.pid"));
    expectAnswers(endpoint);
    EXPECT_FALSE(fs::exists(path("data/regtest/.cookie")));
    NodeEndpoint wrong = endpoint;
    wrong.credentials = "alice:wrong";
    EXPECT_FALSE(ask(wrong, "getblockcount"));
}

// Debian's /usr/bin/litecoind writes ~/.litecoin/litecoin.conf with a password (and no user) when
// there is none; a user's node may run with exactly that file.
TEST_F(LitecoindTest, TheConfThatDebiansWrapperWrites)
{
    ASSERT_EQ(std::system(("HOME=" + path("home") + " /usr/bin/litecoind -version >/dev/null").c_str()), 0);
    const std::string conf = path("home/.litecoin/litecoin.conf");
    const std::string written = test::readFile(conf);
    ASSERT_EQ(written.rfind("rpcpassword=", 0), 0u) << written;
    const std::string password = written.substr(12, written.find('\n') - 12);

    const int port = freePort();
    const std::string line = std::string(kLitecoind) + " -regtest -listen=0 -rpcport=" + std::to_string(port);
    const NodeEndpoint endpoint = read(line);
    EXPECT_EQ(endpoint.credentials, ":" + password);
    EXPECT_EQ(endpoint.credentialsSource, "rpcpassword in " + conf);
    EXPECT_EQ(read("/usr/bin/litecoind").port, 9332);

    start(line, path("home/.litecoin/regtest/bitcoind.pid"));
    expectAnswers(endpoint);
}

} // namespace
} // namespace korvane
