# End-to-end tests of the GTK program corvel: the board it paints, keys, menus, message boxes, exit and idle cost.
import os
import shlex
import shutil
import subprocess
import tempfile
import time
import unittest

from corvel_session import (CLOSE_WINDOW, CORVEL, WINDOW_TITLE, CorvelSession, Desktop, refusal, render, wait_for)

OUTPUT = os.environ.get("CORVEL_E2E_OUTPUT", tempfile.gettempdir())
BUNDLED = os.environ["CORVEL_BUNDLED_LEVEL"]
# A 6 by 7 level whose every move is easy to follow: Corvel in the top-left corner, the exit behind
# the top-right one, the Brugak in the bottom-right corner and a few walls between.
OPEN_FIELD = os.path.join(os.path.dirname(os.path.abspath(__file__)), "levels", "open-field.dat")
WHITE = (255, 255, 255)

# On the open field: Corvel runs along the top row and out; Corvel walks into the Brugak's way.
ESCAPING_KEYS = "dddddd"
DYING_KEYS = "ddss"
END_BOXES = [
    ("escaped", ESCAPING_KEYS, "Congratulations!", "Corvel has escaped from the maze!"),
    ("caught", DYING_KEYS, "Game Over!", "Corvel has died."),
]

# The Instructions box, as every front-end shows it.
with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "instructions.txt"), encoding="utf-8") as f:
    INSTRUCTIONS = f.read()

desktop = None


def setUpModule():
    global desktop
    desktop = Desktop()


def tearDownModule():
    desktop.close()


# GDI and cairo may round a disc's rim differently by a pixel, here and there: a budget for that, far
# below what a missing outline, a wrong colour or a misplaced disc would give.
RIM_SLACK = 60


def differences(shot, area, expected):
    """Pixels of the board area that differ from the expected picture (white where it has none).

    Walls must match to the pixel. On a disc's rim (where the expected pixel's neighbours are not all
    one colour) the colour of a neighbour passes, up to RIM_SLACK such pixels in all.
    """
    wrong, slack = [], []
    for y in range(area.height):
        for x in range(area.width):
            got = shot.pixel(area.x + x, area.y + y)
            want = expected.pixel(x, y) if x < expected.width and y < expected.height else WHITE
            if got == want:
                continue
            near = {expected.pixel(nx, ny) for nx in range(x - 1, x + 2) for ny in range(y - 1, y + 2)
                    if 0 <= nx < expected.width and 0 <= ny < expected.height}
            on_rim = len(near) > 1 and got in near and not is_wall_pixel(expected, x, y)
            (slack if on_rim else wrong).append((x, y, got, want))
    return wrong if len(slack) <= RIM_SLACK else wrong + slack


def is_wall_pixel(picture, x, y):
    """Walls are black runs along the 30-pixel grid lines."""
    return (x % 30 == 0 or y % 30 == 0) and picture.pixel(x, y) == (0, 0, 0)


class GameWindowTest(unittest.TestCase):
    level = OPEN_FIELD

    def setUp(self):
        self.session = CorvelSession(self.level)
        self.addCleanup(self.session.close)
        self.pictures = tempfile.mkdtemp(prefix="corvel-e2e-pictures-")
        self.addCleanup(shutil.rmtree, self.pictures, True)

    def picture_path(self, name):
        return os.path.join(self.pictures, name)

    def assert_board(self, keys, level=None, timeout=5.0):
        """The window comes to show the board of the level after keys, as corvel-level renders it."""
        level = level or self.level
        expected = render(level, self.picture_path("expected.png"), keys)
        self.assert_shows(expected, f"the board after {keys!r}", timeout)

    def assert_shows(self, expected, what, timeout=5.0):
        shot_path = self.picture_path("window.png")
        last = []

        def matches():
            area = self.session.board_area()
            last[:] = differences(self.session.screenshot(shot_path), area, expected)
            return not last
        try:
            wait_for(what, matches, timeout)
        except AssertionError:
            kept = os.path.join(OUTPUT, f"failed-{self.id()}-{time.monotonic_ns()}.png")
            shutil.copyfile(shot_path, kept)
            self.fail(f"{what}: {len(last)} pixels differ, first {last[:5]}; screenshot in {kept}")

    def assert_empty_board(self):
        self.assert_shows(NothingDrawn(), "an empty board")

    def restart(self, level):
        """A new corvel in place of the one running."""
        self.session.close()
        self.session = CorvelSession(level)
        self.addCleanup(self.session.close)

    def new_game(self):
        self.session.choose("File", "New Game")


class NothingDrawn:
    """The picture of an empty board: the board area must be white throughout."""
    width = height = 0


class BundledLevelTest(GameWindowTest):
    level = BUNDLED

    def test_board_painted_at_start_in_a_window_of_the_windows_size(self):
        area = self.session.board_area()
        self.assertEqual((area.width, area.height), (181, 211))
        self.assert_board("")
        # The picture of the real window that the README shows.
        self.session.screenshot(os.path.join(OUTPUT, "corvel-window.png"))


class KeysTest(GameWindowTest):
    def test_keys_move_and_repaint(self):
        # Each row is typed after the ones before it; the board must follow every key.
        typed = ""
        for keys in ["d", "s", "a", "f", "x", "ds", "w"]:
            with self.subTest(keys=keys):
                self.session.type_keys(keys)
                typed += keys
                self.assert_board(typed)

    def test_a_wall_passes_no_turn(self):
        # Up and left from the top-left corner are walls: neither Corvel nor the Brugak moves.
        self.session.type_keys("wa")
        self.assert_board("")
        self.session.type_keys("f")
        self.assert_board("f")

    def test_new_game_mid_game_puts_both_back(self):
        self.session.type_keys("dss")
        self.assert_board("dss")
        self.new_game()
        self.assert_board("")
        self.session.type_keys("d")
        self.assert_board("d")


class EndOfGameTest(GameWindowTest):
    def test_one_box_per_game_and_again_after_new_game(self):
        for name, keys, caption, text in END_BOXES:
            with self.subTest(end=name):
                self.new_game()
                self.assert_board("")
                for game in ("first", "after New Game"):
                    with self.subTest(game=game):
                        self.session.type_keys(keys)
                        box = self.session.wait_dialog()
                        self.assertEqual((box.title, box.text), (caption, text))
                        box.answer()
                        self.assert_board(keys)
                        # More keys repaint the ended game, and so does a larger window: no second box.
                        self.session.type_keys("dsaf")
                        subprocess.run(["xdotool", "windowsize", self.session.window, "300", "300"],
                                       check=True, timeout=10)
                        self.session.assert_no_dialog()
                        self.assert_board(keys)
                        self.new_game()
                        self.assert_board("")


class MenuTest(GameWindowTest):
    def test_menu_bar(self):
        for menu, entries in [("File", ["New Game", "-", "Exit"]), ("Help", ["Instructions"])]:
            with self.subTest(menu=menu):
                self.assertEqual(self.session.menu_entries(menu), entries)

    def test_instructions(self):
        self.session.type_keys("d")
        self.session.choose("Help", "Instructions")
        box = self.session.wait_dialog()
        self.assertEqual((box.title, box.text), ("Instructions", INSTRUCTIONS))
        box.answer()
        self.session.type_keys("d")
        self.assert_board("dd")

    def test_exit_and_closing_the_window_end_with_code_0(self):
        ways = [("File > Exit", lambda session: session.choose("File", "Exit")),
                ("the close button", lambda session: session.close_window())]
        for name, leave in ways:
            with self.subTest(way=name):
                self.restart(self.level)
                self.session.type_keys("d")
                leave(self.session)
                self.assertEqual(self.session.wait_exit(), 0)


class RefusedLevelTest(GameWindowTest):
    level = None  # each case lays its own GameData.dat, or none

    def assert_refusal_box(self):
        folder = os.path.realpath(self.session.folder)  # the game names the folder it looked in in full
        if os.path.exists(self.session.level_path):
            # The reader's reason, the file named by its full path.
            why = refusal(os.path.join(folder, "GameData.dat"), folder)
            text = f"{why}\n\nMend the file"
        else:
            text = f"There is no GameData.dat in the folder {folder}\n\nPut a level there"
        box = self.session.wait_dialog()
        self.assertEqual((box.title, box.text), (WINDOW_TITLE, "The level cannot be loaded.\n\n" + text +
                                                 ", then choose New Game from the File menu."))
        box.answer()
        self.assertIsNone(self.session.process.poll(), "corvel ended")

    def test_refused_at_start_then_mended_then_refused_again(self):
        for refused in [None, "refused-three-lines.dat", "refused-zero-width.dat"]:
            with self.subTest(level=refused or "missing"):
                self.restart(refused)
                self.assert_refusal_box()
                # No game yet: an empty board on which keys do nothing.
                self.assert_empty_board()
                self.session.type_keys("dsf")
                self.session.assert_no_dialog(settle=0.5)
                self.assert_empty_board()
                # Mended: New Game plays it.
                self.session.use_level(OPEN_FIELD)
                self.new_game()
                self.assert_board("", OPEN_FIELD)
                self.session.type_keys("d")
                self.assert_board("d", OPEN_FIELD)
                # Broken again, or gone: the reload is refused and the game in progress goes on.
                if refused:
                    self.session.use_level(refused)
                else:
                    os.remove(self.session.level_path)
                self.new_game()
                self.assert_refusal_box()
                self.assert_board("d", OPEN_FIELD)
                self.session.type_keys("d")
                self.assert_board("dd", OPEN_FIELD)


class LargeBoardTest(GameWindowTest):
    def test_a_larger_board_is_cut_off_not_scaled_in_a_larger_or_smaller_window(self):
        # 10 columns by 9 rows of alternating codes: more than the window shows at first.
        level = os.path.join(self.session.folder, "large.dat")
        with open(level, "w") as out:
            out.write("10 9\n0 0\n9 8\n9 4\n" + "".join(f"{(i * 7) % 16}\n" for i in range(90)))
        self.session.use_level(level)
        self.new_game()
        self.assert_board("", level)
        for width, height in [(400, 350), (120, 100)]:
            with self.subTest(window=f"{width} x {height}"):
                subprocess.run(["xdotool", "windowsize", self.session.window, str(width), str(height)],
                               check=True, timeout=10)
                wait_for("the board area to follow the window", lambda: self.session.board_area().width == width)
                self.assert_board("", level)


class IdleTest(GameWindowTest):
    def test_idle_cpu_below_two_percent_of_a_core(self):
        self.assert_board("")
        before = self.session.cpu_seconds()
        start = os.times().elapsed
        subprocess.run(["sleep", "5"], check=True)
        used = (self.session.cpu_seconds() - before) / (os.times().elapsed - start)
        print(f"corvel idle CPU: {used * 100:.2f}% of one core over 5 s")
        self.assertLess(used, 0.02)


def desktop_entry(path):
    """The keys of a desktop entry's [Desktop Entry] group, string values unescaped."""
    keys, group = {}, None
    with open(path, encoding="utf-8") as entry:
        for line in entry.read().splitlines():
            if line.startswith("["):
                group = line
            elif group == "[Desktop Entry]" and "=" in line and not line.startswith("#"):
                key, value = line.split("=", 1)
                keys[key] = value.replace("\\\\", "\\")
    return keys


class InstalledEntryTest(unittest.TestCase):
    def test_the_desktop_entry_of_an_install_elsewhere_starts_the_game_on_its_level(self):
        # A prefix other than the configured one, with a space, as a player's home folder may have.
        stage = tempfile.mkdtemp(prefix="corvel-e2e-install-")
        self.addCleanup(shutil.rmtree, stage, True)
        prefix = os.path.join(stage, "corvel try")
        subprocess.run(["cmake", "--install", os.environ["CORVEL_BUILD_DIR"], "--prefix", prefix],
                       check=True, stdout=subprocess.DEVNULL, timeout=120)
        entry = desktop_entry(os.path.join(prefix, "share", "applications", "net.corvelgame.Corvel.desktop"))
        self.assertEqual(entry["Icon"], "net.corvelgame.Corvel")
        self.assertTrue(os.path.isfile(os.path.join(prefix, "share", "icons", "hicolor", "scalable", "apps",
                                                    "net.corvelgame.Corvel.svg")))
        # The entry's command line (quoted as a desktop entry quotes it) run in its folder, as a desktop does.
        command = shlex.split(entry["Exec"])
        self.assertEqual(command, [os.path.join(prefix, os.environ["CORVEL_INSTALL_GAMESDIR"], "corvel")])
        self.assertEqual(entry["Path"], os.path.join(prefix, "share", "corvel"))
        session = CorvelSession(command=command, folder=entry["Path"])
        self.addCleanup(session.close)
        pictures = tempfile.mkdtemp(prefix="corvel-e2e-pictures-")
        self.addCleanup(shutil.rmtree, pictures, True)
        expected = render(BUNDLED, os.path.join(pictures, "expected.png"))
        shot = os.path.join(pictures, "window.png")
        wait_for("the bundled level on the board",
                 lambda: not differences(session.screenshot(shot), session.board_area(), expected))
        session.assert_no_dialog(settle=0.5)


class QuietStartTest(unittest.TestCase):
    def test_a_start_without_a_session_bus_prints_nothing(self):
        # As a player starts it on a bare X server: no session bus, no accessibility asked for, GTK's own renderer.
        runtime = tempfile.mkdtemp(prefix="corvel-e2e-runtime-")
        self.addCleanup(shutil.rmtree, runtime, True)
        shutil.copyfile(BUNDLED, os.path.join(runtime, "GameData.dat"))
        env = {key: value for key, value in os.environ.items()
               if key not in ("DBUS_SESSION_BUS_ADDRESS", "GTK_A11Y", "GSK_RENDERER")}
        env["XDG_RUNTIME_DIR"] = runtime
        with open(os.path.join(runtime, "out.txt"), "w+") as out:
            process = subprocess.Popen([CORVEL], cwd=runtime, env=env, stdout=out, stderr=subprocess.STDOUT)
            try:
                window = wait_for("the game's window", lambda: subprocess.run(
                    ["xdotool", "search", "--all", "--pid", str(process.pid), "--name", f"^{WINDOW_TITLE}$"],
                    capture_output=True, text=True, timeout=10).stdout.split(), timeout=30)[0]
                wait_for("the window on screen", lambda: "IsViewable" in subprocess.run(
                    ["xwininfo", "-id", window], capture_output=True, text=True, timeout=10).stdout)
                subprocess.run([CLOSE_WINDOW, window], check=True, timeout=10)
                self.assertEqual(process.wait(timeout=10), 0)
            finally:
                if process.poll() is None:
                    process.kill()
                    process.wait(timeout=10)
            out.seek(0)
            self.assertEqual(out.read(), "")


if __name__ == "__main__":
    unittest.main(verbosity=2)
