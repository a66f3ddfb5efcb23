#!/usr/bin/env python3
"""Draws the agent's icons: a rounded tile with a small two-colour bar
diagram, coloured when the agent is enabled and grey when it is disabled.
Writes 16x16 and 32x32 images (32-bit with an AND mask) into icons/*.ico.
Run it again after changing a colour or a bar; the .ico files are kept in
the repository so that building needs no Python."""
import os
import struct

BARS = [0.35, 0.55, 0.45, 0.8, 0.6, 0.95, 0.7]  # heights, left to right


def tile_colour(x, y, size, palette):
    r = size * 0.18
    inside = True
    for cx, cy in ((r, r), (size - 1 - r, r), (r, size - 1 - r), (size - 1 - r, size - 1 - r)):
        if (x < r and y < r and cx == r and cy == r) or (x > size - 1 - r and y < r and cx != r and cy == r) \
                or (x < r and y > size - 1 - r and cx == r and cy != r) \
                or (x > size - 1 - r and y > size - 1 - r and cx != r and cy != r):
            if (x - cx) ** 2 + (y - cy) ** 2 > r * r:
                inside = False
    if not inside:
        return None
    top, bottom = palette["tile_top"], palette["tile_bottom"]
    t = y / (size - 1)
    return tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))


def draw(size, palette):
    pixels = [[None] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            pixels[y][x] = tile_colour(x, y, size, palette)
    margin = max(2, size // 8)
    base = size - margin - 1
    usable = size - 2 * margin
    width = max(1, usable // len(BARS))
    for i, h in enumerate(BARS):
        left = margin + i * width + (usable - width * len(BARS)) // 2
        height = max(1, int(round(h * (usable - 1))))
        colour = palette["receive"] if i % 2 == 0 else palette["send"]
        for y in range(base - height + 1, base + 1):
            for x in range(left, left + max(1, width - (1 if width > 2 else 0))):
                if pixels[y][x] is not None:
                    pixels[y][x] = colour
    return pixels


def image_bytes(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):
        for p in row:
            xor += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, p in enumerate(row):
            if p is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_icon(path, palette):
    images = [image_bytes(draw(s, palette)) for s in (16, 32)]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for s, data in zip((16, 32), images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for data in images:
        out += data
    with open(path, "wb") as f:
        f.write(out)


ENABLED = {"tile_top": (40, 70, 130), "tile_bottom": (18, 32, 70), "receive": (80, 220, 110), "send": (250, 170, 60)}
DISABLED = {"tile_top": (120, 120, 120), "tile_bottom": (70, 70, 70), "receive": (190, 190, 190), "send": (150, 150, 150)}

here = os.path.dirname(os.path.abspath(__file__))
write_icon(os.path.join(here, "icons", "tray_enabled.ico"), ENABLED)
write_icon(os.path.join(here, "icons", "tray_disabled.ico"), DISABLED)
write_icon(os.path.join(here, "icons", "agent.ico"), ENABLED)
