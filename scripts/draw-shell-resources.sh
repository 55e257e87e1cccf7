#!/usr/bin/env bash
# Draws the shell's own pictures into resources/: toolbar.bmp (the toolbar's 11 images, 16 x 16 each
# in one 176 x 16 strip, magenta where the button face shows through) with ImageMagick, the same
# strip at 1.5 x and 2 x (toolbar150.bmp, toolbar200.bmp: 24 and 32 pixels), and hand.cur (the link
# cursor of the about box, monochrome at 32, 48 and 64 pixels) with Python's standard library.
# The output is deterministic; run it again after changing a picture.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The images are drawn on a 16 x 16 grid. At 1.5 x and 2 x the same drawing is scaled with an
# affine transform that maps pixel centres to pixel centres (strokes grow with it); unstroked boxes
# and single points cover whole scaled cells.
S=1
icon() {
    local size
    size=$(awk -v s="$S" 'BEGIN { print int(16 * s) }')
    if [ "$S" = 1 ]; then
        convert -size 16x16 xc:'#FF00FF' +antialias -stroke black -strokewidth 1 "$@" "$work/$n.png"
    else
        convert -size "${size}x${size}" xc:'#FF00FF' +antialias \
            -affine "$(awk -v s="$S" 'BEGIN { printf "%g,0,0,%g,%g,%g", s, s, (s - 1) / 2, (s - 1) / 2 }')" \
            -stroke black -strokewidth 1 "$@" "$work/$n.png"
    fi
    n=$((n + 1))
}
box() {
    if [ "$S" = 1 ]; then
        echo "rectangle $1,$2 $3,$4"
    else
        awk -v a="$1" -v b="$2" -v c="$3" -v d="$4" 'BEGIN { printf "rectangle %g,%g %g,%g", a - 0.49, b - 0.49, c + 0.49, d + 0.49 }'
    fi
}

# A single pixel in the fill colour.
pt() {
    if [ "$S" = 1 ]; then
        echo "point $1,$2"
    else
        echo "push graphic-context stroke none $(box "$1" "$2" "$1" "$2") pop graphic-context"
    fi
}

draw_icons() {
    n=0
    # 0 open: a folder with its front flap lowered
    icon -fill '#D8A020' -draw 'polygon 1,3 5,3 6,4 13,4 13,12 1,12' -fill '#FFE070' -draw 'polygon 4,7 15,7 12,12 1,12'
    # 1 range: a bracket taking in the middle lines of a list
    icon -stroke none -fill '#A0A0A0' -draw "$(box 5 1 14 2)" -draw "$(box 5 13 14 14)" \
        -fill '#2F6BD0' -draw "$(box 5 4 14 5)" -draw "$(box 5 7 12 8)" -draw "$(box 5 10 13 11)" \
        -fill '#D02020' -draw "$(box 1 3 2 12)" -draw "$(box 3 3 3 3)" -draw "$(box 3 12 3 12)"
    # 2 standard mode: a question card as the file gives it
    icon -fill white -draw 'rectangle 1,2 14,13' -stroke none -fill '#3C78D8' -draw "$(box 2 3 13 5)" \
        -stroke '#909090' -draw 'line 3,7 11,7' -draw 'line 3,9 9,9' -draw 'line 3,11 12,11'
    # 3 written mode: a pencil
    icon -fill '#FFD040' -draw 'polygon 10,2 13,5 5,13 2,10' -fill '#F0C8A0' -draw 'polygon 2,10 5,13 1,14' \
        -fill '#E06080' -draw 'polygon 10,2 13,5 14,4 11,1' -stroke '#404040' -draw "$(pt 1 14)"
    # 4 choice mode: three options, the first chosen
    icon -fill '#2050C0' -draw 'roundrectangle 1,1 5,5 1,1' -fill white -draw 'roundrectangle 1,6 5,10 1,1' \
        -draw 'roundrectangle 1,11 5,15 1,1' \
        -stroke '#606060' -draw 'line 7,3 14,3' -draw 'line 7,8 13,8' -draw 'line 7,13 12,13'
    # 5 confirm mode: a tick
    icon -stroke '#0E5A1E' -fill '#28B43C' -draw 'polygon 1,8 3,6 6,9 12,2 14,4 6,13'
    # 6 all in order: lines with a downward arrow
    icon -stroke none -fill '#707070' -draw "$(box 1 2 7 3)" -draw "$(box 1 7 7 8)" -draw "$(box 1 12 7 13)" \
        -stroke black -fill '#3C78D8' -draw 'polygon 11,1 13,1 13,8 15,8 12,13 9,8 11,8'
    # 7 random over all: a die
    icon -fill white -draw 'roundrectangle 1,1 14,14 3,3' -stroke none -fill black \
        -draw "$(box 3 3 5 5)" -draw "$(box 10 3 12 5)" -draw "$(box 7 7 8 8)" -draw "$(box 3 10 5 12)" \
        -draw "$(box 10 10 12 12)"
    # 8 random with a count: a die with a red counter
    icon -fill white -draw 'roundrectangle 0,0 10,10 2,2' -stroke none -fill black \
        -draw "$(box 2 2 3 3)" -draw "$(box 7 2 8 3)" -draw "$(box 2 7 3 8)" -draw "$(box 7 7 8 8)" \
        -stroke '#900000' -fill '#E02020' -draw 'circle 11,11 11,15' -stroke white -draw 'line 11,9 11,13' \
        -draw "$(pt 10 10)"
    # 9 weak points: a target
    icon -fill '#E02020' -draw 'circle 7,8 7,1' -stroke none -fill white -draw 'circle 7,8 7,3' \
        -fill '#E02020' -draw 'circle 7,8 7,5' -fill white -draw "$(pt 7 8)"
    # 10 complete: a star
    icon -stroke '#806000' -fill '#FFC820' -draw 'polygon 7,0 9,5 15,5 10,9 12,15 7,11 2,15 4,9 0,5 5,5'
}

# toolbar.bmp at 1 x (16 pixels); toolbar150.bmp and toolbar200.bmp at 1.5 x and 2 x.
for scale in 1:toolbar 1.5:toolbar150 2:toolbar200; do
    S=${scale%%:*}
    draw_icons
    convert "$work"/{0,1,2,3,4,5,6,7,8,9,10}.png +append -type TrueColor BMP3:"$ROOT/resources/${scale#*:}.bmp"
done

python3 - "$ROOT/resources/hand.cur" <<'PY'
import struct, sys
# X outline, everything enclosed by it white, the rest transparent; the hot spot is the fingertip.
art = """
.....XX.........................
....X..X........................
....X..X........................
....X..X........................
....X..X........................
....X..XXX......................
....X..X..XXX...................
....X..X..X..XX.................
.XX.X..X..X..X.XX...............
X..XX..X..X..X.X.X..............
X...X..........X.X..............
.X..X............X..............
..X..............X..............
..X..............X..............
...X.............X..............
...X............X...............
....X...........X...............
....X..........X................
.....X.........X................
.....XXXXXXXXXXX................
""".split()
def cursor_image(scale):
    """The art at 1, 1.5 or 2 times, each cell covering the scaled cells whose centres fall in it."""
    size = int(32 * scale)
    base = [row.ljust(32, ".") for row in art] + ["." * 32] * (32 - len(art))
    grid = [[base[int((y + 0.5) / scale)][int((x + 0.5) / scale)] for x in range(size)] for y in range(size)]
    outside = [[False] * size for _ in range(size)]
    stack = [(0, size - 1)]
    while stack:
        x, y = stack.pop()
        if not (0 <= x < size and 0 <= y < size) or outside[y][x] or grid[y][x] == "X":
            continue
        outside[y][x] = True
        stack += [(x + 1, y), (x - 1, y), (x, y + 1), (x, y - 1)]
    def bits(pred):
        out = b""
        words = (size + 31) // 32
        for y in reversed(range(size)):
            row = 0
            for x in range(words * 32):
                row = (row << 1) | (1 if x < size and pred(x, y) else 0)
            out += row.to_bytes(4 * words, "big")
        return out
    xor = bits(lambda x, y: grid[y][x] == "." and not outside[y][x])
    mask = bits(lambda x, y: outside[y][x])
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
    palette = struct.pack("<II", 0x000000, 0xFFFFFF)
    hot_x = int(5.5 * scale)
    return size, hot_x, header + palette + xor + mask

images = [cursor_image(scale) for scale in (1, 1.5, 2)]
directory = struct.pack("<HHH", 0, 2, len(images))
offset = 6 + 16 * len(images)
data = b""
for size, hot_x, image in images:
    directory += struct.pack("<BBBBHHII", size, size, 2, 0, hot_x, 0, len(image), offset + len(data))
    data += image
with open(sys.argv[1], "wb") as f:
    f.write(directory + data)
PY
echo "drawn: resources/toolbar.bmp resources/hand.cur"
