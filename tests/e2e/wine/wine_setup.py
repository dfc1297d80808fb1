"""The Wine side of the end-to-end tests: which Wine runs what, a virtual display, the prefix, and
finding a Windows program's process whoever started it."""
import os
import random
import shutil
import subprocess
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[3]
# Debian's Wine: the `wine` command picks the 32-bit loader whenever it is installed, and that loader
# starts a 64-bit exe through start.exe, in a process of its own.
WINE32_LOADER = Path("/usr/lib/wine/wine")
WINE64_LOADER = Path("/usr/lib/wine/wine64")
INSTALL_HINT = "CORVEL_WINE32=1 scripts/install-deps.sh installs it"


class Unavailable(Exception):
    """This machine cannot run what a test needs; not a fault of the game."""


def is_64bit_exe(path):
    """Whether a PE file is built for x86-64, from the machine field of its header."""
    data = Path(path).read_bytes()[:4096]
    pe = int.from_bytes(data[0x3C:0x40], "little")
    return data[pe:pe + 4] == b"PE\0\0" and int.from_bytes(data[pe + 4:pe + 6], "little") == 0x8664


def quietly_runs(command):
    try:
        return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                              timeout=60).returncode == 0
    except (OSError, subprocess.TimeoutExpired):
        return False


def wine32_problem():
    """Why 32-bit programs cannot be run under Wine here, or None when they can be tried."""
    if not quietly_runs([str(ROOT / "scripts" / "kernel-runs-32bit.py")]):
        return "this kernel runs no 32-bit programs"
    if not WINE32_LOADER.exists():
        return f"32-bit Wine is not installed: {INSTALL_HINT}"
    if not quietly_runs([str(WINE32_LOADER), "--version"]):
        return f"32-bit Wine is installed but {WINE32_LOADER} does not start"
    return None


class Wine:
    """How to start Windows programs here: `wine`, unless a 32-bit loader that cannot start would
    make `wine` fail for every program, 64-bit ones included; or, with direct64, the 64-bit loader
    itself, for a 32-bit Wine that starts but cannot run the start.exe that `wine` puts in between."""

    def __init__(self, direct64=False):
        self.wine32_problem = wine32_problem()
        self.command, self.env = ["wine"], {}
        broken_wine32 = WINE32_LOADER.exists() and not quietly_runs([str(WINE32_LOADER), "--version"])
        if (direct64 or broken_wine32) and WINE64_LOADER.exists():
            self.command, self.env = [str(WINE64_LOADER)], {"WINELOADER": str(WINE64_LOADER)}

    def direct64(self):
        """The 64-bit loader without `wine` in between, where that is another way; None where not."""
        if self.command != ["wine"] or not WINE32_LOADER.exists() or not WINE64_LOADER.exists():
            return None
        return Wine(direct64=True)

    def environment(self, display, prefix):
        return dict(os.environ, DISPLAY=display, WINEPREFIX=str(prefix), WINEDEBUG="-all",
                    WINEDLLOVERRIDES="mscoree,mshtml=", **self.env)

    def describe(self):
        return "32-bit and 64-bit Wine" if self.wine32_problem is None else f"64-bit Wine only; {self.wine32_problem}"

    def prefix_stamp(self):
        """What made a prefix: one made before 32-bit Wine came (or went) is made again."""
        version = subprocess.run(self.command + ["--version"], capture_output=True, text=True,
                                 env=dict(os.environ, **self.env), timeout=60).stdout.strip()
        return f"{version}; 32-bit Wine: {'yes' if self.wine32_problem is None else 'no'}\n"

    def prepare_prefix(self, prefix, wine_env):
        """A Wine prefix made (or brought up to date) for the Wine installed now, its services ended."""
        prefix = Path(prefix)
        stamp_file = prefix.parent / "prefix-made-by.txt"
        stamp = self.prefix_stamp()
        end_wineserver(prefix)  # one left by a run that was stopped
        if prefix.exists() and (not stamp_file.exists() or stamp_file.read_text() != stamp):
            shutil.rmtree(prefix)
        # Wine's services keep their stdout: only a file or /dev/null may take it, never a pipe.
        subprocess.run(self.command + ["wineboot", "-i"], env=wine_env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=300)
        # Let the prefix's first processes end: a program started while they shut down may find
        # no desktop and fall back to drawing off screen.
        subprocess.run(["wineserver", "-w"], env=wine_env, timeout=300)
        stamp_file.write_text(stamp)

    def windows_path(self, wine_env, path):
        out = subprocess.run(self.command + ["winepath", "-w", str(path)], capture_output=True, text=True,
                             env=wine_env, timeout=120)
        return out.stdout.strip()


def start_display():
    """An Xvfb of our own, on a display number well above those that other X servers on the machine
    pick for themselves (from 0 up)."""
    for number in random.sample(range(200, 900), 20):
        if Path(f"/tmp/.X{number}-lock").exists() or Path(f"/tmp/.X11-unix/X{number}").exists():
            continue
        display = f":{number}"
        # -noreset: the server stays as it is when its last client leaves, as between Wine's
        # start-up and the first game. No -displayfd: the server would write to it again at a reset.
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        deadline = time.monotonic() + 30
        while xvfb.poll() is None and time.monotonic() < deadline:
            if subprocess.run(["xdpyinfo", "-display", display], stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL, timeout=10).returncode == 0:
                return xvfb, display
            time.sleep(0.2)
        xvfb.kill()
        xvfb.wait()
    raise Unavailable("Xvfb did not start")


def unix_processes(prefix, image, folder):
    """The Linux ids of the processes of this Wine prefix that run the program `image` (its file name)
    in `folder`, however they were started: Wine names a process after its exe, in argv[0]."""
    found = []
    wanted_env = f"WINEPREFIX={prefix}\0".encode()
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            argv0 = (entry / "cmdline").read_bytes().split(b"\0", 1)[0].decode(errors="replace")
            name = argv0.replace("\\", "/").rsplit("/", 1)[-1]
            if (name.lower() == image.lower() and wanted_env in (entry / "environ").read_bytes()
                    and Path(os.readlink(entry / "cwd")) == Path(folder)):
                found.append(int(entry.name))
        except OSError:
            continue
    return found


def wineserver_pid(prefix):
    wanted_env = f"WINEPREFIX={prefix}\0".encode()
    for entry in Path("/proc").iterdir():
        try:
            if (entry.name.isdigit() and b"wineserver" in (entry / "cmdline").read_bytes()
                    and wanted_env in (entry / "environ").read_bytes()):
                return int(entry.name)
        except OSError:
            continue
    return None



def end_wineserver(prefix, timeout=30):
    """Ends the prefix's wineserver and every program of it, and waits until it has gone: the next
    run must not meet a server that is still shutting down."""
    subprocess.run(["wineserver", "-k"], env=dict(os.environ, WINEPREFIX=str(prefix)),
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)
    deadline = time.monotonic() + timeout
    while wineserver_pid(prefix) is not None and time.monotonic() < deadline:
        time.sleep(0.1)


if __name__ == "__main__":
    print(f"Wine here: {Wine().describe()}")
