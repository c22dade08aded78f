#include "platform/window_stacking.h"

namespace korvane {

void keepOnTop(WindowStacking& stacking, NativeWindow ownWindow)
{
    const NativeWindow front = stacking.foregroundWindow();
    if (front == ownWindow)
        return;
    if (front != 0)
        stacking.setTopmost(front, false);
    stacking.setTopmost(ownWindow, true);
}

} // namespace korvane
