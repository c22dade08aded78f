#include "platform/win/win_shutdown_block.h"

#include "platform/win/win_text.h"

#include <windows.h>

namespace korvane {
namespace {

HWND handleOf(NativeWindow window)
{
    return reinterpret_cast<HWND>(window);
}

} // namespace

bool blockShutdown(NativeWindow window, std::string_view reason)
{
    return ShutdownBlockReasonCreate(handleOf(window), win::toWide(reason).c_str()) != FALSE;
}

bool unblockShutdown(NativeWindow window)
{
    return ShutdownBlockReasonDestroy(handleOf(window)) != FALSE;
}

} // namespace korvane
