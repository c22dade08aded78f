#include "monitor/scanner.h"

namespace korvane {
namespace {

// What one step changes: a light that goes dark and a light that turns red, numbered 1 to 7
// (0: none).
struct StepChange
{
    int darkened;
    int lit;
};

constexpr std::array<StepChange, kScannerStepCount> kSteps { {
    // Steps 1 to 8: left to right, then all dark.
    { 0, 1 },
    { 1, 2 },
    { 2, 3 },
    { 3, 4 },
    { 4, 5 },
    { 5, 6 },
    { 6, 7 },
    { 7, 0 },
    // Steps 9 to 16: right to left, then all dark.
    { 0, 7 },
    { 7, 6 },
    { 6, 5 },
    { 5, 4 },
    { 4, 3 },
    { 3, 2 },
    { 2, 1 },
    { 1, 0 },
} };

} // namespace

void Scanner::start()
{
    showAtRest();
    m_nextStep = 1;
    m_running = true;
}

void Scanner::stop()
{
    showAtRest();
    m_running = false;
}

void Scanner::step()
{
    if (!m_running)
        return;
    const StepChange change = kSteps[static_cast<std::size_t>(m_nextStep - 1)];
    if (change.darkened != 0)
        m_lit[static_cast<std::size_t>(change.darkened - 1)] = false;
    if (change.lit != 0)
        m_lit[static_cast<std::size_t>(change.lit - 1)] = true;
    m_nextStep = m_nextStep % kScannerStepCount + 1;
}

void Scanner::showAtRest()
{
    m_lit.fill(true);
}

} // namespace korvane
