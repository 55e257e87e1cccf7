#!/usr/bin/env bash
# Draws the shell's own pictures into resources/: toolbar.bmp (the toolbar's 11 images, 16 x 16 each
# in one 176 x 16 strip, magenta where the button face shows through) with ImageMagick, and
# hand.cur (the link cursor of the about box, 32 x 32 monochrome) with Python's standard library.
# The output is deterministic; run it again after changing a picture.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

n=0
icon() {
    convert -size 16x16 xc:'#FF00FF' +antialias -stroke black -strokewidth 1 "$@" "$work/$n.png"
    n=$((n + 1))
}
# 0 open: a folder with its front flap lowered
icon -fill '#D8A020' -draw 'polygon 1,3 5,3 6,4 13,4 13,12 1,12' -fill '#FFE070' -draw 'polygon 4,7 15,7 12,12 1,12'
# 1 range: a bracket taking in the middle lines of a list
icon -stroke none -fill '#A0A0A0' -draw 'rectangle 5,1 14,2' -draw 'rectangle 5,13 14,14' \
    -fill '#2F6BD0' -draw 'rectangle 5,4 14,5' -draw 'rectangle 5,7 12,8' -draw 'rectangle 5,10 13,11' \
    -fill '#D02020' -draw 'rectangle 1,3 2,12' -draw 'rectangle 3,3 3,3' -draw 'rectangle 3,12 3,12'
# 2 standard mode: a question card as the file gives it
icon -fill white -draw 'rectangle 1,2 14,13' -stroke none -fill '#3C78D8' -draw 'rectangle 2,3 13,5' \
    -stroke '#909090' -draw 'line 3,7 11,7' -draw 'line 3,9 9,9' -draw 'line 3,11 12,11'
# 3 written mode: a pencil
icon -fill '#FFD040' -draw 'polygon 10,2 13,5 5,13 2,10' -fill '#F0C8A0' -draw 'polygon 2,10 5,13 1,14' \
    -fill '#E06080' -draw 'polygon 10,2 13,5 14,4 11,1' -stroke '#404040' -draw 'point 1,14'
# 4 choice mode: three options, the first chosen
icon -fill '#2050C0' -draw 'roundrectangle 1,1 5,5 1,1' -fill white -draw 'roundrectangle 1,6 5,10 1,1' \
    -draw 'roundrectangle 1,11 5,15 1,1' \
    -stroke '#606060' -draw 'line 7,3 14,3' -draw 'line 7,8 13,8' -draw 'line 7,13 12,13'
# 5 confirm mode: a tick
icon -stroke '#0E5A1E' -fill '#28B43C' -draw 'polygon 1,8 3,6 6,9 12,2 14,4 6,13'
# 6 all in order: lines with a downward arrow
icon -stroke none -fill '#707070' -draw 'rectangle 1,2 7,3' -draw 'rectangle 1,7 7,8' -draw 'rectangle 1,12 7,13' \
    -stroke black -fill '#3C78D8' -draw 'polygon 11,1 13,1 13,8 15,8 12,13 9,8 11,8'
# 7 random over all: a die
icon -fill white -draw 'roundrectangle 1,1 14,14 3,3' -stroke none -fill black \
    -draw 'rectangle 3,3 5,5' -draw 'rectangle 10,3 12,5' -draw 'rectangle 7,7 8,8' -draw 'rectangle 3,10 5,12' \
    -draw 'rectangle 10,10 12,12'
# 8 random with a count: a die with a red counter
icon -fill white -draw 'roundrectangle 0,0 10,10 2,2' -stroke none -fill black \
    -draw 'rectangle 2,2 3,3' -draw 'rectangle 7,2 8,3' -draw 'rectangle 2,7 3,8' -draw 'rectangle 7,7 8,8' \
    -stroke '#900000' -fill '#E02020' -draw 'circle 11,11 11,15' -stroke white -draw 'line 11,9 11,13' \
    -draw 'point 10,10'
# 9 weak points: a target
icon -fill '#E02020' -draw 'circle 7,8 7,1' -stroke none -fill white -draw 'circle 7,8 7,3' \
    -fill '#E02020' -draw 'circle 7,8 7,5' -fill white -draw 'point 7,8'
# 10 complete: a star
icon -stroke '#806000' -fill '#FFC820' -draw 'polygon 7,0 9,5 15,5 10,9 12,15 7,11 2,15 4,9 0,5 5,5'

convert "$work"/{0,1,2,3,4,5,6,7,8,9,10}.png +append -type TrueColor BMP3:"$ROOT/resources/toolbar.bmp"

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
size = 32
grid = [row.ljust(size, ".") for row in art] + ["." * size] * (size - len(art))
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
    for y in reversed(range(size)):
        row = 0
        for x in range(size):
            row = (row << 1) | (1 if pred(x, y) else 0)
        out += struct.pack(">I", row)
    return out
xor = bits(lambda x, y: grid[y][x] == "." and not outside[y][x])
mask = bits(lambda x, y: outside[y][x])
header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 0)
palette = struct.pack("<II", 0x000000, 0xFFFFFF)
image = header + palette + xor + mask
entry = struct.pack("<BBBBHHII", size, size, 2, 0, 5, 0, len(image), 6 + 16)
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack("<HHH", 0, 2, 1) + entry + image)
PY
echo "drawn: resources/toolbar.bmp resources/hand.cur"
