"""A stand-in for the desktop's services on a private session bus: the screen saver's and GNOME's
idle inhibitors and the notification service. Each call is printed as one line on standard
output; "ready" is printed once the names are owned.

    python3 desktop_bus_standin.py [--without-screensaver] [--with-gnome]
"""

import argparse
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib


def say(line):
    print(line, flush=True)


class Cookies:
    def __init__(self):
        self.next = 40

    def take(self):
        self.next += 1
        return self.next


class ScreenSaver(dbus.service.Object):
    def __init__(self, bus, cookies):
        super().__init__(bus, "/org/freedesktop/ScreenSaver")
        self.cookies = cookies

    @dbus.service.method("org.freedesktop.ScreenSaver", in_signature="ss", out_signature="u")
    def Inhibit(self, application, reason):
        cookie = self.cookies.take()
        say(f"Inhibit {application}|{reason} -> {cookie}")
        return cookie

    @dbus.service.method("org.freedesktop.ScreenSaver", in_signature="u", out_signature="")
    def UnInhibit(self, cookie):
        say(f"UnInhibit {cookie}")


class SessionManager(dbus.service.Object):
    def __init__(self, bus, cookies):
        super().__init__(bus, "/org/gnome/SessionManager")
        self.cookies = cookies

    @dbus.service.method("org.gnome.SessionManager", in_signature="susu", out_signature="u")
    def Inhibit(self, application, toplevel, reason, flags):
        cookie = self.cookies.take()
        say(f"GnomeInhibit {application}|{reason}|{flags} -> {cookie}")
        return cookie

    @dbus.service.method("org.gnome.SessionManager", in_signature="u", out_signature="")
    def Uninhibit(self, cookie):
        say(f"GnomeUninhibit {cookie}")


class Notifications(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/Notifications")
        self.last = 0

    @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, application, replaces, icon, summary, body, actions, hints, timeout):
        self.last += 1
        say(f"Notify {application}|{icon}|{summary}|{body}")
        return self.last


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--without-screensaver", action="store_true")
    parser.add_argument("--with-gnome", action="store_true")
    options = parser.parse_args()

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    cookies = Cookies()
    names, objects = [], []
    if not options.without_screensaver:
        names.append(dbus.service.BusName("org.freedesktop.ScreenSaver", bus))
        objects.append(ScreenSaver(bus, cookies))
    if options.with_gnome:
        names.append(dbus.service.BusName("org.gnome.SessionManager", bus))
        objects.append(SessionManager(bus, cookies))
    names.append(dbus.service.BusName("org.freedesktop.Notifications", bus))
    objects.append(Notifications(bus))
    say("ready")
    GLib.MainLoop().run()


if __name__ == "__main__":
    sys.exit(main())
