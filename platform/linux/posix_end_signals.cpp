#include "platform/linux/posix_end_signals.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace korvane {
namespace {

// The pipe's writing end, as the handler sees it; -1 while no one catches the signals.
volatile sig_atomic_t g_writeEnd = -1;

void onEndSignal(int signal)
{
    const int savedErrno = errno;
    const auto number = static_cast<char>(signal);
    if (g_writeEnd >= 0)
        (void)!::write(g_writeEnd, &number, 1); // a full pipe already says that one came
    errno = savedErrno;
}

} // namespace

int PosixEndSignals::catchEndSignals()
{
    if (m_readEnd >= 0)
        return m_readEnd;
    int ends[2];
    if (g_writeEnd >= 0 || ::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    m_readEnd = ends[0];
    g_writeEnd = ends[1];
    struct sigaction action
    {
    };
    action.sa_handler = onEndSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (::sigaction(kSignals[i], nullptr, &m_before[i]) != 0 || m_before[i].sa_handler == SIG_IGN)
            continue;
        m_caught[i] = ::sigaction(kSignals[i], &action, nullptr) == 0;
    }
    return m_readEnd;
}

bool PosixEndSignals::takeEndRequest()
{
    bool came = false;
    char numbers[16];
    for (ssize_t count; (count = ::read(m_readEnd, numbers, sizeof numbers)) > 0;)
        came = true;
    return came;
}

PosixEndSignals::~PosixEndSignals()
{
    if (m_readEnd < 0)
        return;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        if (m_caught[i])
            ::sigaction(kSignals[i], &m_before[i], nullptr);
    }
    const int writeEnd = g_writeEnd;
    g_writeEnd = -1;
    ::close(writeEnd);
    ::close(m_readEnd);
}

} // namespace korvane
