# Checks the Debian package as a player gets it: its name, control fields and files, lintian's verdict,
# and, unpacked into a folder of its own (nothing is installed on the machine), the game started from
# its desktop entry on a virtual display, quietly, on its bundled level, and the tool's --version.
# CORVEL_DEB names the package to check; without it the package is made from CORVEL_BUILD_DIR with cpack.
import gzip
import os
import re
import shlex
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(SOURCE, "tests", "e2e", "gtk"))

VERSION = os.environ["CORVEL_VERSION"]
SUMMARY = os.environ["CORVEL_SUMMARY"]
ROOT = tempfile.mkdtemp(prefix="corvel-package-root-")
# The programs under test are the package's own: corvel_session drives them.
os.environ["CORVEL_PROGRAM"] = os.path.join(ROOT, "usr", "games", "corvel")
os.environ["CORVEL_LEVEL_TOOL"] = os.path.join(ROOT, "usr", "games", "corvel-level")

from corvel_session import CorvelSession, Desktop, render, wait_for  # noqa: E402
from test_corvel_window import desktop_entry, differences  # noqa: E402

BUNDLED = os.path.join(SOURCE, "GameData.dat")
PACK = os.path.join(SOURCE, "levels")
ENTRY = "usr/share/applications/net.corvelgame.Corvel.desktop"
PROGRAMS = {"usr/games/corvel", "usr/games/corvel-level"}

package = None
desktop = None


def make_package(out):
    """The package made by cpack from the build, in out."""
    build = os.environ["CORVEL_BUILD_DIR"]
    subprocess.run(["cpack", "-G", "DEB", "--config", os.path.join(build, "CPackConfig.cmake"), "-B", out],
                   check=True, stdout=subprocess.DEVNULL, timeout=600)
    made = [name for name in os.listdir(out) if name.endswith(".deb")]
    assert len(made) == 1, f"cpack made {made}"
    return os.path.join(out, made[0])


def setUpModule():
    global package, desktop
    package = os.environ.get("CORVEL_DEB")
    if not package:
        out = tempfile.mkdtemp(prefix="corvel-package-")
        unittest.addModuleCleanup(shutil.rmtree, out, True)
        package = make_package(out)
    unittest.addModuleCleanup(shutil.rmtree, ROOT, True)
    subprocess.run(["dpkg-deb", "-x", package, ROOT], check=True, timeout=120)
    desktop = Desktop()
    unittest.addModuleCleanup(desktop.close)


def field(name):
    return subprocess.run(["dpkg-deb", "-f", package, name], check=True, capture_output=True, text=True,
                          timeout=30).stdout.strip()


def expected_files():
    pack = {f"usr/share/corvel/levels/{name}" for name in os.listdir(PACK)}
    return PROGRAMS | pack | {
        "usr/share/corvel/GameData.dat",
        "usr/share/corvel/levels/bundled.dat",
        ENTRY,
        "usr/share/metainfo/net.corvelgame.Corvel.metainfo.xml",
        "usr/share/icons/hicolor/scalable/apps/net.corvelgame.Corvel.svg",
        "usr/share/man/man6/corvel.6.gz",
        "usr/share/man/man6/corvel-level.6.gz",
        "usr/share/doc/corvel/copyright",
        "usr/share/doc/corvel/changelog.Debian.gz",
        "usr/share/lintian/overrides/corvel",
    }


class ControlTest(unittest.TestCase):
    def test_name_says_package_version_and_architecture(self):
        architecture = subprocess.run(["dpkg", "--print-architecture"], check=True, capture_output=True,
                                      text=True, timeout=30).stdout.strip()
        self.assertEqual(field("Package"), "corvel")
        self.assertEqual(field("Architecture"), architecture)
        self.assertRegex(field("Version"), rf"^{re.escape(VERSION)}-[0-9]+$")
        self.assertEqual(os.path.basename(package), f"corvel_{field('Version')}_{architecture}.deb")

    def test_fields(self):
        self.assertEqual(field("Section"), "games")
        self.assertEqual(field("Priority"), "optional")
        self.assertRegex(field("Maintainer"), r"^[^<>@]+ <[^<>@\s]+@[^<>@\s]+\.[a-z]+>$")
        description = field("Description").splitlines()
        self.assertEqual(description[0], SUMMARY)
        self.assertIn("Brugak", " ".join(description[1:]))
        self.assertRegex(field("Installed-Size"), r"^[0-9]+$")

    def test_depends_found_from_the_programs_libraries(self):
        depends = {part.split()[0] for part in field("Depends").split(", ")}
        for library in ("libc6", "libgtk-4-1", "libpng16-16"):
            self.assertIn(library, depends)


class ContentsTest(unittest.TestCase):
    def test_file_list_owners_and_modes(self):
        listing = subprocess.run(["dpkg-deb", "-c", package], check=True, capture_output=True, text=True,
                                 timeout=30).stdout.splitlines()
        files = set()
        for line in listing:
            mode, owner, _size, _date, _time, path = line.split(None, 5)
            path = path.removeprefix("./").rstrip("/")
            self.assertEqual(owner, "root/root", path)
            if mode.startswith("d"):
                self.assertEqual(mode, "drwxr-xr-x", path)
            else:
                self.assertEqual(mode, "-rwxr-xr-x" if path in PROGRAMS else "-rw-r--r--", path)
                files.add(path)
        self.assertEqual(files, expected_files())

    def test_levels_are_the_bundled_level_and_the_pack(self):
        levels = os.path.join(ROOT, "usr", "share", "corvel")
        for installed, source in [("GameData.dat", BUNDLED), ("levels/bundled.dat", BUNDLED)] + [
                (f"levels/{name}", os.path.join(PACK, name)) for name in os.listdir(PACK)]:
            with open(os.path.join(levels, installed), "rb") as got, open(source, "rb") as want:
                self.assertEqual(got.read(), want.read(), installed)

    def test_copyright_and_changelog(self):
        doc = os.path.join(ROOT, "usr", "share", "doc", "corvel")
        with open(os.path.join(doc, "copyright"), encoding="utf-8") as copyright:
            self.assertTrue(copyright.readline().startswith(
                "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/"))
        with gzip.open(os.path.join(doc, "changelog.Debian.gz"), "rt", encoding="utf-8") as changelog:
            self.assertTrue(changelog.readline().startswith(f"corvel ({field('Version')}) "))

    def test_lintian_finds_no_error_and_no_warning(self):
        result = subprocess.run(["lintian", "--fail-on", "error,warning", "--info", package],
                                capture_output=True, text=True, timeout=600)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)


class UnpackedTest(unittest.TestCase):
    def test_the_tool_answers_its_version(self):
        result = subprocess.run([os.environ["CORVEL_LEVEL_TOOL"], "--version"], capture_output=True, text=True,
                                timeout=30)
        self.assertEqual((result.returncode, result.stdout.strip()), (0, f"corvel-level {VERSION}"))

    def test_the_desktop_entry_starts_the_game_quietly_on_its_level(self):
        entry = desktop_entry(os.path.join(ROOT, ENTRY))
        command = shlex.split(entry["Exec"])
        self.assertEqual(command, ["/usr/games/corvel"])
        self.assertEqual(entry["Path"], "/usr/share/corvel")
        # Started as the entry says, with the unpacked package standing in for /.
        pictures = tempfile.mkdtemp(prefix="corvel-package-pictures-")
        self.addCleanup(shutil.rmtree, pictures, True)
        with open(os.path.join(pictures, "out.txt"), "w+") as out:
            session = CorvelSession(command=[ROOT + command[0]], folder=ROOT + entry["Path"], output=out)
            self.addCleanup(session.close)
            expected = render(os.path.join(ROOT + entry["Path"], "GameData.dat"), os.path.join(pictures, "expected.png"))
            shot = os.path.join(pictures, "window.png")
            wait_for("the bundled level on the board",
                     lambda: not differences(session.screenshot(shot), session.board_area(), expected))
            session.assert_no_dialog(settle=0.5)
            session.close_window()
            self.assertEqual(session.wait_exit(), 0)
            out.seek(0)
            self.assertEqual(out.read(), "")


if __name__ == "__main__":
    unittest.main(verbosity=2)
