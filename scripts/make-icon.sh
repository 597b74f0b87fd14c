#!/usr/bin/env bash
# Draws the program icon (a sprout with an upload arrow) and writes app/res/Seedwright.ico
# with the sizes 16, 24, 32, 48 and 256. Needs ImageMagick; the .ico is committed.
set -euo pipefail
cd "$(dirname "$0")/.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
convert -size 256x256 xc:none \
    -fill '#1B5E20' -draw 'roundrectangle 8,8 247,247 44,44' \
    -fill '#2E7D32' -draw 'roundrectangle 16,16 239,239 38,38' \
    -fill '#8D6E63' -draw 'ellipse 128,206 70,18 0,360' \
    -stroke '#DCEDC8' -strokewidth 14 -fill none -draw 'path "M 128,200 C 128,160 126,130 128,92"' \
    -stroke none -fill '#AED581' -draw 'path "M 126,150 C 80,150 54,120 48,92 C 92,88 120,110 126,150 Z"' \
    -fill '#C5E1A5' -draw 'path "M 130,118 C 176,118 204,88 210,56 C 162,52 134,80 130,118 Z"' \
    -fill '#FFF176' -draw 'polygon 128,30 96,70 116,70 116,96 140,96 140,70 160,70' \
    "$tmp/256.png"
for s in 48 32 24 16; do convert "$tmp/256.png" -resize "${s}x${s}" "$tmp/$s.png"; done
convert "$tmp/16.png" "$tmp/24.png" "$tmp/32.png" "$tmp/48.png" \( "$tmp/256.png" -depth 8 \) app/res/Seedwright.ico
