#include "platform/linux/x11_keyboard.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace korvane {
namespace {

struct LockKeyNames
{
    const char* indicator; // name of the keyboard light
    KeySym keySym;
};

LockKeyNames namesOf(LockKey key)
{
    switch (key) {
    case LockKey::Num:
        return { "Num Lock", XK_Num_Lock };
    case LockKey::Caps:
        return { "Caps Lock", XK_Caps_Lock };
    case LockKey::Scroll:
        break;
    }
    return { "Scroll Lock", XK_Scroll_Lock };
}

bool indicatorLit(Display* display, const char* indicatorName)
{
    const Atom name = XInternAtom(display, indicatorName, True);
    int index = -1;
    if (name == None || !XkbGetNamedIndicator(display, name, &index, nullptr, nullptr, nullptr) || index < 0)
        return false;
    unsigned int litIndicators = 0;
    if (XkbGetIndicatorState(display, XkbUseCoreKbd, &litIndicators) != Success)
        return false;
    return (litIndicators >> index) & 1U;
}

bool keyHeldDown(Display* display, KeyCode keyCode)
{
    char keys[32] = {};
    XQueryKeymap(display, keys);
    return (static_cast<unsigned char>(keys[keyCode / 8]) >> (keyCode % 8)) & 1U;
}

} // namespace

bool X11Keyboard::available()
{
    return m_display.get() != nullptr;
}

bool X11Keyboard::isOn(LockKey key)
{
    Display* display = m_display.get();
    if (!display)
        return false;
    const LockKeyNames names = namesOf(key);
    const KeyCode keyCode = XKeysymToKeycode(display, names.keySym);
    return indicatorLit(display, names.indicator) || (keyCode != 0 && keyHeldDown(display, keyCode));
}

void X11Keyboard::press(LockKey key)
{
    Display* display = m_display.get();
    if (!display)
        return;
    const KeyCode keyCode = XKeysymToKeycode(display, namesOf(key).keySym);
    if (keyCode == 0)
        return; // this keyboard map has no such key
    XTestFakeKeyEvent(display, keyCode, True, CurrentTime);
    XTestFakeKeyEvent(display, keyCode, False, CurrentTime);
    // Waits until the server has handled the presses, so a read right after sees the new state.
    XSync(display, False);
}

} // namespace korvane
