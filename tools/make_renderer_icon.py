#!/usr/bin/env python3
"""Writes resources/varenko_renderer.ico, the renderer's window-class icon: one 32x32 picture in
16 colours (4 bits per pixel) of a burst over a dark sky. Run from anywhere; it writes beside the
repository's resources/ folder. The picture is drawn from formulas, so it regenerates exactly."""
import math
import os
import struct

SIZE = 32
# The 16 standard colours, as (blue, green, red, reserved) entries.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # given as (red, green, blue)
NAVY, WHITE, YELLOW, RED, MAGENTA, CYAN, GREY = 4, 15, 11, 9, 13, 14, 8


def picture():
    """Rows from top to bottom of palette indices."""
    rows = [[0] * SIZE for _ in range(SIZE)]
    cx, cy = 15.5, 13.0
    for y in range(SIZE):
        for x in range(SIZE):
            if y > 26:
                rows[y][x] = NAVY  # the ground line under the burst
    rays = 12
    for k in range(rays):
        angle = 2 * math.pi * k / rays
        colour = (RED, YELLOW, MAGENTA, CYAN)[k % 4]
        for step in range(3, 13):
            x = int(round(cx + math.cos(angle) * step))
            y = int(round(cy + math.sin(angle) * step))
            if 0 <= x < SIZE and 0 <= y < SIZE:
                rows[y][x] = colour if step < 11 else WHITE
    for y in range(12, 15):
        for x in range(14, 18):
            rows[y][x] = WHITE
    for y in range(16, 27):  # the rising trail
        rows[y][16] = GREY
    return rows


def icon_bytes(rows):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    for row in reversed(rows):  # bottom row first
        for x in range(0, SIZE, 2):
            xor.append((row[x] << 4) | row[x + 1])
    mask = bytes(SIZE * SIZE // 8)  # every pixel opaque
    image = header + palette + bytes(xor) + mask
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = os.path.join(root, "resources", "varenko_renderer.ico")
    with open(path, "wb") as out:
        out.write(icon_bytes(picture()))
    print(path)


if __name__ == "__main__":
    main()
