#!/usr/bin/env bash
# Draws the application icon (three overlapping color discs under a pipette)
# at 256 px and packs the usual sizes into VeskColorPicker.ico.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

convert -size 256x256 xc:none \
  -fill '#1E1E24' -draw 'roundrectangle 8,8 247,247 40,40' \
  \( -size 256x256 xc:none -fill '#FF3B30' -draw 'circle 100,104 100,36' \) -compose screen -composite \
  \( -size 256x256 xc:none -fill '#34C759' -draw 'circle 156,104 156,36' \) -compose screen -composite \
  \( -size 256x256 xc:none -fill '#0A84FF' -draw 'circle 128,152 128,84' \) -compose screen -composite \
  -compose over \
  -stroke '#F2F2F7' -strokewidth 14 -draw 'line 150,150 222,222' \
  -stroke none -fill '#F2F2F7' -draw 'roundrectangle 196,196 236,236 10,10' \
  "$tmp/icon256.png"

for size in 16 24 32 48 64; do
  convert "$tmp/icon256.png" -resize ${size}x${size} "$tmp/icon$size.png"
done
convert "$tmp/icon16.png" "$tmp/icon24.png" "$tmp/icon32.png" "$tmp/icon48.png" "$tmp/icon64.png" "$tmp/icon256.png" VeskColorPicker.ico
