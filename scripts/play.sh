#!/usr/bin/env bash
# Builds the game and opens it with the bundled level, GameData.dat.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
# The game reads GameData.dat from the current folder: the repository's root, where the bundled level is.
exec build/dev/platform/gtk/corvel
