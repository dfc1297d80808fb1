#!/usr/bin/env bash
# generate's two methods side by side: the longest shortest win each finds in the same time on
# 6 x 7, 8 x 8 and 10 x 10 boards, run one after the other (generate uses one core).
# Usage: scripts/generator-figures.sh [SECONDS] (default 60); runs the optimised corvel-level of
# the bench preset (cmake --preset bench && cmake --build --preset bench), or CORVEL_LEVEL.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${CORVEL_LEVEL:-$root/build/bench/tools/corvel-level}
seconds=${1:-60}
if [[ ! -x $tool ]]; then
    echo "generator-figures: $tool not found; build it first: cmake --preset bench && cmake --build --preset bench" >&2
    exit 2
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
printf 'board\tmethod\tseconds\tmazes judged\tmazes/s\tlongest shortest win\ttraps\n'
for size in "6 7" "8 8" "10 10"; do
    read -r width height <<<"$size"
    for method in random search; do
        said=$("$tool" generate "$scratch/level.dat" --width "$width" --height "$height" --method "$method" \
            --seed 1 --seconds "$seconds" 2>/dev/null)
        win=$(sed -n 's/.*shortest win takes \([0-9]*\) key.*/\1/p' <<<"$said" | head -1)
        traps=$(sed -n 's/.*with \([0-9]*\) trap.*/\1/p' <<<"$said" | head -1)
        mazes=$(sed -n 's/.*, \([0-9]*\) mazes\{0,1\},.*/\1/p' <<<"$said" | head -1)
        printf '%s x %s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$width" "$height" "$method" "$seconds" "$mazes" \
            "$((mazes / seconds))" "$win" "$traps"
    done
done
