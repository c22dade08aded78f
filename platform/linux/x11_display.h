#pragma once

#include <memory>

struct _XDisplay;

namespace korvane {

// A connection of its own to the X server named by $DISPLAY, opened at the first use. Without a
// server it stays closed and get() returns nullptr; the attempt is made only once.
// Protocol errors on these connections (a window that vanished meanwhile) are ignored instead of
// ending the program, as Xlib's default handler would.
class X11Display
{
public:
    X11Display();
    ~X11Display();
    X11Display(const X11Display&) = delete;
    X11Display& operator=(const X11Display&) = delete;

    _XDisplay* get();

private:
    struct Closer
    {
        void operator()(_XDisplay* display) const;
    };
    std::unique_ptr<_XDisplay, Closer> m_display;
    bool m_tried = false;
};

} // namespace korvane
