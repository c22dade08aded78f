#include "platform/linux/x11_display.h"

#include <X11/Xlib.h>
#include <mutex>
#include <set>

namespace korvane {
namespace {

std::mutex g_mutex;
std::set<Display*> g_ownDisplays;
XErrorHandler g_previousHandler = nullptr;

int ignoreErrorsOnOwnDisplays(Display* display, XErrorEvent* event)
{
    {
        const std::lock_guard lock(g_mutex);
        if (g_ownDisplays.count(display) != 0)
            return 0;
    }
    return g_previousHandler ? g_previousHandler(display, event) : 0;
}

void registerDisplay(Display* display)
{
    static std::once_flag installed;
    std::call_once(installed, [] { g_previousHandler = XSetErrorHandler(ignoreErrorsOnOwnDisplays); });
    const std::lock_guard lock(g_mutex);
    g_ownDisplays.insert(display);
}

void unregisterDisplay(Display* display)
{
    const std::lock_guard lock(g_mutex);
    g_ownDisplays.erase(display);
}

} // namespace

X11Display::X11Display() = default;
X11Display::~X11Display() = default;

Display* X11Display::get()
{
    if (!m_tried) {
        m_tried = true;
        m_display.reset(XOpenDisplay(nullptr));
        if (m_display)
            registerDisplay(m_display.get());
    }
    return m_display.get();
}

void X11Display::Closer::operator()(Display* display) const
{
    XCloseDisplay(display);
    unregisterDisplay(display);
}

} // namespace korvane
