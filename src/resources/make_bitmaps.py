#!/usr/bin/env python3
"""Draws the tray menu's item pictures: 16x16 images with 16 colours in the
standard palette, written as 4-bit BMP files into bitmaps/. Palette entry 13
(magenta) is the background; the agent replaces it with the menu or the
highlight colour when it loads a picture, so magenta must not be used for
anything else. Run it again after changing a picture; the .bmp files are kept
in the repository so that building needs no Python."""
import os
import struct

# The standard 16-colour palette, in palette order, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
KEY = 13

# One letter per palette entry; '.' is the background.
LETTERS = {
    "K": 0, "r": 1, "g": 2, "y": 3, "b": 4, "p": 5, "t": 6, "s": 7,
    "d": 8, "R": 9, "G": 10, "Y": 11, "B": 12, ".": KEY, "C": 14, "W": 15,
}

PICTURES = {
    # A monitor window: received traffic rising, sent traffic hanging below.
    "monitors.bmp": """
        ................
        .KKKKKKKKKKKKKK.
        .KssssssssssssK.
        .KsKKKKKKKKKKsK.
        .KsKKKKKGKKKKsK.
        .KsKKKGKGGKGKsK.
        .KsKGKGGGGGGGsK.
        .KsGGGGGGGGGGsK.
        .KsRRRRRRRRRRsK.
        .KsKKRKRRRKRKsK.
        .KsKKKKKKRKKKsK.
        .KssssssssssssK.
        .KKKKKKKKKKKKKK.
        ......KddK......
        ....KKddddKK....
        ....KKKKKKKK....
    """,
    # Statistics: a pie chart.
    "statistics.bmp": """
        ......KKKK......
        ....KKBBGGKK....
        ..KKBBBBGGGGKK..
        ..KBBBBBGGGGGK..
        .KBBBBBBGGGGYYK.
        .KBBBBBBGGGYYYK.
        KBBBBBBBGGYYYYYK
        KBBBBBBBGYYYYYYK
        KBBBBBBRYYYYYYYK
        KBBBRRRRRYYYYYYK
        .KRRRRRRRYYYYYK.
        .KRRRRRRRRYYYYK.
        ..KRRRRRRRRYYK..
        ..KKRRRRRRRYKK..
        ....KKRRRRKK....
        ......KKKK......
    """,
    # Disable: a no-entry sign.
    "disable.bmp": """
        .....rrrrrr.....
        ...rrRRRRRRrr...
        ..rRRRRRRRRRRr..
        .rRRRRRRRRRRRRr.
        .rRRRRRRRRRRRRr.
        rRRRRRRRRRRRRRRr
        rRRWWWWWWWWWWRRr
        rRRWWWWWWWWWWRRr
        rRRWWWWWWWWWWRRr
        rRRWWWWWWWWWWRRr
        rRRRRRRRRRRRRRRr
        .rRRRRRRRRRRRRr.
        .rRRRRRRRRRRRRr.
        ..rRRRRRRRRRRr..
        ...rrRRRRRRrr...
        .....rrrrrr.....
    """,
    # Enable: a tick on a green disc.
    "enable.bmp": """
        .....gggggg.....
        ...ggGGGGGGgg...
        ..gGGGGGGGGGGg..
        .gGGGGGGGGGGGGg.
        .gGGGGGGGGGWgGg.
        gGGGGGGGGGWWgGGg
        gGGGGGGGGWWWgGGg
        gGGWgGGGWWWgGGGg
        gGWWWgGWWWgGGGGg
        gGGWWWWWWgGGGGGg
        gGGGWWWWgGGGGGGg
        .gGGGWWgGGGGGGg.
        .gGGGGgGGGGGGGg.
        ..gGGGGGGGGGGg..
        ...ggGGGGGGgg...
        .....gggggg.....
    """,
    # Unload: the power symbol.
    "unload.bmp": """
        ................
        .......rr.......
        ...rR..RR..Rr...
        ..rRR..RR..RRr..
        .rRR...RR...RRr.
        .RR....RR....RR.
        rR.....RR.....Rr
        RR.....RR.....RR
        RR.....rr.....RR
        RR............RR
        rR............Rr
        .RR..........RR.
        .rRR........RRr.
        ..rRRR....RRRr..
        ....rRRRRRRr....
        ......rrrr......
    """,
    # Preferences: a brass gear wheel.
    "preferences.bmp": """
        ................
        ......yyyy......
        ......yYYy......
        ...yy.yYYy.yy...
        ...yYyYYYYyYy...
        ....yYYyyYYy....
        .yyyYYy..yYYyyy.
        .yYYYy....yYYYy.
        .yYYYy....yYYYy.
        .yyyYYy..yYYyyy.
        ....yYYyyYYy....
        ...yYyYYYYyYy...
        ...yy.yYYy.yy...
        ......yYYy......
        ......yyyy......
        ................
    """,
    # An interface of the "Monitors" list: a network adapter card.
    "interface.bmp": """
        ................
        ................
        ................
        .s..............
        .sKKKKKKKKKKKKK.
        .sKgggggggggggK.
        .sKgKKKKggggGgK.
        .sKgKddKggggggK.
        .sKgKKKKggRgggK.
        .sKgggggggggggK.
        .sKgggggggggggK.
        .sKKYKYKYKYKYKK.
        .s..YKYKYKYKY...
        .s..............
        .s..............
        ................
    """,
    # The information line that stands in for an empty list.
    "information.bmp": """
        .....bbbbbb.....
        ...bbBBBBBBbb...
        ..bBBBBBBBBBBb..
        .bBBBBBWWBBBBBb.
        .bBBBBBWWBBBBBb.
        bBBBBBBBBBBBBBBb
        bBBBBBWWWBBBBBBb
        bBBBBBBWWBBBBBBb
        bBBBBBBWWBBBBBBb
        bBBBBBBWWBBBBBBb
        bBBBBBBWWBBBBBBb
        .bBBBBBWWBBBBBb.
        .bBBBBWWWWBBBBb.
        ..bBBBBBBBBBBb..
        ...bbBBBBBBbb...
        .....bbbbbb.....
    """,
    # About: the agent's own tile with its bar diagram.
    "about.bmp": """
        ................
        ..KKKKKKKKKKKK..
        .KbbbbbbbbbbbbK.
        KbbbbbbbbbbbbbbK
        KbbbbbbbbbbbYbbK
        KbbbbbbbYbbbYbbK
        KbbbbbbbYbbbYbbK
        KbbbYbbbYbbbYbbK
        KbbbYbbbYbGbYbbK
        KbbbYbGbYbGbYbbK
        KbGbYbGbYbGbYbbK
        KbGbYbGbYbGbYbbK
        KbGbYbGbYbGbYbbK
        .KbbbbbbbbbbbbK.
        ..KKKKKKKKKKKK..
        ................
    """,
    # Help and support: a life buoy.
    "help.bmp": """
        ......dddd......
        ....ddWWWWdd....
        ..ddRWWWWWWRdd..
        ..dRRRWWWWRRRd..
        .dRRRRddddRRRRd.
        .dWRRd....dRRWd.
        dWWWd......dWWWd
        dWWWd......dWWWd
        dWWWd......dWWWd
        dWWWd......dWWWd
        .dWRRd....dRRWd.
        .dRRRRddddRRRRd.
        ..dRRRWWWWRRRd..
        ..ddRWWWWWWRdd..
        ....ddWWWWdd....
        ......dddd......
    """,
}


def parse(name, text):
    rows = [line.strip() for line in text.strip().splitlines()]
    if len(rows) != 16 or any(len(row) != 16 for row in rows):
        raise SystemExit(f"{name}: the picture must be 16 rows of 16 letters")
    return [[LETTERS[c] for c in row] for row in rows]


def bmp_bytes(pixels):
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    bits = bytearray()
    for row in reversed(pixels):  # bottom row first
        for x in range(0, 16, 2):
            bits.append(row[x] << 4 | row[x + 1])
    info = struct.pack("<IiiHHIIiiII", 40, 16, 16, 1, 4, 0, len(bits), 0, 0, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info + palette + bytes(bits)


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bitmaps")
    os.makedirs(folder, exist_ok=True)
    for name, text in PICTURES.items():
        with open(os.path.join(folder, name), "wb") as f:
            f.write(bmp_bytes(parse(name, text)))


if __name__ == "__main__":
    main()
