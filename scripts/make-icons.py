#!/usr/bin/env python3
"""Draws the calculator's two icons and writes them as .ico files.

Each icon is one 32x32 image in the 16 standard colours (4 bits a pixel)
with a transparency mask: a gold horseshoe, open at the top, with a green
tick in its hollow. res/tallyhorn.ico is the window's large icon; the small
one, res/tallyhorn-small.ico, draws the same emblem with heavier strokes and
no nail holes, so it still reads when the system shrinks it to 16x16.

Usage: python3 scripts/make-icons.py [--preview DIR]
With --preview, also writes each icon as a PNG (8x and at 16x16) to DIR
for a look, using ImageMagick's convert.
"""

import math
import os
import struct
import subprocess
import sys

SIZE = 32

# The 16-colour palette, as (blue, green, red) in BMP order.
PALETTE = [
    (0, 0, 0), (0, 0, 128), (0, 128, 0), (0, 128, 128),
    (128, 0, 0), (128, 0, 128), (128, 128, 0), (192, 192, 192),
    (128, 128, 128), (0, 0, 255), (0, 255, 0), (0, 255, 255),
    (255, 0, 0), (255, 0, 255), (255, 255, 0), (255, 255, 255),
]
BLACK, GREEN_DARK, GOLD_DARK, GREEN, YELLOW = 0, 2, 3, 10, 11
TRANSPARENT = None

CENTRE_X, CENTRE_Y = 16.0, 15.0


def in_horseshoe(x, y, outer, inner, gap_degrees):
    """True when (x, y) lies on the shoe: a ring whose top is cut open, the
    cut widening into the two heels."""
    dx, dy = x - CENTRE_X, y - CENTRE_Y
    r = math.hypot(dx, dy)
    if r > outer or r < inner:
        return False
    # Angle from straight up, 0 to 180 degrees either side.
    angle = math.degrees(math.atan2(abs(dx), -dy))
    return angle >= gap_degrees


def near_segment(x, y, a, b, half_width):
    (ax, ay), (bx, by) = a, b
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(x - ax - t * vx, y - ay - t * vy) <= half_width


def in_tick(x, y, half_width):
    return near_segment(x, y, (10.5, 15.5), (14.5, 20.0), half_width) or \
        near_segment(x, y, (14.5, 20.0), (22.0, 10.0), half_width)


def nail_holes():
    """Pixel centres of the nail holes, three down each side of the shoe."""
    holes = []
    for angle in (62, 97, 132):
        for side in (-1, 1):
            a = math.radians(angle)
            holes.append((CENTRE_X + side * 11.5 * math.sin(a), CENTRE_Y - 11.5 * math.cos(a)))
    return holes


def coverage(test, px, py, samples=4):
    """Share of a pixel's sub-samples for which test(x, y) holds."""
    hits = 0
    for sy in range(samples):
        for sx in range(samples):
            if test(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples):
                hits += 1
    return hits / (samples * samples)


def draw(bold):
    outer, inner = (15.5, 7.0) if bold else (15.0, 8.0)
    gap = 38 if bold else 34
    tick_half = 2.3 if bold else 1.7
    holes = [] if bold else nail_holes()
    outline = 1.1

    def shoe(x, y):
        return in_horseshoe(x, y, outer, inner, gap)

    def shoe_body(x, y):
        return in_horseshoe(x, y, outer - outline, inner + outline, gap + 6)

    def groove(x, y):
        # The fuller: a darker line round the middle of the shoe, where the
        # nails sit.
        middle = (outer + inner) / 2
        return in_horseshoe(x, y, middle + 0.6, middle - 0.6, gap + 8)

    def tick(x, y):
        return in_tick(x, y, tick_half)

    def tick_body(x, y):
        return in_tick(x, y, tick_half - 0.9)

    image = [[TRANSPARENT] * SIZE for _ in range(SIZE)]
    for py in range(SIZE):
        for px in range(SIZE):
            if coverage(shoe, px, py) >= 0.5:
                colour = BLACK
                if coverage(shoe_body, px, py) >= 0.5:
                    colour = YELLOW
                    if not bold and coverage(groove, px, py) >= 0.5:
                        colour = GOLD_DARK
                image[py][px] = colour
            if coverage(tick, px, py) >= 0.5:
                image[py][px] = GREEN if coverage(tick_body, px, py) >= 0.5 else GREEN_DARK
    for hx, hy in holes:
        image[int(hy)][int(hx)] = BLACK
    return image


def ico_bytes(image):
    """One-image .ico: directory, BITMAPINFOHEADER, palette, 4-bit XOR
    bitmap and 1-bit AND mask, both bottom-up with rows padded to 4 bytes."""
    xor = bytearray()
    mask = bytearray()
    for row in reversed(image):
        bits = bytearray()
        for x in range(0, SIZE, 2):
            hi = row[x] if row[x] is not TRANSPARENT else 0
            lo = row[x + 1] if row[x + 1] is not TRANSPARENT else 0
            bits.append((hi << 4) | lo)
        xor += bits  # 16 bytes a row, already a multiple of 4
        m = 0
        for x in range(SIZE):
            m = (m << 1) | (1 if row[x] is TRANSPARENT else 0)
        mask += struct.pack(">I", m)  # 4 bytes a row
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for b, g, r in PALETTE)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    body = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(body), 22)
    return directory + body


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    res = os.path.join(here, "..", "res")
    preview = None
    if len(sys.argv) == 3 and sys.argv[1] == "--preview":
        preview = sys.argv[2]
    elif len(sys.argv) != 1:
        sys.exit(__doc__)
    for name, bold in (("tallyhorn.ico", False), ("tallyhorn-small.ico", True)):
        path = os.path.join(res, name)
        with open(path, "wb") as out:
            out.write(ico_bytes(draw(bold)))
        if preview:
            os.makedirs(preview, exist_ok=True)
            stem = os.path.join(preview, name[:-4])
            subprocess.run(["convert", path, "-background", "#d4d0c8", "-flatten", "-scale", "800%", stem + "-x8.png"],
                           check=True)
            subprocess.run(["convert", path, "-background", "#d4d0c8", "-flatten", "-resize", "16x16", "-scale", "800%",
                            stem + "-16.png"], check=True)


if __name__ == "__main__":
    main()
