#!/usr/bin/env bash
# Hostile and careless inputs to corvel-level, as a table: each case's exit status, its message,
# its memory (a ulimit on the address space) and time, and that no file of the user's is touched.
# Usage: run.sh CORVEL_LEVEL
set -uo pipefail
tool=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/corvel-hostile.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 2
failures=0

# expect NAME STATUS PATTERN MEMORY_MB COMMAND...: runs COMMAND under the memory limit and a time
# limit, then checks the exit status and that stdout or stderr matches the pattern (grep -E), or
# with the pattern "-" that it printed nothing.
expect() {
    local name=$1 status=$2 pattern=$3 memory=$4
    shift 4
    ( ulimit -v $((memory * 1024)); exec timeout 60 "$@" ) > out.txt 2> err.txt
    local got=$?
    if [ "$got" -ne "$status" ]; then
        echo "FAIL $name: exit status $got, expected $status"; cat out.txt err.txt | head -c 2000; failures=$((failures + 1))
    elif [ "$pattern" = - ] && { [ -s out.txt ] || [ -s err.txt ]; }; then
        echo "FAIL $name: printed"; cat out.txt err.txt | head -c 2000; failures=$((failures + 1))
    elif [ "$pattern" != - ] && ! cat out.txt err.txt | grep -Eq -- "$pattern"; then
        echo "FAIL $name: no \"$pattern\" in:"; cat out.txt err.txt | head -c 2000; failures=$((failures + 1))
    else
        echo "ok   $name"
    fi
}

# valid_json NAME: the last case's stdout is one valid JSON document.
valid_json() {
    if python3 -c 'import json, sys; json.load(open("out.txt", encoding="utf-8", errors="strict"))'; then
        echo "ok   $1: valid JSON"
    else
        echo "FAIL $1: not valid JSON"; failures=$((failures + 1))
    fi
}

# unchanged NAME FILE CONTENT: a user's file still holds exactly what it held.
unchanged() {
    if [ -f "$2" ] && [ ! -L "$2" ] && [ "$(cat "$2")" = "$3" ]; then
        echo "ok   $1: $2 untouched"
    else
        echo "FAIL $1: $2 was changed"; failures=$((failures + 1))
    fi
}

small='3 1
0 0
2 0
-1 0
12
12
12'
printf '%s\n' "$small" > level.dat

# Text that is not UTF-8: the JSON stays valid.
printf '%s\xc3\xa9\n' xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx > cut.dat
expect cut-character 1 '"usable":false' 100 "$tool" check --json cut.dat
valid_json cut-character
printf '\xff\xfe3\x00 \x001\x00\n\x00' > utf16.dat
expect utf-16-file 1 '"usable":false' 100 "$tool" check --json utf16.dat
valid_json utf-16-file
cp level.dat "$(printf 'caf\xe9.dat')"
expect latin-1-name 0 '"usable":true' 100 "$tool" check --json "$(printf 'caf\xe9.dat')"
valid_json latin-1-name
printf '3 1\n0 0\n2 0\n-1 0\n12 \xff\n12\n12\n' > junk-after-number.dat
expect junk-after-number 0 '"kind":"ignored-text"' 100 "$tool" check --json junk-after-number.dat
valid_json junk-after-number

# What is not a regular file is refused at once, unread.
ln -s /dev/zero zero.dat
mkfifo fifo.dat
for command in show play solve check; do
    expect "$command-dev-zero" 1 'zero.dat: (refused: )?is not a regular file but a device' 100 "$tool" "$command" zero.dat
    expect "$command-fifo" 1 'fifo.dat: (refused: )?is not a regular file but a FIFO' 100 "$tool" "$command" fifo.dat
done
expect render-fifo 1 'fifo.dat: is not a regular file' 100 "$tool" render fifo.dat out.png

# Three sparse gigabytes after a small level: read as far as the cells, counted only so far.
printf '%s\n' "$small" > long.dat
truncate -s 3G long.dat
expect long-file-show 0 'C Corvel \(0, 0\)' 100 "$tool" show long.dat
expect long-file-check 0 'long.dat:8: at least 1 line, from line 8 on \(only the first 64 MiB after line 7 are counted\), is after' 100 "$tool" check long.dat

# A finding in every cell of the largest board: memory follows the board, and JSON says how many
# findings it leaves out.
{ printf '4096 4096\n0 0\n4095 4095\n4096 0\n'; yes 9 | head -n 16777216; } > one-way.dat
expect many-findings-json 0 '"leftOut":\{[^}]*"one-way-passage":335[0-9]{5}' 600 "$tool" check --json one-way.dat
expect many-findings-text 0 'and 335[0-9]{5} more one-way-passage' 600 "$tool" check one-way.dat
rm one-way.dat

# A search larger than the memory allowed is refused up front, with the figures, not begun.
{ printf '128 128\n0 0\n127 127\n-1 0\n'; yes 15 | head -n 16384; } > sealed-128.dat
expect search-over-memory 1 'searching the board of 128 by 128 cells would need up to 288 MB of memory, and [0-9]+ MB is all' 200 \
    "$tool" solve sealed-128.dat
expect search-over-memory-check 0 '"kind":"too-large-to-search"' 200 "$tool" check --json sealed-128.dat
rm sealed-128.dat

# render never writes through a link or over a file of the user's, and says why a write failed.
echo data > precious.txt
ln -s precious.txt out.png.part
expect render-beside-a-link 0 - 100 "$tool" render level.dat out.png
unchanged render-beside-a-link precious.txt data
if [ "$(head -c 4 out.png | tail -c 3)" = PNG ]; then
    echo "ok   render-beside-a-link: out.png is a PNG"
else
    echo "FAIL render-beside-a-link: out.png is no PNG"; failures=$((failures + 1))
fi
ln -s precious.txt link.png
expect render-over-a-link 0 - 100 "$tool" render level.dat link.png
unchanged render-over-a-link precious.txt data
mkdir folder.png
expect render-onto-a-folder 1 'folder.png: cannot be written: Is a directory' 100 "$tool" render level.dat folder.png
echo picture > kept.png
{ printf '100 100\n0 0\n1 0\n-1 0\n'; yes 5 | head -n 10000; } > hundred.dat
# shellcheck disable=SC2016  # $0 and $1 are the inner shell's, not expanded here
expect render-file-too-large 1 'kept.png: cannot be written: File too large' 100 \
    bash -c 'trap "" XFSZ; ulimit -f 1; exec "$0" render "$1" kept.png' "$tool" hundred.dat
unchanged render-file-too-large kept.png picture
if [ -z "$(find . -name '.*' -type f)" ]; then
    echo "ok   no temporary file left"
else
    echo "FAIL temporary files left:"; find . -name '.*' -type f; failures=$((failures + 1))
fi

# Pictures too large for PNG readers, or to write at all, are refused before anything is painted.
printf '400000 1\n0 0\n1 0\n-1 0\n' > wide.dat
expect render-too-wide 1 'larger than PNG readers accept \(1000000 by 1000000' 100 "$tool" render wide.dat wide.png
printf '700 700\n0 0\n1 0\n-1 0\n' > large.dat
expect render-too-large 1 'more than the 400000000 render writes' 100 "$tool" render large.dat large.png
if [ ! -e wide.png ] && [ ! -e large.png ]; then
    echo "ok   no picture written"
else
    echo "FAIL a refused picture was written"; failures=$((failures + 1))
fi

echo "$failures failed"
[ "$failures" -eq 0 ]
