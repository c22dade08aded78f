#pragma once

#include "platform/linux/x11_display.h"
#include "platform/window_stacking.h"

namespace korvane {

// The top-most band through the window manager's _NET_WM_STATE_ABOVE state (EWMH).
// Without an X server there is no foreground window and nothing is changed.
class X11WindowStacking : public WindowStacking
{
public:
    NativeWindow foregroundWindow() override;
    void setTopmost(NativeWindow window, bool topmost) override;

private:
    X11Display m_display;
};

} // namespace korvane
