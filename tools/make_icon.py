#!/usr/bin/env python3
"""Draws the program's icon and writes it as a Windows .ico (16 to 64 pixels, 32-bit): one
image per size the window asks for at 100 to 400 % display scale, each drawn at its size.

The picture: a rounded blue tile with a white ring and tail (a "Q") and two amber dots
standing for the converter's two sides. Drawn analytically with 4x4 supersampling, so the
small sizes stay smooth without any imaging library.

    python3 tools/make_icon.py app/CANConfig.ico
"""
import math
import struct
import sys


def coverage(size, inside):
    """Fraction of each pixel for which inside(x, y) holds, x and y in 0..1."""
    n = 4
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    if inside((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size):
                        hits += 1
            row.append(hits / (n * n))
        rows.append(row)
    return rows


def in_tile(x, y):
    r, lo, hi = 0.18, 0.04, 0.96
    cx = min(max(x, lo + r), hi - r)
    cy = min(max(y, lo + r), hi - r)
    return lo <= x <= hi and lo <= y <= hi and (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def in_ring(x, y):
    d = math.hypot(x - 0.44, y - 0.45)
    return 0.17 <= d <= 0.28


def in_tail(x, y):
    # A thick segment from the ring's lower right towards the tile's corner.
    ax, ay, bx, by = 0.55, 0.56, 0.74, 0.76
    t = max(0.0, min(1.0, ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)))
    return math.hypot(x - (ax + t * (bx - ax)), y - (ay + t * (by - ay))) <= 0.055


def in_dots(x, y):
    return math.hypot(x - 0.80, y - 0.22) <= 0.065 or math.hypot(x - 0.80, y - 0.42) <= 0.065


def render(size):
    tile, ring, tail, dots = (coverage(size, f) for f in (in_tile, in_ring, in_tail, in_dots))
    pixels = []
    for y in range(size):
        for x in range(size):
            t = y / max(size - 1, 1)
            base = (int(30 + 20 * t), int(110 - 40 * t), int(200 - 50 * t))  # blue, darker below
            white = max(ring[y][x], tail[y][x])
            amber = dots[y][x]
            r, g, b = base
            r, g, b = (r + (255 - r) * white, g + (255 - g) * white, b + (255 - b) * white)
            r, g, b = (r + (250 - r) * amber, g + (180 - g) * amber, b + (40 - b) * amber)
            a = tile[y][x]
            pixels.append((int(b), int(g), int(r), int(round(255 * a))))
    return pixels


def dib(size, pixels):
    """One icon image: BITMAPINFOHEADER (double height), bottom-up BGRA rows, AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = [bytes(c for p in pixels[y * size:(y + 1) * size] for c in p) for y in range(size)]
    xor = b''.join(reversed(rows))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        bits = bytearray(mask_stride)
        for x in range(size):
            if pixels[y * size + x][3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + xor + bytes(mask)


def main(path):
    sizes = (16, 20, 24, 32, 40, 48, 64)
    images = [dib(s, render(s)) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for s, img in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'CANConfig.ico')
