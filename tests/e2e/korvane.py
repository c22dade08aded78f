"""The program under test as its user meets it: a copy under a coin's name, its windows by title,
and the steps a user takes in them. Scenarios are written with these."""

from dataclasses import dataclass, fields
from pathlib import Path

from accessibility import WAIT_SECONDS, Program, Scope
from desktop import process_alive, wait_until

MAIN_SETTINGS = "KORVANE - MAIN SETTINGS"
CRYPTO_SETTINGS = "KORVANE - CRYPTO SETTINGS"
TERMINATOR = "KORVANE - PROCESS TERMINATOR"
CONF_GENERATOR = 'KORVANE - CRYPTO ".CONF" CONFIGURATION FILE GENERATOR'
COIN_PRESETS = "KORVANE - CONF-GENERATOR - IMPORT DEFAULT SETTINGS"

ABOUT = "KORVANE - ABOUT"
DONATIONS_BUTTON = "!!! DONATIONS ALWAYS APPRECIATED !!!"

BLACK = (0, 0, 0)
GREEN = (0, 255, 0)
RED = (255, 0, 0)
CYAN = (0, 255, 255)
# The colours that the information windows flash in; black is not among them.
FLASH_PALETTE = {GREEN, RED, CYAN, (255, 0, 255), (255, 255, 0)}

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
    """One copy of the program, named after a coin, beside the session's other copies."""

    def __init__(self, desktop, executable, name, env=None, copy=True):
        """With `copy` false, the program runs where it stands (an installed one) and goes by its
        own file name."""
        self.desktop = desktop
        self.name = name if copy else executable.name
        self.path = desktop.copy_program(executable, name, folder="copies") if copy else executable
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

    def conf_lines(self):
        """The lines of the conf file, split where it breaks lines (CR LF)."""
        return self.conf_location.read_bytes().decode().split("\r\n")

    @property
    def profile_file(self):
        return Path(self.desktop.env["XDG_CONFIG_HOME"]) / "QL_KORVANE" / f"{self.name}.ini"

    def start(self, read_only_folder=False):
        """Starts the copy and waits for its main window; with `read_only_folder`, the copy sees
        its own folder read-only."""
        command = [str(self.path)]
        if read_only_folder:
            command = self.desktop.seeing_read_only(self.path.parent, command)
        process = self.desktop.start(command, log=self.name,
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

    def open_about(self):
        return self.open(self.main, "About", ABOUT)

    def open_donations(self, about):
        """The donations window, opened from the about window."""
        return self.open(about, DONATIONS_BUTTON, lambda title: title.startswith("KORVANE - PLEASE SUPPORT"))

    def close_with_ok(self, window):
        window.press("OK")
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

    def open_conf_generator(self):
        """Settings, then the conf file manager: returns the main settings window and the conf
        generator above it."""
        settings = self.open_settings()
        return settings, self.open(settings, 'CRYPTO ".CONF" FILE MANAGER', CONF_GENERATOR)

    def import_presets(self, generator, coin):
        """In the conf generator, "Import Default Settings": ticks the safety box, applies the
        basic settings, then the preset of the coin button `coin`, and closes the presets."""
        presets = self.open(generator, "Import Default Settings", COIN_PRESETS)
        safety = presets.tick_box("Import Default Settings")
        basic = presets.button("BASIC SETTINGS")
        assert not basic.enabled, "the presets must wait for the safety box"
        safety.click()
        wait_until(lambda: basic.enabled, WAIT_SECONDS, "the presets to be armed")
        basic.click()
        presets.button("Close")  # the closing button's caption after an import
        presets.press(coin)
        wait_until(lambda: not safety.checked, WAIT_SECONDS, f"the {coin} preset to untick the safety box")
        presets.screenshot(f"{coin} imported")
        presets.press("Close")
        self.program.wait_closed(presets)

    def close_conf_generator(self, settings, generator, caption):
        """Closes the conf generator with its button `caption`, then the settings with "OK"."""
        generator.press(caption)
        self.program.wait_closed(generator)
        settings.press("OK")
        self.program.wait_closed(settings)

    def save_conf(self, coin):
        """Writes the conf file of the basic settings and the preset of `coin` with the conf
        generator; returns the settings window and the generator, both left open."""
        settings, generator = self.open_conf_generator()
        self.import_presets(generator, coin)
        generator.press("SAVE")
        generator.button("Close")  # the caption once the file is written
        generator.screenshot(f"{coin} saved")
        return settings, generator

    def scanner(self):
        """The heartbeat's beat indicator and its seven scanner lights, left to right: labels
        without captions, found as the one label that holds seven others."""
        def holding_seven():
            return next((label for label in self.main.controls("label") if label.accessible.childCount == 7), None)
        indicator = wait_until(holding_seven, WAIT_SECONDS, "the scanner's row of seven lights")
        lights = Scope(indicator.accessible, self.main).controls("label")
        return indicator, sorted(lights, key=lambda light: light.extents[0])

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
