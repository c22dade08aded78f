"""A private desktop for one end-to-end scenario: an X server, a D-Bus session with the
accessibility bus, a temporary home, the programs started in it, the mouse and keyboard of its
user, and screenshots.

Everything started here lives in its own process group and inside the session's temporary
folder, and is ended when the session closes.
"""

import os
import shutil
import signal
import subprocess
import tempfile
import time
from collections import Counter
from pathlib import Path

POLL_SECONDS = 0.03
# Errors that a read may meet while the screen changes; a wait tries again after them.
TRANSIENT_ERRORS = ()


class Timeout(AssertionError):
    pass


# What a scenario that cannot run here returns; ctest reports it skipped.
SKIP_RETURN_CODE = 77


class Skipped(Exception):
    """Raised by a scenario that cannot run here, saying why."""


def wait_until(condition, timeout, what):
    """Polls `condition` until it returns a true value, which is returned; fails after `timeout`
    seconds, saying `what` was awaited and what the condition last returned."""
    deadline = time.monotonic() + timeout
    while True:
        try:
            value = condition()
        except TRANSIENT_ERRORS as error:
            value = error
        if value and not isinstance(value, Exception):
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"gave up after {timeout} s waiting for {what} (last seen: {value!r})")
        pump_events()
        time.sleep(POLL_SECONDS)


def sample(read, seconds):
    """Everything that `read` returns while it is polled for `seconds`, with how often."""
    seen = Counter()
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        seen[read()] += 1
        pump_events()
        time.sleep(POLL_SECONDS)
    return seen


_event_pumps = []


def pump_events():
    for pump in _event_pumps:
        pump()


def add_event_pump(pump):
    """Runs `pump` while waiting, so queued notifications (the accessibility bus's) are handled."""
    _event_pumps.append(pump)


def _read_line_from(fd):
    """Reads one line that a child writes to the pipe `fd` once it is ready."""
    data = b""
    while not data.endswith(b"\n"):
        chunk = os.read(fd, 256)
        if not chunk:
            break
        data += chunk
    os.close(fd)
    return data.decode().strip()


def _process_state(pid):
    try:
        stat = Path(f"/proc/{pid}/stat").read_text()
    except (FileNotFoundError, ProcessLookupError):
        return None
    return stat[stat.rindex(")") + 2]


def process_alive(pid):
    """True while `pid` runs (a zombie has ended)."""
    return _process_state(pid) not in (None, "Z", "X")


class Desktop:
    SCREEN = "1280x800x24"

    def __init__(self, artifacts, accessibility=True):
        """With `accessibility` false, the desktop has no D-Bus session and no accessibility bus
        (Wine's programs use neither)."""
        self.root = Path(tempfile.mkdtemp(prefix="korvane-e2e-"))
        self.home = self.root / "home"
        self.config_home = self.home / ".config"
        self.artifacts = Path(artifacts)
        self.artifacts.mkdir(parents=True, exist_ok=True)
        self._groups = []  # process groups started here, ended at close
        self._screenshots = 0
        runtime = self.root / "runtime"
        for folder in (self.home, self.config_home, runtime):
            folder.mkdir(mode=0o700)
        self.env = {
            "PATH": "/usr/local/bin:/usr/bin:/bin",
            "HOME": str(self.home),
            "XDG_CONFIG_HOME": str(self.config_home),
            "XDG_RUNTIME_DIR": str(runtime),
            "LANG": "C.UTF-8",
        }
        try:
            self.env["DISPLAY"] = self._start_x_server()
            if accessibility:
                self.env["DBUS_SESSION_BUS_ADDRESS"] = self._start_session_bus()
                self.start(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], log="at-spi")
                self._wait_for_accessibility_bus()
                os.environ.pop("AT_SPI_BUS_ADDRESS", None)  # a screen reader asks this session's bus
            os.environ.update(self.env)
        except BaseException:
            self.close()
            raise

    # ---- servers -------------------------------------------------------------------------------

    def _start_with_ready_pipe(self, command, log):
        """Starts a server that writes one line to the descriptor appended to `command` when it is
        ready, and returns that line."""
        ready_read, ready_write = os.pipe()
        self.start(command + [str(ready_write)], log=log, pass_fds=(ready_write,))
        os.close(ready_write)
        return _read_line_from(ready_read)

    def _start_x_server(self):
        # -displayfd picks a free display and tells it once the server accepts clients; -noreset
        # keeps lock-key state when the last client goes.
        number = self._start_with_ready_pipe(
            ["Xvfb", "-noreset", "-nolisten", "tcp", "-screen", "0", self.SCREEN, "-displayfd"], "xvfb")
        if not number:
            raise RuntimeError(f"Xvfb did not start; see {self.root / 'xvfb.log'}")
        return f":{number}"

    def _start_session_bus(self):
        address = self._start_with_ready_pipe(
            ["dbus-daemon", "--session", "--nofork", "--nosyslog", "--print-address"], "dbus")
        if not address:
            raise RuntimeError(f"the D-Bus session did not start; see {self.root / 'dbus.log'}")
        return address

    def _wait_for_accessibility_bus(self):
        """Waits until the launcher owns its name on the session bus, where programs and screen
        readers ask for the accessibility bus's address."""
        from gi.repository import Gio, GLib
        flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
        bus = Gio.DBusConnection.new_for_address_sync(self.env["DBUS_SESSION_BUS_ADDRESS"], flags, None, None)

        def launched():
            reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                  "NameHasOwner", GLib.Variant("(s)", ("org.a11y.Bus",)), None,
                                  Gio.DBusCallFlags.NONE, -1, None)
            return reply.unpack()[0]
        wait_until(launched, 10, "the accessibility bus launcher")
        bus.close_sync(None)

    # ---- processes -----------------------------------------------------------------------------

    def start(self, command, log=None, env=None, pass_fds=()):
        """Starts `command` in its own process group with the session's environment plus `env`
        (where a variable is None, without it); its output goes to <root>/<log>.log."""
        output = open(self.root / f"{log or Path(command[0]).name}.log", "ab")
        variables = {name: value for name, value in {**self.env, **(env or {})}.items() if value is not None}
        process = subprocess.Popen(command, env=variables, stdin=subprocess.DEVNULL,
                                   stdout=output, stderr=subprocess.STDOUT, pass_fds=pass_fds,
                                   start_new_session=True)
        output.close()
        self._groups.append(process)
        return process

    @staticmethod
    def seeing_read_only(folder, command):
        """`command` run so that it sees `folder` read-only, as on a read-only disk: a write there
        fails whoever runs it, root included. The folder is mounted read-only over itself in a
        mount namespace of the command's own (made in a user namespace, so no privilege is
        needed); a second user namespace gives the command back the caller's user id, under
        which the session bus knows it. The command keeps the process id started here."""
        script = ('mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && shift && '
                  'exec unshare --user --map-user="$1" --map-group="$2" -- "${@:3}"')
        return ["unshare", "--map-root-user", "--mount", "--", "bash", "-c", script, "bash", str(folder),
                str(os.getuid()), str(os.getgid()), *command]

    def folder(self, name):
        path = self.root / name
        path.mkdir(parents=True, exist_ok=True)
        return path

    def copy_program(self, source, name, folder="programs"):
        """A copy of the executable `source` named `name` in the session folder `folder`."""
        target = self.folder(folder) / name
        shutil.copy2(source, target)
        return target

    def close(self):
        """Ends every process started here: the process groups, then whatever program copies run
        from the session folder (programs that the tested program started left its group)."""
        for process in reversed(self._groups):
            if process.poll() is None:
                try:
                    os.killpg(process.pid, signal.SIGTERM)
                except ProcessLookupError:
                    pass
        for process in reversed(self._groups):
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
        self._kill_programs_run_from(self.root)
        shutil.rmtree(self.root, ignore_errors=True)

    @staticmethod
    def _kill_programs_run_from(folder):
        prefix = str(folder) + "/"
        for entry in Path("/proc").iterdir():
            if not entry.name.isdigit():
                continue
            try:
                executable = os.readlink(entry / "exe")
            except OSError:
                continue
            if executable.startswith(prefix):
                try:
                    os.kill(int(entry.name), signal.SIGKILL)
                except ProcessLookupError:
                    pass

    # ---- the user's mouse and keyboard ---------------------------------------------------------

    def _xdotool(self, *arguments):
        return subprocess.run(["xdotool", *arguments], env=self.env, check=True, stdout=subprocess.PIPE,
                              text=True).stdout

    def _window_ids(self, title, pid):
        found = subprocess.run(["xdotool", "search", "--all", "--pid", str(pid), "--name", f"^{title}$"],
                               env=self.env, stdout=subprocess.PIPE, text=True)
        return found.stdout.split()

    def window_shown(self, title, pid):
        """Whether process `pid` shows a top-level window titled `title`, as the X server sees it."""
        return bool(self._window_ids(title, pid))

    def raise_window(self, title, pid):
        """Brings the top-level window of process `pid` titled `title` to the front; returns the
        X server's ids of it."""
        ids = self._window_ids(title, pid)
        if not ids:
            raise AssertionError(f"the X server shows no window titled {title!r} of process {pid}")
        for window in ids:
            self._xdotool("windowraise", window)
        return ids

    def _window_under_pointer(self):
        location = dict(line.split("=", 1) for line in self._xdotool("getmouselocation", "--shell").split())
        return location["WINDOW"]

    def click(self, x, y, count=1, window=None):
        """Clicks at (x, y), first bringing `window` (title, process id) to the front and waiting
        until the pointer is over it: a window that the program has just closed may still cover
        it for a moment. (xdotool's own wait for the motion, --sync, hangs when the pointer is
        already there.)"""
        ids = self.raise_window(*window) if window else None
        self._xdotool("mousemove", str(x), str(y))
        if ids:
            wait_until(lambda: self._window_under_pointer() in ids, 10, f"the pointer to be over {window}")
        self._xdotool("click", "--repeat", str(count), "1")

    def move_window(self, title, pid, x, y):
        """Moves the top-level window of process `pid` titled `title` so that its top left corner
        is at (x, y), as a user dragging it would."""
        for window in self.raise_window(title, pid):
            self._xdotool("windowmove", window, str(x), str(y))

    def lock_keys(self, reader):
        """The lock keys' states as the X server keeps them: {"num": bool, "caps": bool,
        "scroll": bool}, read by the compiled `reader` (lock_keys.cpp); a key whose light the
        keyboard map lacks reads None."""
        line = subprocess.run([str(reader)], env=self.env, check=True, stdout=subprocess.PIPE, text=True).stdout
        states = dict(field.split("=") for field in line.split())
        return {key: None if value == "-1" else value == "1" for key, value in states.items()}

    def key(self, *keys):
        self._xdotool("key", "--clearmodifiers", *keys)

    def press_lock_key(self, key):
        """Presses the lock key `key` ("Num_Lock", "Caps_Lock"), which toggles it. (Not through
        `key`: xdotool's --clearmodifiers puts back the lock state that it found.)"""
        self._xdotool("key", key)

    def type(self, text):
        self._xdotool("type", "--clearmodifiers", "--delay", "4", "--", text)

    # ---- the screen ----------------------------------------------------------------------------

    def grab(self, box=None):
        """The screen, or the part of it inside `box` (x, y, width, height), as an RGB image."""
        from PIL import ImageGrab  # Debian's python3-pil, built with X support
        image = ImageGrab.grab(xdisplay=self.env["DISPLAY"]).convert("RGB")
        if box:
            x, y, width, height = box
            image = image.crop((x, y, x + width, y + height))
        return image

    def screenshot(self, box, label):
        """Keeps the screen inside `box` as <artifacts>/<nn>-<label>.png, once it has stopped
        changing (a window just raised or uncovered is still being painted)."""
        last = [None]

        def steady():
            image = self.grab(box)
            same = last[0] is not None and image.tobytes() == last[0].tobytes()
            last[0] = image
            return same
        try:
            wait_until(steady, 2, f"the screen inside {box} to settle")
        except Timeout:
            pass  # a window that keeps changing (a running animation) is kept as it was last seen
        self._screenshots += 1
        safe = "".join(c if c.isalnum() or c in "-_" else "_" for c in label).strip("_")
        path = self.artifacts / f"{self._screenshots:02d}-{safe}.png"
        last[0].save(path)
        return path


def play(name, artifacts, scenario, accessibility=True):
    """Runs `scenario(desktop)` on a fresh desktop of its own, keeping its screenshots and logs in
    artifacts/name (and one of the whole screen where it fails). Returns the exit status: 0, or
    SKIP_RETURN_CODE where the scenario raised Skipped."""
    artifacts = Path(artifacts) / name
    shutil.rmtree(artifacts, ignore_errors=True)
    started = time.monotonic()
    desktop = Desktop(artifacts, accessibility)
    try:
        scenario(desktop)
    except Skipped as reason:
        print(f"{name}: skipped: {reason}")
        return SKIP_RETURN_CODE
    except BaseException:
        desktop.screenshot(None, "failure-whole-screen")
        raise
    finally:
        for log in sorted(desktop.root.glob("*.log")):
            shutil.copy2(log, artifacts / log.name)
        desktop.close()
    print(f"{name}: passed in {time.monotonic() - started:.1f} s; screenshots in {artifacts}")
    return 0
