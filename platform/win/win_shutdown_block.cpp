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

std::optional<std::string> shutdownBlockReason(NativeWindow window)
{
    DWORD length = 0;
    if (!ShutdownBlockReasonQuery(handleOf(window), nullptr, &length) || length == 0)
        return std::nullopt;
    std::wstring reason(length, L'\0');
    if (!ShutdownBlockReasonQuery(handleOf(window), reason.data(), &length))
        return std::nullopt;
    reason.resize(wcsnlen(reason.c_str(), reason.size()));
    return win::toUtf8(reason);
}

} // namespace korvane
