"""End-to-end scenarios: the real program, copied under a coin's name, on a private desktop,
driven only through what its user and a screen reader have.

Run one with Debian's Python (it has pyatspi):
    /usr/bin/python3 scenarios.py NAME --program PATH --standin PATH --lock-keys PATH --artifacts FOLDER
Screenshots of the windows go to FOLDER/NAME.
"""

import argparse
import os
import signal
import socket
import stat
import shutil
import subprocess
import sys
import time
from collections import Counter
from datetime import datetime, timezone
from pathlib import Path

import accessibility
from accessibility import WAIT_SECONDS, Scope, assert_toggle_acts_like_click, difference
from desktop import Skipped, play, process_alive, sample, wait_until
from korvane import (BLACK, CRYPTO_SETTINGS, CYAN, DONATIONS_BUTTON, FLASH_PALETTE, GREEN, MAIN_SETTINGS, RED,
                     TERMINATOR, Korvane, NodeProfile, StandIns, enter_profile)

SCENARIOS = {}


def scenario(function):
    SCENARIOS[function.__name__] = function
    return function


class Run:
    """What a scenario works with: the desktop, the program to copy and the stand-in node."""

    def __init__(self, desktop, program, standin, lock_keys_reader):
        self.desktop = desktop
        self.program = program
        self.standin = standin
        self.lock_keys_reader = lock_keys_reader

    def korvane(self, name, env=None):
        """A copy of the program named `name`, not yet started."""
        return Korvane(self.desktop, self.program, name, env)

    def installed(self):
        """The program itself, where it is installed, not yet started."""
        return Korvane(self.desktop, self.program, None, copy=False)

    def stand_ins(self):
        return StandIns(self.desktop, self.standin)

    def lock_keys(self):
        """The lock keys' states on the desktop: {"num": bool, "caps": bool, "scroll": bool}."""
        return self.desktop.lock_keys(self.lock_keys_reader)


def node_with_stand_ins(run, stand_ins, coin="LTC"):
    """The profile of a node whose daemon and client are stand-ins, in folders with spaces. The
    program watches and kills programs by name across the machine, so the names carry this run's
    process id; they are longer than the 15 characters that the kernel keeps of a command name."""
    daemon, client = f"litecoind-e2e-{os.getpid()}", f"litecoin-cli-{os.getpid()}"
    stand_ins.install(daemon)
    stand_ins.install(client)
    return NodeProfile(coin=coin, blockchain_home=str(run.desktop.folder("block chain")),
                       qt_folder=str(stand_ins.folder), qt_name=f"litecoin-qt-{os.getpid()}",
                       daemon_cli_folder=str(stand_ins.folder), cli_name=client, daemon_name=daemon)


def start_daemon(korvane, stand_ins, profile):
    """Presses "START DAEMON" and waits until the daemon runs and its light is green."""
    korvane.main.press("START DAEMON")
    pid, arguments = stand_ins.started(profile.daemon_name)
    stand_ins.wait_event(profile.daemon_name, "started")
    korvane.wait_light("DAEMON", GREEN, f"{profile.daemon_name} - DAEMON PROCESS RUNNING")
    korvane.wait_start_buttons(enabled=False)
    return pid, arguments


@scenario
def typical_request(run):
    stand_ins = run.stand_ins()
    korvane = run.korvane("LTC", env=stand_ins.env)
    korvane.start()
    profile = node_with_stand_ins(run, stand_ins)
    korvane.save_node_profile(profile)

    daemon, arguments = start_daemon(korvane, stand_ins, profile)
    assert arguments == [f"-conf={korvane.conf_location}", f"-datadir={profile.blockchain_home}"], arguments
    korvane.main.screenshot("daemon running")

    korvane.main.press('CLI "STOP"')
    _, client_arguments = stand_ins.started(profile.cli_name)
    assert client_arguments == [f"-conf={korvane.conf_location}", "stop"], client_arguments
    stand_ins.wait_gone(daemon, profile.daemon_name)
    assert stand_ins.events(profile.daemon_name) == ["started", "stopped"]
    korvane.wait_light("DAEMON", RED, f"{profile.daemon_name} - DAEMON PROCESS STOPPED")
    korvane.wait_start_buttons(enabled=True)
    korvane.main.screenshot("daemon stopped")
    korvane.exit()


@scenario
def hung_daemon(run):
    stand_ins = run.stand_ins()
    korvane = run.korvane("LTC", env={**stand_ins.env, "KORVANE_STANDIN_IGNORES_STOP": "1"})
    korvane.start()
    profile = node_with_stand_ins(run, stand_ins)
    korvane.save_node_profile(profile)
    bystander_name = profile.daemon_name[:-1] + "x"  # differs in one character
    stand_ins.install(bystander_name)
    bystander = stand_ins.start(bystander_name)

    daemon, _ = start_daemon(korvane, stand_ins, profile)
    korvane.main.press('CLI "STOP"')
    stand_ins.wait_event(profile.daemon_name, "stop ignored")
    korvane.wait_light("DAEMON", GREEN, f"{profile.daemon_name} - DAEMON PROCESS RUNNING")

    terminator = korvane.open(korvane.main, "!!! PROCESS TERMINATOR !!!", TERMINATOR)
    name_field = terminator.field("DAEMON Process:")
    terminate = terminator.beside(name_field, "push button")
    assert terminate.name == "TERMINATE" and not terminate.enabled, "kill buttons must wait for the window to be armed"
    # Armed, the window shows the daemon running (its name on green) and lets it be killed.
    assert_toggle_acts_like_click(terminator.tick_box("!!! ENABLE TERMINATOR !!!"),
                                  effect=lambda: name_field.colour() == GREEN)
    wait_until(lambda: terminate.enabled, WAIT_SECONDS, "the daemon's TERMINATE button to be enabled")
    terminator.screenshot("armed")

    terminate.click()
    stand_ins.wait_gone(daemon, profile.daemon_name)
    assert process_alive(bystander.pid), f"the bystander {bystander_name} was killed too"
    terminator.press("OK")
    korvane.program.wait_closed(terminator)
    korvane.wait_light("DAEMON", RED, f"{profile.daemon_name} - DAEMON PROCESS STOPPED")
    korvane.wait_start_buttons(enabled=True)
    assert process_alive(bystander.pid), f"the bystander {bystander_name} ended"
    korvane.exit()


# The conf file of the basic settings followed by the Litecoin preset, line by line: options
# that are ticked or filled are active, the others commented out; the file ends with a line break.
BASIC_THEN_LITECOIN_CONF = [
    "# - LTC - Litecoin - CONF FILE CREATED USING QUILLON - VORSELL - CONF-GENERATOR -",
    "wallet=wallet.dat",
    "disablewallet=0",
    "server=1",
    "alerts=1",
    "listen=1",
    "#upnp=0",
    "dns=1",
    "#daemon=0",
    "allowip=127.0.0.1",
    "rpcallowip=127.0.0.1",
    "timeout=3000",
    "rpctimeout=3000",
    "maxconnections=20",
    "port=9333",
    "rpcport=9332",
    "#uacomment=",
    "",
    "#rpcuser=",
    "#rpcpassword=",
    "#rpcauth=",
    "",
    "",  # the user's own settings: none
    "",
    "",  # the node list: none for Litecoin
    "",  # after the final line break
]


@scenario
def conf_generator(run):
    korvane = run.korvane("LTC")
    korvane.start()
    settings, generator = korvane.save_conf("LTC")
    location = generator.field("CONF File Location:").text
    assert location == str(korvane.conf_location), f"the generator names {location} as the conf file"
    written = korvane.conf_lines()
    assert written == BASIC_THEN_LITECOIN_CONF, \
        f"the conf file differs (- expected, + written):\n{difference(BASIC_THEN_LITECOIN_CONF, written)}"
    preview = generator.field("CRYPTO CONFIG OUTPUT").text
    assert preview.split("\n") == written[:-1], f"the preview shows {preview!r}"
    mode = stat.S_IMODE(korvane.conf_location.stat().st_mode)
    assert mode == 0o600, f"the conf file, which may hold RPC passwords, has mode {mode:o}"
    korvane.close_conf_generator(settings, generator, "Close")
    name = korvane.main.field("CRYPTO-NAME")  # the main window takes the saved name
    wait_until(lambda: name.text == "LTC - Litecoin", WAIT_SECONDS, "the main window to show the coin")
    korvane.exit()


@scenario
def two_copies(run):
    copies = {"BTC": "Bitcoin", "LTC": "Litecoin"}
    korvanes = {name: run.korvane(name) for name in copies}  # side by side in one folder
    for name, coin in copies.items():  # both run at once, one window above the other
        korvanes[name].start()
        korvanes[name].close_conf_generator(*korvanes[name].save_conf(name), "Close")
        korvanes[name].save_node_profile(NodeProfile(coin=coin, daemon_name=f"{name.lower()}d"))
        korvanes[name].main.screenshot("profile saved")
    for korvane in korvanes.values():
        korvane.exit()
        assert korvane.profile_file.exists(), f"no profile {korvane.profile_file}"
    for name, port in (("BTC", "8333"), ("LTC", "9333")):  # each copy's file has its own coin
        lines = korvanes[name].conf_lines()
        assert lines[0].startswith(f"# - {name} - ") and f"port={port}" in lines, f"{name} wrote {lines}"
    for name, coin in copies.items():
        main = korvanes[name].start()
        shown = (main.field("CRYPTO-NAME").text, main.field("DAEMON-NAME").text)
        assert shown == (coin, f"{name.lower()}d"), f"{name} shows {shown} after a restart"
    for korvane in korvanes.values():
        korvane.exit()


@scenario
def copies_share_a_port(run):
    """Two copies of Litecoin whose confs both take port 9333: each copy's conf check names the
    other copy's node, in the generator's list and in the main settings' red line."""
    nodes = run.desktop.folder("nodes")
    copies = {"LTC": "LTC2", "LTC2": "LTC"}  # each and the other
    korvanes = {name: run.korvane(name) for name in copies}
    for name in copies:  # both run at once
        korvane = korvanes[name]
        korvane.start()
        korvane.close_conf_generator(*korvane.save_conf("LTC"), "Close")
        korvane.save_node_profile(NodeProfile(coin="Litecoin", blockchain_home=str(run.desktop.folder(f"nodes/{name}")),
                                              daemon_cli_folder=str(nodes), daemon_name="litecoind"))
    for name, other in copies.items():
        korvane = korvanes[name]
        clash = (f"port 9333 — also the P2P port of profile {other}'s node ({korvanes[other].conf_location}); "
                 "the second to start stops")
        settings, generator = korvane.open_conf_generator()
        generator.find("list item", clash)
        generator.screenshot(f"the port of {other}")
        generator.press("Cancel")
        korvane.program.wait_closed(generator)
        settings.find("label", lambda text: text.startswith(f"This conf stops the node: {clash}"))
        settings.screenshot(f"the port of {other}")
        settings.press("OK")
        korvane.program.wait_closed(settings)
    for korvane in korvanes.values():
        korvane.exit()


@scenario
def bad_input(run):
    korvane = run.korvane("LTC")
    main = korvane.start()

    def start_daemon_fails(what, shows):
        """Presses "START DAEMON": the status shows a message for which `shows` is true, and the
        program goes on."""
        main.press("START DAEMON")
        main.find("label", lambda text: text.startswith("Could not start") and shows(text))
        main.screenshot(what)
        assert korvane.program.running, f"the program ended after {what}"

    start_daemon_fails("empty command line", lambda text: "empty" in text)
    programs = run.desktop.folder("programs")
    korvane.save_node_profile(NodeProfile(daemon_cli_folder=str(programs), daemon_name="no-such-daemon"))
    start_daemon_fails("missing program",
                       lambda text: f'"{programs / "no-such-daemon"}"' in text and "No such file" in text)
    korvane.exit()

    # A conf folder that cannot be written (read-only for root too): SAVE says so and the
    # generator's closing button keeps its caption "Cancel".
    korvane.start(read_only_folder=True)
    settings, generator = korvane.open_conf_generator()
    generator.press("SAVE")
    generator.find("label", lambda text: text.startswith(f"{korvane.conf_location} was not written")
                   and "Read-only file system" in text)
    generator.screenshot("conf folder read-only")
    assert not korvane.conf_location.exists(), "a conf file appeared in the read-only folder"
    korvane.close_conf_generator(settings, generator, "Cancel")
    korvane.exit()


# The summary box's six sizes of 1,234,567,890 bytes, one a line.
FOLDER_SIZE_FIGURES = "\n".join(["1,234,567,890 B  ", "1,234,567.89 KB", "1,234.568 MB", "1.235 GB",
                                 "0.001235 TB", "0.000001235 PB"])


@scenario
def folder_size(run):
    korvane = run.korvane("LTC")
    main = korvane.start()
    summary = main.field("Blockchain Folder Size")
    measure = main.button("Get Folder Size Now")

    def measured(shows):
        """Clicks "Get Folder Size Now": the summary box comes to read `shows`, and the button
        is enabled again."""
        measure.click()
        try:
            wait_until(lambda: summary.text == shows, WAIT_SECONDS, f"the summary box to read {shows!r}")
        except AssertionError as failure:
            raise AssertionError(f"{failure}; it reads {summary.text!r}") from None
        wait_until(lambda: measure.enabled, WAIT_SECONDS, "the button to be enabled after the scan")

    measured("FOLDER NAME IS EMPTY")
    home = run.desktop.root / "block chain"  # not made yet
    korvane.save_node_profile(NodeProfile(blockchain_home=str(home)))
    measured(f"FOLDER NOT FOUND: {home}")
    blocks = home / "blocks"
    blocks.mkdir(parents=True)
    with open(blocks / "blk00000.dat", "wb") as block_file:
        block_file.truncate(1_234_567_890)  # sparse: takes no room on the disk
    measured(FOLDER_SIZE_FIGURES)
    main.screenshot("folder size")
    korvane.exit()


@scenario
def screen_reader_parity(run):
    korvane = run.korvane("LTC")
    korvane.start()
    # The lock lights take their states (and tool tips) at their first tick, a second after the
    # start; the snapshots compared below would otherwise differ by it.
    korvane.wait_light("N", RED, "NUM LOCK = OFF")
    settings = korvane.open_settings()
    settings.screenshot("opened")
    crypto = korvane.open(settings, "CRYPTO SETTINGS", CRYPTO_SETTINGS)
    crypto.screenshot("opened")

    for group, caption in (("QT", "Wallet"), ("QT", "Disabled")):
        assert_toggle_acts_like_click(crypto.group(group).tick_box(caption))
    enter_profile(crypto, NodeProfile(coin="Litecoin"))
    crypto.press("Save")
    crypto.press("Close")  # the closing button's caption after a Save
    korvane.program.wait_closed(crypto)

    for caption in ('USE OWN ".CONF" FILE', "Auto Update Blockchain Folder Size"):
        assert_toggle_acts_like_click(settings.tick_box(caption))
    settings.screenshot("toggled")
    settings.press("OK")
    korvane.program.wait_closed(settings)
    korvane.exit()


def assert_flashes(read_colour, what):
    """Over a little more than one round of the flash palette (a second), `read_colour` shows
    several of its colours."""
    seen = sample(read_colour, 1.2)
    assert len(FLASH_PALETTE & set(seen)) >= 3, f"{what} does not flash; it shows {dict(seen)}"


def text_colour(box):
    """The colour of the text in `box`: black or the flash colour that most of its pixels show
    (its background and frame are neither)."""
    pixels = box.pixels()
    colour = max(FLASH_PALETTE | {BLACK}, key=lambda candidate: pixels[candidate])
    return colour if pixels[colour] else None


@scenario
def about_and_donations(run):
    korvane = run.korvane("LTC")
    korvane.start()
    about = korvane.open_about()
    assert_flashes(about.beside(about.button(DONATIONS_BUTTON), "frame").colour,
                   "the frame behind the donations button")
    about.screenshot("flashing")
    about.move(300, 240)

    donations = korvane.open_donations(about)
    thanks = donations.text_box(DONATIONS_BUTTON)
    assert thanks.tool_tip == "!!! DOUBLE-CLICK TO STOP / START FLASHING TEXT !!!", thanks.tool_tip
    assert_flashes(lambda: text_colour(thanks), "the thanks text")
    donations.screenshot("flashing")
    thanks.click(count=2)
    wait_until(lambda: text_colour(thanks) == BLACK, WAIT_SECONDS, "a double-click to stop the flashing text")
    stopped = sample(lambda: text_colour(thanks), 0.6)
    assert set(stopped) == {BLACK}, f"the stopped thanks text shows {dict(stopped)}"
    donations.screenshot("flashing stopped")
    thanks.click(count=2)
    wait_until(lambda: text_colour(thanks) in FLASH_PALETTE, WAIT_SECONDS, "a double-click to restart the flashing")
    donations.move(520, 160)

    # Each window opens again where the user left it.
    korvane.close_with_ok(donations)
    korvane.close_with_ok(about)
    about = korvane.open_about()
    assert about.extents()[:2] == (300, 240), f"the about window reopens at {about.extents()}"
    donations = korvane.open_donations(about)
    assert donations.extents()[:2] == (520, 160), f"the donations window reopens at {donations.extents()}"
    donations.screenshot("reopened")
    korvane.close_with_ok(donations)
    korvane.close_with_ok(about)
    korvane.exit()


BEAT_PERIOD = "00:05:00"  # the countdown of every beat after the first


def watch_heartbeat(run, started, countdown, indicator):
    """What the heartbeat shows, read every 50 ms or so until the countdown has come round to five
    minutes and that beat's two presses are over (or 16 s pass): a list of (seconds since
    `started`, the countdown's text, Num Lock on, the beat indicator's colour). The indicator's
    colour is read in its margin, left of the first scanner light."""
    x, y, _, height = indicator.extents
    margin = (x + 1, y + height // 2, 1, 1)
    timeline = []
    wrapped = None
    while time.monotonic() - (wrapped or started) < (2.5 if wrapped else 16):
        seconds = time.monotonic() - started
        text = countdown.text
        timeline.append((seconds, text, run.lock_keys()["num"], run.desktop.grab(margin).getpixel((0, 0))))
        if text == BEAT_PERIOD and wrapped is None:
            wrapped = time.monotonic()
        time.sleep(0.05)
    return timeline


def changes(timeline, field):
    """(seconds, value) of the first reading and of every change of the timeline's `field`."""
    found = []
    for reading in timeline:
        if not found or reading[field] != found[-1][1]:
            found.append((reading[0], reading[field]))
    return found


def assert_heartbeat(timeline, num_lock, click_seconds):
    """A ten-second countdown, one beat 750 ms after the start and one when the countdown reaches
    zero, each two Num Lock presses 750 ms apart that leave it as it was (`num_lock`). The
    timeline starts when the click on START KITT was over, which took `click_seconds`."""
    texts, presses, indicator = (changes(timeline, field) for field in (1, 2, 3))
    seen = (f"countdown {[(round(t, 2), v) for t, v in texts]}; Num Lock {[(round(t, 2), v) for t, v in presses]}; "
            f"indicator {[(round(t, 2), v) for t, v in indicator]}")
    counted = [f"00:00:{n:02d}" for n in range(10, 0, -1)] + [BEAT_PERIOD]
    assert [text for _, text in texts[:len(counted)]] == counted, \
        f"the countdown does not count down from ten seconds: {seen}"
    zero = texts[len(counted) - 1][0]
    assert 9 <= zero <= 11.5, f"ten seconds took {zero:.2f} s: {seen}"
    assert [on for _, on in presses] == [num_lock, not num_lock] * 2 + [num_lock], \
        f"Num Lock is not pressed twice per beat, at the start and at zero: {seen}"
    (first, _), (second, _), (third, _), (fourth, _) = presses[1:]
    assert 0.7 <= first + click_seconds and first <= 1.5 and 0.5 <= third - zero <= 1.5, \
        f"the beats come late or early: {seen}"
    assert 0.5 <= second - first <= 1.2 and 0.5 <= fourth - third <= 1.2, \
        f"a beat's presses are not 750 ms apart: {seen}"
    assert [colour for _, colour in indicator] == [BLACK, GREEN, BLACK, CYAN, GREEN, BLACK], \
        f"the beat indicator does not flash cyan at zero and green between the presses: {seen}"
    return (f"Num Lock pressed {first:.2f}/{second:.2f} s after the click on START KITT (which took "
            f"{click_seconds:.2f} s) and, after zero at {zero:.2f} s, at {third:.2f}/{fourth:.2f} s")


def colours_of(desktop, controls):
    """The colour that most pixels of each control show, from one look at the screen."""
    screen = desktop.grab()
    boxes = (control.extents for control in controls)
    return tuple(Counter(screen.crop((x, y, x + width, y + height)).getdata()).most_common(1)[0][0]
                 for x, y, width, height in boxes)


@scenario
def heartbeat(run):
    korvane = run.korvane("LTC")
    main = korvane.start()
    indicator, lights = korvane.scanner()

    def scanner():
        return colours_of(run.desktop, lights)
    countdown = main.field("Heartbeat countdown")
    countdown.type_over("00:00:10")
    num_lock = run.lock_keys()["num"]

    start = main.button("START KITT")
    clicking = time.monotonic()
    start.click()
    started = time.monotonic()
    stop = main.button("STOP KITT")  # a screen reader reads the caption that the button shows
    timeline = watch_heartbeat(run, started, countdown, indicator)
    timings = assert_heartbeat(timeline, num_lock, started - clicking)
    print(f"heartbeat: {timings}")
    sweep = sample(scanner, 1.2)  # more than one pass of the scanner
    lit = {pattern.index(RED) for pattern in sweep if pattern.count(RED) == 1}
    assert all(set(pattern) <= {RED, BLACK} and pattern.count(RED) <= 1 for pattern in sweep) and len(lit) >= 4, \
        f"the scanner does not run one red light to and fro; it shows {dict(sweep)}"
    main.screenshot("scanner running")

    stop.click()
    main.button("START KITT")
    wait_until(lambda: scanner() == (RED,) * 7, WAIT_SECONDS, "STOP KITT to light all seven scanner lights")
    stopped = sample(scanner, 0.5)
    assert set(stopped) == {(RED,) * 7}, f"the stopped scanner shows {dict(stopped)}"
    assert run.lock_keys()["num"] == num_lock, "the heartbeat left Num Lock toggled"
    main.screenshot("scanner stopped")

    # Double-clicks on the Caps Lock light press the key; the light follows.
    caps = main.label("C")
    assert run.lock_keys()["caps"] is False, "the test desktop starts with Caps Lock on"
    korvane.wait_light("C", RED, "CAPS LOCK = OFF")
    for on, colour, tool_tip in ((True, GREEN, "CAPS LOCK = ON"), (False, RED, "CAPS LOCK = OFF")):
        caps.click(count=2)
        wait_until(lambda: run.lock_keys()["caps"] == on, WAIT_SECONDS,
                   f"a double-click on C to turn Caps Lock {'on' if on else 'off'}")
        korvane.wait_light("C", colour, tool_tip)
        if on:
            main.screenshot("caps lock on")
    korvane.exit()


@scenario
def installed_program(run):
    """The program as a package installs it: started from where it stands, its main window
    shows under its own name, and Exit ends it."""
    korvane = run.installed()
    main = korvane.start()
    main.screenshot("installed program")
    korvane.exit()
def stored_main_left(korvane):
    """The main window's stored left edge, as the profile holds it; None before it was stored."""
    if not korvane.profile_file.exists():
        return None
    lines = korvane.profile_file.read_bytes().decode().splitlines()
    return next((line for line in lines if line.startswith("MAIN_Left=")), None)


@scenario
def heartbeat_signals(run):
    """A signal to end the program between the heartbeat's two presses ends it as Exit does."""
    for number, ending in enumerate((signal.SIGTERM, signal.SIGINT, signal.SIGHUP)):
        korvane = run.korvane("LTC")
        main = korvane.start()
        main.move(40 + 60 * number, 50)
        stored_before = stored_main_left(korvane)
        num_lock = run.lock_keys()["num"]
        main.button("START KITT").click()
        wait_until(lambda: run.lock_keys()["num"] != num_lock, WAIT_SECONDS, "the heartbeat's first press")
        pressed = time.monotonic()
        korvane.program.process.send_signal(ending)
        wait_until(lambda: korvane.program.process.poll() is not None, WAIT_SECONDS,
                   f"{ending.name} to end the program")
        assert time.monotonic() - pressed < 0.75, f"{ending.name} came after the second press"
        assert korvane.program.process.returncode == 0, \
            f"{ending.name} ended the program with {korvane.program.process.returncode}"
        assert run.lock_keys()["num"] == num_lock, f"{ending.name} left Num Lock toggled"
        stored = stored_main_left(korvane)
        assert stored is not None and stored != stored_before, \
            f"{ending.name}: the window position was not stored ({stored_before} before, {stored} after)"
    print("heartbeat: SIGTERM, SIGINT and SIGHUP between the presses end the program, Num Lock as it was")


HELPERS = Path(__file__).resolve().parent.parent / "helpers"
KEEP_AWAKE_HOLD = "Inhibit QL-KORVANE|a node is running -> "
DAEMON_END_NOTICE = "Notify QL-KORVANE|ql-korvane|"


class DesktopServices:
    """The stand-in for the desktop's keep-awake and notification services on the session bus:
    every call it answers is one line of its log, in order."""

    def __init__(self, desktop):
        self.log = desktop.root / "desktop-services.log"
        desktop.start(["/usr/bin/python3", str(HELPERS / "desktop_bus_standin.py")], log="desktop-services")
        wait_until(lambda: self._lines()[:1] == ["ready"], WAIT_SECONDS, "the desktop services' stand-in")
        self.seen = 0

    def _lines(self):
        return self.log.read_text().splitlines() if self.log.exists() else []

    def calls(self):
        return self._lines()[1:]

    def next_calls(self, count, what):
        """Waits for `count` calls after those seen so far, and returns the calls since then."""
        wait_until(lambda: len(self.calls()) >= self.seen + count, WAIT_SECONDS, what)
        found = self.calls()[self.seen:]
        self.seen += len(found)
        return found

    def next_hold(self, what):
        """The cookie of the one keep-awake hold asked for next."""
        calls = self.next_calls(1, f"a keep-awake hold when {what}")
        assert len(calls) == 1 and calls[0].startswith(KEEP_AWAKE_HOLD), f"{what}, the desktop was asked {calls}"
        return int(calls[0].removeprefix(KEEP_AWAKE_HOLD))


def clock_times(since, until):
    """Every "HH:MM:SS" of the local clock from `since` to `until` (seconds of time.time())."""
    return {time.strftime("%H:%M:%S", time.localtime(second)) for second in range(int(since), int(until) + 1)}


@scenario
def daemon_life_on_the_desktop(run):
    """The desktop's services see the computer kept awake while the daemon runs, each hold given
    back with its own cookie, a notice only when the daemon ends unexpectedly, and one at Exit while it still runs."""
    services = DesktopServices(run.desktop)
    stand_ins = run.stand_ins()
    korvane = run.korvane("LTC", env=stand_ins.env)
    korvane.start()
    profile = node_with_stand_ins(run, stand_ins)
    korvane.save_node_profile(profile)

    def daemon_started(what):
        """START DAEMON: the daemon's process id and the cookie of the hold its start brings."""
        (stand_ins.records / f"{profile.daemon_name}.args").unlink(missing_ok=True)  # a fresh record
        daemon, _ = start_daemon(korvane, stand_ins, profile)
        return daemon, services.next_hold(what)

    def daemon_ended(daemon):
        stand_ins.wait_gone(daemon, profile.daemon_name)
        korvane.wait_light("DAEMON", RED, f"{profile.daemon_name} - DAEMON PROCESS STOPPED")

    daemon, cookie = daemon_started("the daemon started")
    korvane.main.press('CLI "STOP"')
    daemon_ended(daemon)
    calls = services.next_calls(1, "the hold to be given back after CLI \"STOP\"")
    assert calls == [f"UnInhibit {cookie}"], f"after CLI \"STOP\" the desktop was asked {calls}"

    daemon, cookie = daemon_started("the daemon started again")
    killed = time.time()
    os.kill(daemon, signal.SIGKILL)
    daemon_ended(daemon)
    calls = sorted(services.next_calls(2, "a notice and the hold given back after the daemon was killed"))
    clock = clock_times(killed, time.time())
    notice = calls[0].removeprefix(f"{DAEMON_END_NOTICE}LTC: ended unexpectedly|")
    at = notice.removeprefix("The daemon ended unexpectedly at ").removesuffix("; its log does not show a clean stop")
    assert at in clock and calls[1:] == [f"UnInhibit {cookie}"], \
        f"after the daemon was killed (clock {sorted(clock)}) the desktop was asked {calls}"
    korvane.main.label(notice)  # the status line says it too
    korvane.main.screenshot("daemon ended by itself")

    _, cookie = daemon_started("the daemon started a third time")
    korvane.exit()
    calls = sorted(services.next_calls(2, "the hold given back at Exit, and a notice that the node still runs"))
    assert calls[0].startswith(f"{DAEMON_END_NOTICE}LTC: the node still runs|") and calls[1:] == [f"UnInhibit {cookie}"], \
        f"at Exit, while the daemon ran, the desktop was asked {calls}"
    print(f"desktop services: {services.calls()}")


def session_buses_marked(mark):
    """The process ids of dbus-launch and dbus-daemon processes whose environment holds `mark`:
    the ones started for a program that was given it."""
    found = []
    for entry in Path("/proc").iterdir():
        try:
            if (entry / "comm").read_text().strip() in ("dbus-launch", "dbus-daemon") \
                    and mark.encode() in (entry / "environ").read_bytes().split(b"\0"):
                found.append(int(entry.name))
        except (OSError, ValueError):
            continue
    return found


@scenario
def no_session_bus(run):
    """Without a session bus (the variable unset and no $XDG_RUNTIME_DIR/bus), the program starts
    none (libdbus would start dbus-launch and a dbus-daemon that outlive it), runs without one and
    ends, by the signal that ends it as Exit does, leaving nothing of it running."""
    if not shutil.which("dbus-launch"):
        raise Skipped("dbus-launch is not installed, so no bus could be started for the program")
    mark = f"KORVANE_E2E_MARK={os.getpid()}"  # inherited by any dbus process started for it
    copy = run.desktop.copy_program(run.program, "LTC", folder="copies")
    process = run.desktop.start([str(copy)], log="LTC", env={
        "DBUS_SESSION_BUS_ADDRESS": None, "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1",
        "KORVANE_E2E_MARK": str(os.getpid())})
    try:
        wait_until(lambda: run.desktop.window_shown("KORVANE - LTC", process.pid), WAIT_SECONDS, "the main window")
        run.desktop.screenshot(None, "without a session bus")
        process.send_signal(signal.SIGTERM)
        wait_until(lambda: process.poll() is not None, WAIT_SECONDS, "the program to end")
        assert process.returncode == 0, f"the program ended with {process.returncode}"
        started = session_buses_marked(mark)
        assert not started, f"the program left session bus processes running: {started}"
    finally:
        for pid in session_buses_marked(mark):
            os.kill(pid, signal.SIGKILL)
    print("no session bus: none started, and none left after the program ended")


TRAY_BOX = (1160, 0, 120, 32)  # where trayer stands, at the top right of the 1280 x 800 screen
TRAY_PANEL = '("panel" "trayer")'  # the class of trayer's panel, as xwininfo shows it


def window_tree(desktop):
    return subprocess.run(["xwininfo", "-root", "-tree"], env=desktop.env, check=True, stdout=subprocess.PIPE,
                          text=True).stdout.splitlines()


def tray_icon_of(desktop, name):
    """The X window id of the icon of program `name` that trayer has embedded and shows, or None."""
    tree = window_tree(desktop)
    panel = next((i for i, line in enumerate(tree) if TRAY_PANEL in line), None)
    if panel is None:
        return None
    depth = len(tree[panel]) - len(tree[panel].lstrip())
    for line in tree[panel + 1:]:
        if line.strip() and len(line) - len(line.lstrip()) <= depth:
            break
        if f'"{name}": ("{name}" "{name}")' in line:
            window = line.split()[0]
            state = subprocess.run(["xwininfo", "-id", window], env=desktop.env, check=True,
                                   stdout=subprocess.PIPE, text=True).stdout
            return window if "IsViewable" in state else None
    return None


def start_tray_host(desktop):
    """Starts trayer and waits for its panel; skips the scenario where it cannot run."""
    if not shutil.which("trayer"):
        raise Skipped("trayer (Debian's XEmbed tray host) is not installed")
    trayer = desktop.start(["trayer", "--edge", "top", "--align", "right", "--widthtype", "pixel", "--width",
                            str(TRAY_BOX[2]), "--height", str(TRAY_BOX[3]), "--transparent", "false"])
    try:
        wait_until(lambda: trayer.poll() is not None or any(TRAY_PANEL in line for line in window_tree(desktop)),
                   WAIT_SECONDS, "trayer's panel")
    except AssertionError:
        raise Skipped("trayer did not show its panel on this X server")
    if trayer.poll() is not None:
        raise Skipped(f"trayer could not start here (it ended with {trayer.returncode})")


@scenario
def tray_icon(run):
    """Without a tray the close-to-tray choice is greyed and says why; under a real tray host
    (trayer, an XEmbed tray) the program's icon appears there, with its red dot while the node is
    stopped, and the choice can be made."""
    korvane = run.korvane("LTC")
    korvane.start()
    settings = korvane.open_settings()
    close_to_tray = settings.tick_box("Close to the tray")
    assert not close_to_tray.enabled, "close to the tray is not greyed without a tray"
    assert close_to_tray.tool_tip.startswith("No system tray on this desktop"), close_to_tray.tool_tip
    settings.screenshot("no tray")
    korvane.close_with_ok(settings)
    korvane.exit()

    start_tray_host(run.desktop)
    korvane.start()
    wait_until(lambda: tray_icon_of(run.desktop, korvane.name), WAIT_SECONDS, "the program's icon in the tray")
    shot = run.desktop.screenshot(TRAY_BOX, "tray icon, node stopped")
    from PIL import Image
    stopped_dots = sum(1 for pixel in Image.open(shot).getdata() if pixel == (255, 0, 0))
    assert stopped_dots >= 4, f"no red dot on the tray icon ({stopped_dots} red pixels)"
    settings = korvane.open_settings()
    assert settings.tick_box("Close to the tray").enabled, "close to the tray is greyed under a tray"
    korvane.close_with_ok(settings)
    korvane.exit()
    print("tray: greyed without a tray host; under trayer the icon shows and the choice can be made")


LITECOIND = Path("/usr/lib/litecoin/litecoind")
LITECOIN_CLI = Path("/usr/bin/litecoin-cli")
# Regtest activates MWEB at height 432, after which blocks cannot be made without a wallet.
MWEB_LATER = "-vbparams=mweb:4102444800:4102444900"
SYNC_SECONDS = 120


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


class PeerNode:
    """A regtest litecoind started outside the program, listening for one peer on this machine."""

    def __init__(self, desktop):
        self.folder = desktop.folder("peer node")
        self.rpc_port, self.p2p_port = free_port(), free_port()
        self.process = desktop.start([str(LITECOIND), "-regtest", f"-datadir={self.folder}", MWEB_LATER,
                                      "-listen=1", "-bind=127.0.0.1", f"-port={self.p2p_port}",
                                      f"-rpcport={self.rpc_port}", "-printtoconsole=0"], log="peer-node")
        wait_until(lambda: self.cli("getblockcount", check=False).returncode == 0, 60, "the peer node to answer")

    def cli(self, *arguments, check=True):
        return subprocess.run([str(LITECOIN_CLI), "-regtest", f"-datadir={self.folder}", f"-rpcport={self.rpc_port}",
                               *arguments], capture_output=True, text=True, check=check, timeout=120)

    def mine(self, blocks):
        for _ in range(blocks // 500):
            self.cli("generatetodescriptor", "500", "raw(51)")
        return int(self.cli("getblockcount").stdout)

    def stop(self):
        self.cli("stop", check=False)
        try:
            self.process.wait(60)
        except subprocess.TimeoutExpired:
            self.process.kill()


def node_status(korvane):
    """The node status panel's texts as a screen reader reads them: the first line, then the others."""
    return [label.name for label in korvane.main.group("Node status").controls("label")]


def daemon_pids(name):
    """The processes started as the program file `name`."""
    pids = []
    for entry in Path("/proc").iterdir():
        try:
            first = (entry / "cmdline").read_bytes().split(b"\0")[0]
        except (OSError, ValueError):
            continue
        if entry.name.isdigit() and Path(first.decode(errors="replace")).name == name:
            pids.append(int(entry.name))
    return pids


def wait_headline(korvane, start, what, seconds=WAIT_SECONDS):
    return wait_until(lambda: next((line for line in node_status(korvane)[:1] if line.startswith(start)), None),
                      seconds, what)


def our_node(run, peer):
    """Our node: litecoind and its client under names of this run's own, and a copy of the program
    whose profile starts them with a conf of regtest on ports of its own, the peer its only peer.
    Starts the copy; returns it, the daemon's file name and the node's data folder."""
    programs = run.desktop.folder("node programs")
    daemon, client = f"litecoind-e2e-{os.getpid()}", f"litecoin-cli-e2e-{os.getpid()}"
    (programs / daemon).symlink_to(LITECOIND)
    (programs / client).symlink_to(LITECOIN_CLI)
    home = run.desktop.folder("our node")
    korvane = run.korvane("LTC")
    korvane.conf_location.write_text(f"datadir={home}\nregtest=1\nprinttoconsole=0\n[regtest]\n"
                                     f"rpcport={free_port()}\nconnect=127.0.0.1:{peer.p2p_port}\nlisten=0\n"
                                     f"vbparams={MWEB_LATER.removeprefix('-vbparams=')}\n")
    korvane.start()
    korvane.save_node_profile(NodeProfile(coin="LTC", blockchain_home=str(home), daemon_cli_folder=str(programs),
                                          cli_name=client, daemon_name=daemon))
    return korvane, daemon, home


@scenario
def node_catches_up(run):
    """Two real regtest nodes: a peer mines 3,000 blocks; ours, started with START DAEMON and
    connected to it alone, catches up and is never shown synced while behind. Then a CLI stop that
    the client refuses is said in its words and stops nothing; a stop typed in a terminal is a clean
    stop, not restarted though restarts are on; a kill is an unexpected end, restarted after its
    pause."""
    if not LITECOIND.exists() or not LITECOIN_CLI.exists():
        raise Skipped("Debian's litecoind is not installed")
    peer = PeerNode(run.desktop)
    try:
        mined = peer.mine(3000)
        korvane, daemon, _ = our_node(run, peer)
        settings = korvane.open_settings()
        settings.tick_box("Restart the daemon if it ends by itself").click()
        korvane.close_with_ok(settings)

        korvane.main.press("START DAEMON")
        seen, shots = [], 0
        started = time.monotonic()
        while time.monotonic() - started < SYNC_SECONDS:
            lines = node_status(korvane)
            seen.append(lines)
            blocks = next((line for line in lines if line.startswith("Blocks: ")), "")
            if lines[0].startswith("synced"):
                shown, headers = blocks.removeprefix("Blocks: ").replace(",", "").split(" / ")
                assert shown == headers, f"shown synced while behind: {lines}"
                break
            if " blocks behind" in lines[0]:
                assert blocks.endswith(" left)"), f"no blocks left shown while behind: {lines}"
                assert any(line.startswith("Time left: ") for line in lines), f"no time left line: {lines}"
            if lines[0].startswith("catching up: ") and " blocks behind" in lines[0] and shots == 0:
                korvane.main.screenshot("catching up")
                shots += 1
            time.sleep(0.1)
        else:
            raise AssertionError(f"not synced within {SYNC_SECONDS} s; last seen {seen[-1]}")
        assert any(" blocks behind" in lines[0] for lines in seen), f"never seen behind: {seen[:5]}"
        assert f"Blocks: {mined:,} / {mined:,}" in seen[-1], seen[-1]
        korvane.main.screenshot("synced")

        # The client refuses "-daemon=1": the stop fails in its own words, and the node goes on.
        crypto = korvane.open(korvane.open_settings(), "CRYPTO SETTINGS", CRYPTO_SETTINGS)
        crypto.group("CLI").tick_box("Daemon").click()
        crypto.press("Save")
        korvane.close_with_escape(crypto)
        settings = korvane.program.window(MAIN_SETTINGS)
        korvane.close_with_ok(settings)
        korvane.main.press('CLI "STOP"')
        wait_until(lambda: any(line.startswith("the stop failed: ") and "Invalid parameter -daemon=1" in line
                               for line in node_status(korvane)), WAIT_SECONDS, "the failed stop to be said")
        assert node_status(korvane)[0].startswith("synced"), node_status(korvane)
        korvane.main.button("stop through RPC")  # offered instead
        korvane.main.screenshot("failed stop")

        # Stopped from a terminal: a clean stop, whoever asked, and no restart.
        subprocess.run([str(LITECOIN_CLI), f"-conf={korvane.conf_location}", "stop"], check=True, timeout=60)
        wait_headline(korvane, "stopped cleanly at ", "a clean stop from a terminal", 60)
        time.sleep(3)
        assert not daemon_pids(daemon), "the node was started again after a clean stop"
        assert "restarting" not in korvane.main.find("label", lambda name: name.startswith("The daemon")).name

        # Killed: an unexpected end, restarted after a minute.
        korvane.main.press("START DAEMON")
        wait_headline(korvane, "synced", "the node to be synced again", 60)
        for pid in daemon_pids(daemon):
            os.kill(pid, signal.SIGKILL)
        ended = wait_headline(korvane, "ended unexpectedly at ", "the kill to be seen", 30)
        assert ended.endswith(": its log does not show a clean stop"), ended
        korvane.main.label(lambda name: name.startswith("The daemon ended unexpectedly at ")
                           and name.endswith("; restarting it in 1 minute"))
        korvane.main.screenshot("ended unexpectedly")
        wait_until(lambda: daemon_pids(daemon), 90, "the node to be restarted")
        wait_headline(korvane, "synced", "the restarted node to be synced", 60)
        # Its log tells the restarted node's run that the one before it did not end cleanly.
        wait_until(lambda: any(line.startswith("the last stop (at ") and line.endswith(") was not clean")
                               for line in node_status(korvane)), WAIT_SECONDS, "the unclean stop to be said")
        korvane.main.screenshot("last stop not clean")
        for pid in daemon_pids(daemon):
            os.kill(pid, signal.SIGTERM)
        wait_headline(korvane, "stopped cleanly at ", "the last stop", 60)
        korvane.exit()
        print(f"node: caught up {mined} blocks from the peer, never shown synced while behind "
              f"({len(seen)} readings); failed stop, terminal stop, kill and restart seen")
    finally:
        peer.stop()


NODE_DETAILS = "KORVANE - NODE DETAILS"


def table_rows(table):
    """The rows of a table as a screen reader reads them: {column header: cell text}."""
    cells = table.accessible.queryTable()
    headers = [cells.getColumnDescription(column) for column in range(cells.nColumns)]
    return [{headers[column]: cells.getAccessibleAt(row, column).name for column in range(cells.nColumns)}
            for row in range(cells.nRows)]


def figure(window, caption):
    """The figure shown right of `caption` on a page of figures."""
    label = window.label(caption)
    x, y, width, height = label.extents
    right = [other for other in window.controls("label")
             if other.extents[0] >= x + width and y <= other.extents[1] + other.extents[3] // 2 < y + height]
    assert len(right) == 1, f"{len(right)} labels right of {caption!r}"
    return right[0].name


def show_page(details, caption):
    """Clicks the tab of the page `caption`; what the page shows is waited for by the caller."""
    details.find("page tab", caption).click()


def logged_at(line):
    """When the node wrote a line of its log ("2026-12-09T19:24:10Z ..."), in seconds since 1970."""
    try:
        return datetime.strptime(line[:20], "%Y-%m-%dT%H:%M:%SZ").replace(tzinfo=timezone.utc).timestamp()
    except ValueError:
        return None


@scenario
def node_details(run):
    """Two real regtest nodes: ours, started with START DAEMON, catches up with a peer that mined
    blocks. NODE DETAILS lists the peer at its address with a ping, disconnects it once asked and
    confirmed, shows the traffic, the mempool and the node's facts, and its log page shows the line
    the node writes when the peer mines one more block."""
    if not LITECOIND.exists() or not LITECOIN_CLI.exists():
        raise Skipped("Debian's litecoind is not installed")
    peer = PeerNode(run.desktop)
    daemon = None
    try:
        mined = peer.mine(500)
        korvane, daemon, home = our_node(run, peer)
        korvane.main.press("START DAEMON")
        wait_headline(korvane, "synced", "our node to catch up", SYNC_SECONDS)
        details = korvane.open(korvane.main, "NODE DETAILS", NODE_DETAILS)

        address = f"127.0.0.1:{peer.p2p_port}"
        table = details.find("table", "Peers")

        def peer_row():
            return next((row for row in table_rows(table) if row["Address"] == address and row["Ping (ms)"] != "?"),
                        None)
        row = wait_until(peer_row, 30, f"the peer {address} listed with a ping")
        assert row["In/out"] == "out" and float(row["Ping (ms)"]) >= 0, row
        assert row["Synced blocks"] == f"{mined:,}", row
        details.screenshot("peers")
        Scope(table.accessible, details).find("table cell", address).click()
        details.press("Disconnect")
        ask = korvane.program.window("KORVANE - DISCONNECT PEER")
        ask.label(lambda text: text.startswith(f"Disconnect the peer {address} ("))
        ask.press("Disconnect")
        korvane.main.label(f"Peer {address} disconnected")

        show_page(details, "Traffic")
        wait_until(lambda: not details.label(lambda text: text.startswith("Received since the node started: "))
                   .name.endswith("?"), WAIT_SECONDS, "the bytes received")
        graph = next(control for control in details.controls() if control.name.startswith("Received and sent over"))
        wait_until(lambda: graph.tool_tip.startswith("Now: received "), WAIT_SECONDS, "the graph's rates")
        details.screenshot("traffic")

        show_page(details, "Mempool")
        wait_until(lambda: figure(details, "Transactions:") == "0", WAIT_SECONDS, "the mempool's figures")
        details.screenshot("mempool")

        show_page(details, "Node")
        facts = {"Chain:": "regtest", "Data folder:": str(home / "regtest"),
                 "Log file:": str(home / "regtest" / "debug.log")}
        wait_until(lambda: all(figure(details, caption) == value for caption, value in facts.items())
                   and not figure(details, "Size on disk:").startswith("?"), WAIT_SECONDS, f"the node's facts {facts}")
        assert "LitecoinCore" in figure(details, "Version:"), figure(details, "Version:")
        details.screenshot("node")

        show_page(details, "Log")
        log = details.field("Node log")
        wait_until(lambda: log.text, WAIT_SECONDS, "the log's lines")
        mined_at = time.time()
        peer.cli("generatetodescriptor", "1", "raw(51)")
        new_tip = f"height={mined + 1} "

        def fresh_line():
            return next((line for line in log.text.splitlines()
                         if new_tip in line and mined_at - 2 <= (logged_at(line) or 0) <= time.time() + 1), None)
        line = wait_until(fresh_line, 30, f"a line of the new tip ({new_tip}) written in the last seconds")
        details.screenshot("log")
        details.press("Close")
        korvane.program.wait_closed(details)

        korvane.main.press('CLI "STOP"')
        wait_headline(korvane, "stopped cleanly at ", "our node to stop", 60)
        korvane.exit()
        print(f"node details: the peer {address} listed with a ping of {row['Ping (ms)']} ms and disconnected; "
              f"the log showed {line!r}")
    finally:
        for pid in daemon_pids(daemon) if daemon else []:
            os.kill(pid, signal.SIGKILL)
        peer.stop()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    parser.add_argument("--program", required=True, type=Path, help="the built QL-KORVANE-V1")
    parser.add_argument("--standin", type=Path, help="the built stand-in node program")
    parser.add_argument("--lock-keys", type=Path, help="the built lock-key reader")
    parser.add_argument("--artifacts", required=True, type=Path, help="folder for the screenshots")
    options = parser.parse_args()

    def scenario_on(desktop):
        accessibility.connect()
        SCENARIOS[options.scenario](Run(desktop, options.program, options.standin, options.lock_keys))
    return play(options.scenario, options.artifacts, scenario_on)


if __name__ == "__main__":
    sys.exit(main())
