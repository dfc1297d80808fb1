#!/usr/bin/env python3
"""End-to-end tests of corvel.exe under Wine on a virtual display: played as a player would play it."""
import argparse
import contextlib
import json
import os
import re
import secrets
import shutil
import socket
import subprocess
import sys
import time
import traceback
from pathlib import Path
from types import SimpleNamespace

from wine_setup import (Unavailable, Wine, end_wineserver, is_64bit_exe, start_display, unix_processes,
                        wineserver_pid)

HERE = Path(__file__).resolve().parent
SKIPPED = 77  # the exit status CTest counts as a skipped test
TITLE = "Corvel and the Brugak"
NEW_GAME, EXIT, INSTRUCTIONS = 40002, 40003, 40004
CAUGHT = ("Corvel has died.", "Game Over!")
ESCAPED = ("Corvel has escaped from the maze!", "Congratulations!")
# The Instructions box, as every front-end shows it, with the line ends a Windows box has.
INSTRUCTIONS_TEXT = (HERE.parent / "instructions.txt").read_text(encoding="utf-8").replace("\n", "\r\n")
CLIENT_SIZE = (181, 211)  # what the 189 x 257 window leaves inside under Wine's default metrics
WHOLE_CLIENT_AREA = "(0,0)-(181,211)"  # as Wine's trace writes the rectangle
CELL = 30
# DLLs every Windows has; the exe may import nothing else.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll", "shell32.dll",
               "comctl32.dll", "ole32.dll"}
RT_ICON, RT_MENU, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 4, 14, 16, 24
# The keys that pick each menu command: Down opens a menu on its first item and skips separators.
MENU_KEYS = {
    NEW_GAME: ["F10", "Down", "Return"],
    EXIT: ["F10", "Down", "Down", "Return"],
    INSTRUCTIONS: ["F10", "Right", "Down", "Return"],
}

# The tests' own levels, so that a new bundled level changes none of them.
MAZE = (HERE / "levels" / "maze.dat").read_bytes()
MAZE_LOSS = "dssdddwwds"  # the Brugak catches Corvel on the last key
ESCAPE_IN_ONE = (HERE / "levels" / "escape-in-one.dat").read_bytes()


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


@contextlib.contextmanager
def case(name):
    """Names the case of a table in its failure."""
    try:
        yield
    except Failure as failure:
        raise Failure(f"{name}: {failure}") from None


def wait_for(what, probe, timeout=8.0, interval=0.1):
    """Polls probe() until it returns something true; fails after timeout with the last value."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what} (last: {value!r})")
        time.sleep(interval)


# ---------------------------------------------------------------- pictures

# 8-bit RGB whatever the source: a grey picture would otherwise come out as a PGM.
PPM_OPTIONS = ["-depth", "8", "-type", "TrueColor"]


def read_ppm(data):
    """A binary PPM as (width, height, bytes)."""
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    check(fields[0] == b"P6" and fields[3] == b"255", f"unexpected picture format {fields}")
    width, height = int(fields[1]), int(fields[2])
    pixels = data[pos + 1:pos + 1 + width * height * 3]
    return width, height, pixels


class Picture:
    def __init__(self, width, height, pixels):
        self.width, self.height, self.pixels = width, height, pixels

    @classmethod
    def from_file(cls, path):
        return cls(*read_ppm(subprocess.run(["convert", str(path), *PPM_OPTIONS, "ppm:-"], check=True,
                                            capture_output=True, timeout=30).stdout))

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])


class Reference:
    def __init__(self, picture, state):
        self.picture, self.state = picture, state


class Env:
    """Everything one run shares: the display, the Wine prefix, the probe, the reference renderer.

    The probe calls back on a local port: the process `wine` starts may be start.exe rather than the
    probe itself (so with 32-bit Wine installed), and that one does not pass its pipes on."""

    def __init__(self, args, work, wine, wine_env, probe):
        self.args, self.work, self.wine, self.env = args, work, wine, wine_env
        self.references = {}
        self.connection = None
        with socket.create_server(("127.0.0.1", 0)) as listener:
            token = secrets.token_hex(16)
            self.probe = subprocess.Popen(wine.command + [probe, str(listener.getsockname()[1]), token],
                                          stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                          stderr=subprocess.DEVNULL, env=wine_env, cwd=work)
            self.connection = self.accept(listener, token)
        self.replies = self.connection.makefile("rb")

    def accept(self, listener, token, timeout=90):
        """The probe's call, once it has said the token it was given."""
        listener.settimeout(0.5)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if self.probe.poll() is not None:
                raise Unavailable(f"the probe ended (status {self.probe.returncode}) before it called back")
            try:
                connection, _ = listener.accept()
            except TimeoutError:
                continue
            connection.settimeout(15)
            try:
                said = connection.makefile("rb").readline().strip().decode(errors="replace")
            except (OSError, TimeoutError):
                said = None
            if said == token:
                return connection
            connection.close()
        self.probe.kill()
        self.probe.wait()
        raise Unavailable(f"the probe did not call back within {timeout} s")

    def ask(self, line, timeout=15.0):
        """One probe command and its JSON reply."""
        self.connection.settimeout(timeout)
        try:
            self.connection.sendall((line + "\n").encode())
            reply = self.replies.readline()
        except TimeoutError:
            raise Failure(f"the probe did not answer {line!r}") from None
        except OSError as error:
            raise Failure(f"the probe's connection broke on {line!r}: {error}") from None
        if not reply:
            raise Failure(f"the probe ended on {line!r}")
        return json.loads(reply)

    def close(self):
        try:
            if self.connection:
                self.connection.settimeout(10)
                self.connection.sendall(b"quit\n")
                self.connection.close()
            self.probe.wait(timeout=15)
        except (OSError, subprocess.TimeoutExpired):
            self.probe.kill()
            self.probe.wait()

    def reference(self, level, keys):
        """The board after keys as corvel-level sees it: its picture (render) and its state (play)."""
        key = (level, keys)
        if key not in self.references:
            stem = self.work / f"reference-{len(self.references)}"
            level_file = stem.with_suffix(".dat")
            level_file.write_bytes(level)
            subprocess.run([self.args.render, "render", str(level_file), str(stem.with_suffix(".png")), "--", keys],
                           check=True, capture_output=True, timeout=30)
            state = subprocess.run([self.args.render, "play", str(level_file), "--json", "--", keys], check=True,
                                   capture_output=True, text=True, timeout=30).stdout
            self.references[key] = Reference(Picture.from_file(stem.with_suffix(".png")), json.loads(state))
        return self.references[key]


class Game:
    """One run of corvel.exe in a folder of its own, with the level file given (None: no file).

    The game is known by its window (class and title) and the process that owns it, which the probe
    holds open: `wine` may start it through start.exe, a process of its own."""

    def __init__(self, env, name, level, trace_paints=False):
        self.env = env
        check(env.ask("window") is None, "a game from before is still open")
        self.folder = env.work / name
        shutil.rmtree(self.folder, ignore_errors=True)
        self.folder.mkdir()
        self.set_level(level)
        game_env, self.log = env.env, self.folder / "wine.log"
        if trace_paints:
            # Wine's own trace of every BeginPaint, with the area to paint: the one way to see a
            # repaint that changes no pixel.
            game_env = dict(env.env, WINEDEBUG="-all,trace+win")
            self.log = self.folder / "wine-trace.log"
        # Wine's messages go to a file: a pipe could be held open by the services Wine starts.
        with open(self.log, "wb") as log:
            self.launcher = subprocess.Popen(env.wine.command + [env.args.exe], cwd=self.folder, env=game_env,
                                             stdout=subprocess.DEVNULL, stderr=log)
        self.ended = None
        try:
            self.window = wait_for("the game's window", self.find_window, timeout=60)
            process = wait_for("the game's process", lambda: self.env.ask("track"))
            image = Path(env.args.exe).name
            check(process["image"].lower() == image.lower(),
                  f"the game's window belongs to {process['image']}, not {image}")
            self.xid = wait_for("the game's X window", self.find_x_window)
        except BaseException:
            self.stop()  # a game that never got going must not stay for the next one
            raise

    def find_window(self):
        window = self.env.ask("window")
        if window is None and self.launcher.poll() is not None:
            raise Failure(f"`{' '.join(self.env.wine.command)}` ended with status {self.launcher.returncode} "
                          f"before the game's window appeared (Wine's messages: {self.log})")
        return window

    def set_level(self, level):
        path = self.folder / "GameData.dat"
        if level is None:
            path.unlink(missing_ok=True)
        else:
            path.write_bytes(level)

    def find_x_window(self):
        found = subprocess.run(["xdotool", "search", "--name", f"^{TITLE}$"], capture_output=True, text=True,
                               env=self.env.env, timeout=10).stdout.split()
        return found[0] if found else None

    def paints(self):
        """The areas of the game's BeginPaint calls so far, as Wine traced them."""
        text = self.log.read_text(errors="replace")
        return re.findall(r"NtUserBeginPaint hdc = \S+ box = \((\(.*?\)-\(.*?\))\)", text)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()

    def alive(self):
        return self.exit_status(0) is None

    def exit_status(self, milliseconds):
        """The game's exit code once it has ended (waiting up to milliseconds), None while it runs."""
        if self.ended is None:
            self.ended = self.env.ask(f"exitcode {milliseconds}", timeout=milliseconds / 1000 + 15)
        return self.ended

    def launcher_status(self, timeout=15):
        try:
            return self.launcher.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("`wine` did not end with the game") from None

    def unix_pid(self):
        """The Linux process that runs the game."""
        pids = unix_processes(self.env.args.prefix, Path(self.env.args.exe).name, self.folder)
        check(len(pids) == 1, f"expected one Linux process running the game, found {pids}")
        return pids[0]

    def stop(self):
        try:
            check(self.env.ask("end", timeout=30), "the game did not end when told to")
        finally:
            # Whatever `wine` started ends with the game: start.exe waits for it.
            try:
                self.launcher.wait(timeout=15)
            except subprocess.TimeoutExpired:
                self.launcher.kill()
                self.launcher.wait(timeout=10)

    # -- what the player sees

    def boxes(self):
        return self.env.ask("boxes")

    def wait_box(self, text, caption):
        """Waits for exactly this box, the only one open, and answers it."""
        boxes = wait_for(f"the box {caption!r}", self.boxes)
        check(boxes == [{"caption": caption, "text": text}], f"expected only the box {caption!r}: {text!r}, got {boxes}")
        check(self.env.ask(f"answer {caption}"), f"could not answer the box {caption!r}")
        wait_for(f"the box {caption!r} to close", lambda: self.boxes() == [])

    def no_box_for(self, seconds=1.5):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            boxes = self.boxes()
            check(boxes == [], f"no box expected, got {boxes}")
            time.sleep(0.2)

    def screenshot(self):
        x, y = self.window["x"], self.window["y"]
        w, h = CLIENT_SIZE
        data = subprocess.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage",
                               *PPM_OPTIONS, "ppm:-"],
                              capture_output=True, env=self.env.env, check=True, timeout=30).stdout
        return Picture(*read_ppm(data))

    def differences(self, level, keys):
        """What differs between the client area and corvel-level render: None when it matches."""
        return board_differences(self.screenshot(), self.env.reference(level, keys))

    def wait_board(self, level, keys, timeout=8.0):
        try:
            wait_for("the board", lambda: self.differences(level, keys) is None, timeout=timeout, interval=0.2)
        except Failure:
            shot = self.screenshot()
            (self.folder / "mismatch.ppm").write_bytes(b"P6 %d %d 255\n" % (shot.width, shot.height) + shot.pixels)
            raise Failure(f"the board after {keys!r} does not match the render: {self.differences(level, keys)} "
                          f"(screenshot in {self.folder / 'mismatch.ppm'})")

    def assert_board(self, level, keys):
        problem = self.differences(level, keys)
        check(problem is None, f"the board after {keys!r} does not match the render: {problem}")

    # -- what the player does

    def type(self, keys):
        """Real key presses through the X server: Wine turns them into WM_KEYDOWN, the loop into WM_CHAR."""
        subprocess.run(["xdotool", "mousemove", "--window", self.xid, "90", "100", "click", "1"],
                       env=self.env.env, check=True, timeout=10)
        # Keys typed before Wine has given the window the focus would go nowhere.
        wait_for("the game's window to have the focus", lambda: self.env.ask("focused"))
        for key in keys:
            subprocess.run(["xdotool", "key", key], env=self.env.env, check=True, timeout=10)

    def play(self, level, keys, start=""):
        """Types keys one at a time and checks that the board follows each of them."""
        for i in range(len(keys)):
            self.type(keys[i])
            self.wait_board(level, start + keys[:i + 1])

    def finish(self, level, keys, text, caption):
        """Plays keys, the last of which ends the game with this box, and answers the box."""
        self.play(level, keys[:-1])
        self.type(keys[-1])
        self.wait_box(text, caption)

    def choose(self, identifier):
        """A menu command as a player picks it: F10 to the menu bar, arrows to the item, Enter."""
        self.type(MENU_KEYS[identifier])

    def exit_code(self, timeout=15):
        """The exit code of the game's own process, as Windows reports it to any program that waits for it."""
        code = self.exit_status(int(timeout * 1000))
        if code is None:
            raise Failure("the game did not end")
        return code


def board_differences(shot, reference):
    """Walls to the pixel everywhere; inside the discs' cells a pixel or two at the rim may differ, and
    the centre must have the disc's colour."""
    check((shot.width, shot.height) == CLIENT_SIZE, "screenshot of the wrong size")
    ref, state = reference.picture, reference.state
    discs = {tuple(state["monster"]): (0, 0, 0)}
    if state["status"] == "Playing":
        discs[tuple(state["hero"])] = (255, 0, 0)
    for (cx, cy), colour in discs.items():
        centre = (cx * CELL + CELL // 2, cy * CELL + CELL // 2)
        if shot.at(*centre) != colour:
            return f"the disc at cell ({cx}, {cy}) has {shot.at(*centre)} at its centre, not {colour}"
    for y in range(shot.height):
        for x in range(shot.width):
            expected = ref.at(x, y) if x < ref.width and y < ref.height else (255, 255, 255)
            got = shot.at(x, y)
            if got == expected:
                continue
            cell = (x // CELL, y // CELL)
            inside_disc = cell in discs and x % CELL != 0 and y % CELL != 0
            if inside_disc and near_outline(ref, x, y):
                continue
            return f"pixel ({x}, {y}) is {got}, the render has {expected}"
    return None


def near_outline(ref, x, y):
    """Whether a black outline pixel of the render lies within two pixels: GDI's Ellipse may round the
    rim differently from the render."""
    for dy in range(-2, 3):
        for dx in range(-2, 3):
            if 0 <= x + dx < ref.width and 0 <= y + dy < ref.height and ref.at(x + dx, y + dy) == (0, 0, 0):
                return True
    return False


def refusal_text(env, folder):
    """The box text for the level file in folder, from the game's own reader run by corvel-level; the game
    names the folder in full, as Windows spells it."""
    where = env.wine.windows_path(env.env, folder)
    if not (Path(folder) / "GameData.dat").exists():
        return ("The level cannot be loaded.\r\n\r\nThere is no GameData.dat in the folder " + where +
                "\r\n\r\nPut a level there, then choose New Game from the File menu.")
    out = subprocess.run([env.args.render, "show", "GameData.dat"], capture_output=True, text=True, cwd=folder,
                         timeout=30)
    check(out.returncode == 1, f"corvel-level accepted the level: {out.stdout}")
    message = out.stderr.strip().removeprefix("corvel-level: ")
    return ("The level cannot be loaded.\r\n\r\n" + where + "\\" + message +
            "\r\n\r\nMend the file, then choose New Game from the File menu.")


def assert_blank(game):
    shot = game.screenshot()
    check(set(shot.pixels) == {255}, "the board should be empty (all white) while no level is loaded")


# ---------------------------------------------------------------- the tests

TESTS = []


def test(fn=None, *, needs="game"):
    """Registers a test. needs: "game" to play the exe under Wine, "probe" for the probe alone (any
    Wine will do), "nothing" for neither."""
    def register(fn):
        fn.needs = needs
        TESTS.append(fn)
        return fn
    return register(fn) if fn else register


@test(needs="nothing")
def imports_only_system_dlls(env):
    dump = subprocess.run(["objdump", "-p", env.args.exe], capture_output=True, text=True, check=True,
                          timeout=30).stdout
    dlls = {line.split(":", 1)[1].strip().lower() for line in dump.splitlines() if "DLL Name:" in line}
    check(dlls and dlls <= SYSTEM_DLLS, f"imports DLLs beyond Windows' own: {sorted(dlls - SYSTEM_DLLS)}")
    check("(Windows GUI)" in dump, "not a GUI-subsystem program")


@test(needs="probe")
def menu_and_version_resources(env):
    res = env.ask(f"resources {env.args.exe_windows_path}")
    check(res is not None, "the exe's resources cannot be read")
    check(res["menu"] == [
        {"text": "File", "items": [{"text": "New Game", "id": NEW_GAME}, {"separator": True},
                                   {"text": "Exit", "id": EXIT}]},
        {"text": "Help", "items": [{"text": "Instructions", "id": INSTRUCTIONS}]},
    ], f"menu resource 101: {res['menu']}")
    types = set(res["types"])
    check({RT_ICON, RT_GROUP_ICON, RT_MENU, RT_VERSION} <= types <= {RT_ICON, RT_GROUP_ICON, RT_MENU, RT_VERSION, RT_MANIFEST},
          f"resource types {sorted(types, key=str)}: the icon, a menu and a version, no accelerators")
    check(res["version"] == env.args.version, f"version resource {res['version']!r}, project {env.args.version!r}")


@test
def start_paints_the_level_without_input(env):
    with Game(env, "start", MAZE) as game:
        outer = (game.window["outerWidth"], game.window["outerHeight"])
        check(outer == (189, 257), f"window size {outer}")
        client = (game.window["width"], game.window["height"])
        check(client == CLIENT_SIZE, f"client area {client}")
        game.wait_board(MAZE, "")
        check(game.boxes() == [], "a box at start")


@test
def keys_move_the_pieces_and_every_key_repaints(env):
    with Game(env, "keys", MAZE, trace_paints=True) as game:
        game.wait_board(MAZE, "")
        # Into the wall above, and a key that is no game key: nothing moves and the Brugak takes
        # no turn, yet the whole board is painted again.
        for key in "wx":
            before = len(game.paints())
            game.type(key)
            wait_for(f"a repaint after {key!r}", lambda: len(game.paints()) > before)
            check(game.paints()[-1] == WHOLE_CLIENT_AREA, f"repainted only {game.paints()[-1]} after {key!r}")
            game.wait_board(MAZE, "")
        game.play(MAZE, "dsf")


# The two ends of a game: the level, the keys that decide it, and the box that follows.
END_CASES = [
    ("escaped", ESCAPE_IN_ONE, "d", ESCAPED),
    ("caught", MAZE, MAZE_LOSS, CAUGHT),
]


@test
def end_of_game_box_once(env):
    for name, level, keys, (text, caption) in END_CASES:
        with case(name), Game(env, f"end-{name}", level) as game:
            game.wait_board(level, "")
            game.finish(level, keys, text, caption)
            game.wait_board(level, keys)  # the hero is gone, only the Brugak's disc is left
            check(env.ask("cover"), "could not cover the board")
            game.no_box_for()
            game.assert_board(level, keys)
            game.type("f")
            game.no_box_for()
            game.assert_board(level, keys)


@test
def new_game_restores_the_pieces_and_rearms_the_box(env):
    with Game(env, "new-game", MAZE) as game:
        game.wait_board(MAZE, "")
        game.play(MAZE, "dss")
        game.choose(NEW_GAME)  # in the middle of a game
        game.wait_board(MAZE, "")
        game.finish(MAZE, MAZE_LOSS, *CAUGHT)
        game.choose(NEW_GAME)  # after the end
        game.wait_board(MAZE, "")
        game.finish(MAZE, MAZE_LOSS, *CAUGHT)


@test
def instructions_box(env):
    with Game(env, "instructions", MAZE) as game:
        game.wait_board(MAZE, "")
        game.play(MAZE, "d")
        game.choose(INSTRUCTIONS)
        game.wait_box(INSTRUCTIONS_TEXT, "Instructions")
        game.assert_board(MAZE, "d")
        check(game.alive(), "the game ended")


# The two ways out, each of which must end the process with exit code 0.
EXIT_CASES = [
    ("File > Exit", lambda game: game.choose(EXIT)),
    ("closing the window with Alt+F4", lambda game: game.type(["alt+F4"])),
]


@test
def exit_and_close_end_with_code_0(env):
    for name, leave in EXIT_CASES:
        with case(name), Game(env, "exit", MAZE) as game:
            game.wait_board(MAZE, "")
            leave(game)
            code = game.exit_code()
            check(code == 0, f"exit code {code}")
            # And what a script that runs `wine corvel.exe` sees, start.exe in between or not.
            check(game.launcher_status() == code, f"`wine` ended with status {game.launcher_status()}")


# Level files the game refuses at start.
REFUSED_CASES = [
    ("missing", None),
    ("one line", b"not a level\r\n"),
    ("empty board", b"0 0\r\n0 0\r\n0 0\r\n0 0\r\n"),
]


@test
def refused_level_at_start_then_mended(env):
    for name, level in REFUSED_CASES:
        with case(name), Game(env, "refused", level) as game:
            game.wait_box(refusal_text(env, game.folder), TITLE)
            check(game.alive(), "the game ended")
            assert_blank(game)
            game.type("d")  # no game yet: nothing to move
            game.no_box_for(0.5)
            assert_blank(game)
            game.set_level(MAZE)
            game.choose(NEW_GAME)
            game.wait_board(MAZE, "")
            game.play(MAZE, "d")


@test
def refused_level_at_new_game_keeps_the_game(env):
    with Game(env, "refused-later", MAZE) as game:
        game.wait_board(MAZE, "")
        game.play(MAZE, "ds")
        game.set_level(b"not a level\r\n")
        game.choose(NEW_GAME)
        game.wait_box(refusal_text(env, game.folder), TITLE)
        game.wait_board(MAZE, "ds")
        game.play(MAZE, "d", start="ds")


def cpu_ticks(pid):
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime and stime, fields 14 and 15


@test
def idle_uses_no_processor(env):
    with Game(env, "idle", MAZE) as game:
        game.wait_board(MAZE, "")
        server = wineserver_pid(env.args.prefix)
        check(server is not None, "no wineserver for the prefix")
        pids = [game.unix_pid(), server]
        time.sleep(1)
        before, start = sum(cpu_ticks(p) for p in pids), time.monotonic()
        time.sleep(5)
        used = (sum(cpu_ticks(p) for p in pids) - before) / os.sysconf("SC_CLK_TCK")
        percent = 100 * used / (time.monotonic() - start)
        print(f"    idle: corvel.exe and wineserver used {percent:.2f}% of one core over 5 s")
        check(percent < 2, f"idle CPU {percent:.2f}% of one core")


# ---------------------------------------------------------------- running

def start_wine(args, work, wine, wine_env, probe):
    """The probe, once its own window is seen on the display: a run whose Wine draws off screen would
    otherwise fail every test for a reason that has nothing to do with the game."""
    env = Env(args, work, wine, wine_env, probe)
    if env.ask("signal on", timeout=60) and wait_for_x_window(wine_env, "corvel-e2e-probe"):
        env.ask("signal off")
        return env
    env.close()
    raise Unavailable("Wine's windows do not reach the virtual display")


def wait_for_x_window(wine_env, title, timeout=10):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        if subprocess.run(["xdotool", "search", "--name", f"^{title}$"], env=wine_env, capture_output=True,
                          timeout=10).stdout.strip():
            return True
        time.sleep(0.2)
    return False


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--list", action="store_true", help="print the tests' names and stop")
    parser.add_argument("--exe", help="corvel.exe")
    parser.add_argument("--probe", help="wine_probe.exe, built like the exe")
    parser.add_argument("--probe64", help="the 64-bit wine_probe.exe: reads a 32-bit exe's resources where "
                                          "32-bit Wine cannot run")
    parser.add_argument("--render", help="corvel-level, for the reference pictures")
    parser.add_argument("--version", help="the project's version")
    parser.add_argument("--work", help="a folder for the Wine prefix and the games")
    parser.add_argument("--only", help="run only these tests (comma-separated names)")
    args = parser.parse_args()
    if args.list:
        return args
    for name in ("exe", "probe", "render", "version", "work"):
        if not getattr(args, name):
            parser.error(f"--{name} is needed")
    for name in ("exe", "probe", "probe64", "render"):
        if getattr(args, name):
            setattr(args, name, str(Path(getattr(args, name)).resolve()))
    return args


def selected_tests(args):
    if not args.only:
        return TESTS
    names = args.only.split(",")
    unknown = sorted(set(names) - {fn.__name__ for fn in TESTS})
    if unknown:
        raise SystemExit(f"no such test: {', '.join(unknown)}")
    return [fn for fn in TESTS if fn.__name__ in names]


def open_wine(args, work, wine, wine_env, exe64, tests, problem):
    """The probe for these tests and the reason the exe cannot be played here (None: it can), given
    the reason known before trying."""
    if problem is None:
        try:
            return start_wine(args, work, wine, wine_env, args.probe), None
        except Unavailable as error:
            if exe64:
                raise
            problem = f"32-bit Wine is installed but cannot run the 32-bit probe here: {error}"
    if not any(fn.needs == "probe" for fn in tests):
        return None, problem
    if not args.probe64 or not Path(args.probe64).exists():
        raise Unavailable(f"the 32-bit exe cannot be run here ({problem}), and the 64-bit probe that reads "
                          "its resources is not built: build the win64 preset first")
    return start_wine(args, work, wine, wine_env, args.probe64), problem


def set_up(args, work, wine, display, exe64, tests, problem):
    """The prefix and the probe: open_wine's answer, after one more try with the 64-bit loader
    itself where `wine` goes through a 32-bit Wine that cannot run the 64-bit probe."""
    wine_env = wine.environment(display, args.prefix)
    wine.prepare_prefix(args.prefix, wine_env)
    args.exe_windows_path = wine.windows_path(wine_env, args.exe)
    try:
        return open_wine(args, work, wine, wine_env, exe64, tests, problem)
    except Unavailable as error:
        direct = wine.direct64()
        if not exe64 or direct is None:
            raise
        print(f"`wine` cannot run the 64-bit probe here ({error}): 32-bit Wine starts but does not work, "
              f"so trying {direct.command[0]} without it", flush=True)
        end_wineserver(args.prefix)
        return set_up(args, work, direct, display, exe64, tests, problem)


def run_tests(env, tests, problem):
    passed = failed = skipped = 0
    for fn in tests:
        if fn.needs == "game" and problem:
            skipped += 1
            print(f"SKIP {fn.__name__}: the exe is not played here: {problem}", flush=True)
            continue
        started = time.monotonic()
        try:
            fn(env)
            passed += 1
            print(f"PASS {fn.__name__} ({time.monotonic() - started:.1f} s)", flush=True)
        except Exception as error:  # a crash in one test is that test's failure
            failed += 1
            print(f"FAIL {fn.__name__}: {error}", flush=True)
            if not isinstance(error, Failure):
                traceback.print_exc()
    print(f"{passed} passed, {failed} failed" + (f", {skipped} skipped" if skipped else ""))
    if failed:
        return 1
    return SKIPPED if skipped and not passed else 0


def main():
    args = parse_args()
    if args.list:
        print("\n".join(fn.__name__ for fn in TESTS))
        return 0
    tests = selected_tests(args)
    work = Path(args.work).resolve()
    work.mkdir(parents=True, exist_ok=True)
    args.prefix = str(work / "prefix")
    wine = Wine()
    exe64 = is_64bit_exe(args.exe)
    print(f"{'64' if exe64 else '32'}-bit corvel.exe; Wine here: {wine.describe()}", flush=True)
    problem = None if exe64 else wine.wine32_problem
    if all(fn.needs == "nothing" or (fn.needs == "game" and problem) for fn in tests):
        return run_tests(SimpleNamespace(args=args), tests, problem)

    xvfb, display = start_display()
    env = None
    try:
        env, problem = set_up(args, work, wine, display, exe64, tests, problem)
        return run_tests(env, tests, problem)
    except Unavailable as error:
        print(f"FAIL: {error}")
        return 1
    finally:
        if env:
            env.close()
        end_wineserver(args.prefix)
        xvfb.terminate()
        xvfb.wait(timeout=10)


if __name__ == "__main__":
    sys.exit(main())
