#include "platform/linux/x11_window_stacking.h"
#include "tests/platform/linux/posix_test_support.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <thread>

// After GoogleTest: Xlib defines macros such as None and Bool.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace korvane {
namespace {

// The test plays the window manager on a connection of its own: it owns a window, publishes the
// active window on the root window and receives the requests sent to the window manager.
class X11WindowStackingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs an X server (DISPLAY is not set)";
        display.reset(XOpenDisplay(nullptr));
        ASSERT_TRUE(display) << "cannot connect to the X server";
        root = DefaultRootWindow(display.get());
        if (windowManagerRunning())
            GTEST_SKIP() << "these tests play the window manager: they need a bare X server such as Xvfb";
        window = XCreateSimpleWindow(display.get(), root, 0, 0, 100, 100, 0, 0, 0);
        XSync(display.get(), False);
    }
    void TearDown() override
    {
        if (!window)
            return;
        XDeleteProperty(display.get(), root, atom("_NET_ACTIVE_WINDOW"));
        XDestroyWindow(display.get(), window);
        XSync(display.get(), False);
    }

    Atom atom(const char* name) { return XInternAtom(display.get(), name, False); }

    bool windowManagerRunning()
    {
        int propertyCount = 0;
        Atom* properties = XListProperties(display.get(), root, &propertyCount);
        bool found = false;
        for (int i = 0; i < propertyCount; ++i)
            found = found || properties[i] == atom("_NET_SUPPORTING_WM_CHECK");
        if (properties)
            XFree(properties);
        return found;
    }

    void publishActiveWindow(Window active)
    {
        XChangeProperty(display.get(), root, atom("_NET_ACTIVE_WINDOW"), XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&active), 1);
        XSync(display.get(), False);
    }

    // Becomes the window manager: requests to the root window's children now come to this test.
    // Refused when a real window manager runs.
    bool redirectRequests()
    {
        static bool refused;
        refused = false;
        const XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) {
            refused = true;
            return 0;
        });
        XSelectInput(display.get(), root, SubstructureRedirectMask | SubstructureNotifyMask);
        XSync(display.get(), False);
        XSetErrorHandler(previous);
        return !refused;
    }

    // The next event of the given type, if one arrives in time.
    std::optional<XEvent> nextEvent(int type, std::chrono::milliseconds wait = std::chrono::seconds(2))
    {
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < deadline) {
            XEvent event;
            if (XCheckTypedEvent(display.get(), type, &event))
                return event;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return std::nullopt;
    }

    struct DisplayCloser
    {
        void operator()(Display* d) const { XCloseDisplay(d); }
    };
    std::unique_ptr<Display, DisplayCloser> display;
    Window root = 0;
    Window window = 0;
    X11WindowStacking stacking;
};

TEST(X11WindowStackingWithoutServer, HasNoForegroundWindowAndChangesNothing)
{
    test::ScopedEnvironment noDisplay("DISPLAY", std::nullopt);
    X11WindowStacking stacking;
    EXPECT_EQ(stacking.foregroundWindow(), 0u);
    stacking.setTopmost(0x400001, true);
    keepOnTop(stacking, 0x400001);
}

TEST_F(X11WindowStackingTest, ForegroundWindowIsTheActiveWindowOfTheRoot)
{
    publishActiveWindow(window);
    EXPECT_EQ(stacking.foregroundWindow(), window);
    XDeleteProperty(display.get(), root, atom("_NET_ACTIVE_WINDOW"));
    XSync(display.get(), False);
    EXPECT_EQ(stacking.foregroundWindow(), 0u);
}

TEST_F(X11WindowStackingTest, AsksTheWindowManagerForTheAboveState)
{
    if (!redirectRequests())
        GTEST_SKIP() << "a window manager is running";

    for (const bool topmost : { true, false }) {
        stacking.setTopmost(window, topmost);
        const auto request = nextEvent(ClientMessage);
        ASSERT_TRUE(request) << "no _NET_WM_STATE request arrived";
        EXPECT_EQ(request->xclient.window, window);
        EXPECT_EQ(request->xclient.message_type, atom("_NET_WM_STATE"));
        EXPECT_EQ(request->xclient.format, 32);
        EXPECT_EQ(request->xclient.data.l[0], topmost ? 1 : 0);
        EXPECT_EQ(static_cast<Atom>(request->xclient.data.l[1]), atom("_NET_WM_STATE_ABOVE"));
        // Only a window put on top is also raised.
        const auto raise
            = nextEvent(ConfigureRequest, topmost ? std::chrono::seconds(2) : std::chrono::milliseconds(200));
        EXPECT_EQ(raise.has_value(), topmost);
        if (raise) {
            EXPECT_EQ(raise->xconfigurerequest.window, window);
            EXPECT_EQ(raise->xconfigurerequest.detail, Above);
        }
    }
}

TEST_F(X11WindowStackingTest, VanishedWindowDoesNotEndTheProgram)
{
    const Window gone = XCreateSimpleWindow(display.get(), root, 0, 0, 10, 10, 0, 0, 0);
    XDestroyWindow(display.get(), gone);
    XSync(display.get(), False);

    stacking.setTopmost(gone, true); // the raise fails with BadWindow on the server
    publishActiveWindow(window);
    EXPECT_EQ(stacking.foregroundWindow(), window) << "the connection still works after the error";
}

} // namespace
} // namespace korvane
