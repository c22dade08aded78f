#include "platform/win/win_window_stacking.h"

#include <windows.h>

namespace korvane {

NativeWindow WinWindowStacking::foregroundWindow()
{
    return reinterpret_cast<NativeWindow>(GetForegroundWindow());
}

void WinWindowStacking::setTopmost(NativeWindow window, bool topmost)
{
    SetWindowPos(reinterpret_cast<HWND>(window), topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE);
}

} // namespace korvane
