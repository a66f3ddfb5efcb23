#!/usr/bin/env python3
"""Draws the statistics window's push-pin icons: the pin lying on its side
(window not on top) and the pin pressed in, seen from above (on top).
Writes 16x16 images (32-bit with an AND mask) into icons/pin_*.ico; the
.ico files are kept in the repository so that building needs no Python."""
import os
import struct

HEAD = (200, 40, 40)
HEAD_LIGHT = (245, 120, 110)
NEEDLE = (90, 90, 90)


def lying():
    p = [[None] * 16 for _ in range(16)]
    for y in range(5, 11):           # head: a short block on the right
        for x in range(9, 14):
            p[y][x] = HEAD_LIGHT if y == 5 else HEAD
    for y in range(4, 12):           # the collar
        p[y][8] = HEAD
    for x in range(2, 8):            # the needle, pointing left
        p[8][x] = NEEDLE
    return p


def pressed():
    p = [[None] * 16 for _ in range(16)]
    for y in range(16):
        for x in range(16):
            d = (x - 7.5) ** 2 + (y - 7.5) ** 2
            if d <= 30:
                p[y][x] = HEAD_LIGHT if d <= 6 and x < 8 and y < 8 else HEAD
    p[8][8] = p[7][8] = NEEDLE
    return p


def image_bytes(pixels):
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = bytearray()
    for row in reversed(pixels):
        for c in row:
            xor += bytes((0, 0, 0, 0)) if c is None else bytes((c[2], c[1], c[0], 255))
    stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(stride)
        for x, c in enumerate(row):
            if c is None:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def write_icon(path, pixels):
    data = image_bytes(pixels)
    out = struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", 16, 16, 0, 0, 1, 32, len(data), 22) + data
    with open(path, "wb") as f:
        f.write(out)


here = os.path.dirname(os.path.abspath(__file__))
write_icon(os.path.join(here, "icons", "pin_up.ico"), lying())
write_icon(os.path.join(here, "icons", "pin_down.ico"), pressed())
