# Drives the real corvel as a player would: a private virtual display, real key presses and clicks, menus
# and message boxes found through the accessibility tree, screenshots of the window.
import collections
import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time

import gi

gi.require_version("Atspi", "2.0")
gi.require_version("GdkPixbuf", "2.0")
from gi.repository import Atspi, GdkPixbuf, GLib  # noqa: E402

CORVEL = os.environ["CORVEL_PROGRAM"]
LEVEL_TOOL = os.environ["CORVEL_LEVEL_TOOL"]
CLOSE_WINDOW = os.environ["CORVEL_CLOSE_WINDOW"]
LEVELS = os.environ["CORVEL_LEVELS"]
WINDOW_TITLE = "Corvel and the Brugak"

def _end_with_this_process():
    """Run in a child before it starts: it is stopped when the test process ends, however that ends."""
    ctypes.CDLL(None).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


PR_SET_PDEATHSIG = 1

# Every wait below polls against a deadline; nothing waits for a fixed time to pass.
STEP = 0.05


def wait_for(what, probe, timeout=10.0):
    """Polls probe() until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        found = probe()
        if found:
            return found
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(STEP)


class Picture:
    """RGB pixels of a PNG file."""

    def __init__(self, path):
        pixbuf = GdkPixbuf.Pixbuf.new_from_file(path)
        self.width, self.height = pixbuf.get_width(), pixbuf.get_height()
        self._stride, self._channels = pixbuf.get_rowstride(), pixbuf.get_n_channels()
        self._bytes = pixbuf.get_pixels()

    def pixel(self, x, y):
        at = y * self._stride + x * self._channels
        return tuple(self._bytes[at:at + 3])


class Desktop:
    """An Xvfb of its own on a free display number and an accessibility bus of its own, so that test
    groups may run side by side; it expects to run inside a session bus of its own (dbus-run-session)."""

    def __init__(self):
        # The accessibility bus keeps its socket in the runtime folder: a shared one would be taken
        # over by whichever group starts its bus last.
        self.runtime = tempfile.mkdtemp(prefix="corvel-e2e-runtime-")
        os.environ["XDG_RUNTIME_DIR"] = self.runtime
        self.log = open(os.path.join(self.runtime, "xvfb.log"), "w")
        read_end, write_end = os.pipe()
        # -noreset: the server would otherwise start over when its last client leaves, and write its
        # number again to a pipe no one reads any more. -r: on a busy machine a key press and its
        # release can come far enough apart for the server to repeat the key.
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-noreset", "-r", "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=(write_end,), stdout=self.log, stderr=self.log, preexec_fn=_end_with_this_process)
        os.close(write_end)
        self._number_pipe = read_end  # kept open while the server runs: it may write again
        ready, _, _ = select.select([read_end], [], [], 30)
        number = os.read(read_end, 64).decode().split("\n")[0].strip() if ready else ""
        if not number:
            self.close()
            raise RuntimeError("Xvfb did not start")
        os.environ["DISPLAY"] = ":" + number
        # The number can come before the server takes connections.
        wait_for("the virtual display", lambda: subprocess.run(
            ["xdpyinfo"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10).returncode == 0, timeout=30)
        subprocess.run(["dbus-update-activation-environment", "DISPLAY", "XDG_RUNTIME_DIR"], check=True, timeout=10)
        # The accessibility bus and its registry start on first use; they start before any game does,
        # so that the game and the tests never both wait on a registry that is still coming up.
        wait_for("the accessibility registry", lambda: Atspi.get_desktop(0) is not None, timeout=30)

    def close(self):
        self.process.terminate()
        self.process.wait(timeout=10)
        os.close(self._number_pipe)
        self.log.close()
        shutil.rmtree(self.runtime, ignore_errors=True)


def render(level, out, keys=""):
    """The board as corvel-level paints it after keys."""
    subprocess.run([LEVEL_TOOL, "render", level, out, "--", keys] if keys else [LEVEL_TOOL, "render", level, out],
                   check=True, timeout=30)
    return Picture(out)


def refusal(level, folder):
    """corvel-level's reason for refusing a level read from folder, as "FILE:LINE: fault"."""
    result = subprocess.run([LEVEL_TOOL, "show", level], cwd=folder, capture_output=True, text=True, timeout=30)
    assert result.returncode == 1, f"{level} was not refused"
    return result.stderr.strip().removeprefix("corvel-level: ")


def _catch_up():
    """Takes in the program's accessibility events, which keep the local copy of its tree current."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def _children(node):
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield child


def _find_all(node, role, name=None):
    """The nodes at or under node with the role (or one of the roles) and name, in the tree's order."""
    _catch_up()
    roles = (role,) if isinstance(role, str) else role
    if node.get_role_name() in roles and (name is None or node.get_name() == name):
        yield node
    for child in _children(node):
        # While a box is open, GTK lists the application once more among its own windows.
        if child.get_role_name() != "application":
            yield from _find_all(child, role, name)


def _has_state(node, state):
    _catch_up()
    return node.get_state_set().contains(state)


BoardArea = collections.namedtuple("BoardArea", "x y width height")


class Dialog:
    def __init__(self, session, node):
        self._session, self._node = session, node
        self.title = node.get_name()
        self.text = "\n".join(label.get_name() for label in _find_all(node, "label") if label.get_name() != "OK")

    def answer(self):
        """Clicks OK, as the player would, and waits for the box to go."""
        button = next(_find_all(self._node, "push button"))
        where = button.get_extents(Atspi.CoordType.WINDOW)
        window = self._session.x_window("^" + re.escape(self.title) + "$")
        self._session.click(window, where.x + where.width // 2, where.y + where.height // 2)
        wait_for(f'the box "{self.title}" to close', lambda: not self._session.dialogs())


class CorvelSession:
    """One corvel process, started in a folder of its own whose GameData.dat the test chooses, or with the
    command line and in the folder given (as a desktop entry starts it); what it prints goes to output
    (an open file) when one is given."""

    def __init__(self, level=None, command=None, folder=None, output=None):
        self._own_folder = folder is None
        self.folder = tempfile.mkdtemp(prefix="corvel-e2e-") if self._own_folder else folder
        self.level_path = os.path.join(self.folder, "GameData.dat")
        if level is not None:
            self.use_level(level)
        self.process = subprocess.Popen(command or [CORVEL], cwd=self.folder, preexec_fn=_end_with_this_process,
                                        stdout=output, stderr=subprocess.STDOUT if output else None)
        self.app = wait_for("corvel in the accessibility tree", self._find_app, timeout=30)
        self.window = self.x_window("^" + re.escape(WINDOW_TITLE) + "$")
        self._frame = wait_for("the main window", lambda: self._first("frame", WINDOW_TITLE))
        wait_for("the main window on screen", lambda: "IsViewable" in subprocess.run(
            ["xwininfo", "-id", self.window], capture_output=True, text=True, timeout=10).stdout)

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)
        if self._own_folder:
            shutil.rmtree(self.folder, ignore_errors=True)

    def use_level(self, level):
        """Copies a level (a file name in the fixtures, or a path) to the game's GameData.dat."""
        shutil.copyfile(level if os.path.isabs(level) else os.path.join(LEVELS, level), self.level_path)

    # The accessibility tree.
    def _find_app(self):
        desktop = Atspi.get_desktop(0)
        for app in _children(desktop):
            try:
                if app.get_process_id() == self.process.pid:
                    return app
            except GLib.Error:
                continue
        return None

    def _first(self, role, name):
        return next(_find_all(self.app, role, name), None)

    def dialogs(self):
        return [Dialog(self, node) for node in _find_all(self.app, "dialog")]

    def wait_dialog(self, timeout=10.0):
        dialogs = wait_for("a message box", self.dialogs, timeout)
        assert len(dialogs) == 1, f"{len(dialogs)} boxes open at once: {[d.title for d in dialogs]}"
        return dialogs[0]

    def assert_no_dialog(self, settle=1.5):
        """No box appears within settle seconds."""
        deadline = time.monotonic() + settle
        while time.monotonic() < deadline:
            assert not self.dialogs(), f"unexpected box: {[(d.title, d.text) for d in self.dialogs()]}"
            time.sleep(STEP)

    # Input, as real X events.
    def x_window(self, title_pattern):
        def probe():
            found = subprocess.run(["xdotool", "search", "--all", "--pid", str(self.process.pid), "--name", title_pattern],
                                   capture_output=True, text=True, timeout=10)
            return found.stdout.split()[0] if found.stdout.split() else None
        return wait_for(f"an X window titled {title_pattern}", probe)

    def click(self, window, x, y):
        subprocess.run(["xdotool", "mousemove", "--window", window, str(x), str(y), "click", "1"],
                       check=True, timeout=10)

    def board_area(self):
        """The part of the board's drawing area that the window shows, in window coordinates."""
        area = next(_find_all(self._frame, "filler", "GtkDrawingArea")).get_extents(Atspi.CoordType.WINDOW)
        window = self._frame.get_extents(Atspi.CoordType.WINDOW)
        return BoardArea(area.x, area.y, min(area.width, window.width - area.x),
                         min(area.height, window.height - area.y))

    def _takes_keys(self):
        """The main window has the keyboard and no menu of its menu bar is open."""
        focus = subprocess.run(["xdotool", "getwindowfocus"], capture_output=True, text=True, timeout=10)
        return focus.stdout.strip() == self.window and not self._menu_open(None)

    def type_keys(self, keys):
        """Types each character as a key press on the board, as the player does."""
        # There is no window manager to give the clicked window the keyboard: the test does.
        area = self.board_area()
        self.click(self.window, area.x + 1, area.y + 1)  # the board itself takes no clicks
        subprocess.run(["xdotool", "windowfocus", "--sync", self.window], check=True, timeout=10)
        wait_for("the main window to take keys", self._takes_keys)
        if keys:
            subprocess.run(["xdotool", "key", "--delay", "20", *keys], check=True, timeout=60)

    def open_menu(self, menu):
        """Opens a menu of the menu bar by a click on its label; returns the menu's title."""
        title = next(_find_all(self._frame, "menu item", menu))
        where = title.get_extents(Atspi.CoordType.WINDOW)
        for _ in range(3):  # a click that comes while the window is still settling may open nothing
            self.click(self.window, where.x + where.width // 2, where.y + where.height // 2)
            try:
                wait_for(f'the menu "{menu}" to open', lambda: self._menu_open(menu), timeout=3)
                return title
            except AssertionError:
                continue
        raise AssertionError(f'the menu "{menu}" did not open')

    def menu_entries(self, menu):
        """The labels of a menu's items in order, "-" for a separator; the menu is closed again."""
        title = self.open_menu(menu)
        wait_for(f'the items of the menu "{menu}"', lambda: len(list(_find_all(title, "menu item"))) > 1)
        nodes = list(_find_all(title, ("menu item", "separator")))[1:]  # the first is the title itself
        entries = ["-" if node.get_role_name() == "separator" else node.get_name() for node in nodes]
        subprocess.run(["xdotool", "key", "Escape"], check=True, timeout=10)
        wait_for(f'the menu "{menu}" to close', lambda: not self._menu_open(menu))
        return entries

    def choose(self, menu, item):
        """Opens a menu of the menu bar and activates the item with that label, as from the keyboard."""
        title = self.open_menu(menu)
        entry = wait_for(f'"{item}" in the menu "{menu}"', lambda: next(_find_all(title, "menu item", item), None))
        # The open menu takes the keyboard: move down to the item, then press Return on it.
        for _ in range(10):
            if _has_state(entry, Atspi.StateType.FOCUSED):
                subprocess.run(["xdotool", "key", "Return"], check=True, timeout=10)
                wait_for(f'the menu "{menu}" to close', lambda: not self._menu_open(menu))
                return
            subprocess.run(["xdotool", "key", "Down"], check=True, timeout=10)
            time.sleep(0.1)
        raise AssertionError(f'could not reach "{item}" in the menu "{menu}"')

    def _menu_open(self, menu):
        try:
            return any(_has_state(title, Atspi.StateType.EXPANDED)
                       for title in _find_all(self._frame, "menu item", menu))
        except GLib.Error:
            return False  # the program has gone, and its menus with it (File > Exit)

    def close_window(self):
        """The window's close button, as a window manager passes it on."""
        subprocess.run([CLOSE_WINDOW, self.window], check=True, timeout=10)

    def wait_exit(self, timeout=10.0):
        return self.process.wait(timeout=timeout)

    # What the window shows.
    def screenshot(self, out):
        subprocess.run(["import", "-window", self.window, out], check=True, timeout=30)
        return Picture(out)

    def cpu_seconds(self):
        with open(f"/proc/{self.process.pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        # utime and stime, fields 14 and 15 of the whole line.
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
