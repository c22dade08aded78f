#include "platform/linux/posix_end_signals.h"
#include "tests/platform/linux/posix_test_support.h"

#include <gtest/gtest.h>
#include <poll.h>

namespace korvane {
namespace {

bool readable(int fd)
{
    pollfd watched { fd, POLLIN, 0 };
    return ::poll(&watched, 1, 0) == 1;
}

// In a child of its own, whose signals the test may change.
TEST(PosixEndSignals, ASignalTurnsTheDescriptorReadableExceptOneIgnoredFromTheStart)
{
    const std::string seen = test::runInChildProcess([] {
        std::string log;
        std::signal(SIGHUP, SIG_IGN); // as nohup starts a program
        {
            PosixEndSignals endSignals;
            const int fd = endSignals.catchEndSignals();
            std::raise(SIGHUP);
            log += readable(fd) || endSignals.takeEndRequest() ? "hup taken; " : "hup ignored; ";
            std::raise(SIGTERM);
            std::raise(SIGINT);
            log += readable(fd) && endSignals.takeEndRequest() ? "term taken; " : "term lost; ";
            log += endSignals.takeEndRequest() || readable(fd) ? "again" : "once";
        }
        struct sigaction after
        {
        };
        ::sigaction(SIGTERM, nullptr, &after);
        return log + (after.sa_handler == SIG_DFL ? ", then as before" : ", then still caught");
    });
    EXPECT_EQ(seen, "hup ignored; term taken; once, then as before");
}

} // namespace
} // namespace korvane
