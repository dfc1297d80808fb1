#!/usr/bin/env bash
# Makes the level pack again from levels/manifest.tsv, each level by the generate command its row
# records, and checks each one's shortest win and traps against the row.
# Usage: scripts/make-level-pack.sh [FOLDER]   writes into FOLDER (default levels/);
# CORVEL_LEVEL names the corvel-level to run (default build/dev/tools/corvel-level).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
tool=${CORVEL_LEVEL:-$root/build/dev/tools/corvel-level}
out=${1:-$root/levels}
if [[ ! -x $tool ]]; then
    echo "make-level-pack: $tool not found; build it first: cmake --preset dev && cmake --build --preset dev" >&2
    exit 2
fi
mkdir -p "$out"
differ=0
# The last column (naive) is for readers of the manifest; nothing here checks it.
while IFS=$'\t' read -r file width height method seed tries win traps _; do
    [[ $file == \#* || $file == file ]] && continue
    # The bundled level is made by the command the README gives; it is listed, not made here.
    [[ $method == - ]] && continue
    # Generating is long work on a shared machine: let everything else go first.
    nice -n 10 "$tool" generate "$out/$file" --width "$width" --height "$height" --method "$method" \
        --seed "$seed" --tries "$tries" >/dev/null
    solved=$("$tool" solve "$out/$file" --json)
    # The shortest win's length and its traps ("-" when the answer has none), read as JSON.
    read -r gotWin gotTraps < <(python3 -c '
import json, sys
answer = json.loads(sys.argv[1])
print(answer.get("length", "-"), answer.get("traps", "-"))' "$solved")
    printf '%s\t%s\t%s\n' "$file" "$gotWin" "$gotTraps"
    if [[ $gotWin != "$win" || $gotTraps != "$traps" ]]; then
        echo "make-level-pack: $file: the manifest says $win keys and $traps traps, the level made has $gotWin and $gotTraps" >&2
        differ=1
    fi
done <"$root/levels/manifest.tsv"
exit $differ
