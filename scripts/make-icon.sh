#!/usr/bin/env bash
# Draws the sheet's icon (a small game pad) at 32x32 and 16x16 into src/resources/GameConfig.ico.
# The .ico is committed; run this only to change the drawing.
set -euo pipefail
cd "$(dirname "$0")/../src/resources"
tmp=$(mktemp -d)
convert -size 32x32 xc:none \
  -fill '#1f4f9f' -stroke '#0c2a5c' -strokewidth 1 -draw 'roundrectangle 1,8 30,24 7,7' \
  -stroke none -fill white -draw 'rectangle 6,15 13,17' -draw 'rectangle 8,13 11,19' \
  -fill '#f5c518' -draw 'circle 22,14 24,14' -fill '#e0483c' -draw 'circle 25,19 27,19' \
  "$tmp/32.png"
convert "$tmp/32.png" -resize 16x16 "$tmp/16.png"
convert "$tmp/16.png" "$tmp/32.png" GameConfig.ico
rm -rf "$tmp"
