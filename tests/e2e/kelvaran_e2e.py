#!/usr/bin/python3
"""End-to-end runs of the real program, driven from outside as a user with a
screen reader (or a test robot) drives it: on a private desktop (Xvfb, a
private D-Bus session, the accessibility bus and a window manager), controls
found by role and visible text through the accessibility tree, message boxes
answered by pressing their buttons. Each scenario runs on its own scratch copy
of the demo machine and checks what the program wrote with Python's own
readers (zipfile, configparser).

    kelvaran_e2e.py --program build/src/kelvaran --source . save|restore|smartsave|keyboard

Needs Debian's python3 with python3-pyatspi (scripts/deps.sh installs it).
Ends 0 when the scenario passed; on a failure it prints the windows on screen
and keeps the scenario's folder (machine, program log, screenshot)."""

import argparse
import configparser
import datetime
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import traceback
import zipfile

sys.dont_write_bytecode = True  # leave the source tree as it is
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from desktop import Desktop  # noqa: E402

r = None  # the robot module, imported once the desktop's buses are known

PROGRAM_FOLDER = "C:\\Program Files\\Kelvaran"


# ---- the message table ---------------------------------------------------------

def read_messages(source):
    """The program's message table: id -> text, as the program shows it."""
    escapes = {"\\": "\\", "t": "\t", "r": "\r", "n": "\n"}
    table = {}
    with open(os.path.join(source, "resources", "messages.txt"), encoding="cp1252") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            number, _, raw = line.partition("\t")
            text, i = [], 0
            while i < len(raw):
                if raw[i] == "\\" and i + 1 < len(raw):
                    text.append(escapes[raw[i + 1]])
                    i += 2
                else:
                    text.append(raw[i])
                    i += 1
            table[int(number)] = "".join(text)
    return table


# ---- the machine ---------------------------------------------------------------

class Machine:
    """A scratch copy of the demo machine, and the host files behind its
    Windows paths (the machine's names are case-insensitive, the host's not)."""

    def __init__(self, root, template):
        self.root = root
        shutil.copytree(template, root, symlinks=True)
        for folder, _, files in os.walk(root):
            if ".gitkeep" in files:  # git keeps no empty folders; the machine does
                os.remove(os.path.join(folder, ".gitkeep"))
        ini = configparser.RawConfigParser()
        ini.read(os.path.join(root, "machine.ini"))
        self.drives = {section.split()[1].upper(): os.path.join(root, ini[section]["Folder"])
                       for section in ini.sections()
                       if section.startswith("Drive ") and ini.has_option(section, "Folder")}

    def host(self, windows_path):
        """The host path of a Windows path; missing components keep their case."""
        drive, _, rest = windows_path.partition(":\\")
        path = self.drives[drive.upper()]
        for part in [p for p in rest.split("\\") if p]:
            try:
                names = {n.upper(): n for n in os.listdir(path)}
            except OSError:
                names = {}
            path = os.path.join(path, names.get(part.upper(), part))
        return path

    def read(self, windows_path):
        with open(self.host(windows_path), "rb") as f:
            return f.read()

    def write(self, windows_path, data):
        with open(self.host(windows_path), "wb") as f:
            f.write(data)

    def exists(self, windows_path):
        return os.path.exists(self.host(windows_path))

    def ini(self, windows_path):
        """An INI file of the machine, keys kept in their case."""
        parser = configparser.RawConfigParser(strict=False)
        parser.optionxform = str
        parser.read_string(self.read(windows_path).decode("cp1252"))
        return parser

    def lines(self, windows_path):
        return self.read(windows_path).decode("cp1252").split("\r\n")


# ---- one scenario's run --------------------------------------------------------

class Session:
    def __init__(self, args, work, desktop):
        self.args = args
        self.work = work
        self.desktop = desktop
        self.msg = read_messages(args.source)
        self.machine = Machine(os.path.join(work, "machine"), os.path.join(args.source, "demo", "machine"))
        self.app = None
        self.starts = 0

    def start(self):
        """Starts the program on the scratch machine; its accessible application."""
        self.starts += 1
        log = open(os.path.join(self.work, f"kelvaran-{self.starts}.log"), "wb")
        proc = self.desktop.spawn("kelvaran", [self.args.program], stdout=log, stderr=subprocess.STDOUT,
                                  env={"KELVARAN_MACHINE": self.machine.root,
                                       "KELVARAN_SOURCE_DIR": self.args.source,
                                       "QT_QPA_PLATFORM": "xcb",
                                       "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
        log.close()
        self.app = r.App(proc, "kelvaran")
        return self.app

    def main_window(self, timeout=30):
        """The main window once it is shown: the program's title and its page tabs."""
        title = r.plain(self.msg[1085])

        def shown():
            self.app.check_running()
            for w in self.app.windows():
                if r.plain(w.name) == title and r.find_all(w, "page tab", self.msg[1518]):
                    return w
            return None
        return r.wait_for(shown, timeout, "the main window")


def check(condition, what):
    if not condition:
        raise AssertionError(what)


def check_equal(actual, expected, what):
    if actual != expected:
        raise AssertionError(f"{what}: expected {expected!r}, got {actual!r}")


# ---- shared steps --------------------------------------------------------------

# The system files the demo machine has and a save takes by default, as the
# archive names them (lower case, under the working folder) and where they live.
SYSTEM_FILES = {
    "autoexec.bat": "C:\\AUTOEXEC.BAT",
    "config.sys": "C:\\CONFIG.SYS",
    "msdos.sys": "C:\\MSDOS.SYS",
    "autoexec.dos": "C:\\AUTOEXEC.DOS",
    "config.dos": "C:\\CONFIG.DOS",
    "drvspace.bin": "C:\\DRVSPACE.BIN",
    "win.ini": "C:\\WINDOWS\\WIN.INI",
    "system.ini": "C:\\WINDOWS\\SYSTEM.INI",
    "control.ini": "C:\\WINDOWS\\CONTROL.INI",
    "protocol.ini": "C:\\WINDOWS\\PROTOCOL.INI",
    "user.dat": "C:\\WINDOWS\\USER.DAT",
    "system.dat": "C:\\WINDOWS\\SYSTEM.DAT",
}


def go_to_page(main, caption):
    """Clicks a page's tab; the tab strip then announces that page."""
    r.press(r.find(main, "page tab", caption))
    strip = r.find(main, "page tab list")
    r.wait_for(lambda: r.plain(strip.name) == r.plain(caption), 10, f"the {caption!r} page")


def save_from_save_page(s, main, slot, description):
    """Chooses the slot, types the description, presses Save and answers the
    success message; returns its text."""
    msg = s.msg
    go_to_page(main, msg[1518])
    option = r.find(main, "radio button", f"{msg[1502]} {slot}:")
    r.press(option)
    # The slot's click fills the description box: type only after it.
    r.wait_for(lambda: r.checked(option), 10, f"slot {slot} to be chosen")
    r.set_text(r.find(main, "text", msg[1514]), description)
    save = r.find(main, "push button", msg[1518])
    r.wait_for(lambda: r.enabled(save), 10, "the Save button to be enabled")
    r.press(save)
    box, text = s.app.message_box(msg[1011], timeout=120)
    r.press(r.find(box, "push button", "OK"))
    s.app.gone(box)
    # The save has ended once the Help button, disabled meanwhile, is back.
    help_button = r.find(main, "push button", msg[1516])
    r.wait_for(lambda: r.enabled(help_button), 30, "the save to end")
    return text


def configurations(s, main):
    """The Restore page's list of configurations."""
    return r.find(main, "list", s.msg[1521])


# ---- scenarios -----------------------------------------------------------------

def scenario_save(s):
    """A configuration saved into slot 2 from the Save page: archives holding
    the machine's files, a description naming it, the slot listed."""
    msg = s.msg
    s.start()
    main = s.main_window()
    go_to_page(main, msg[1519])
    check_equal(r.rows(configurations(s, main))[1], msg[1010], "slot 2 before the save")

    text = save_from_save_page(s, main, 2, "Demo2")
    check_equal(text, msg[1034], "the message after the save")

    folder = PROGRAM_FOLDER + "\\"
    # The system archive: every system file, byte for byte, with sound checksums.
    with zipfile.ZipFile(s.machine.host(folder + "Conf2.kvz")) as archive:
        check(archive.testzip() is None, "Conf2.kvz has a damaged member")
        members = {name.rsplit("/", 1)[-1]: name for name in archive.namelist()}
        check_equal(sorted(members), sorted(SYSTEM_FILES), "the files in Conf2.kvz")
        for name, path in SYSTEM_FILES.items():
            check_equal(archive.read(members[name]), s.machine.read(path), f"{name} in Conf2.kvz")
    # The Start menu archive: the menu's shortcuts under their folders.
    with zipfile.ZipFile(s.machine.host(folder + "Conf2s.kvz")) as archive:
        check(archive.testzip() is None, "Conf2s.kvz has a damaged member")
        shortcut = "WINDOWS/Start Menu/Programs/Accessories/Notepad.lnk"
        check(shortcut in archive.namelist(), f"{shortcut} in Conf2s.kvz")
        check_equal(archive.read(shortcut), s.machine.read("C:\\WINDOWS\\Start Menu\\Programs\\Accessories\\Notepad.lnk"),
                    "Notepad.lnk in Conf2s.kvz")

    # The description: its name, where its archives lie, what it holds.
    config = s.machine.ini(folder + "Config2.ini")
    check_equal(config["Configuration"]["ConfigName"], "Demo2", "ConfigName of Config2.ini")
    check_equal(config["Configuration"]["OSV"], "Microsoft Windows 98", "OSV of Config2.ini")
    check_equal(config["SystemFiles"]["SaveFolder"], folder, "SaveFolder of Config2.ini")
    check_equal(config["SystemFiles"]["SystemPath"], "C:\\WINDOWS", "SystemPath of Config2.ini")
    saved = config["SystemFilesSaved"]
    for key in ("Autoexec.bat", "Config.sys", "Msdos.sys", "Win.ini", "System.ini", "User.dat",
                "System.dat", "Startmenue"):
        check_equal(saved[key], "1", f"[SystemFilesSaved] {key}")
    for key in ("Classes.dat", "Dblspace.ini", "Dblspace.bin"):  # not on this machine
        check_equal(saved[key], "0", f"[SystemFilesSaved] {key}")
    check(s.machine.exists(folder + "Config2.usr"), "Config2.usr written")

    # The slot in the settings and on screen.
    check_equal(s.machine.ini(folder + "kelvaran.ini")["Settings"]["Config2"], "Demo2", "Config2 of kelvaran.ini")
    go_to_page(main, msg[1519])
    row = r.rows(configurations(s, main))[1]
    check(row.startswith("Demo2 "), f"slot 2 on the Restore page reads {row!r}")

    r.press(r.find(main, "push button", msg[1517]))
    check_equal(s.app.ended(30), 0, "the exit code after Exit")


def scenario_restore(s):
    """Slot 2 saved, two system files changed, the slot restored from the
    Restore page: the root file is back at once, the Windows file after the
    machine's restart, which the program asks for and which completes when the
    machine (and with it the program) starts again."""
    msg = s.msg
    s.start()
    main = s.main_window()
    save_from_save_page(s, main, 2, "Demo2")

    original = {path: s.machine.read(path) for path in ("C:\\AUTOEXEC.BAT", "C:\\WINDOWS\\WIN.INI")}
    for path, data in original.items():
        s.machine.write(path, data + b"REM changed after the save\r\n")

    go_to_page(main, msg[1519])
    # As a screen reader user chooses it: the slot's Click follows (the question names it).
    r.toggle_row(configurations(s, main), 1)
    restore = r.find(main, "push button", "Restore")
    r.wait_for(lambda: r.enabled(restore), 10, "the Restore button to be enabled")
    r.press(restore)

    question = s.app.answer(msg[1009], "Yes")
    check_equal(question, r.plain(f"{msg[1007]}\n{msg[1008]}\nDemo2"), "the restore question")

    dialog = s.app.window(msg[1513])
    r.press(r.find(dialog, "push button", msg[1538]))  # All system files
    win_ini = r.find(dialog, "check box", "Win.ini")
    r.wait_for(lambda: r.checked(win_ini) and r.checked(r.find(dialog, "check box", "Autoexec.bat")), 10,
               "Win.ini and Autoexec.bat to be ticked")
    r.press(r.find(dialog, "push button", "OK"))

    warning = s.app.answer(msg[1005], "Yes")
    check(r.plain(msg[1014]) in warning, f"the restart warning reads {warning!r}")

    # The program asks for the restart and is closed by it.
    check_equal(s.app.ended(120), 0, "the exit code at the restart")
    check_equal(s.machine.read("C:\\AUTOEXEC.BAT"), original["C:\\AUTOEXEC.BAT"], "AUTOEXEC.BAT after the restore")
    check(s.machine.read("C:\\WINDOWS\\WIN.INI") != original["C:\\WINDOWS\\WIN.INI"],
          "WIN.INI is replaced only at the restart")
    renames = [line for line in s.machine.lines("C:\\WINDOWS\\Wininit.ini") if line.lower().startswith("c:\\windows\\win.ini=")]
    check_equal(renames, ["C:\\WINDOWS\\Win.ini=C:\\WINDOWS\\TEMP\\KELVARAN\\Win.ini"], "the Win.ini line of Wininit.ini")

    # The machine starts again: Wininit.ini is carried out before the program runs.
    s.start()
    main = s.main_window()
    check_equal(s.machine.read("C:\\WINDOWS\\WIN.INI"), original["C:\\WINDOWS\\WIN.INI"], "WIN.INI after the restart")
    check(s.machine.exists("C:\\WINDOWS\\WININIT.BAK") and not s.machine.exists("C:\\WINDOWS\\WININIT.INI"),
          "Wininit.ini carried out and kept as WININIT.BAK")
    r.press(r.find(main, "push button", msg[1517]))
    check_equal(s.app.ended(30), 0, "the exit code after Exit")


def scenario_smartsave(s):
    """The unattended SmartSave: with SmartSave "Daily" and the marker Smart.go
    in the program folder, the program counts down without showing its main
    window, saves into the next SmartSave slot, records it, deletes the marker
    and ends by itself."""
    msg = s.msg
    folder = PROGRAM_FOLDER + "\\"
    today = datetime.date.today()
    # Daily, last run long ago, next SmartSave slot index 1 (configuration 2).
    s.machine.write(folder + "SmartSv.ini",
                    (" 1 \r\n1/1/2026\r\n 1 \r\n1\r\n" + "".join(f"#{k} : {msg[1131]}\r\n" for k in range(1, 5)))
                    .encode("cp1252"))
    s.machine.write(folder + "Smart.go", b"")

    app = s.start()
    skip = r.plain(msg[1171])

    def countdown():
        app.check_running()
        for w in app.windows():
            check(not r.find_all(w, "page tab"), "the main window is shown during a SmartSave")
            if r.find_all(w, "push button", skip):
                return w
        return None
    window = r.wait_for(countdown, 30, "the SmartSave countdown")
    starts_in = r.plain(msg[1172])
    r.wait_for(lambda: any(r.plain(a.name).startswith(starts_in) for a in r.find_all(window, "label")), 15,
               f"the countdown line {starts_in!r}")

    # It saves and ends by itself, the main window never shown.
    def ended():
        if app.proc.poll() is not None:
            return (app.proc.returncode,)
        try:
            windows = app.windows()
        except Exception:  # busy saving, or ending
            return None
        check(not any(r.find_all(w, "page tab") for w in windows), "the main window is shown during a SmartSave")
        return None
    check_equal(r.wait_for(ended, 120, "the SmartSave to end")[0], 0, "the exit code after the SmartSave")
    check(not s.machine.exists(folder + "Smart.go"), "Smart.go deleted")

    smartsav = folder + "SmartSav\\"
    with zipfile.ZipFile(s.machine.host(smartsav + "Conf2.kvz")) as archive:
        check(archive.testzip() is None, "SmartSav\\Conf2.kvz has a damaged member")
        names = sorted(name.rsplit("/", 1)[-1] for name in archive.namelist())
        check_equal(names, sorted(SYSTEM_FILES), "the files in SmartSav\\Conf2.kvz")
    config = s.machine.ini(smartsav + "Config2.ini")
    check_equal(config["SystemFiles"]["SaveFolder"], smartsav, "SaveFolder of SmartSav\\Config2.ini")
    check_equal(config["SystemFilesSaved"]["Win.ini"], "1", "[SystemFilesSaved] Win.ini")
    check(not s.machine.exists(smartsav + "Config1.ini"), "SmartSave slot 1 left alone")

    # SmartSv.ini: the choice kept, today's date, the counter moved on, the
    # slot's row dated.
    ended = datetime.date.today()
    lines = s.machine.lines(folder + "SmartSv.ini")
    check_equal(lines[0], " 1 ", "line 1 of SmartSv.ini")
    check(lines[1] in {f"{d.day}/{d.month}/{d.year}" for d in (today, ended)}, f"line 2 of SmartSv.ini: {lines[1]!r}")
    check_equal(lines[2], " 2 ", "line 3 of SmartSv.ini")
    check_equal(lines[3], "1", "line 4 of SmartSv.ini")
    rows = {f"#2 :  {d.day}/{msg[1270 + d.month]}/{d.year}" for d in (today, ended)}
    check(lines[5] in rows, f"line 6 of SmartSv.ini: {lines[5]!r}")
    check_equal([lines[4], lines[6], lines[7]], [f"#{k} : {msg[1131]}" for k in (1, 3, 4)],
                "the other SmartSave rows")

    # The user's own slots and save folder are untouched.
    settings = s.machine.ini(folder + "kelvaran.ini")
    check_equal(settings["Settings"]["Config2"], msg[1010], "Config2 of kelvaran.ini")
    check_equal(settings["SystemPathes"]["SaveFolder"], folder, "the save folder in kelvaran.ini")


# ---- keyboard and help (the windows as a keyboard user meets them) ------------

KEY_TAB, KEY_RETURN, KEY_ESCAPE, KEY_SPACE, KEY_F1 = 0xff09, 0xff0d, 0xff1b, 0x20, 0xffbe


def key(keysym):
    """One key pressed and released on the desktop's keyboard, as a user types it."""
    r.pyatspi.Registry.generateKeyboardEvent(keysym, None, r.pyatspi.KEY_SYM)
    time.sleep(0.2)


def focused_in(window):
    """The control of `window` that has the keyboard focus, or None."""
    for acc in r.walk(window):
        if acc.getState().contains(r.pyatspi.STATE_FOCUSED) and r.showing(acc):
            return acc
    return None


def tab_to(window, role_name, name, presses=60):
    """Presses Tab until the control [role_name] `name` has the focus."""
    for _ in range(presses):
        acc = focused_in(window)
        if acc is not None and r.role(acc) == role_name and r.plain(acc.name) == r.plain(name):
            return acc
        key(KEY_TAB)
    raise AssertionError(f"Tab never reached [{role_name}] {name!r}")


def scenario_keyboard(s):
    """The restore dialog worked by keyboard alone: Enter answers the question
    with its default, Tab reaches a box and Space ticks it, F1 opens help in
    front of the modal dialog and Esc closes it, Esc then cancels the dialog."""
    msg = s.msg
    s.start()
    main = s.main_window()
    check_equal(r.role(main), "frame", "the main window's role")
    save_from_save_page(s, main, 1, "Keys1")
    go_to_page(main, msg[1519])
    r.toggle_row(configurations(s, main), 0)
    restore = r.find(main, "push button", "Restore")
    r.wait_for(lambda: r.enabled(restore), 10, "the Restore button to be enabled")
    r.press(restore)

    s.app.window(msg[1009])
    key(KEY_RETURN)  # Yes, the question's default
    dialog = s.app.window(msg[1513])
    check_equal(r.role(dialog), "dialog", "the restore dialog's role")
    win_ini = tab_to(dialog, "check box", "Win.ini")
    check(not r.checked(win_ini), "Win.ini starts unticked")
    key(KEY_SPACE)
    r.wait_for(lambda: r.checked(win_ini), 10, "Space to tick Win.ini")

    key(KEY_F1)
    title = r.plain(msg[1085]) + " Help"
    help_window = s.app.window(title)
    r.wait_for(lambda: help_window.getState().contains(r.pyatspi.STATE_ACTIVE), 10,
               "the help window to come up in front")
    x, y = help_window.queryComponent().getPosition(r.pyatspi.DESKTOP_COORDS)
    check(x >= 0 and y >= 16, f"the help window's title bar is on the screen (its client area at {x}, {y})")
    key(KEY_ESCAPE)
    s.app.gone(help_window, 10, "Esc to close the help window")
    check(r.showing(dialog), "the dialog stays when its help closes")

    r.wait_for(lambda: dialog.getState().contains(r.pyatspi.STATE_ACTIVE), 10, "the dialog to be active again")
    key(KEY_ESCAPE)  # Cancel
    s.app.gone(dialog, 10, "Esc to cancel the restore dialog")
    check(s.machine.exists(PROGRAM_FOLDER + "\\Config1.ini"), "nothing restored, the slot kept")
    r.press(r.find(main, "push button", msg[1517]))
    check_equal(s.app.ended(30), 0, "the exit code after Exit")


SCENARIOS = {"save": scenario_save, "restore": scenario_restore, "smartsave": scenario_smartsave,
             "keyboard": scenario_keyboard}


# ---- running -------------------------------------------------------------------

def report_failure(s):
    if s is None:
        return
    try:
        if s.app is not None and s.app.proc.poll() is None:
            print("windows on screen:", file=sys.stderr)
            for w in s.app.windows():
                print("\n".join(r.dump(w)), file=sys.stderr)
    except Exception as error:
        print(f"(the windows could not be listed: {error})", file=sys.stderr)
    shot = os.path.join(s.work, "screen.png")
    if s.desktop.screenshot(shot):
        print(f"screenshot: {shot}", file=sys.stderr)
    for name in sorted(os.listdir(s.work)):
        if name.endswith(".log"):
            with open(os.path.join(s.work, name), errors="replace") as f:
                text = f.read().strip()
            if text:
                print(f"--- {name}\n{text}", file=sys.stderr)


def run(args):
    global r
    os.makedirs(args.work, exist_ok=True)
    work = tempfile.mkdtemp(prefix=f"{args.scenario}-", dir=args.work)
    session = None
    passed = False
    started = time.monotonic()
    try:
        with Desktop(folder=os.path.join(work, "desktop")) as desktop:
            for key in [k for k in os.environ if k.startswith(("AT_SPI_", "DBUS_SESSION"))]:
                del os.environ[key]
            for key in ("DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR"):
                os.environ[key] = desktop.env[key]
            import robot
            r = robot
            session = Session(args, work, desktop)
            try:
                SCENARIOS[args.scenario](session)
                passed = True
            except BaseException:
                traceback.print_exc()
                report_failure(session)
                if not isinstance(sys.exc_info()[1], Exception):
                    raise
    finally:
        elapsed = time.monotonic() - started
        if passed:
            shutil.rmtree(work, ignore_errors=True)
            print(f"{args.scenario}: passed in {elapsed:.1f} s")
        else:
            print(f"{args.scenario}: FAILED after {elapsed:.1f} s; its files are kept in {work}", file=sys.stderr)
    return 0 if passed else 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--program", required=True, help="the kelvaran executable")
    parser.add_argument("--source", required=True, help="the source tree (demo machine, message table)")
    parser.add_argument("--work", default=os.path.join(tempfile.gettempdir(), "kelvaran-e2e"),
                        help="folder for the scenarios' scratch folders")
    parser.add_argument("scenario", choices=sorted(SCENARIOS))
    args = parser.parse_args()
    args.program = os.path.abspath(args.program)
    args.source = os.path.abspath(args.source)

    # A stop from outside (Ctrl+C, a test timeout) still stops every process.
    def stop(signum, frame):
        raise SystemExit(128 + signum)
    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGHUP, stop)
    sys.exit(run(args))


if __name__ == "__main__":
    main()
