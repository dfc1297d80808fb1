#!/usr/bin/env bash
# Draws resources/corvel.ico, the Windows program's icon, from resources/corvel-icon.svg; run it after changing the SVG.
# Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
pictures=()
for size in 16 24 32 48 64 256; do
  rsvg-convert -w "$size" -h "$size" resources/corvel-icon.svg -o "$work/$size.png"
  pictures+=("$work/$size.png")
done
convert "${pictures[@]}" resources/corvel.ico
