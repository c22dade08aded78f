// Prints the lock keys' states as the X server of $DISPLAY keeps them, on one line:
// "num=1 caps=0 scroll=0". The keyboard extension's indicators follow every press, synthesized
// ones too, where the core protocol's LED mask (what `xset q` shows) does not under Xvfb.
// Exits with 1, saying why on stderr, when the display cannot be opened or read.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <cstdio>

namespace {

// The indicator's bit in the server's state, found by its name (its index differs between
// keyboard maps); -1 when the map has no such indicator.
int indicatorBit(Display* display, const char* name)
{
    int index = 0;
    const Atom atom = XInternAtom(display, name, False);
    if (!XkbGetNamedIndicator(display, atom, &index, nullptr, nullptr, nullptr))
        return -1;
    return index;
}

int shown(Display* display, unsigned int state, const char* name)
{
    const int bit = indicatorBit(display, name);
    return bit < 0 ? -1 : static_cast<int>((state >> bit) & 1U);
}

} // namespace

int main()
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "lock_keys: cannot open the display\n");
        return 1;
    }
    unsigned int state = 0;
    const bool read = XkbGetIndicatorState(display, XkbUseCoreKbd, &state) == Success;
    if (read)
        std::printf("num=%d caps=%d scroll=%d\n", shown(display, state, "Num Lock"), shown(display, state, "Caps Lock"),
                    shown(display, state, "Scroll Lock"));
    else
        std::fprintf(stderr, "lock_keys: the display does not tell its indicators\n");
    XCloseDisplay(display);
    return read ? 0 : 1;
}
