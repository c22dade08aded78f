#include "platform/linux/x11_window_stacking.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <memory>

namespace korvane {
namespace {

struct XFreeDeleter
{
    void operator()(unsigned char* data) const { XFree(data); }
};

// Values of _NET_WM_STATE's first field.
constexpr long kStateRemove = 0;
constexpr long kStateAdd = 1;
// The request comes from an ordinary application.
constexpr long kSourceApplication = 1;

} // namespace

NativeWindow X11WindowStacking::foregroundWindow()
{
    Display* display = m_display.get();
    if (!display)
        return 0;
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long itemCount = 0;
    unsigned long bytesAfter = 0;
    unsigned char* rawData = nullptr;
    const int status
        = XGetWindowProperty(display, DefaultRootWindow(display), XInternAtom(display, "_NET_ACTIVE_WINDOW", False), 0,
                             1, False, XA_WINDOW, &actualType, &actualFormat, &itemCount, &bytesAfter, &rawData);
    const std::unique_ptr<unsigned char, XFreeDeleter> data(rawData);
    if (status != Success || actualType != XA_WINDOW || actualFormat != 32 || itemCount < 1 || !data)
        return 0;
    // Xlib hands 32-bit items back as longs.
    return static_cast<NativeWindow>(*reinterpret_cast<const unsigned long*>(data.get()));
}

void X11WindowStacking::setTopmost(NativeWindow window, bool topmost)
{
    Display* display = m_display.get();
    if (!display || window == 0)
        return;
    XEvent event {};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(window);
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = topmost ? kStateAdd : kStateRemove;
    event.xclient.data.l[1] = static_cast<long>(XInternAtom(display, "_NET_WM_STATE_ABOVE", False));
    event.xclient.data.l[2] = 0;
    event.xclient.data.l[3] = kSourceApplication;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    if (topmost)
        XRaiseWindow(display, static_cast<Window>(window));
    XFlush(display);
}

} // namespace korvane
