#!/usr/bin/env bash
# Builds the game and opens it with the bundled level, GameData.dat.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset dev >/dev/null
cmake --build --preset dev
# Until the window exists: the bundled level after the keys given (w s a d move, f waits).
build/dev/tools/corvel-level play GameData.dat "${1:-}"
