#include "platform/linux/linux_port_listeners.h"
#include "tests/helpers/other_users_listener.h"
#include "tests/helpers/temporary_folder.h"
#include "tests/platform/linux/posix_test_support.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace korvane {
namespace {

// An address and its user, as a listener is compared here.
using Seen = std::vector<std::pair<std::string, std::optional<std::uint32_t>>>;

Seen seen(const std::vector<PortListener>& listeners)
{
    Seen result;
    for (const auto& listener : listeners)
        result.emplace_back(listener.address, listener.userId);
    return result;
}

// Port 8332 is 208C; 127.0.0.1 is written 0100007F on this (little-endian) machine.
TEST(LinuxPortListeners, TheTcpTablesListenersOnThePortAreReadWithTheirUsers)
{
    const std::string ipv4
        = "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when retrnsmt   uid  timeout inode\n"
          "   0: 0100007F:208C 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000        0 100 1 0\n"
          "   1: 00000000:208C 00000000:0000 0A 00000000:00000000 00:00000000 00000000     0        0 101 1 0\n"
          "   2: 0100007F:208C 0100007F:C350 01 00000000:00000000 00:00000000 00000000  1000        0 102 1 0\n"
          "   3: 0100007F:208D 00000000:0000 0A 00000000:00000000 00:00000000 00000000  1000        0 103 1 0\n"
          "   4: 0100007F 00000000:0000 0A\n";
    EXPECT_EQ(seen(listenersInTcpTable(ipv4, 8332)), (Seen { { "127.0.0.1", 1000 }, { "0.0.0.0", 0 } }));
    EXPECT_EQ(seen(listenersInTcpTable(ipv4, 50000)), Seen {}) << "a connection's remote port is not listened on";

    const std::string ipv6
        = "  sl  local_address                         remote_address                        st tx_queue rx_queue tr "
          "tm->when retrnsmt   uid  timeout inode\n"
          "   0: 00000000000000000000000001000000:208C 00000000000000000000000000000000:0000 0A 00000000:00000000 "
          "00:00000000 00000000  1001        0 200 1 0\n"
          "   1: 00000000000000000000000000000000:208C 00000000000000000000000000000000:0000 0A 00000000:00000000 "
          "00:00000000 00000000   110        0 201 1 0\n"
          "   2: 0000000000000000FFFF00000100007F:208C 00000000000000000000000000000000:0000 0A 00000000:00000000 "
          "00:00000000 00000000  1002        0 202 1 0\n"
          "   3: 00000000000000000000000001000000:208C 00000000000000000000000001000000:A000 06 00000000:00000000 "
          "00:00000000 00000000  1001        0 0 1 0\n";
    EXPECT_EQ(seen(listenersInTcpTable(ipv6, 8332)),
              (Seen { { "::1", 1001 }, { "::", 110 }, { "::ffff:127.0.0.1", 1002 } }));
}

// A socket listening on a port of its own choosing; closed when it goes.
class Listener
{
public:
    explicit Listener(const char* address = "127.0.0.1")
        : m_socket(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in bound {};
        bound.sin_family = AF_INET;
        ::inet_pton(AF_INET, address, &bound.sin_addr);
        socklen_t size = sizeof bound;
        if (::bind(m_socket, reinterpret_cast<sockaddr*>(&bound), size) == 0 && ::listen(m_socket, 1) == 0
            && ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&bound), &size) == 0)
            m_port = ntohs(bound.sin_port);
    }
    ~Listener() { ::close(m_socket); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    std::uint16_t port() const { return m_port; } // 0 when it does not listen

private:
    int m_socket;
    std::uint16_t m_port = 0;
};

TEST(LinuxPortListeners, ThisUsersListenerIsFoundAndFilesAreOwnedWithoutBeingOpened)
{
    LinuxPortListeners ports;
    const Listener listener;
    ASSERT_NE(listener.port(), 0);
    const auto found = ports.listenersOn(listener.port());
    ASSERT_TRUE(found) << found.error();
    EXPECT_EQ(seen(found.value()), (Seen { { "127.0.0.1", ::geteuid() } }));
    EXPECT_EQ(ports.currentUser(), ::geteuid());

    const test::TemporaryFolder folder;
    test::writeFile(folder.path() / ".cookie", "__cookie__:secret");
    ASSERT_EQ(::mkfifo(folder.text("fifo").c_str(), 0600), 0);
    EXPECT_EQ(ports.fileOwner(folder.text(".cookie")), ::geteuid());
    EXPECT_EQ(ports.fileOwner(folder.text("fifo")), ::geteuid()) << "answered without waiting for a writer";
    EXPECT_EQ(ports.fileOwner(folder.text("missing")), std::nullopt);
}

TEST(LinuxPortListeners, AnotherUsersListenerIsFoundWithThatUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to listen as another user";
    test::OtherUsersListener other;
    ASSERT_NE(other.port(), 0) << "the other user could not listen";
    const auto found = LinuxPortListeners().listenersOn(other.port());
    ASSERT_TRUE(found) << found.error();
    EXPECT_EQ(seen(found.value()), (Seen { { "127.0.0.1", 65534 } }));
}

} // namespace
} // namespace korvane
