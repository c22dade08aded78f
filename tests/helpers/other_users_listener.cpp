#include "tests/helpers/other_users_listener.h"

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane::test {
namespace {

constexpr uid_t kNobody = 65534;

// The child: becomes nobody, listens, reports its port, then takes connections and reads whatever
// comes, answering each request of the parent with the count so far.
[[noreturn]] void listenAsNobody(int ask, int answer)
{
    std::uint16_t port = 0;
    const bool nobody = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
    const int listener = nobody ? ::socket(AF_INET, SOCK_STREAM, 0) : -1; // a socket is its maker's
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener >= 0 && ::bind(listener, reinterpret_cast<sockaddr*>(&address), length) == 0
        && ::listen(listener, 8) == 0 && ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    (void)!::write(answer, &port, sizeof port);
    std::uint32_t received = 0;
    for (;;) {
        pollfd waits[] = { { listener, POLLIN, 0 }, { ask, POLLIN, 0 } };
        if (::poll(waits, 2, -1) < 0)
            ::_exit(1);
        if (waits[0].revents & POLLIN) {
            const int connection = ::accept(listener, nullptr, nullptr);
            char buffer[4096];
            for (ssize_t count; (count = ::recv(connection, buffer, sizeof buffer, MSG_DONTWAIT)) > 0;)
                received += static_cast<std::uint32_t>(count);
            ::close(connection);
        }
        if (waits[1].revents) {
            char request;
            if (::read(ask, &request, 1) != 1)
                ::_exit(0); // the test has gone
            (void)!::write(answer, &received, sizeof received);
        }
    }
}

} // namespace

OtherUsersListener::OtherUsersListener()
{
    int ask[2];
    int answer[2];
    if (::pipe(ask) != 0 || ::pipe(answer) != 0)
        return;
    m_child = ::fork();
    if (m_child == 0) {
        ::close(ask[1]);
        ::close(answer[0]);
        listenAsNobody(ask[0], answer[1]);
    }
    ::close(ask[0]);
    ::close(answer[1]);
    m_ask = ask[1];
    m_answer = answer[0];
    if (::read(m_answer, &m_port, sizeof m_port) != static_cast<ssize_t>(sizeof m_port))
        m_port = 0;
}

OtherUsersListener::~OtherUsersListener()
{
    ::close(m_ask);
    ::close(m_answer);
    if (m_child > 0) {
        ::kill(m_child, SIGKILL);
        ::waitpid(m_child, nullptr, 0);
    }
}

std::uint32_t OtherUsersListener::bytesHeard()
{
    std::uint32_t received = 0;
    const char request = '?';
    if (::write(m_ask, &request, 1) != 1 || ::read(m_answer, &received, sizeof received) != sizeof received)
        return 0;
    return received;
}

} // namespace korvane::test
