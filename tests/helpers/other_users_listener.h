#pragma once

#include <cstdint>
#include <sys/types.h>

namespace korvane::test {

// A program of another user (nobody, 65534) listening on a loopback port of its own choosing, in a
// child process; it counts the bytes anyone sends it. Needs root to become that user: where it
// cannot, port() is 0. Ended when it goes.
class OtherUsersListener
{
public:
    OtherUsersListener();
    ~OtherUsersListener();
    OtherUsersListener(const OtherUsersListener&) = delete;
    OtherUsersListener& operator=(const OtherUsersListener&) = delete;

    std::uint16_t port() const { return m_port; }
    // The bytes received so far over every connection made to it.
    std::uint32_t bytesHeard();

private:
    pid_t m_child = -1;
    int m_ask = -1; // to the child: a byte asks for its count
    int m_answer = -1; // from the child: the port, then each count
    std::uint16_t m_port = 0;
};

} // namespace korvane::test
