#include "platform/win/win_keep_awake.h"

#include "platform/win/win_text.h"

#include <windows.h>

namespace korvane {

void WinKeepAwake::hold(std::string_view /*reason*/, Failed failed, Told /*told*/)
{
    if (m_held)
        return;
    if (SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) == 0) {
        failed("Windows refused to keep the computer awake: " + win::lastErrorMessage());
        return;
    }
    m_held = true;
}

void WinKeepAwake::release()
{
    if (!m_held)
        return;
    SetThreadExecutionState(ES_CONTINUOUS);
    m_held = false;
}

} // namespace korvane
