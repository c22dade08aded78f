"""Reads a desktop entry with GLib's own reader, as GNOME does, and starts the program it names.
Exits with 1, saying why, when GLib refuses the entry.

    /usr/bin/python3 glib_launch.py ENTRY.desktop
"""

import os
import sys

# GLib tells the session bus of every start; where the tests have none it would have one started
# (dbus-launch) that outlives them.
os.environ["DBUS_SESSION_BUS_ADDRESS"] = "disabled:"

from gi.repository import Gio  # noqa: E402 (after the variable, which GLib reads once)


def main():
    try:
        entry = Gio.DesktopAppInfo.new_from_filename(sys.argv[1])
    except TypeError:  # the constructor gives nothing for an entry it refuses
        print(f"GLib refuses {sys.argv[1]}", file=sys.stderr)
        return 1
    return 0 if entry.launch([], None) else 1


if __name__ == "__main__":
    sys.exit(main())
