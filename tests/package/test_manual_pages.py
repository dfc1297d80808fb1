# The manual pages corvel(6) and corvel-level(6) as built: they render with man, without a warning,
# and name what they are about: every command of corvel-level, the game's keys and menu commands.
import os
import re
import subprocess
import unittest

TOOL = os.environ["CORVEL_LEVEL_TOOL"]
GAME_PAGE = os.environ["CORVEL_GAME_MANUAL_PAGE"]
TOOL_PAGE = os.environ["CORVEL_TOOL_MANUAL_PAGE"]


def rendered(page):
    """The page as man shows it, as plain text; fails on anything man or groff complains of."""
    env = dict(os.environ, MANWIDTH="100", MANPAGER="cat", PAGER="cat", LC_ALL="C.UTF-8")
    result = subprocess.run(["man", "--warnings", "-l", page], capture_output=True, text=True, env=env, timeout=60)
    assert result.returncode == 0 and not result.stderr, f"man -l {page}: {result.returncode} {result.stderr}"
    # Pages written for a pipe may still carry overstrikes for bold: keep the letters alone.
    return re.sub(r".\x08", "", result.stdout)


def tool_commands():
    """The commands corvel-level's own help lists."""
    help_text = subprocess.run([TOOL, "--help"], check=True, capture_output=True, text=True, timeout=30).stdout
    listed = help_text.split("\nCommands:\n", 1)[1]
    return re.findall(r"^  ([a-z]+)", listed, re.MULTILINE)


class ManualPageTest(unittest.TestCase):
    def test_the_tool_page_names_and_explains_every_command(self):
        text = rendered(TOOL_PAGE)
        self.assertIn("corvel-level - show, play, render, check, solve and generate levels", text)
        commands = tool_commands()
        self.assertGreaterEqual(len(commands), 6)
        for command in commands:
            with self.subTest(command=command):
                # Each has a section of its own, with the options its --help gives.
                self.assertRegex(text, rf"(?m)^ +corvel-level {command}\n")
                own_help = subprocess.run([TOOL, command, "--help"], check=True, capture_output=True, text=True,
                                          timeout=30).stdout
                for option in re.findall(r"^\s+(--[a-z]+)", own_help, re.MULTILINE):
                    self.assertIn(option, text)

    def test_the_game_page_names_its_keys_menus_and_files(self):
        text = rendered(GAME_PAGE)
        self.assertIn("corvel - Corvel and the Brugak, a maze puzzle", text)
        for named in ("File > New Game", "File > Exit", "Help > Instructions", "GameData.dat", "corvel-level(6)",
                      "gap in the outer wall", "enlarge the window"):
            with self.subTest(named=named):
                self.assertIn(named, " ".join(text.split()))
        for key, meaning in (("w", "up"), ("s", "down"), ("a", "left"), ("d", "right"), ("f", "wait a turn")):
            with self.subTest(key=key):
                self.assertRegex(text, rf"(?m)^ +{key}\s+{meaning}$")


if __name__ == "__main__":
    unittest.main(verbosity=2)
