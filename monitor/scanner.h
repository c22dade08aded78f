#pragma once

#include <array>
#include <chrono>

namespace korvane {

inline constexpr int kScannerLightCount = 7;
inline constexpr int kScannerStepCount = 16;
inline constexpr std::chrono::milliseconds kScannerStepInterval { 100 };

// The row of scanner lights: one red light runs from the first to the seventh, all go dark for a
// step, it runs back, all go dark for a step, and so on; a cycle of sixteen steps, one per timer
// tick. At rest all seven are red, and a start begins with step 1 from there, so the first sweep
// darkens them from left to right. A step that comes late is still exactly one step.
class Scanner
{
public:
    using Lights = std::array<bool, kScannerLightCount>; // true: red, false: dark

    Scanner() { showAtRest(); }

    void start();
    void stop();
    void step();

    bool running() const { return m_running; }
    const Lights& lit() const { return m_lit; }
    // The step the next tick performs, 1 to 16.
    int nextStep() const { return m_nextStep; }

private:
    void showAtRest();

    bool m_running = false;
    int m_nextStep = 1;
    Lights m_lit {};
};

} // namespace korvane
