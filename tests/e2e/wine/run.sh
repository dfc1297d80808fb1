#!/usr/bin/env bash
# End-to-end tests of corvel.exe under Wine: the 64-bit build always, the 32-bit build where 32-bit
# Wine is installed (or can be, cheaply). Expects the win32, win64 and dev builds to be there.
set -euo pipefail
cd "$(dirname "$0")/../../.."

render=build/dev/tools/corvel-level
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win64/CMakeCache.txt)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo -n"

have_wine32() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# Whether the kernel runs 32-bit x86 programs at all (some containers do not): a 93-byte program
# that only exits, written out by hand.
kernel_runs_32bit() {
  local probe
  probe=$(mktemp)
  python3 - "$probe" <<'PY'
import struct, sys
code = bytes.fromhex("b801000000" "31db" "cd80")  # exit(0) through int 0x80
base, size = 0x08048000, 52 + 32 + len(code)
header = (b"\x7fELF\x01\x01\x01" + bytes(9)
          + struct.pack("<HHIIIIIHHHHHH", 2, 3, 1, base + 84, 52, 0, 0, 52, 32, 1, 0, 0, 0))
program = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
open(sys.argv[1], "wb").write(header + program + code)
PY
  chmod +x "$probe"
  local ok=1
  "$probe" 2>/dev/null && ok=0
  rm -f "$probe"
  return $ok
}

# 32-bit Wine needs the i386 architecture, whose package lists do not always match the mirror's:
# one attempt, only where 32-bit programs can run, undone when it does not give a working Wine.
try_wine32() {
  [ "${CORVEL_TRY_WINE32:-1}" = 1 ] || return 0
  if ! kernel_runs_32bit; then
    echo "This kernel runs no 32-bit programs: not trying 32-bit Wine"
    return 0
  fi
  # Undoing a failed attempt removes every i386 package, so only try where there were none.
  if dpkg --print-foreign-architectures | grep -qx i386; then
    echo "The i386 architecture is already set up but 32-bit Wine is not: not touching it"
    return 0
  fi
  echo "Trying to install 32-bit Wine"
  local log=build/win32/wine32-install.log
  { $sudo dpkg --add-architecture i386 &&
    timeout 180 $sudo apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive timeout 300 $sudo apt-get install -y -qq --no-install-recommends wine32:i386
  } >"$log" 2>&1 || true
  have_wine32 && return 0
  echo "32-bit Wine did not install or does not run (see $log): removing the i386 architecture again"
  # Only i386 packages: the i386 copies of libc and libgcc count as essential to apt.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq --allow-remove-essential \
    '?installed ?architecture(i386)' >>"$log" 2>&1 || true
  $sudo dpkg --remove-architecture i386 >>"$log" 2>&1 || true
  timeout 180 $sudo apt-get update -qq >>"$log" 2>&1 || true
}

run() {  # run <preset of the exe> <preset of the probe> [run_e2e.py options]
  echo "--- corvel.exe, $1"
  timeout 900 python3 tests/e2e/wine/run_e2e.py \
    --exe "build/$1/platform/win32/corvel.exe" --probe "build/$2/tests/e2e/wine/wine_probe.exe" \
    --render "$render" --version "$version" --work "build/$1/e2e" "${@:3}"
}

status=0
run win64 win64 || status=1
have_wine32 || try_wine32
if have_wine32; then
  run win32 win32 || status=1
else
  # What needs no 32-bit Wine: the imports, and the resources read by the 64-bit helper.
  echo "(32-bit Wine is not installed: the 32-bit exe is checked but not played)"
  run win32 win64 --only imports,resources || status=1
fi
exit $status
