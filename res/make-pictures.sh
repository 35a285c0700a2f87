#!/usr/bin/env bash
# Draws the program's small pictures as icon files with ImageMagick, each drawn once on a
# 48-unit grid and scaled down (by averaging) to every size the program shows it at:
#   pin-off.ico      the always-on-top pin, not pinned: a grey pushpin lying tilted
#   pin-hover.ico    the same with the mouse over it: blue on a light highlight
#   pin-on.ico       pinned: a red pushpin pushed in upright
#   volume.ico       a speaker with level bars (opens the volume dialog)
#   drop-target.ico  a dashed drop box with an arrow into it
#   desktop.ico, desktop-pressed.ico        the file chooser's quick button to the desktop: a
#                    monitor; pressed, darker on a sunken plate
#   start-menu.ico, start-menu-pressed.ico  its quick button to the start menu: a menu risen from
#                    the taskbar; pressed the same way
#   varlindo-disabled.ico  the program icon, greyed (drawn from varlindo.ico)
# Run it after changing a drawing (and res/make-icon.sh first when the program icon changed).
set -euo pipefail
cd "$(dirname "$0")"
tmp=$(mktemp -d); trap 'rm -rf "$tmp"' EXIT
sizes="16 20 24 30 32 36 40 48 64"
master=480  # pixels for the 48 units

# MVG for the drawings, at 10 pixels per unit. A pin is drawn lying flat, its needle to the
# left, then turned about the centre.
mvg() {
  python3 - "$1" <<'PY'
import math, sys
U = 10  # pixels per unit

def turn(points, degrees):
    a = math.radians(degrees)
    return [(x * math.cos(a) - y * math.sin(a), x * math.sin(a) + y * math.cos(a)) for x, y in points]

def poly(points, fill, stroke=None, width=1.6):
    pts = " ".join(f"{x * U:.1f},{y * U:.1f}" for x, y in points)
    s = f"stroke '{stroke}' stroke-width {width * U:.1f} stroke-linejoin round" if stroke else "stroke none"
    return f"fill '{fill}' {s} polygon {pts}\n"

def box(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]

def shade(colour, factor):
    """The colour darker by this factor, its transparency kept."""
    c = colour.lstrip("#")
    return "#" + "".join(f"{int(int(c[i:i + 2], 16) * factor):02x}" for i in (0, 2, 4)) + c[6:]

def drawing(parts, factor=1.0, shift=0.0):
    """Polygons (points, fill, stroke, width), darker by `factor` and moved by `shift` units
    to the right and down (a pressed button's picture)."""
    return "".join(poly([(x + shift, y + shift) for x, y in points], shade(fill, factor),
                        shade(stroke, factor) if stroke else None, width)
                   for points, fill, stroke, width in parts)

def desktop():
    """A monitor on its stand, showing a landscape with two icons on it."""
    return [(box(13, 41, 35, 44.5), "#9a9a9a", "#3c3c3c", 1.2),                 # foot
            (box(20.5, 35, 27.5, 41.5), "#b0b0b0", "#3c3c3c", 1.2),             # neck
            (box(2.5, 4.5, 45.5, 36.5), "#4a4a4a", "#262626", 1.4),             # bezel
            (box(5.5, 7.5, 42.5, 33.5), "#6fb2f2", None, 0),                    # sky
            ([(5.5, 26), (15, 21.5), (24, 24.5), (33, 19.5), (42.5, 23), (42.5, 33.5), (5.5, 33.5)],
             "#4e9a52", None, 0),                                               # hills
            (box(9, 10.5, 14.5, 16), "#ffffff", "#1d4f99", 0.8),                # icons
            (box(9, 18.5, 14.5, 24), "#ffe08a", "#8a6a1d", 0.8)]

def start_menu():
    """A menu risen from the taskbar's first button: a blue strip and four entries."""
    parts = [(box(2, 39.5, 46, 46), "#1d4f99", "#12325f", 1.2),                 # taskbar
             (box(4, 41, 15, 44.5), "#8cc0f5", "#eaf4ff", 0.8),                 # its button
             (box(5, 2, 40, 37.5), "#ffffff", "#4e4e4e", 1.4),                  # the menu
             (box(5.7, 2.7, 12, 36.8), "#2f7fe6", None, 0)]                     # its strip
    for i, colour in enumerate(["#e6a23c", "#4caf50", "#2f7fe6", "#d8372c"]):
        y = 5.5 + i * 7.7
        parts += [(box(15.5, y, 21, y + 5.5), colour, "#3c3c3c", 0.7),
                  (box(23.5, y + 1.8, 36.5, y + 3.8), "#8a8a8a", None, 0)]
    return parts

# The plate of a pressed quick button: a sunken square, shadowed along its top and left.
PRESSED_PLATE = ("fill '#1d3a5c38' stroke '#00000060' stroke-width 8 roundrectangle 8,8 472,472 40,40\n"
                 "fill none stroke '#00000030' stroke-width 14 polyline 22,440 22,22 440,22\n")

def pin(degrees, light, mid, dark, line, needle="#5a5a5a", within=(2, 2, 46, 46)):
    """A pushpin seen from the side, needle to the left before turning, made as big as
    fits in `within` (left, top, right, bottom)."""
    parts = [([(0, 12), (15, 10.8), (15, 13.2)], needle, "#3c3c3c", 0.8),   # needle
             (box(14, 1, 18.5, 23), mid, line, 1.6),                        # collar
             (box(18.5, 5, 30, 19), light, line, 1.6),                      # body
             (box(19.5, 7, 29, 9.5), "#ffffff80", None, 0),                 # its shine
             (box(30, 0, 36, 24), dark, line, 1.6),                         # head
             (box(31.5, 2.5, 33.3, 21.5), "#ffffff70", None, 0)]
    parts = [(turn(points, degrees), *rest) for points, *rest in parts]
    xs = [x for points, *_ in parts for x, _ in points]
    ys = [y for points, *_ in parts for _, y in points]
    left, top, right, bottom = within
    grow = min((right - left) / (max(xs) - min(xs)), (bottom - top) / (max(ys) - min(ys)))
    dx = left + ((right - left) - grow * (max(xs) - min(xs))) / 2 - grow * min(xs)
    dy = top + ((bottom - top) - grow * (max(ys) - min(ys))) / 2 - grow * min(ys)
    return "".join(poly([(dx + grow * x, dy + grow * y) for x, y in points], fill, stroke, width)
                   for points, fill, stroke, width in parts)

what = sys.argv[1]
if what == "pin-off":
    print(pin(-45, "#d4d4d4", "#bcbcbc", "#a8a8a8", "#4e4e4e"))
elif what == "pin-hover":
    print("fill '#d8eafc' stroke '#6fa8e6' stroke-width 16 roundrectangle 12,12 468,468 70,70")
    print(pin(-45, "#8cc0f5", "#5a9ee8", "#3f88dc", "#1f5599", "#3d4f66", (5, 5, 43, 43)))
elif what == "pin-on":
    print("fill '#00000040' stroke none ellipse 240,440 110,26 0,360")     # where it went in
    print(pin(-90, "#f0675d", "#d8372c", "#c22a20", "#6e130d", within=(4, 2, 44, 45)))
elif what == "volume":
    print(poly(box(3, 17.5, 12, 30.5), "#4a4a4a", "#262626", 1.4))
    print(poly([(12, 17.5), (22.5, 8), (22.5, 40), (12, 30.5)], "#5c5c5c", "#262626", 1.4))
    for i, (x, h) in enumerate([(26.5, 11), (33.5, 19), (40.5, 27)]):
        fill = "#2f7fe6" if i < 2 else "#9cc4f2"
        print(poly(box(x, 41 - h, x + 5.5, 41), fill, "#1d4f99", 1.2))
elif what == "drop-target":
    print("fill '#ffffff' stroke '#6a6a6a' stroke-width 22 stroke-dasharray 50,30 "
          "roundrectangle 50,170 430,450 40,40")
    print(poly([(19.5, 2), (28.5, 2), (28.5, 22), (36, 22), (24, 36), (12, 22), (19.5, 22)],
               "#2f7fe6", "#1b4f9e", 1.4))
elif what == "desktop":
    print(drawing(desktop()))
elif what == "desktop-pressed":
    print(PRESSED_PLATE + drawing(desktop(), 0.8, 1))
elif what == "start-menu":
    print(drawing(start_menu()))
elif what == "start-menu-pressed":
    print(PRESSED_PLATE + drawing(start_menu(), 0.8, 1))
PY
}

# The file chooser's quick buttons show theirs larger (57 pixels at 96 DPI, 86 at 144).
quick_sizes="16 20 24 32 40 48 64 72 96"
for name in pin-off pin-hover pin-on volume drop-target desktop desktop-pressed start-menu start-menu-pressed; do
  convert -size ${master}x${master} xc:none -draw "$(mvg $name)" "$tmp/$name.png"
  frames=()
  case $name in desktop*|start-menu*) name_sizes=$quick_sizes ;; *) name_sizes=$sizes ;; esac
  for s in $name_sizes; do
    convert "$tmp/$name.png" -filter Box -resize ${s}x${s} "$tmp/$name-$s.png"
    frames+=("$tmp/$name-$s.png")
  done
  convert "${frames[@]}" "$name.ico"
done

# The greyed program icon: every size of varlindo.ico without colour, lighter.
frames=()
i=0
for s in $(identify -format '%w\n' varlindo.ico); do
  convert "varlindo.ico[$i]" -alpha on -colorspace Gray -fill white -colorize 35% \
    -channel A -evaluate multiply 0.85 +channel -colorspace sRGB "PNG32:$tmp/disabled-$s.png"
  frames+=("$tmp/disabled-$s.png"); i=$((i + 1))
done
convert "${frames[@]}" varlindo-disabled.ico
