#pragma once

namespace korvane {

// The requests to end the program that come as signals from the system or a user: on Linux
// SIGTERM (a plain kill, a session that ends), SIGINT (Ctrl+C in the terminal it was started from)
// and SIGHUP (that terminal closing). Caught, they let the program end in its own way rather than
// at once.
class EndSignals
{
public:
    virtual ~EndSignals() = default;
    // Starts catching them; a signal the program was started to ignore (as by nohup) stays ignored.
    // Returns a descriptor that turns readable when one has come, for the event loop to watch; -1
    // where the system sends none (Windows ends a windowed program by closing its windows).
    virtual int catchEndSignals() = 0;
    // Once the descriptor is readable: takes the signals that came, and tells whether any did.
    virtual bool takeEndRequest() = 0;
};

} // namespace korvane
