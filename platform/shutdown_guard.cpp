#include "platform/shutdown_guard.h"

namespace korvane {

NodeShutdownGuard::NodeShutdownGuard(ShutdownGuard& guard, std::function<void(const std::string& message)> sayOnce)
    : m_guard(guard)
    , m_sayOnce(std::move(sayOnce))
{
}

NodeShutdownGuard::~NodeShutdownGuard()
{
    if (m_wanted)
        m_guard.release();
}

void NodeShutdownGuard::nodeRunning(bool running)
{
    if (running == m_wanted)
        return;
    m_wanted = running;
    if (!running) {
        m_guard.release();
        return;
    }
    m_guard.hold([this](const std::string& problem) {
        if (problem.empty() || m_said)
            return;
        m_said = true;
        m_sayOnce(std::string(kNoShutdownGuard) + problem);
    });
}

} // namespace korvane
