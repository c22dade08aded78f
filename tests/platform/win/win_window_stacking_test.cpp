#include "platform/win/win_window_stacking.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace korvane {
namespace {

class WinWindowStackingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!own || !other)
            GTEST_SKIP() << "no desktop to create windows on (Wine runs windows only with an X server)";
    }

    void TearDown() override
    {
        DestroyWindow(asHandle(own));
        DestroyWindow(asHandle(other));
    }

    static NativeWindow createWindow(const wchar_t* title)
    {
        const HWND window = CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
                                            nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        return reinterpret_cast<NativeWindow>(window);
    }

    static HWND asHandle(NativeWindow window) { return reinterpret_cast<HWND>(window); }

    static bool isTopmost(NativeWindow window)
    {
        return (GetWindowLongPtrW(asHandle(window), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    }

    const NativeWindow own = createWindow(L"KORVANE - QL-KORVANE-V1");
    const NativeWindow other = createWindow(L"another program");
    WinWindowStacking stacking;
};

TEST_F(WinWindowStackingTest, WindowsEnterAndLeaveTheTopmostBand)
{
    stacking.setTopmost(own, true);
    EXPECT_TRUE(isTopmost(own));
    stacking.setTopmost(own, false);
    EXPECT_FALSE(isTopmost(own));
}

TEST_F(WinWindowStackingTest, KeepOnTopTakesTheBandFromTheWindowInFront)
{
    stacking.setTopmost(other, true);
    SetForegroundWindow(asHandle(other));
    ASSERT_EQ(stacking.foregroundWindow(), other);

    keepOnTop(stacking, own);
    EXPECT_FALSE(isTopmost(other));
    EXPECT_TRUE(isTopmost(own));
}

} // namespace
} // namespace korvane
