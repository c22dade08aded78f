"""The Windows program as its users get it, run under Wine on a private X server with a Wine
prefix of its own: its folder as built (QL-KORVANE-V1.exe beside its DLLs and Qt plugins) and its
installer. Wine's windows are X windows: the test clicks with xdotool and reads colours from
screenshots. Where the controls are it learns from a Qt plugin loaded into the program
(accessibility_probe.cpp), which writes what a screen reader sees: Wine's UI Automation cannot
read another program's controls.

    /usr/bin/python3 windows_program.py SCENARIO --folder F --installer I --standin S --plugins P --artifacts A

Screenshots go to A/SCENARIO. A scenario that Wine cannot run here exits 77 (skipped) and says why.
"""

import argparse
import json
import shutil
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "e2e"))
from desktop import SKIP_RETURN_CODE, Skipped, Timeout, play, wait_until  # noqa: E402

WAIT_SECONDS = 20
EXIT_CLICK_SECONDS = 8
PROGRAM = "QL-KORVANE-V1"
PROFILES = r"HKEY_CURRENT_USER\Software\VB and VBA Program Settings\QL_KORVANE"
GREEN = (0, 255, 0)
RED = (255, 0, 0)
TWIPS_PER_PIXEL = 15  # Wine's screens have 96 dots per inch
# Roles of Qt's accessible objects (QAccessible::Role).
LABEL, BUTTON = 0x29, 0x2B

SCENARIOS = {}


def scenario(function):
    SCENARIOS[function.__name__] = function
    return function


def windows_path(path):
    """How a Windows program sees a file of this machine: through drive Z:."""
    return "Z:" + str(path).replace("/", "\\")


def geometry(desktop, window):
    """Where the X window `window` is on the screen: (x, y, width, height)."""
    shell = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=desktop.env, check=True,
                           stdout=subprocess.PIPE, text=True).stdout
    values = dict(line.split("=", 1) for line in shell.split())
    return tuple(int(values[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))


class Wine:
    """A Wine prefix of the scenario's own on a private X server."""

    def __init__(self, desktop):
        self.desktop = desktop
        self.prefix = desktop.folder("wine")
        desktop.env.update(WINEPREFIX=str(self.prefix), WINEDEBUG="-all")
        self.run(["wineboot", "--init"])
        # Debian's Wine does not find its own fonts (package fonts-wine) where it looks for them;
        # without Tahoma it answers for the system font with a math font whose line height breaks
        # Qt's text boxes. Windows has its fonts; so has this prefix, in its font folder.
        for font in Path("/usr/share/wine/fonts").glob("*.ttf"):
            shutil.copy2(font, self.drive_c() / "windows" / "Fonts")

    def run(self, command, timeout=120, check=True):
        """Runs a Wine command to its end and returns what it did (its output in `stdout`)."""
        done = subprocess.run(["wine", *command], env=self.desktop.env, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, text=True, timeout=timeout, errors="replace")
        if check and done.returncode != 0:
            raise AssertionError(f"wine {' '.join(command)} ended with {done.returncode}: {done.stdout}")
        return done

    def drive_c(self):
        return self.prefix / "drive_c"

    def set_profile(self, name, values):
        """Writes the profile `name` as the program stores it, through regedit."""
        lines = ["Windows Registry Editor Version 5.00", "", f"[{PROFILES}\\{name}]"]
        for key, value in values.items():
            escaped = value.replace("\\", "\\\\").replace('"', '\\"')
            lines.append(f'"{key}"="{escaped}"')
        reg = self.desktop.folder("registry") / f"{name}.reg"
        reg.write_text("\r\n".join(lines) + "\r\n", encoding="utf-16")
        self.run(["regedit", "/S", windows_path(reg)])

    def profile(self, name):
        """The values of the profile `name` in the registry, read with `reg query`."""
        done = self.run(["reg", "query", f"{PROFILES}\\{name}"], check=False)
        values = {}
        for line in done.stdout.splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) == 3 else ""
        return values

    def close(self):
        """Ends every Windows program of the prefix, Wine's own helpers too."""
        subprocess.run(["wineserver", "-k"], env=self.desktop.env, stderr=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=self.desktop.env, stderr=subprocess.DEVNULL)


class Program:
    """One run of the program (or a copy of it) with the probe loaded, and its windows as the
    probe writes them."""

    def __init__(self, desktop, executable, plugins, env=None):
        self.desktop = desktop
        self.executable = executable
        self.name = executable.stem
        self.probe_file = self.desktop.folder("probe") / f"{self.name}.json"
        self.probe_file.unlink(missing_ok=True)
        self.process = self.desktop.start(
            ["wine", str(executable)], log=self.name,
            # Wine hands variables named QT_* to Windows programs only under names WINEQT_*.
            env={"WINEQT_PLUGIN_PATH": windows_path(plugins), "WINEQT_QPA_GENERIC_PLUGINS": "korvaneprobe",
                 "KORVANE_PROBE_FILE": windows_path(self.probe_file), **(env or {})})

    @property
    def title(self):
        return f"KORVANE - {self.name}"

    def windows(self):
        """The shown windows by title, each with its frame and controls, as the probe last wrote."""
        try:
            return {window["title"]: window for window in json.loads(self.probe_file.read_text())["windows"]}
        except (FileNotFoundError, json.JSONDecodeError):
            return {}

    def wait_main_window(self):
        """Waits until the main window is shown: for the probe and as an X window."""
        wait_until(lambda: self.title in self.windows(), WAIT_SECONDS, f"the window {self.title!r}")
        wait_until(lambda: self.x_window(), WAIT_SECONDS, f"the X window {self.title!r}")

    def x_window(self):
        """The X window of the shown main window, or None."""
        found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{self.title}$"],
                               env=self.desktop.env, stdout=subprocess.PIPE, text=True).stdout.split()
        return found[0] if found else None

    def control(self, role, name):
        def found():
            controls = self.windows().get(self.title, {}).get("controls", [])
            return next((control for control in controls if control["role"] == role and control["name"] == name), None)
        return wait_until(found, WAIT_SECONDS, f"the control {name!r} in {self.title!r}")

    def press(self, caption):
        button = self.control(BUTTON, caption)
        assert button["enabled"], f"{caption!r} is greyed"
        x, y, width, height = button["rect"]
        self.desktop.click(x + width // 2, y + height // 2)

    def colour(self, label):
        """The background colour of the label `label` on the screen: the commonest of the four
        points just inside its corners."""
        x, y, width, height = self.control(LABEL, label)["rect"]
        image = self.desktop.grab((x, y, width, height))
        corners = [(4, 4), (width - 5, 4), (4, height - 5), (width - 5, height - 5)]
        colours = [image.getpixel(point) for point in corners]
        return max(set(colours), key=colours.count)

    def wait_colour(self, label, colour):
        wait_until(lambda: self.colour(label) == colour, WAIT_SECONDS,
                   f"the {label} light to turn {colour} (shows {self.colour(label)})")

    def screenshot(self, label):
        return self.desktop.screenshot(geometry(self.desktop, self.x_window()), f"{self.name} {label}")

    def move(self, x, y):
        """Moves the main window's X window (its inside: Wine leaves the title bar to the window
        manager) as a user dragging it would; returns where Windows then has the window's frame."""
        subprocess.run(["xdotool", "windowmove", "--sync", self.x_window(), str(x), str(y)], env=self.desktop.env,
                       check=True)

        def moved():
            window = self.windows().get(self.title, {})
            inside = window.get("controls", [{}])[0].get("rect", [])
            return inside[:2] == [x, y] and window["frame"][:2]
        return tuple(wait_until(moved, WAIT_SECONDS, f"{self.title!r} to be where it was moved"))

    def exit(self):
        """Presses Exit and waits for the program to end. Under Wine a click on the window now and
        then never reaches it (the program goes on, its window shown and idle); the press is then
        made once more, as a user would."""
        self.press("Exit")
        try:
            wait_until(lambda: self.process.poll() is not None, EXIT_CLICK_SECONDS, f"{self.name} to end")
        except Timeout:
            if self.title in self.windows():
                print(f"{self.name} went on after Exit; pressing it again", file=sys.stderr)
                self.press("Exit")
        self.wait_ended()

    def wait_ended(self):
        try:
            wait_until(lambda: self.process.poll() is not None, WAIT_SECONDS, f"{self.name} to end")
        except Timeout as timeout:
            raise Timeout(f"{timeout}; the windows it shows: {sorted(self.windows())}") from None
        assert self.process.returncode == 0, f"{self.name} ended with {self.process.returncode}"


class StandIns:
    """The stand-in daemon and client (one MinGW program under two names) and what they record."""

    def __init__(self, desktop, executable):
        self.folder = desktop.folder("node programs")
        self.records = desktop.folder("records")
        self.env = {"KORVANE_STANDIN_DIR": windows_path(self.records)}
        self.daemon, self.client = "litecoind.exe", "litecoin-cli.exe"
        for name in (self.daemon, self.client):
            shutil.copy2(executable, self.folder / name)

    def profile(self):
        """A node profile whose daemon and client are the stand-ins."""
        folder = windows_path(self.folder)
        return {
            "CRYPTO_NAME_TEXTBOX": "Litecoin",
            "DAEMON_CLI_LOCATION_TEXTBOX": folder,
            "DAEMON_NAME_TEXTBOX": self.daemon,
            "CLI_NAME_TEXTBOX": self.client,
            "QL_D_COMMAND_TEXTBOX": f'"{folder}\\{self.daemon}" -server',
            "QLCLI_STOP_COMMAND_TEXTBOX": f'"{folder}\\{self.client}" stop',
        }

    def started(self, name):
        """Waits until `name` has been started; returns its arguments."""
        record = self.records / f"{name}.args"
        wait_until(record.exists, WAIT_SECONDS, f"{name} to be started")
        return [line.removeprefix("arg=") for line in record.read_text().splitlines()[1:]]


class Run:
    def __init__(self, options, desktop):
        self.options = options
        self.desktop = desktop
        self.wine = Wine(desktop)

    def start(self, executable, env=None):
        program = Program(self.desktop, executable, self.options.plugins, env)
        program.wait_main_window()
        return program

    def start_with_stand_ins(self):
        """The program from a copy of its folder (as users unpack the zip), its profile naming the
        stand-ins as its node's daemon and client; returns it, its main window shown, and the
        stand-ins."""
        folder = self.desktop.root / "program"
        shutil.copytree(self.options.folder, folder)
        stand_ins = StandIns(self.desktop, self.options.standin)
        self.wine.set_profile(PROGRAM, stand_ins.profile())
        return self.start(folder / f"{PROGRAM}.exe", stand_ins.env), stand_ins


def start_daemon(program, stand_ins):
    program.press("START DAEMON")
    assert stand_ins.started(stand_ins.daemon) == ["-server"]
    program.wait_colour("DAEMON", GREEN)


@scenario
def program(run):
    """The main window appears under the program's own name; START DAEMON runs the daemon and its
    light turns green; CLI "STOP" runs the client and the light turns red; Exit stores the
    window's position in the registry. A copy named LTC.exe keeps a profile of its own."""
    korvane, stand_ins = run.start_with_stand_ins()
    korvane.screenshot("started")

    start_daemon(korvane, stand_ins)
    korvane.screenshot("daemon running")
    korvane.press('CLI "STOP"')
    assert stand_ins.started(stand_ins.client) == ["stop"]
    korvane.wait_colour("DAEMON", RED)
    korvane.screenshot("daemon stopped")

    left, top = korvane.move(240, 160)
    korvane.exit()
    stored = run.wine.profile(PROGRAM)
    assert (stored.get("MAIN_Left"), stored.get("MAIN_Top")) == (
        str(left * TWIPS_PER_PIXEL), str(top * TWIPS_PER_PIXEL)), (left, top, stored)

    folder = korvane.executable.parent
    shutil.copy2(korvane.executable, folder / "LTC.exe")
    ltc = run.start(folder / "LTC.exe")
    ltc.screenshot("started")
    ltc_left, _ = ltc.move(420, 300)
    ltc.exit()
    assert run.wine.profile("LTC").get("MAIN_Left") == str(ltc_left * TWIPS_PER_PIXEL), run.wine.profile("LTC")
    assert run.wine.profile(PROGRAM).get("MAIN_Left") == str(left * TWIPS_PER_PIXEL), "LTC.exe wrote another profile"


@scenario
def shutdown_guard(run):
    """Asked to end the session while the daemon runs, the program says no, stops the node through
    the CLI stop line and keeps running."""
    korvane, stand_ins = run.start_with_stand_ins()
    start_daemon(korvane, stand_ins)
    ended = run.wine.run(["wineboot", "--end-session"], check=False)
    try:
        assert stand_ins.started(stand_ins.client) == ["stop"]
    except Timeout:
        if korvane.process.poll() is not None:
            raise Skipped("Wine ended the program without asking it first (wineboot --end-session)")
        raise
    korvane.wait_colour("DAEMON", RED)
    korvane.screenshot("session end refused, node stopped")
    assert korvane.process.poll() is None, f"the program ended with the session (wineboot: {ended.stdout!r})"
    korvane.exit()


def wine_tray(desktop):
    """Where Wine shows the notification area without a tray on the desktop: a window of its own
    ("Wine System Tray"), its icons in a row of squares as high as it is. Returns (x, y, height)."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Wine System Tray$"], env=desktop.env,
                           stdout=subprocess.PIPE, text=True).stdout.split()
    if not found:
        return None
    x, y, _, height = geometry(desktop, found[0])
    return x, y, height


def is_yellow(pixel):
    red, green, blue = pixel
    return red > 200 and green > 150 and blue < 80


@scenario
def tray(run):
    """The program's icon shows in Wine's notification area with a red dot while the node is
    stopped and a yellow one once its daemon runs without answering yet; a click on the icon hides
    the main window and another shows it again."""
    korvane, stand_ins = run.start_with_stand_ins()
    x, y, size = wait_until(lambda: wine_tray(run.desktop), WAIT_SECONDS, "Wine's notification area")
    icon = (x, y, size, size)  # the first icon: the program's, the only one here

    def dot(colour_test):
        return sum(1 for pixel in run.desktop.grab(icon).getdata() if colour_test(pixel)) >= 4
    wait_until(lambda: dot(lambda pixel: pixel == RED), WAIT_SECONDS, "a red dot on the tray icon")
    run.desktop.screenshot(icon, "tray icon, node stopped")
    start_daemon(korvane, stand_ins)
    wait_until(lambda: dot(is_yellow) and not dot(lambda pixel: pixel == RED), WAIT_SECONDS,
               "a yellow dot on the tray icon")
    run.desktop.screenshot(icon, "tray icon, daemon started")

    run.desktop.click(x + size // 2, y + size // 2)
    wait_until(lambda: not korvane.x_window(), WAIT_SECONDS, "the main window to hide")
    run.desktop.click(x + size // 2, y + size // 2)
    wait_until(korvane.x_window, WAIT_SECONDS, "the main window to show again")
    korvane.press('CLI "STOP"')
    korvane.wait_colour("DAEMON", RED)
    korvane.exit()


@scenario
def installer(run):
    """The installer installs silently into Program Files with a Start menu entry; the installed
    program starts; the uninstaller removes it silently."""
    run.wine.run([str(run.options.installer), "/S"])
    installed = run.wine.drive_c() / "Program Files" / "QL-KORVANE"
    for part in (f"{PROGRAM}.exe", "platforms/qwindows.dll", "Uninstall.exe"):
        assert (installed / part).exists(), f"{part} is not installed: {sorted(installed.rglob('*'))}"
    menu = run.wine.drive_c() / "ProgramData" / "Microsoft" / "Windows" / "Start Menu" / "Programs" / "QL-KORVANE"
    assert (menu / f"{PROGRAM}.lnk").exists(), f"no Start menu entry in {menu}"

    korvane = run.start(installed / f"{PROGRAM}.exe")
    korvane.screenshot("installed and started")
    korvane.exit()

    run.wine.run([windows_path(installed / "Uninstall.exe"), "/S"])
    wait_until(lambda: not installed.exists(), WAIT_SECONDS, f"the uninstaller to remove {installed}")
    assert not menu.exists(), "the Start menu entry stayed"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--folder", required=True, type=Path, help="the program's folder as built for users")
    parser.add_argument("--installer", required=True, type=Path, help="the built installer")
    parser.add_argument("--standin", required=True, type=Path, help="the built stand-in node program")
    parser.add_argument("--plugins", required=True, type=Path, help="the folder holding the probe plugin's folder generic/")
    parser.add_argument("--artifacts", required=True, type=Path, help="folder for the screenshots")
    options = parser.parse_args()
    if not shutil.which("wine"):
        print(f"{options.scenario}: skipped: wine is not installed")
        return SKIP_RETURN_CODE

    def scenario_on(desktop):
        run = Run(options, desktop)
        try:
            SCENARIOS[options.scenario](run)
        finally:
            run.wine.close()
    return play(options.scenario, options.artifacts, scenario_on, accessibility=False)


if __name__ == "__main__":
    sys.exit(main())
