#pragma once

#include "platform/native_window.h"

#include <span>

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

// One step of keeping `mainWindow` on top: a window of another program in front loses its
// top-most state, and `mainWindow` is put into the top-most band. Nothing changes while the main
// window or one of `otherOwnWindows` (the windows it opened) is in front, so that the main window
// never covers its own dialogs, nor when the window in front cannot be told.
void keepOnTop(WindowStacking& stacking, NativeWindow mainWindow, std::span<const NativeWindow> otherOwnWindows = {});

} // namespace korvane
