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

stage "Web edition: WebAssembly build, played in headless Chromium (needs corvel-level from the Linux build)"
cmake --preset web
cmake --build --preset web
ctest --preset web

stage "Benchmarks build (run them by hand: build/bench/bench/*_bench)"
cmake --preset bench
cmake --build --preset bench

stage "Windows program: 32- and 64-bit builds, played under Wine"
cmake --preset win32
cmake --build --preset win32
cmake --preset win64
cmake --build --preset win64
tests/e2e/wine/run.sh

stage "Fuzzing the level reader, the rules and the level checker"
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

stage "Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
