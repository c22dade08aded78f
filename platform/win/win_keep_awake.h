#pragma once

#include "platform/keep_awake.h"

namespace korvane {

// The thread's execution state: "system required" from hold() until release(). Held by the
// thread that asks, which is the GUI thread, for as long as it runs.
class WinKeepAwake : public KeepAwake
{
public:
    ~WinKeepAwake() override { release(); }

    void hold(std::string_view reason, Failed failed, Told told) override;
    void release() override;
    bool held() const override { return m_held; }

private:
    bool m_held = false;
};

} // namespace korvane
