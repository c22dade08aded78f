#!/usr/bin/env python3
"""A stand-in for systemd-logind's manager on the session bus it is started with: Inhibit hands out
the write end of a pipe, and ListInhibitors lists those whose holders have not closed it yet."""
import os
import select

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

MANAGER = "org.freedesktop.login1.Manager"


class Manager(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/login1")
        self.inhibitors = []

    @dbus.service.method(MANAGER, in_signature="ssss", out_signature="h")
    def Inhibit(self, what, who, why, mode):
        read_end, write_end = os.pipe()
        self.inhibitors.append(((what, who, why, mode, dbus.UInt32(0), dbus.UInt32(0)), read_end))
        handed_out = dbus.types.UnixFd(write_end)  # a copy of its own
        os.close(write_end)
        return handed_out

    @dbus.service.method(MANAGER, in_signature="", out_signature="a(ssssuu)")
    def ListInhibitors(self):
        # A pipe whose every write end is closed reads as ready (end of file).
        return [entry for entry, read_end in self.inhibitors if not select.select([read_end], [], [], 0)[0]]


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
session = dbus.SessionBus()
manager = Manager(session)
name = dbus.service.BusName("org.freedesktop.login1", session)
GLib.MainLoop().run()
