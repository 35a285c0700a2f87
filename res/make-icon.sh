#!/usr/bin/env bash
# Draws res/varlindo.ico (16 to 256 pixels) with ImageMagick: a speaker with two sound
# waves and an arrow for "switch". Run it after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
wave() {  # a band of an arc around the speaker: radius $1, 15 pixels wide, -45 to 45 degrees
  python3 -c "
import math, sys
cx, cy, r, w = 112, 128, float(sys.argv[1]), 15
pts = [(cx + (r + w / 2) * math.cos(math.radians(a)), cy + (r + w / 2) * math.sin(math.radians(a))) for a in range(-45, 46, 3)]
pts += [(cx + (r - w / 2) * math.cos(math.radians(a)), cy + (r - w / 2) * math.sin(math.radians(a))) for a in range(45, -46, -3)]
print(' '.join(f'{x:.1f},{y:.1f}' for x, y in pts))" "$1"
}
convert -size 256x256 xc:none \
  -fill '#1f5fbf' -draw "roundrectangle 8,8 247,247 44,44" \
  -fill '#2f7fe6' -draw "roundrectangle 16,16 239,206 36,36" \
  -fill white -draw "polygon 34,98 72,98 118,56 118,200 72,158 34,158" \
  -draw "polygon $(wave 44)" -draw "polygon $(wave 84)" \
  -fill '#ffd24a' -draw "polygon 92,220 176,220 176,206 202,227 176,248 176,234 92,234" \
  "$tmp/256.png"
for s in 16 24 32 48 64; do convert "$tmp/256.png" -resize ${s}x${s} "$tmp/$s.png"; done
convert "$tmp"/{16,24,32,48,64,256}.png varlindo.ico
