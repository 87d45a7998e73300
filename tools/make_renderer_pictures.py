#!/usr/bin/env python3
"""Makes the pictures the renderer embeds: five 64 x 64 smoke puffs and a 512 x 512 tileable cloud
field. Everything comes from seeded noise, so running it again gives the same bytes.

    tools/make_renderer_pictures.py [OUTPUT_DIR]     (default: resources/ beside this tool)

Smoke puffs are 8-bit alpha images (binary PGM, "P5"); the cloud field is luminance + alpha pairs
(PAM, "P7", TUPLTYPE GRAYSCALE_ALPHA). The renderer checks these exact headers before using the
pixels. Python 3 standard library only.
"""

import math
import os
import sys

SMOKE_SIZE = 64
SMOKE_COUNT = 5
CLOUD_SIZE = 512


def hash01(ix, iy, seed):
    """A well-mixed integer hash of a lattice point, as a float in [0, 1)."""
    h = (ix * 0x8DA6B343 + iy * 0xD8163841 + seed * 0xCB1AB31F) & 0xFFFFFFFF
    h ^= h >> 15
    h = (h * 0x2C1B3C6D) & 0xFFFFFFFF
    h ^= h >> 12
    h = (h * 0x297A2D39) & 0xFFFFFFFF
    h ^= h >> 15
    return h / 4294967296.0


def smooth(t):
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0)


class Octave:
    """Value noise on a lattice of period x period cells that wraps, so it tiles."""

    def __init__(self, period, seed):
        self.period = period
        self.values = [[hash01(i, j, seed) for i in range(period)] for j in range(period)]

    def at(self, x, y):
        """x, y in lattice units; any value, wrapped onto the period."""
        p = self.period
        x0 = math.floor(x)
        y0 = math.floor(y)
        fx = smooth(x - x0)
        fy = smooth(y - y0)
        x0 %= p
        y0 %= p
        x1 = (x0 + 1) % p
        y1 = (y0 + 1) % p
        row0 = self.values[y0]
        row1 = self.values[y1]
        a = row0[x0] + (row0[x1] - row0[x0]) * fx
        b = row1[x0] + (row1[x1] - row1[x0]) * fx
        return a + (b - a) * fy


class Fbm:
    """Sum of octaves with halving weights, normalised to [0, 1]; tiles over `size` pixels when
    every period divides it."""

    def __init__(self, size, periods, seed, gain=0.5):
        self.size = size
        self.octaves = [Octave(p, seed * 131 + k) for k, p in enumerate(periods)]
        self.weights = [gain**k for k in range(len(periods))]
        self.total = sum(self.weights)

    def at(self, px, py):
        s = 0.0
        for octave, w in zip(self.octaves, self.weights):
            scale = octave.period / self.size
            s += w * octave.at(px * scale, py * scale)
        return s / self.total


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def smoothstep(e0, e1, v):
    t = clamp01((v - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def to_byte(v, dither):
    """v in [0, 255]; the dither in [0, 1) breaks up the steps of slow gradients (no banding)."""
    return max(0, min(255, int(v + dither)))


def smoke_puff(index):
    """One irregular puff: a few soft lobes around the centre, their outlines bent by noise so the
    puff looks torn rather than round, thinned by finer noise inside, and fading to zero well
    before the border."""
    seed = 1000 + index * 17
    n = SMOKE_SIZE
    detail = Fbm(n, [4, 8, 16], seed)
    warp_x = Fbm(n, [4, 8], seed + 5)
    warp_y = Fbm(n, [4, 8], seed + 6)
    lobes = []
    count = 4 + index % 3
    for k in range(count):
        angle = 2.0 * math.pi * (k / count + 0.3 * hash01(k, index, seed + 1))
        dist = 5.0 + 8.0 * hash01(k, index, seed + 2)
        radius = 10.0 + 7.0 * hash01(k, index, seed + 3)
        lobes.append((32.0 + dist * math.cos(angle), 32.0 + dist * math.sin(angle), radius))
    density = [[0.0] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            cx = x + 0.5 + 12.0 * (warp_x.at(x, y) - 0.5)
            cy = y + 0.5 + 12.0 * (warp_y.at(x, y) - 0.5)
            d = 0.0
            for lx, ly, lr in lobes:
                r = math.hypot(cx - lx, cy - ly) / lr
                d += max(0.0, 1.0 - r * r) ** 2
            d = clamp01(d)
            density[y][x] = d * (0.25 + 1.1 * detail.at(x, y))
    # Two passes of a 3 x 3 box blur soften what the warp made steep.
    for _ in range(2):
        density = blur3(density)
    pixels = bytearray(n * n)
    for y in range(n):
        for x in range(n):
            # Zero at the border whatever the lobes do: a soft window over the outer 8 texels.
            edge = min(x, y, n - 1 - x, n - 1 - y)
            d = density[y][x] * smoothstep(0.0, 8.0, edge)
            pixels[y * n + x] = to_byte(255.0 * clamp01(d * 0.95), hash01(x, y, seed + 9))
    return pixels


def blur3(image):
    n = len(image)
    out = [[0.0] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            s = 0.0
            for dy in (-1, 0, 1):
                for dx in (-1, 0, 1):
                    yy = min(max(y + dy, 0), n - 1)
                    xx = min(max(x + dx, 0), n - 1)
                    s += image[yy][xx]
            out[y][x] = s / 9.0
    return out


def cloud_field():
    """Luminance + alpha of a tileable cloud cover: soft-edged cloud banks with clear gaps,
    brightest where thickest."""
    n = CLOUD_SIZE
    cover = Fbm(n, [4, 8, 16, 32, 64, 128], 7, gain=0.55)
    shading = Fbm(n, [8, 16, 32, 64, 128], 11, gain=0.5)
    pixels = bytearray(n * n * 2)
    for y in range(n):
        for x in range(n):
            c = cover.at(x, y)
            a = smoothstep(0.38, 0.72, c)
            s = shading.at(x, y)
            # Thick cloud stays near white; thin parts and hollows shade toward grey (156).
            dark = clamp01((0.66 - s) * 2.6) * (1.0 - 0.5 * a)
            lum = 255.0 - 99.0 * dark
            i = (y * n + x) * 2
            pixels[i] = to_byte(lum, hash01(x, y, 21))
            pixels[i + 1] = to_byte(255.0 * a, hash01(x, y, 22))
    return pixels


def write(path, header, data):
    with open(path, "wb") as f:
        f.write(header.encode("ascii"))
        f.write(data)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    os.makedirs(out, exist_ok=True)
    for k in range(SMOKE_COUNT):
        write(os.path.join(out, "smoke%d.pgm" % k), "P5\n64 64\n255\n", smoke_puff(k))
    write(
        os.path.join(out, "clouds.pam"),
        "P7\nWIDTH 512\nHEIGHT 512\nDEPTH 2\nMAXVAL 255\nTUPLTYPE GRAYSCALE_ALPHA\nENDHDR\n",
        cloud_field(),
    )


if __name__ == "__main__":
    main()
