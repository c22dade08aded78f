#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace korvane {

// Keeps the computer from sleeping while held, through the operating system's own service.
class KeepAwake
{
public:
    using Failed = std::function<void(const std::string& reason)>;
    // A sentence for the user: the hold was lost (its service went), or made again.
    using Told = std::function<void(const std::string& message)>;

    virtual ~KeepAwake() = default;

    // Asks for the hold, giving the reason where the system lists what keeps it awake. Never waits:
    // `failed` is called later, on the caller's thread, when no service grants it. Where the service
    // can go and come back while the hold is wanted, the hold is asked for again when it is back,
    // and `told` says so, on the caller's thread. Holding twice holds once.
    virtual void hold(std::string_view reason, Failed failed, Told told) = 0;
    // Gives the hold back; nothing happens when none is held. A hold still being asked for is
    // given back as soon as it is granted.
    virtual void release() = 0;
    virtual bool held() const = 0;
};

} // namespace korvane
