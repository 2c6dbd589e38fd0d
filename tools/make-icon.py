#!/usr/bin/env python3
"""Draws the tool's icon: resources/updtav01.ico, one 32x32 image at 24 bits.

A teal rounded tile with a white arrow coming down into a tray: "an update
lands here". Drawn from simple shapes so the file is reproducible.
"""
import os
import struct

SIZE = 32


def inside_rounded(x, y, x0, y0, x1, y1, r):
    if x < x0 or x > x1 or y < y0 or y > y1:
        return False
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def pixel(x, y):
    """(r, g, b) or None for transparent; y grows downwards."""
    px, py = x + 0.5, y + 0.5
    if not inside_rounded(px, py, 1, 1, 31, 31, 6):
        return None
    white = (255, 255, 255)
    # Arrow shaft and head.
    if 13 <= px <= 19 and 5 <= py <= 15:
        return white
    if 15 <= py <= 22 and abs(px - 16) <= (22 - py) * 1.0:
        return white
    # Tray: a U shape under the arrow.
    if 22.5 <= py <= 26 and 7 <= px <= 25:
        return white
    if 18 <= py <= 26 and (7 <= px <= 10 or 22 <= px <= 25):
        return white
    # Tile: a vertical teal gradient with a darker rim.
    if not inside_rounded(px, py, 2, 2, 30, 30, 5):
        return (0, 84, 96)
    t = py / SIZE
    return (int(0 + 20 * t), int(150 - 40 * t), int(170 - 30 * t))


def main():
    xor = bytearray()
    mask = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom-up rows
        bits = 0
        for x in range(SIZE):
            p = pixel(x, y)
            if p is None:
                xor += b"\0\0\0"
                bits |= 1 << (31 - x)
            else:
                r, g, b = p
                xor += bytes((b, g, r))
        mask += struct.pack(">I", bits)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 0, 0, 1, 24, len(image), 6 + 16)
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "updtav01.ico")
    with open(out, "wb") as f:
        f.write(icondir + entry + image)


if __name__ == "__main__":
    main()
