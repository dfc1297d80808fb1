#!/usr/bin/env bash
# Builds everything and runs every test: unit and end-to-end tests, the sanitizer build and the fuzzer.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

stage() { echo; echo "=== $*"; }

stage "Linux build and tests"
cmake --preset dev
cmake --build --preset dev
ctest --preset dev

stage "Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

stage "Fuzzing the level reader and the rules"
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz
