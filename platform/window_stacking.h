#pragma once

#include "platform/native_window.h"

namespace korvane {

// The operating system's band of top-most windows.
class WindowStacking
{
public:
    virtual ~WindowStacking() = default;
    // The window in front, or 0 when it cannot be told.
    virtual NativeWindow foregroundWindow() = 0;
    virtual void setTopmost(NativeWindow window, bool topmost) = 0;
};

// One step of keeping `ownWindow` on top: any other window in front loses its top-most state,
// and `ownWindow` is put into the top-most band.
void keepOnTop(WindowStacking& stacking, NativeWindow ownWindow);

} // namespace korvane
