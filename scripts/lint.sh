#!/usr/bin/env bash
# The static checks: shellcheck on every shell script, and clang-tidy (the checks in .clang-tidy) on
# the project's own C++ sources through the dev build's compile database. Needs `cmake --preset dev`
# and `cmake --build --preset dev` first (some sources include headers the build generates).
set -euo pipefail
cd "$(dirname "$0")/.."
status=0

# Every shell script in the repository: the *.sh files and those whose first line starts a shell.
mapfile -t scripts < <({ git ls-files '*.sh'; git grep -lIE '^#!.*[/ ](ba)?sh( |$)'; } | sort -u)
echo "shellcheck: ${#scripts[@]} scripts"
shellcheck "${scripts[@]}" || status=1

database=build/dev/compile_commands.json
if [ ! -f "$database" ]; then
  echo "lint: $database is missing; configure and build the dev preset first" >&2
  exit 2
fi
# The project's folders alone: not the build's generated sources, nor the libraries' headers.
echo "clang-tidy: the sources in $database"
nice run-clang-tidy -quiet -j "$(nproc)" -p build/dev "$PWD/(game|analysis|shell|platform|tools|tests)/" || status=1
exit $status
