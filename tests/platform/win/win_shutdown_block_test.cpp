#include "platform/win/win_shutdown_block.h"
#include "platform/win/win_text.h"

#include <gtest/gtest.h>
#include <optional>
#include <windows.h>

namespace korvane {
namespace {

// Wine has no ShutdownBlockReasonQuery: calling it ends the program.
bool underWine()
{
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
}

std::optional<std::string> blockReason(HWND window)
{
    wchar_t reason[256] = {};
    DWORD length = ARRAYSIZE(reason);
    if (!ShutdownBlockReasonQuery(window, reason, &length))
        return std::nullopt;
    return win::toUtf8(reason);
}

TEST(WinShutdownBlock, BlocksAndReleasesOnARealWindow)
{
    const HWND handle = CreateWindowExW(0, L"STATIC", L"KORVANE - QL-KORVANE-V1", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                        100, 300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (!handle)
        GTEST_SKIP() << "no desktop to create windows on (Wine runs windows only with an X server)";
    const NativeWindow window = reinterpret_cast<NativeWindow>(handle);
    const bool canQuery = !underWine();

    const bool blocked = blockShutdown(window, kShutdownBlockReason);
    if (!blocked && GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
        DestroyWindow(handle);
        GTEST_SKIP() << "this system has no shutdown block reasons (Wine answers the call as not implemented)";
    }
    EXPECT_TRUE(blocked);
    if (canQuery) {
        EXPECT_EQ(blockReason(handle), std::string(kShutdownBlockReason));
    }
    EXPECT_TRUE(unblockShutdown(window));
    if (canQuery) {
        EXPECT_EQ(blockReason(handle), std::nullopt);
    }
    DestroyWindow(handle);
}

} // namespace
} // namespace korvane
