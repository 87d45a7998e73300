#!/usr/bin/env python3
"""Writes resources/varenko_frontend.ico, the icon of Varenko.scr as Explorer and the display
settings show it: one 32x32 picture in 16 colours (4 bits per pixel) of a small screen with a
burst on it. Drawn from formulas, so it regenerates exactly."""
import math
import os
import struct

SIZE = 32
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]  # given as (red, green, blue)
BLACK, NAVY, SILVER, GREY, YELLOW, RED, MAGENTA, CYAN, WHITE = 0, 4, 7, 8, 11, 9, 13, 14, 15


def picture():
    """Rows from top to bottom of palette indices, and the transparent pixels."""
    rows = [[BLACK] * SIZE for _ in range(SIZE)]
    clear = [[True] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        rows[y][x] = colour
        clear[y][x] = False

    for y in range(2, 24):  # the screen's frame and its night sky
        for x in range(1, 31):
            edge = y in (2, 23) or x in (1, 30)
            put(x, y, SILVER if edge else NAVY)
    for y in range(24, 27):  # the stand
        for x in range(13, 19):
            put(x, y, GREY)
    for x in range(8, 24):
        put(x, 27, GREY)
    cx, cy = 15.5, 11.5
    for k in range(10):
        angle = 2 * math.pi * k / 10 + 0.3
        colour = (YELLOW, RED, MAGENTA, CYAN, WHITE)[k % 5]
        for step in range(2, 9):
            x = int(round(cx + math.cos(angle) * step))
            y = int(round(cy + math.sin(angle) * step))
            if 2 < x < 30 and 2 < y < 23:
                put(x, y, colour)
    for y in range(11, 13):
        for x in range(15, 17):
            put(x, y, WHITE)
    return rows, clear


def icon_bytes(rows, clear):
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    for row in reversed(rows):  # bottom row first
        for x in range(0, SIZE, 2):
            xor.append((row[x] << 4) | row[x + 1])
    mask = bytearray()
    for flags in reversed(clear):
        for x in range(0, SIZE, 8):
            byte = 0
            for bit in range(8):
                if flags[x + bit]:
                    byte |= 0x80 >> bit
            mask.append(byte)
    image = header + palette + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    return directory + entry + image


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = os.path.join(root, "resources", "varenko_frontend.ico")
    with open(path, "wb") as out:
        out.write(icon_bytes(*picture()))
    print(path)


if __name__ == "__main__":
    main()
