# The uninstall of `cmake --install` (cmake -P BUILD/uninstall.cmake): it removes every file the
# install wrote and every folder the install made once empty, and leaves what was there before.
import os
import shutil
import subprocess
import tempfile
import unittest

BUILD = os.environ["CORVEL_BUILD_DIR"]


def install(prefix):
    subprocess.run(["cmake", "--install", BUILD, "--prefix", prefix], check=True, stdout=subprocess.DEVNULL,
                   timeout=120)


def uninstall():
    return subprocess.run(["cmake", "-P", os.path.join(BUILD, "uninstall.cmake")], check=True, capture_output=True,
                          text=True, timeout=120).stdout


def everything_under(folder):
    found = set()
    for top, folders, files in os.walk(folder):
        found.update(os.path.relpath(os.path.join(top, name), folder) for name in folders + files)
    return found


class UninstallTest(unittest.TestCase):
    def setUp(self):
        self.stage = tempfile.mkdtemp(prefix="corvel-uninstall-")
        self.addCleanup(shutil.rmtree, self.stage, True)
        # A space in the prefix, as a player's home folder may have.
        self.prefix = os.path.join(self.stage, "corvel try")

    def test_leaves_no_folder_behind_where_the_install_made_them_all(self):
        for installs in (1, 2):  # a second install over the first made none, but the first did
            with self.subTest(installs=installs):
                for _ in range(installs):
                    install(self.prefix)
                self.assertIn(os.path.join("share", "corvel", "levels", "bundled.dat"), everything_under(self.prefix))
                uninstall()
                self.assertEqual(everything_under(self.stage), set())

    def test_keeps_the_folders_that_were_there_and_what_they_hold(self):
        applications = os.path.join(self.prefix, "share", "applications")
        os.makedirs(applications)
        os.makedirs(os.path.join(self.prefix, "bin"))
        own = os.path.join(self.prefix, "bin", "my-script")
        with open(own, "w") as script:
            script.write("echo mine\n")
        install(self.prefix)
        uninstall()
        self.assertEqual(everything_under(self.stage),
                         {"corvel try", os.path.join("corvel try", "share"), os.path.join("corvel try", "bin"),
                          os.path.join("corvel try", "share", "applications"),
                          os.path.join("corvel try", "bin", "my-script")})

    def test_a_folder_given_a_file_of_the_players_after_the_install_stays_with_it(self):
        install(self.prefix)
        mine = os.path.join(self.prefix, "share", "corvel", "my-level.dat")
        with open(mine, "w") as level:
            level.write("1 1\n")
        output = uninstall()
        self.assertTrue(os.path.isfile(mine))
        self.assertIn("it is not empty", output)
        self.assertFalse(os.path.exists(os.path.join(self.prefix, "bin")))


if __name__ == "__main__":
    unittest.main(verbosity=2)
