#!/usr/bin/env python3
"""Exit status 0 when this kernel runs 32-bit x86 programs (some containers do not), 1 when not.

It writes out and runs a 93-byte 32-bit program that only exits: no 32-bit library is needed."""
import os
import struct
import subprocess
import sys
import tempfile

CODE = bytes.fromhex("b801000000" "31db" "cd80")  # exit(0) through int 0x80
BASE = 0x08048000


def program():
    size = 52 + 32 + len(CODE)
    header = (b"\x7fELF\x01\x01\x01" + bytes(9)
              + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, BASE + 84, 52, 0, 0, 52, 32, 1, 0, 0, 0))
    segment = struct.pack("<IIIIIIII", 1, 0, BASE, BASE, size, size, 5, 0x1000)
    return header + segment + CODE


def main():
    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "exit32")
        with open(path, "wb") as out:
            out.write(program())
        os.chmod(path, 0o755)
        try:
            return 0 if subprocess.run([path], timeout=30, stderr=subprocess.DEVNULL).returncode == 0 else 1
        except OSError:
            return 1


if __name__ == "__main__":
    sys.exit(main())
