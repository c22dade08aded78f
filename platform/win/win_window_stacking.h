#pragma once

#include "platform/window_stacking.h"

namespace korvane {

// The top-most band through GetForegroundWindow and SetWindowPos.
class WinWindowStacking : public WindowStacking
{
public:
    NativeWindow foregroundWindow() override;
    void setTopmost(NativeWindow window, bool topmost) override;
};

} // namespace korvane
