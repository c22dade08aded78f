"""The program under test as its user meets it: a copy under a coin's name, its windows by title,
and the steps a user takes in them. Scenarios are written with these."""

from dataclasses import dataclass, fields
from pathlib import Path

from accessibility import WAIT_SECONDS, Program
from desktop import process_alive, wait_until

MAIN_SETTINGS = "KORVANE - MAIN SETTINGS"
CRYPTO_SETTINGS = "KORVANE - CRYPTO SETTINGS"
TERMINATOR = "KORVANE - PROCESS TERMINATOR"

GREEN = (0, 255, 0)
RED = (255, 0, 0)

START_BUTTONS = ("START QT", "START DAEMON")


@dataclass
class NodeProfile:
    """What the user enters in the node profile window; a field left None is not touched."""
    coin: str = None
    blockchain_home: str = None
    qt_folder: str = None
    qt_name: str = None
    daemon_cli_folder: str = None
    cli_name: str = None
    daemon_name: str = None


# The accessible names of the node profile's text boxes: the labels beside them.
PROFILE_FIELD_NAMES = {
    "coin": "CRYPTO NAME:",
    "blockchain_home": "CRYPTO BLOCKCHAIN - HOME FOLDER:",
    "qt_folder": "QT - Folder - eg /usr/local/bin",
    "qt_name": "QT - File - eg bitcoin-qt",
    "daemon_cli_folder": "DAEMOND & DAEMON-CLI - Folder - eg /usr/local/bin",
    "cli_name": "DAEMON-CLI - File - eg bitcoin-cli",
    "daemon_name": "DAEMOND - File - eg bitcoind",
}


class Korvane:
    """One copy of the program, named after a coin, in its own folder of the session."""

    def __init__(self, desktop, executable, name, env=None):
        self.desktop = desktop
        self.name = name
        self.path = desktop.copy_program(executable, name, folder=f"copies/{name}")
        self.env = env or {}
        self.program = None
        self.main = None

    @property
    def title(self):
        return f"KORVANE - {self.name}"

    @property
    def conf_location(self):
        """The conf file the command lines name by default: beside the program, after its name."""
        return self.path.parent / f"{self.name}-CRYPTO-CONFIG.conf"

    @property
    def profile_file(self):
        return Path(self.desktop.env["XDG_CONFIG_HOME"]) / "QL_KORVANE" / f"{self.name}.ini"

    def start(self):
        process = self.desktop.start([str(self.path)], log=self.name,
                                     env={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1", **self.env})
        self.program = Program(self.desktop, process)
        self.main = self.program.window(self.title)
        return self.main

    def exit(self):
        self.main.press("Exit")
        wait_until(lambda: self.program.process.poll() is not None, WAIT_SECONDS, f"{self.name} to end")
        assert self.program.process.returncode == 0, f"{self.name} ended with {self.program.process.returncode}"

    def open(self, opener, caption, title):
        """Presses `caption` in the window `opener` and returns the window titled `title` it opens."""
        opener.press(caption)
        return self.program.window(title)

    def close_with_escape(self, window):
        window.bring_to_front()
        self.desktop.key("Escape")
        self.program.wait_closed(window)

    def open_settings(self):
        return self.open(self.main, "Settings", MAIN_SETTINGS)

    def save_node_profile(self, profile):
        """Settings, then "CRYPTO SETTINGS": enters `profile`, saves it and goes back to the main
        window."""
        settings = self.open_settings()
        crypto = self.open(settings, "CRYPTO SETTINGS", CRYPTO_SETTINGS)
        enter_profile(crypto, profile)
        crypto.press("Save")
        crypto.screenshot("saved")
        self.close_with_escape(crypto)
        settings.press("OK")
        self.program.wait_closed(settings)

    def start_buttons_enabled(self):
        return [self.main.button(caption).enabled for caption in START_BUTTONS]

    def wait_light(self, light, colour, tool_tip):
        """Waits until the main window's process light `light` shows `colour` and `tool_tip`."""
        control = self.main.label(light)
        wait_until(lambda: (control.colour(), control.tool_tip) == (colour, tool_tip), WAIT_SECONDS,
                   f"the {light} light to turn {colour} with the tool tip {tool_tip!r} "
                   f"(shows {control.colour()}, {control.tool_tip!r})")

    def wait_start_buttons(self, enabled):
        wait_until(lambda: self.start_buttons_enabled() == [enabled, enabled], WAIT_SECONDS,
                   f"both start buttons {'enabled' if enabled else 'grey'}")


def enter_profile(crypto, profile):
    for field in fields(profile):
        value = getattr(profile, field.name)
        if value is not None:
            crypto.field(PROFILE_FIELD_NAMES[field.name]).type_over(str(value))


class StandIns:
    """Copies of the stand-in node program in one folder, and what each has recorded."""

    def __init__(self, desktop, executable, folder="node programs"):
        self.desktop = desktop
        self.executable = executable
        self.folder = desktop.folder(folder)
        self.records = desktop.folder("records")
        self.env = {"KORVANE_STANDIN_DIR": str(self.records)}

    def install(self, name):
        return self.desktop.copy_program(self.executable, name, folder=self.folder.name)

    def start(self, name, *arguments):
        """Starts the copy `name` directly, as something else on the machine would."""
        process = self.desktop.start([str(self.folder / name), *arguments], env=self.env)
        wait_until(lambda: (self.records / f"{name}.args").exists(), WAIT_SECONDS, f"{name} to start")
        return process

    def started(self, name):
        """Waits until the copy `name` has been started; returns its process id and arguments."""
        record = self.records / f"{name}.args"
        wait_until(record.exists, WAIT_SECONDS, f"{name} to be started")
        lines = record.read_text().splitlines()
        pid = int(lines[0].removeprefix("pid="))
        return pid, [line.removeprefix("arg=") for line in lines[1:]]

    def events(self, name):
        record = self.records / f"{name}.events"
        return record.read_text().splitlines() if record.exists() else []

    def wait_event(self, name, event):
        wait_until(lambda: event in self.events(name), WAIT_SECONDS, f"{name} to note {event!r}")

    def wait_gone(self, pid, name):
        wait_until(lambda: not process_alive(pid), WAIT_SECONDS, f"{name} (process {pid}) to end")
