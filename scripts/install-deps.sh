#!/usr/bin/env bash
# Installs the Debian packages that building, playing and testing need; quick when all are there.
set -euo pipefail

packages=(
  # building the game, its tools and tests
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev nlohmann-json3-dev libpng-dev
  # the Linux program and its install checks
  libgtk-4-dev desktop-file-utils appstream
  # the Windows program, and running it for the end-to-end tests
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 binutils-mingw-w64-x86-64
  wine wine64 zip python3
  # a virtual display for the end-to-end tests
  xvfb xauth xdotool x11-utils imagemagick dbus
  # reading the Linux program's menus and message boxes through its accessibility tree
  at-spi2-core python3-gi gir1.2-atspi-2.0 gir1.2-gdkpixbuf-2.0 libx11-dev
  # the web edition: its compiler, and the browser its tests play it in
  emscripten chromium
)
# node and npm for the web edition's tests, unless a node that brings its own npm is there already
command -v npm >/dev/null || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
