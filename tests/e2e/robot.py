"""Works a program through its accessibility tree, as a screen reader user or
a test robot does: controls are found by role and by the name a screen reader
announces, pressed through their actions, filled through their editable text,
list rows chosen through their actions. Every wait polls against a deadline.

Import this module only once the environment names the desktop's display and
session bus: the accessibility library connects on import."""

import re
import time

import pyatspi

POLL = 0.1


class RobotError(AssertionError):
    pass


def plain(name):
    """A name as a user reads it: without mnemonic marks, blanks collapsed."""
    return re.sub(r"\s+", " ", (name or "").replace("&&", "\0").replace("&", "").replace("\0", "&")).strip()


def wait_for(condition, timeout, what):
    """Polls `condition` until it gives a true value, which is returned;
    RobotError naming `what` when `timeout` seconds pass first."""
    deadline = time.monotonic() + timeout
    last_error = None
    while True:
        try:
            value = condition()
            if value:
                return value
        except AssertionError:
            raise
        except Exception as error:  # the tree changes under us, the program is busy: ask again
            last_error = error
        if time.monotonic() > deadline:
            detail = f" (last error: {last_error})" if last_error else ""
            raise RobotError(f"timed out after {timeout:g} s waiting for {what}{detail}")
        time.sleep(POLL)


def role(acc):
    return acc.getRoleName()


def showing(acc):
    try:
        return acc.getState().contains(pyatspi.STATE_SHOWING)
    except Exception:
        return False


def enabled(acc):
    return acc.getState().contains(pyatspi.STATE_ENABLED)


def checked(acc):
    return acc.getState().contains(pyatspi.STATE_CHECKED)


def children(acc):
    for i in range(acc.childCount):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield child


def walk(acc):
    """`acc` and everything below it, depth first in the order of the tree."""
    yield acc
    for child in children(acc):
        yield from walk(child)


def find_all(root, role_name=None, name=None, visible=True):
    """Every control below `root` of that role (e.g. "push button") whose
    plain name is `name` (or matches it, when it is a compiled pattern)."""
    found = []
    for acc in walk(root):
        if role_name is not None and role(acc) != role_name:
            continue
        if name is not None:
            text = plain(acc.name)
            if hasattr(name, "search") and not name.search(text):
                continue
            if not hasattr(name, "search") and text != plain(name):
                continue
        if visible and not showing(acc):
            continue
        found.append(acc)
    return found


def find(root, role_name=None, name=None, visible=True, timeout=10):
    """The one control that fits, waited for."""
    def one():
        hits = find_all(root, role_name, name, visible)
        if len(hits) > 1:
            raise RobotError(f"{len(hits)} controls [{role_name}] {name!r}")
        return hits[0] if hits else None
    return wait_for(one, timeout, f"[{role_name}] {name!r}")


def press(acc):
    """Presses a button through its default action, as a screen reader's
    "activate" does."""
    action = acc.queryAction()
    names = [action.getName(i).lower() for i in range(action.nActions)]
    for wanted in ("press", "click", "toggle", "activate"):
        if wanted in names:
            action.doAction(names.index(wanted))
            return
    if not names:
        raise RobotError(f"[{role(acc)}] {acc.name!r} has no action")
    action.doAction(0)


def set_text(acc, text):
    acc.queryEditableText().setTextContents(text)


def text_of(acc):
    t = acc.queryText()
    return t.getText(0, t.characterCount)


def rows(list_acc):
    return [plain(item.name) for item in children(list_acc) if role(item) == "list item"]


def toggle_row(list_acc, index, timeout=10):
    """Chooses row `index` of a list through its accessible action, as a
    screen reader user does, and waits until it is the selected one."""
    item = [c for c in children(list_acc) if role(c) == "list item"][index]
    press(item)
    wait_for(lambda: item.getState().contains(pyatspi.STATE_SELECTED), timeout,
             f"row {index} of the list to be selected")


class App:
    """The accessible application of one running program."""

    def __init__(self, proc, name, timeout=30):
        self.proc = proc
        self.name = name

        def found():
            self.check_running()
            desktop = pyatspi.Registry.getDesktop(0)
            for app in children(desktop):
                try:
                    if app.name == name and app.get_process_id() == proc.pid:
                        return app
                except Exception:
                    continue
            return None
        self.root = wait_for(found, timeout, f"the application {name!r} on the accessibility bus")

    def check_running(self):
        if self.proc.poll() is not None:
            raise RobotError(f"{self.name} ended with code {self.proc.returncode}")

    def windows(self):
        """The top-level windows on screen."""
        return [w for w in children(self.root) if showing(w)]

    def window(self, title, timeout=30):
        """The top-level window (main window, dialog or message box) titled `title`."""
        def one():
            self.check_running()
            for w in self.windows():
                if plain(w.name) == plain(title):
                    return w
            return None
        return wait_for(one, timeout, f"the window {title!r}")

    def gone(self, window, timeout=30, what=None):
        """Waits until `window` is no longer on screen."""
        wait_for(lambda: not showing(window) or window not in self.windows(), timeout,
                 what or f"the window {window.name!r} to close")

    def message_box(self, title, timeout=60):
        """The message box titled `title` and its text."""
        box = self.window(title, timeout)
        labels = [plain(acc.name) for acc in walk(box) if role(acc) == "label" and acc.name]
        return box, "\n".join(labels)

    def answer(self, title, button, timeout=60):
        """Finds the message box titled `title`, presses its `button` and
        returns the box's text."""
        box, text = self.message_box(title, timeout)
        press(find(box, "push button", button))
        return text

    def ended(self, timeout):
        """Waits for the program to end by itself; its exit code."""
        return wait_for(lambda: self.proc.poll() is not None and (self.proc.returncode,), timeout,
                        f"{self.name} to end")[0]


def dump(acc, depth=0, out=None):
    """The tree below `acc` as text, for failure reports."""
    lines = out if out is not None else []
    try:
        lines.append("  " * depth + f"[{role(acc)}] {acc.name!r}" + ("" if showing(acc) else " (hidden)"))
        for child in children(acc):
            dump(child, depth + 1, lines)
    except Exception as error:
        lines.append("  " * depth + f"<gone: {error}>")
    return lines if out is None else None
