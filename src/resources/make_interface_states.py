#!/usr/bin/env python3
"""Draws the interface state strip: fourteen 16x16 cells side by side in one
4-bit BMP (bitmaps/interface_states.bmp), in the order of the agent's state
icon index. Magenta (palette entry 13) is the transparent colour of the
image list. The cards share one drawing; frames, check marks and the cross
that crosses a check mark out are laid over it. Run it again after changing
a picture; the .bmp is kept in the repository."""
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from make_bitmaps import KEY, LETTERS, PALETTE  # noqa: E402

CARD = """
    ................
    ................
    ................
    ..s.............
    ..sKKKKKKKKKKK..
    ..sKtttttttttK..
    ..sKtKKKttttWK..
    ..sKtKddKttttK..
    ..sKtKKKtttttK..
    ..sKtttttttttK..
    ..sKKYKYKYKYKK..
    ..s..YKYKYKY....
    ..s.............
    ................
    ................
    ................
"""

# Laid over the card's lower right corner; '.' leaves the card alone.
CHECK = """
    ................
    ................
    ................
    ................
    ................
    ................
    ................
    .............KK.
    ............KGK.
    ...........KGK..
    ......KK..KGK...
    ......KGKKGK....
    .......KGGK.....
    ........KK......
    ................
    ................
"""

CROSS = """
    ................
    ................
    ................
    ................
    ................
    ................
    ................
    ................
    ......R.....R...
    .......R...R....
    ........R.R.....
    .........R......
    ........R.R.....
    .......R...R....
    ......R.....R...
    ................
"""

UN = """
    ................
    ................
    ................
    .XX...XX........
    .XX...XX........
    .XX...XX.X.XXX..
    .XX...XX.XXXXXX.
    .XX...XX.XX..XX.
    .XX...XX.XX..XX.
    .XX...XX.XX..XX.
    .XX...XX.XX..XX.
    .XXXXXXX.XX..XX.
    ..XXXXX..XX..XX.
    ................
    ................
    ................
"""

NOT_PRESENT = """
    ssssssssssssssss
    sddddddddddddddK
    sdsssssssssssssK
    sdsssssssssssssK
    sdKKssKKsKKKKssK
    sdKKKsKKsKKsKKsK
    sdKKKKKKsKKsKKsK
    sdKKsKKKsKKKKssK
    sdKKssKKsKKssssK
    sdKKssKKsKKssssK
    sdKKssKKsKKssssK
    sdsssssssssssssK
    sdsssssssssssssK
    sdsssssssssssssK
    sdsssssssssssssK
    sKKKKKKKKKKKKKKK
"""

HOURGLASS = """
    ................
    ...KKKKKKKKKK...
    ...KyyyyyyyyK...
    ....KWWWWWWK....
    ....KWYYYYWK....
    .....KWYYWK.....
    ......KYYK......
    .......KK.......
    .......KK.......
    ......KWYK......
    .....KWWYWK.....
    ....KWWYYYWK....
    ....KWYYYYYK....
    ...KyyyyyyyyK...
    ...KKKKKKKKKK...
    ................
"""

ERROR = """
    .....rrrrrr.....
    ...rrRRRRRRrr...
    ..rRRRRRRRRRRr..
    .rRRRRRRRRRRRRr.
    .rRRWWRRRRWWRRr.
    rRRRWWWRRWWWRRRr
    rRRRRWWWWWWRRRRr
    rRRRRRWWWWRRRRRr
    rRRRRRWWWWRRRRRr
    rRRRRWWWWWWRRRRr
    rRRRWWWRRWWWRRRr
    .rRRWWRRRRWWRRr.
    .rRRRRRRRRRRRRr.
    ..rRRRRRRRRRRr..
    ...rrRRRRRRrr...
    .....rrrrrr.....
"""

INFORMATION = """
    ................
    ..bbbbbbbbbbbb..
    .bWWWWWWWWWWWWb.
    bWWWWWWBBWWWWWWb
    bWWWWWWBBWWWWWWb
    bWWWWWWWWWWWWWWb
    bWWWWWBBBWWWWWWb
    bWWWWWWBBWWWWWWb
    bWWWWWWBBWWWWWWb
    bWWWWWWBBWWWWWWb
    bWWWWWBBBBWWWWWb
    .bWWWWWWWWWWWWb.
    ..bbbWWbbbbbbb..
    ....bWb.........
    ....bb..........
    ................
"""


def grid(text, ink=None):
    rows = [line.strip() for line in text.strip().splitlines()]
    if len(rows) != 16 or any(len(row) != 16 for row in rows):
        raise SystemExit("a cell must be 16 rows of 16 letters")
    return [[ink if c == "X" else c for c in row] for row in rows]


def over(base, layer):
    return [[l if l != "." else b for b, l in zip(brow, lrow)] for brow, lrow in zip(base, layer)]


def framed(base, colour):
    cell = [row[:] for row in base]
    for i in range(16):
        cell[0][i] = cell[15][i] = cell[i][0] = cell[i][15] = colour
    return cell


def cells():
    card = grid(CARD)
    checked = over(card, grid(CHECK))
    crossed = over(checked, grid(CROSS))
    green, dark_red = "G", "r"
    return [
        card,                           # 0 network card
        grid(UN, "g"),                  # 1 Un in green
        framed(card, green),            # 2
        framed(card, dark_red),         # 3
        framed(checked, green),         # 4
        framed(checked, dark_red),      # 5
        grid(NOT_PRESENT),              # 6 NP on grey
        grid(UN, "r"),                  # 7 Un in dark red
        grid(UN, "K"),                  # 8 Un in black
        grid(HOURGLASS),                # 9 the waiting line
        grid(ERROR),                    # 10 message lines
        framed(crossed, green),         # 11
        framed(crossed, dark_red),      # 12
        grid(INFORMATION),              # 13 information lines
    ]


def bmp_bytes(strip):
    width = 16 * len(strip)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    bits = bytearray()
    for y in reversed(range(16)):  # bottom row first
        row = [LETTERS[c] for cell in strip for c in cell[y]]
        for x in range(0, width, 2):
            bits.append(row[x] << 4 | row[x + 1])
        while len(bits) % 4:
            bits.append(KEY << 4 | KEY)
    info = struct.pack("<IiiHHIIiiII", 40, width, 16, 1, 4, 0, len(bits), 0, 0, 16, 16)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return header + info + palette + bytes(bits)


def main():
    strip = cells()
    assert len(strip) == 14
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), "bitmaps")
    with open(os.path.join(folder, "interface_states.bmp"), "wb") as f:
        f.write(bmp_bytes(strip))


if __name__ == "__main__":
    main()
