#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace korvane {

// Keeps the computer from shutting down or going to sleep while the node runs, so that nothing
// cuts a stop short: a logind inhibitor on Linux, a shutdown block reason on Windows.
class ShutdownGuard
{
public:
    using Answer = std::function<void(const std::string& problem)>;

    virtual ~ShutdownGuard() = default;

    // Asks for the guard. `answered` runs once, on the caller's thread, with "" once the guard is
    // held, else with why no guard can be had, in words. A release before the answer drops it.
    virtual void hold(Answer answered) = 0;
    // Lets the computer shut down and sleep again.
    virtual void release() = 0;
    virtual bool held() const = 0;

    // Runs when the system asks to end the session while the guard is held (Windows asks every
    // program first): the program then stops the node cleanly and releases the guard once the
    // node's process has ended.
    void onShutdownRequested(std::function<void()> handler) { m_shutdownRequested = std::move(handler); }

protected:
    void shutdownRequested() const
    {
        if (m_shutdownRequested)
            m_shutdownRequested();
    }

private:
    std::function<void()> m_shutdownRequested;
};

// The operating system's guard; defined once per operating system in the Qt platform part.
std::unique_ptr<ShutdownGuard> createShutdownGuard();

// What the status line says, once, when no guard can be had; the reason follows.
inline constexpr std::string_view kNoShutdownGuard = "Shutdown is not held off while the node runs: ";

// Holds the guard while the node runs and releases it after; says once, in words, when no guard
// can be had.
class NodeShutdownGuard
{
public:
    NodeShutdownGuard(ShutdownGuard& guard, std::function<void(const std::string& message)> sayOnce);
    ~NodeShutdownGuard();
    NodeShutdownGuard(const NodeShutdownGuard&) = delete;
    NodeShutdownGuard& operator=(const NodeShutdownGuard&) = delete;

    // Each time the process watcher looks: whether the node's daemon runs.
    void nodeRunning(bool running);

private:
    ShutdownGuard& m_guard;
    std::function<void(const std::string&)> m_sayOnce;
    bool m_wanted = false;
    bool m_said = false;
};

} // namespace korvane
