#!/usr/bin/env python3
"""Draws the program's own PNG pictures into resources/:
infopane.png (100 x 56 RGBA, the idle information pane), first.png and last.png (11 x 10 one-bit
palette glyphs with a transparent background, the first/last record buttons), and each of them
again at 1.5 x and 2 x for denser screens (infopane150.png, first200.png, ...: sizes truncated).
Needs nothing beyond Python's standard library; the output is deterministic."""

import math
import os
import struct
import zlib

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def write_png(name, width, height, depth, colour_type, rows, extra=b""):
    raw = b"".join(b"\x00" + bytes(r) for r in rows)
    data = b"\x89PNG\r\n\x1a\n"
    data += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0))
    data += extra
    data += chunk(b"IDAT", zlib.compress(raw, 9))
    data += chunk(b"IEND", b"")
    with open(os.path.join(OUT, name), "wb") as f:
        f.write(data)


# --- the information-pane picture: a small stack of cards with a right-answer mark ---------------

W, H, SS = 100, 56, 4  # supersampled 4 x 4 per pixel


def rounded_box(x, y, left, top, right, bottom, radius):
    """Distance-based inside test of a rounded rectangle (supersampled coordinates in pixels)."""
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def over(dst, src):
    """Composites straight-alpha src (r, g, b, a in 0..1) over dst."""
    sr, sg, sb, sa = src
    dr, dg, db, da = dst
    a = sa + da * (1 - sa)
    if a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    blend = lambda s, d: (s * sa + d * da * (1 - sa)) / a
    return (blend(sr, dr), blend(sg, dg), blend(sb, db), a)


def card_sample(x, y):
    colour = (0.0, 0.0, 0.0, 0.0)
    # soft shadow under both cards
    for spread, alpha in ((3.0, 0.10), (2.0, 0.12), (1.0, 0.15)):
        if rounded_box(x, y, 17 - spread + 3, 9 - spread + 3, 88 + spread + 3, 52 + spread + 3, 6 + spread):
            colour = over(colour, (0.1, 0.1, 0.2, alpha))
    # back card, shifted up and right, pale blue
    if rounded_box(x, y, 24, 3, 92, 44, 6):
        edge = not rounded_box(x, y, 25, 4, 91, 43, 5)
        colour = over(colour, (0.29, 0.43, 0.65, 1.0) if edge else (0.80, 0.88, 1.0, 1.0))
    # front card, white with a blue edge
    if rounded_box(x, y, 12, 10, 80, 51, 6):
        edge = not rounded_box(x, y, 13, 11, 79, 50, 5)
        colour = over(colour, (0.29, 0.43, 0.65, 1.0) if edge else (1.0, 1.0, 1.0, 1.0))
        # three lines of "text"
        for top, right in ((18, 52), (26, 46), (34, 50)):
            if top <= y < top + 3 and 19 <= x < right:
                colour = over(colour, (0.55, 0.58, 0.65, 1.0))
        # the right-answer circle
        d = math.hypot(x - 63, y - 31)
        if 8.5 <= d <= 12.0:
            colour = over(colour, (0.86, 0.15, 0.15, 1.0))
    return colour


def info_pane(scale=1, name="infopane.png"):
    width, height = int(W * scale), int(H * scale)
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    r, g, b, a = card_sample((px + (sx + 0.5) / SS) / scale, (py + (sy + 0.5) / SS) / scale)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SS * SS
            a = acc[3] / n
            if a > 0:
                rgb = [min(255, round(c / acc[3] * 255)) for c in acc[:3]]
            else:
                rgb = [0, 0, 0]
            row += rgb + [round(a * 255)]
        rows.append(row)
    write_png(name, width, height, 8, 6, rows)


# --- the first and last glyphs: a bar and a triangle, one bit per pixel -------------------------

GLYPH_FIRST = [
    "...........",
    ".##......#.",
    ".##....###.",
    ".##..#####.",
    ".##.######.",
    ".##.######.",
    ".##..#####.",
    ".##....###.",
    ".##......#.",
    "...........",
]


def glyph(name, lines):
    width = len(lines[0])
    rows = []
    for line in lines:
        bits = [1 if c == "#" else 0 for c in line] + [0] * 7
        rows.append([sum(bits[i + k] << (7 - k) for k in range(8)) for i in range(0, width, 8)])
    # entry 0: the background, fully transparent; entry 1: black. One alpha byte only.
    extra = chunk(b"PLTE", bytes([255, 255, 255, 0, 0, 0])) + chunk(b"tRNS", bytes([0]))
    write_png(name, width, len(lines), 1, 3, rows, extra)


def inside_first(x, y):
    """The first glyph as shapes on its 11 x 10 grid: a bar and a triangle pointing at it."""
    if 1 <= x <= 3 and 1 <= y <= 9:
        return True
    if 3.6 <= x <= 10 and 0.6 <= y <= 9.4:
        return x - 3.6 >= abs(y - 5) * 6.4 / 4.4
    return False


def scaled_first(scale):
    """The first glyph drawn anew at a larger scale: a cell is set when its centre is inside."""
    width, height = int(11 * scale), int(10 * scale)
    return ["".join("#" if inside_first((x + 0.5) / scale, (y + 0.5) / scale) else "." for x in range(width))
            for y in range(height)]


if __name__ == "__main__":
    info_pane()
    glyph("first.png", GLYPH_FIRST)
    glyph("last.png", [line[::-1] for line in GLYPH_FIRST])
    for scale, suffix in ((1.5, "150"), (2, "200")):
        info_pane(scale, "infopane%s.png" % suffix)
        lines = scaled_first(scale)
        glyph("first%s.png" % suffix, lines)
        glyph("last%s.png" % suffix, [line[::-1] for line in lines])
