#pragma once

#include <array>
#include <cstddef>

namespace korvane {

struct Rgb
{
    int red = 0;
    int green = 0;
    int blue = 0;

    friend constexpr bool operator==(const Rgb&, const Rgb&) = default;
};

// The five colours the information windows flash in, in their order. Black is not among them, so
// black text means the flashing is stopped.
inline constexpr std::array<Rgb, 5> kFlashPalette { {
    { 0, 255, 0 }, // green
    { 255, 0, 0 }, // red
    { 0, 255, 255 }, // cyan
    { 255, 0, 255 }, // magenta
    { 255, 255, 0 }, // yellow
} };

// Walks the palette round and round, starting with green.
class FlashCycle
{
public:
    Rgb next()
    {
        const Rgb colour = kFlashPalette[m_next];
        m_next = (m_next + 1) % kFlashPalette.size();
        return colour;
    }
    void restart() { m_next = 0; }

private:
    std::size_t m_next = 0;
};

} // namespace korvane
