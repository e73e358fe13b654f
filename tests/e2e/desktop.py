"""A private desktop for one run of the program: Xvfb on a display of its own,
a private D-Bus session, the accessibility bus with its registry and a small
window manager. Every process it starts is stopped by its id when the desktop
ends, however the run ends."""

import ctypes
import os
import select
import shutil
import signal
import subprocess
import tempfile
import time


class DesktopError(RuntimeError):
    pass


_PR_SET_PDEATHSIG = 1


def _end_with_parent():
    """In a child before it runs its program: should this process end without
    stopping its children (killed outright), they are sent SIGTERM."""
    try:
        ctypes.CDLL(None, use_errno=True).prctl(_PR_SET_PDEATHSIG, signal.SIGTERM, 0, 0, 0)
    except (OSError, AttributeError):
        pass


def _read_line(stream, deadline, what):
    """One line from a child's pipe, or DesktopError once the deadline has passed."""
    data = b""
    while not data.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0:
            raise DesktopError(f"{what} did not start in time")
        ready, _, _ = select.select([stream], [], [], left)
        if not ready:
            continue
        chunk = os.read(stream.fileno(), 1)
        if not chunk:
            raise DesktopError(f"{what} ended before it was ready")
        data += chunk
    return data.decode().strip()


class Desktop:
    """Use as a context manager; `env` is the environment for programs shown on it."""

    def __init__(self, folder=None, window_manager=True, width=1024, height=768):
        self._own_folder = folder is None
        self.folder = folder or tempfile.mkdtemp(prefix="kelvaran-desktop-")
        self.window_manager = window_manager
        self.size = (width, height)
        self.env = None
        self.runtime = None
        self._children = []  # (what, Popen), in start order

    # -- life ---------------------------------------------------------------

    def __enter__(self):
        try:
            self._start()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def _spawn(self, what, argv, **kwargs):
        # Each child leads a process group of its own: what it starts in turn
        # (the accessibility bus, its registry) is stopped with it.
        proc = subprocess.Popen(argv, env=self.env, start_new_session=True, preexec_fn=_end_with_parent,
                                **kwargs)
        self._children.append((what, proc))
        return proc

    def _start(self):
        # The buses' sockets live in the runtime folder, and a Unix socket's
        # name is limited to 108 bytes: it is a short private folder of its own
        # under the system's temporary folder, wherever the desktop's folder lies.
        runtime = self.runtime = tempfile.mkdtemp(prefix="kelvaran-rt-")
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("DBUS_", "AT_SPI_", "QT_", "XDG_")) and k != "DISPLAY"}
        env.update(XDG_RUNTIME_DIR=runtime,
                   XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
                   XDG_CACHE_HOME=os.path.join(self.folder, "cache"),
                   XDG_DATA_HOME=os.path.join(self.folder, "data"))
        self.env = env

        # Xvfb chooses a free display itself and names it once it accepts
        # connections, so parallel runs never share one.
        read_fd, write_fd = os.pipe()
        width, height = self.size
        self._spawn("Xvfb", ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24",
                             "-nolisten", "tcp", "-noreset"],
                    pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd, "rb", buffering=0) as pipe:
            display = _read_line(pipe, time.monotonic() + 20, "Xvfb")
        env["DISPLAY"] = ":" + display

        bus = self._spawn("dbus-daemon", ["dbus-daemon", "--session", "--nofork", "--nopidfile",
                                          f"--address=unix:dir={runtime}", "--print-address=1"],
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        env["DBUS_SESSION_BUS_ADDRESS"] = _read_line(bus.stdout, time.monotonic() + 20, "dbus-daemon")

        # The accessibility bus; its registry starts on it when first asked for.
        self._spawn("at-spi-bus-launcher", ["/usr/libexec/at-spi-bus-launcher", "--launch-immediately",
                                            "--a11y=1"],
                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_for_a11y_bus(time.monotonic() + 20)

        if self.window_manager:  # frames windows with title bars, focuses new ones
            self._spawn("openbox", ["openbox", "--sm-disable"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def _wait_for_a11y_bus(self, deadline):
        while True:
            probe = subprocess.run(
                ["dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus", "/org/a11y/bus",
                 "org.a11y.Bus.GetAddress"],
                env=self.env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, timeout=10)
            if probe.returncode == 0 and b"unix:" in probe.stdout:
                return
            self._check_alive()
            if time.monotonic() > deadline:
                raise DesktopError("the accessibility bus did not start in time")
            time.sleep(0.1)

    def _check_alive(self):
        for what, proc in self._children:
            if proc.poll() is not None:
                raise DesktopError(f"{what} ended with code {proc.returncode}")

    def spawn(self, what, argv, env=None, **kwargs):
        """Starts a program on this desktop; it is stopped with the desktop."""
        merged = dict(self.env)
        merged.update(env or {})
        proc = subprocess.Popen(argv, env=merged, start_new_session=True, preexec_fn=_end_with_parent,
                                **kwargs)
        self._children.append((what, proc))
        return proc

    def screenshot(self, path):
        """The whole screen as a PNG; False when it could not be taken."""
        try:
            return subprocess.run(["import", "-window", "root", path], env=self.env, timeout=30,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0
        except (OSError, subprocess.TimeoutExpired):
            return False

    def stop(self):
        """Stops every process started here, last started first: the group it
        leads with SIGTERM, then SIGKILL for what is still there after a grace."""
        for what, proc in reversed(self._children):
            self._stop_group(proc)
        self._children.clear()
        if self.runtime:
            shutil.rmtree(self.runtime, ignore_errors=True)
            self.runtime = None
        if self._own_folder:
            shutil.rmtree(self.folder, ignore_errors=True)

    @staticmethod
    def _stop_group(proc):
        if proc.returncode is not None and not _group_alive(proc.pid):
            return  # ended and waited for already: its id may be another's now
        for sig, grace in ((signal.SIGTERM, 5), (signal.SIGKILL, 5)):
            try:
                os.killpg(proc.pid, sig)
            except ProcessLookupError:
                pass
            try:
                proc.wait(timeout=grace)
            except subprocess.TimeoutExpired:
                continue
            # The leader is gone; members of its group may still be ending.
            deadline = time.monotonic() + grace
            while time.monotonic() < deadline and _group_alive(proc.pid):
                time.sleep(0.05)
            if not _group_alive(proc.pid):
                return


def _group_alive(pgid):
    """True while a process of the group is still running (ended ones waiting
    to be reaped by someone else do not count)."""
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        if int(fields[2]) == pgid and fields[0] not in ("Z", "X"):
            return True
    return False
