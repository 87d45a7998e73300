#!/usr/bin/env python3
"""Draws the settings dialog's pictures as 24-bit BMP files under resources/frontend/:
the six 64 x 25 state pictures of the skinned button (only their 4-pixel frame is ever shown)
and the two 12 x 12 option marks. Needs nothing but Python 3. Run from anywhere:

    tools/make_dialog_pictures.py
"""

import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "frontend")


def rgb(text):
    return (int(text[1:3], 16), int(text[3:5], 16), int(text[5:7], 16))


def mix(a, b, share):
    """share of b mixed into a."""
    return tuple(round(x + (y - x) * share) for x, y in zip(a, b))


def write_bmp(path, pixels):
    """pixels: rows top to bottom of (r, g, b)."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):  # BMP rows run bottom to top
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        body += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 3780, 3780, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + body)


# --- button state pictures -----------------------------------------------------------------

W, H = 64, 25
SURROUND = rgb("#E2DECB")  # light beige the outermost ring blends into
DIALOG = rgb("#ECE9D8")  # the dialog colour
NAVY = rgb("#003C74")
FACE = rgb("#F3F3EE")


def frame(rings, inset=0):
    """rings: for depth 0..3, a function (side, along) -> colour, side one of top, bottom, left,
    right and along the position 0..1 along that side. Corners are rounded: the border ring (the
    first ring whose colour differs from the one outside it at the corner) is cut diagonally."""
    pixels = [[FACE] * W for _ in range(H)]
    for y in range(H):
        for x in range(W):
            depth = min(x, y, W - 1 - x, H - 1 - y)
            if depth > 3:
                continue
            if depth == y:
                side, along = "top", x / (W - 1)
            elif depth == H - 1 - y:
                side, along = "bottom", x / (W - 1)
            elif depth == x:
                side, along = "left", y / (H - 1)
            else:
                side, along = "right", y / (H - 1)
            pixels[y][x] = rings[depth](side, along)
    # Soften the corners: the corner pixel of the border ring takes the colour outside it, half
    # mixed, and the pixel diagonally inside it takes the border colour.
    border = 1 + inset
    for cx, cy, dx, dy in ((0, 0, 1, 1), (W - 1, 0, -1, 1), (0, H - 1, 1, -1), (W - 1, H - 1, -1, -1)):
        outside = pixels[cy + dy * (border - 1)][cx + dx * (border - 1)] if border > 0 else SURROUND
        bx, by = cx + dx * border, cy + dy * border
        edge = pixels[by][bx + dx]  # a border pixel next to the corner
        pixels[by][bx] = mix(outside, edge, 0.4)
        pixels[by + dy][bx + dx] = mix(pixels[by + dy][bx + dx], edge, 0.6)
        # The outermost corner pixel always melts into the surroundings.
        pixels[cy][cx] = outside if border > 0 else SURROUND
    return pixels


def solid(colour):
    return lambda side, along: colour


def by_side(top, left, right, bottom):
    def pick(side, along):
        return {"top": top, "left": left, "right": right, "bottom": bottom}[side]

    return pick


def accent(top_outer, top_inner, sides, bottom_inner, bottom_outer):
    """The 2-pixel inner ring of the hover and focus looks: two rows at the top and bottom, the
    sides one colour."""
    outer = by_side(top_outer, sides, sides, bottom_outer)
    inner = by_side(top_inner, sides, sides, bottom_inner)
    return outer, inner


def normal():
    return frame([solid(SURROUND), solid(NAVY), solid(FACE), solid(FACE)])


def highlight():
    outer, inner = accent(rgb("#FFF0CF"), rgb("#FDD889"), rgb("#FCCA69"), rgb("#F8B330"),
                          rgb("#E59700"))
    return frame([solid(SURROUND), solid(NAVY), outer, inner])


def selected():
    outer, inner = accent(rgb("#CEE7FF"), rgb("#BCD6FA"), rgb("#A9C5EF"), rgb("#8AA2EE"),
                          rgb("#6982EE"))
    return frame([solid(SURROUND), solid(NAVY), outer, inner])


def pressed():
    shadow = rgb("#D1CCC1")
    darker = rgb("#E2E1D9")
    return frame(
        [solid(DIALOG), solid(DIALOG), solid(NAVY), by_side(shadow, shadow, darker, darker)],
        inset=1)


def disable():
    pale = rgb("#F5F4EA")
    return frame([solid(DIALOG), solid(rgb("#C9C7BA")), solid(pale), solid(pale)])


# --- option marks --------------------------------------------------------------------------


def option_mark(on):
    dark, light, blue = rgb("#404040"), rgb("#D8D8D8"), rgb("#2058C8")
    pixels = []
    for y in range(12):
        row = []
        for x in range(12):
            depth = min(x, y, 11 - x, 11 - y)
            if depth == 0:
                row.append(dark)
            elif on and depth >= 2:
                row.append(blue)
            else:
                row.append(light)
        pixels.append(row)
    return pixels


def main():
    os.makedirs(OUT, exist_ok=True)
    pictures = {
        "button_normal.bmp": normal(),
        "button_highlight.bmp": highlight(),
        "button_highlightselect.bmp": highlight(),  # the same pixels as the hover look
        "button_selected.bmp": selected(),
        "button_pressed.bmp": pressed(),
        "button_disable.bmp": disable(),
        "option_mark_off.bmp": option_mark(False),
        "option_mark_on.bmp": option_mark(True),
    }
    for name, pixels in pictures.items():
        write_bmp(os.path.join(OUT, name), pixels)
        print("wrote", os.path.normpath(os.path.join(OUT, name)))


if __name__ == "__main__":
    main()
