#!/usr/bin/env bash
# Builds the Linux program alone (no tools, no tests) and opens it with the bundled level, GameData.dat.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --play
cmake --preset play >/dev/null
cmake --build --preset play
# The game reads GameData.dat from the current folder: the repository's root, where the bundled level is.
exec build/play/platform/gtk/corvel
