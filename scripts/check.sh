#!/usr/bin/env bash
# Builds everything and runs every test: unit and end-to-end tests, the static checks, the Debian
# package, the sanitizer build and the fuzzer.
# Every stage runs even when an earlier one failed (unless it needs that one); the summary at the end
# names each stage's outcome, and the last line counts them.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/stages.sh

linux_build() { cmake --preset dev; cmake --build --preset dev; }
linux_tests() { ctest --preset dev; }
# The package made as players get it, then checked by the dev build's package test instead of the one
# that test makes from the dev build.
debian_package() {
  rm -f build/package/corvel_*.deb
  cmake --preset package
  cmake --build --preset package
  cpack --preset package
  local made=(build/package/corvel_*.deb)
  CORVEL_DEB="$PWD/${made[0]}" ctest --preset dev -R '^corvel_debian_package$'
}
web_edition() { cmake --preset web; cmake --build --preset web; ctest --preset web; }
benchmarks_build() { cmake --preset bench; cmake --build --preset bench; }
windows_builds() {
  cmake --preset win32
  cmake --build --preset win32
  cmake --preset win64
  cmake --build --preset win64
}
windows_tests() {
  python3 tests/e2e/wine/wine_setup.py  # says which Wine is here, and so which exes are played
  local status=0
  ctest --preset win64 || status=1
  ctest --preset win32 || status=1
  return $status
}
fuzzing() { cmake --preset fuzz; cmake --build --preset fuzz; ctest --preset fuzz; }
sanitizers() { cmake --preset asan; cmake --build --preset asan; ctest --preset asan; }

stage "Installing the packages" -- scripts/install-deps.sh
stage "Linux build" -- linux_build
stage "Linux tests" --needs "Linux build" -- linux_tests
stage "Static checks: shellcheck and clang-tidy" --needs "Linux build" -- scripts/lint.sh
stage "Debian package, checked with lintian and started unpacked" --needs "Linux build" -- debian_package
stage "Web edition built to WebAssembly, played in headless Chromium" --needs "Linux build" -- web_edition
stage "Benchmarks build (run them by hand: build/bench/bench/*_bench)" -- benchmarks_build
stage "Windows builds, 32- and 64-bit" -- windows_builds
stage "Windows program played under Wine" --needs "Linux build" --needs "Windows builds, 32- and 64-bit" -- windows_tests
stage "Fuzzing the level reader, the rules and the level checker" -- fuzzing
stage "Tests under AddressSanitizer and UndefinedBehaviorSanitizer" -- sanitizers

stage_summary
