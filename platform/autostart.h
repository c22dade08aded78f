#pragma once

#include "base/result.h"

namespace korvane {

// Starting this copy of the program when the user logs in: one entry per copy, named after it and
// starting exactly this copy's file, so that each coin's copy has its own.
class Autostart
{
public:
    virtual ~Autostart() = default;

    // Whether this copy's entry is there and starts this copy.
    virtual bool enabled() const = 0;
    // Adds this copy's entry, or replaces it.
    virtual Result<> enable() = 0;
    // Removes exactly this copy's entry (done also when there was none), never one that starts
    // another program.
    virtual Result<> disable() = 0;
};

} // namespace korvane
