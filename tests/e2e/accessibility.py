"""What a screen reader has of a program: its windows and controls on the desktop accessibility
bus, found by title, role and accessible name; their states, texts, tool tips and extents; the
actions a screen reader offers. Mouse clicks and typing go through the desktop's real input.

Nothing is cached here or in the accessibility library: every read asks the program, so a wait
sees each change as it happens.
"""

import difflib
from collections import Counter

import pyatspi
from gi.repository import Atspi, GLib

import desktop
from desktop import wait_until

WAIT_SECONDS = 10

# States whose change a user can see; focus and hover differ between a click and an action by
# nature and are left out of comparisons.
VISIBLE_STATES = {
    pyatspi.STATE_CHECKED: "checked",
    pyatspi.STATE_SENSITIVE: "enabled",
    pyatspi.STATE_EDITABLE: "editable",
    pyatspi.STATE_READ_ONLY: "read only",
    pyatspi.STATE_SHOWING: "showing",
}


def connect():
    """Starts using the accessibility bus of the desktop now in the environment, with nothing
    cached. A control that goes away while it is read (its window closing) only makes a wait
    try again."""
    pyatspi.Registry.getDesktop(0).set_cache_mask(Atspi.Cache.NONE)
    desktop.add_event_pump(lambda: GLib.MainContext.default().iteration(False))
    desktop.TRANSIENT_ERRORS = (GLib.Error,)


def _children(accessible):
    try:
        count = accessible.childCount
    except GLib.Error:
        return []
    return [child for child in (accessible.getChildAtIndex(i) for i in range(count)) if child is not None]


def _descendants(accessible):
    for child in _children(accessible):
        yield child
        yield from _descendants(child)


def _role(accessible):
    return accessible.getRoleName()


def _states(accessible):
    """The accessible's states, read in one call (each test of a state set asks again)."""
    return set(accessible.getState().getStates())


class Control:
    """One control of a window, as the accessibility bus shows it."""

    def __init__(self, accessible, window):
        self.accessible = accessible
        self.window = window

    def __repr__(self):
        return f"<{self.role} {self.name!r} in {self.window.title!r}>"

    @property
    def name(self):
        return self.accessible.name

    @property
    def role(self):
        return _role(self.accessible)

    @property
    def tool_tip(self):
        return self.accessible.description

    def has_state(self, state):
        return state in _states(self.accessible)

    @property
    def enabled(self):
        return self.has_state(pyatspi.STATE_SENSITIVE)

    @property
    def checked(self):
        return self.has_state(pyatspi.STATE_CHECKED)

    @property
    def text(self):
        text = self.accessible.queryText()
        return text.getText(0, text.characterCount)

    @property
    def extents(self):
        """(x, y, width, height) on the screen."""
        box = self.accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    def do_action(self, wanted):
        """Runs the action a screen reader lists as `wanted` ("Toggle", "Press")."""
        action = self.accessible.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if wanted not in names:
            raise AssertionError(f"{self!r} offers no {wanted!r} action, only {names}")
        action.doAction(names.index(wanted))

    def toggle(self):
        """A screen reader's "Toggle" on a tick box."""
        self.do_action("Toggle")

    def click(self, count=1):
        """A real mouse click in the middle of the control, its window brought to the front."""
        x, y, width, height = self.extents
        self.window.desktop.click(x + width // 2, y + height // 2, count, window=self.window.x_window())

    def type_over(self, text):
        """Clicks into a text field, selects what it holds and types `text` over it."""
        self.click()
        wait_until(lambda: self.has_state(pyatspi.STATE_FOCUSED), WAIT_SECONDS, f"{self!r} to take the focus")
        self.window.desktop.key("ctrl+a")
        self.window.desktop.type(text)
        wait_until(lambda: self.text == text, WAIT_SECONDS, f"{self!r} to read {text!r}")

    def pixels(self):
        """How many pixels of each colour (red, green, blue) the control shows on the screen."""
        return Counter(self.window.desktop.grab(self.extents).getdata())

    def colour(self):
        """The control's background colour on the screen (red, green, blue): the commonest colour
        of the four points just inside its corners, where no text or frame is drawn."""
        x, y, width, height = self.extents
        image = self.window.desktop.grab((x, y, width, height))
        inset = 4
        corners = [(inset, inset), (width - 1 - inset, inset), (inset, height - 1 - inset),
                   (width - 1 - inset, height - 1 - inset)]
        return Counter(image.getpixel(point) for point in corners).most_common(1)[0][0]


class Scope:
    """Part of a window where controls are looked up: the whole window, or a group in it."""

    def __init__(self, accessible, window):
        self.accessible = accessible
        self.window = window

    def controls(self, role=None):
        """Every control shown here (hidden ones are left out), optionally of one role."""
        return [Control(child, self.window) for child in _descendants(self.accessible)
                if (role is None or _role(child) == role) and pyatspi.STATE_SHOWING in _states(child)]

    def find(self, role, name):
        """The one shown control of `role` whose accessible name is `name` (or for which `name`,
        a function, is true); waits for it."""
        matches = name if callable(name) else (lambda candidate: candidate == name)

        def matching():
            found = [control for control in self.controls(role) if matches(control.name)]
            if len(found) > 1:
                raise AssertionError(f"{self!r} has {len(found)} {role}s named {found[0].name!r}")
            return found[0] if found else None
        try:
            return wait_until(matching, WAIT_SECONDS, f"a {role} named {name!r} in {self!r}")
        except AssertionError as failure:
            shown = sorted(control.name for control in self.controls(role))
            raise AssertionError(f"{failure}; the {role} controls there are named {shown}") from None

    def button(self, caption):
        """The push button showing `caption`: found by its accessible name, so a screen reader
        must read what the screen shows."""
        return self.find("push button", caption)

    def tick_box(self, caption):
        """The tick box showing `caption`, found by its accessible name like a button."""
        return self.find("check box", caption)

    def field(self, name):
        return self.find("text", name)

    def label(self, text):
        return self.find("label", text)

    def text_box(self, text):
        """The one shown text box holding `text`, for a box that no label names; waits for it."""
        def holding():
            found = [box for box in self.controls("text") if box.text == text]
            if len(found) > 1:
                raise AssertionError(f"{self!r} has {len(found)} text boxes holding {text!r}")
            return found[0] if found else None
        return wait_until(holding, WAIT_SECONDS, f"a text box holding {text!r} in {self!r}")

    def group(self, title):
        """The group of controls under the frame titled `title`."""
        return Scope(self.find("panel", title).accessible, self.window)

    def beside(self, control, role):
        """The one control of `role` on the same row as `control`, as the eye pairs them."""
        _, y, _, height = control.extents
        row = [other for other in self.controls(role)
               if y <= other.extents[1] + other.extents[3] // 2 < y + height]
        if len(row) != 1:
            raise AssertionError(f"{len(row)} {role}s beside {control!r}: {row}")
        return row[0]

    def press(self, caption):
        """Clicks the button showing `caption` with the mouse."""
        self.button(caption).click()

    def __repr__(self):
        return f"<{_role(self.accessible)} {self.accessible.name!r} in {self.window!r}>"


class Window(Scope):
    """A top-level window of one program, found by its title."""

    def __init__(self, accessible, program):
        super().__init__(accessible, self)
        self.program = program
        self.desktop = program.desktop
        self.title = accessible.name

    def __repr__(self):
        return f"<window {self.title!r}>"

    @property
    def open(self):
        return any(window.title == self.title for window in self.program.windows())

    def x_window(self):
        """How the X server knows the window: its title and its program's process id."""
        return self.title, self.program.pid

    def bring_to_front(self):
        self.desktop.raise_window(*self.x_window())

    def extents(self):
        box = self.accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return box.x, box.y, box.width, box.height

    def move(self, x, y):
        """Moves the window's top left corner to (x, y), as a user dragging it would, and waits
        until the program has it there."""
        self.desktop.move_window(*self.x_window(), x, y)
        wait_until(lambda: self.extents()[:2] == (x, y), WAIT_SECONDS, f"{self!r} to move to {(x, y)}")

    def screenshot(self, label):
        self.bring_to_front()
        return self.desktop.screenshot(self.extents(), f"{self.title}-{label}")

    def snapshot(self):
        """What a screen reader can tell of the window: every shown control's role, name, tool
        tip, visible states and text."""
        lines = []
        for accessible in _descendants(self.accessible):
            states = _states(accessible)
            if pyatspi.STATE_SHOWING not in states:
                continue
            role = _role(accessible)
            shown = [text for state, text in VISIBLE_STATES.items() if state in states]
            text = Control(accessible, self).text if role == "text" else ""
            lines.append(f"{role} {accessible.name!r} tip={accessible.description!r} {shown} {text!r}")
        return lines


class Program:
    """A running program on the accessibility bus, known by its process id."""

    def __init__(self, desktop, process):
        self.desktop = desktop
        self.process = process
        self.pid = process.pid

    @property
    def running(self):
        return self.process.poll() is None

    def _application(self):
        registry = pyatspi.Registry.getDesktop(0)
        for application in _children(registry):
            try:
                if application.get_process_id() == self.pid:
                    return application
            except GLib.Error:
                continue
        return None

    def windows(self):
        application = self._application()
        return [Window(child, self) for child in _children(application)] if application else []

    def window(self, title):
        """The program's top-level window titled `title` (or whose title `title`, a function, is
        true for); waits for it to open."""
        matches = title if callable(title) else (lambda candidate: candidate == title)

        def titled():
            if not self.running:
                raise AssertionError(f"the program ended with status {self.process.returncode}")
            return next((window for window in self.windows() if matches(window.title)), None)
        return wait_until(titled, WAIT_SECONDS, f"a window titled {title!r}")

    def wait_closed(self, window):
        wait_until(lambda: not window.open, WAIT_SECONDS, f"{window!r} to close")

    def snapshot(self):
        return [f"{window.title}: {line}" for window in self.windows() for line in window.snapshot()]

    def snapshot_once(self, tick_box, checked):
        """The program's snapshot once `tick_box` shows `checked`. The program answers the bus
        between events, so by then everything that the change did at once is done."""
        wait_until(lambda: tick_box.checked == checked, WAIT_SECONDS,
                   f"{tick_box!r} to be {'ticked' if checked else 'clear'}")
        return self.snapshot()


def difference(expected, seen):
    """The lines in which `seen` differs from `expected`: - expected, + seen."""
    return "\n".join(line.rstrip() for line in difflib.ndiff(expected, seen) if line[0] in "+-")


def assert_toggle_acts_like_click(tick_box, effect=None):
    """A screen reader's "Toggle" on `tick_box` changes the program's windows exactly as a mouse
    click does: click it, click it back, then toggle it and compare what every window shows.
    Where a click's effect comes later (on a timer) and a second click does not undo all of it,
    `effect` tells whether the effect shows: it must after the click, must not after the click
    back, and must after the toggle. Leaves the tick box toggled."""
    program = tick_box.window.program
    if effect:
        for act, shows in ((tick_box.click, True), (tick_box.click, False), (tick_box.toggle, True)):
            act()
            wait_until(lambda: effect() == shows, WAIT_SECONDS,
                       f"{act.__name__} on {tick_box!r} to {'show' if shows else 'undo'} its effect")
        return
    # A first round trip brings the windows to the look that a click and its undoing go between
    # (some controls take their look only at the first click).
    ticked = tick_box.checked
    for checked in (not ticked, ticked):
        tick_box.click()
        base = program.snapshot_once(tick_box, checked)
    tick_box.click()
    clicked = program.snapshot_once(tick_box, not ticked)
    tick_box.click()
    if program.snapshot_once(tick_box, ticked) != base:
        raise AssertionError(f"a second click on {tick_box!r} does not undo the first")
    tick_box.toggle()
    if program.snapshot_once(tick_box, not ticked) != clicked:
        raise AssertionError(f"Toggle on {tick_box!r} does not act like a mouse click; after a click (-) and "
                             f"after Toggle (+):\n{difference(clicked, program.snapshot())}")
