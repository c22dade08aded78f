#include "platform/win/win_own_executable.h"
#include "platform/win/win_port_listeners.h"

#include <gtest/gtest.h>
// Winsock comes before windows.h.
#include <windows.h>
#include <winsock2.h>
#include <ws2tcpip.h>

namespace korvane {
namespace {

// A socket of this process listening on 127.0.0.1, on a port of the system's choosing.
class Listener
{
public:
    Listener()
    {
        WSADATA data;
        m_started = WSAStartup(MAKEWORD(2, 2), &data) == 0;
        m_socket = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in bound {};
        bound.sin_family = AF_INET;
        bound.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int size = sizeof bound;
        if (m_socket != INVALID_SOCKET && bind(m_socket, reinterpret_cast<sockaddr*>(&bound), size) == 0
            && listen(m_socket, 1) == 0 && getsockname(m_socket, reinterpret_cast<sockaddr*>(&bound), &size) == 0)
            m_port = ntohs(bound.sin_port);
    }
    ~Listener()
    {
        if (m_socket != INVALID_SOCKET)
            closesocket(m_socket);
        if (m_started)
            WSACleanup();
    }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    std::uint16_t port() const { return m_port; } // 0 when it does not listen

private:
    bool m_started = false;
    SOCKET m_socket = INVALID_SOCKET;
    std::uint16_t m_port = 0;
};

bool runsUnderWine()
{
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

TEST(WinPortListeners, ThisProcessesListenerIsFoundWithItsIdAndName)
{
    const Listener listener;
    ASSERT_NE(listener.port(), 0);
    WinPortListeners ports;
    EXPECT_EQ(ports.fileOwner("C:\\windows\\win.ini"), std::nullopt);
    EXPECT_EQ(ports.currentUser(), std::nullopt);
    const auto found = ports.listenersOn(listener.port());
    ASSERT_TRUE(found) << found.error();
    ASSERT_EQ(found.value().size(), 1u);
    const PortListener& seen = found.value()[0];
    EXPECT_EQ(seen.address, "127.0.0.1");
    EXPECT_EQ(seen.userId, std::nullopt);
    if (!seen.processId && runsUnderWine())
        GTEST_SKIP() << "Wine does not tell which process owns a socket";
    EXPECT_EQ(seen.processId, ProcessId { GetCurrentProcessId() });
    EXPECT_EQ(seen.programName, WinOwnExecutable().name() + ".exe");
}

} // namespace
} // namespace korvane
