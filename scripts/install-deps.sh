#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need; quick when all are there.
# With --play it installs only what building and playing the Linux program needs (scripts/play.sh).
# With CORVEL_WINE32=1 it also installs 32-bit Wine, so that the tests play the 32-bit exe too: that
# adds the i386 architecture and may upgrade amd64 packages to match, so it is never done unasked.
set -euo pipefail
cd "$(dirname "$0")/.."

# building and playing the Linux program
play_packages=(cmake ninja-build g++ pkg-config libgtk-4-dev)

packages=(
  "${play_packages[@]}"
  # building the tools, the tests and the fuzzers
  # (libclang-rt-dev: the fuzzer and sanitizer runtimes of the clang that the clang package brings,
  # whichever version that is on this Debian release)
  clang libclang-rt-dev
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libpng-dev
  # the static checks (scripts/lint.sh)
  clang-tidy shellcheck
  # the Linux program's install checks, its manual pages and its Debian package
  desktop-file-utils appstream help2man man-db dpkg-dev lintian
  # the Windows program, and running it for the end-to-end tests
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 zip python3
  # a virtual display for the end-to-end tests
  xvfb xauth xdotool x11-utils imagemagick dbus
  # reading the Linux program's menus and message boxes through its accessibility tree
  at-spi2-core python3-gi gir1.2-atspi-2.0 gir1.2-gdkpixbuf-2.0 libx11-dev
  # the web edition: its compiler, its app icons drawn from the game's icon, the browser its tests play it in,
  # and the bundler that joins each page's modules
  emscripten librsvg2-bin chromium esbuild
)
# node and npm for the web edition's tests, unless a node that brings its own npm is there already
command -v npm >/dev/null || packages+=(nodejs npm)

if [ "${1:-}" = --play ]; then
  packages=("${play_packages[@]}")
fi

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

wine32_runs() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

# 32-bit Wine needs the i386 architecture, whose package lists do not always match the mirror's:
# one attempt, only where 32-bit programs can run, undone when it does not give a working Wine.
install_wine32() {
  if wine32_runs; then
    return 0
  fi
  if ! scripts/kernel-runs-32bit.py; then
    echo "CORVEL_WINE32: this kernel runs no 32-bit programs, so 32-bit Wine cannot either: not installing it"
    return 0
  fi
  # Undoing a failed attempt removes every i386 package, so only try where there were none.
  if dpkg --print-foreign-architectures | grep -qx i386; then
    echo "CORVEL_WINE32: the i386 architecture is already set up but 32-bit Wine does not run: not touching it"
    echo "  (install it with: apt-get install wine32:i386)"
    return 0
  fi
  local log
  log=$(mktemp /tmp/corvel-wine32-install.XXXXXX.log)
  echo "CORVEL_WINE32: adding the i386 architecture and installing 32-bit Wine (log: $log)"
  { $sudo dpkg --add-architecture i386 &&
    timeout 300 $sudo apt-get update -qq &&
    DEBIAN_FRONTEND=noninteractive timeout 900 $sudo apt-get install -y -qq --no-install-recommends wine32:i386
  } >"$log" 2>&1 || true
  if wine32_runs; then
    echo "CORVEL_WINE32: 32-bit Wine is installed and runs"
    return 0
  fi
  echo "CORVEL_WINE32: 32-bit Wine did not install or does not run (see $log): removing the i386 architecture again"
  # Only i386 packages, all of them new: the i386 copies of libc and libgcc count as essential to apt.
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq --allow-remove-essential \
    '?installed ?architecture(i386)' >>"$log" 2>&1 || true
  $sudo dpkg --remove-architecture i386 >>"$log" 2>&1 || true
  timeout 300 $sudo apt-get update -qq >>"$log" 2>&1 || true
  return 1
}

if [ "${CORVEL_WINE32:-0}" = 1 ]; then
  install_wine32
fi
