#include "platform/window_stacking.h"

#include <algorithm>

namespace korvane {

void keepOnTop(WindowStacking& stacking, NativeWindow mainWindow, std::span<const NativeWindow> otherOwnWindows)
{
    const NativeWindow front = stacking.foregroundWindow();
    const bool ownInFront = front == mainWindow || std::ranges::find(otherOwnWindows, front) != otherOwnWindows.end();
    if (front == 0 || ownInFront)
        return;
    stacking.setTopmost(front, false);
    stacking.setTopmost(mainWindow, true);
}

} // namespace korvane
