#!/usr/bin/env python3
"""Writes the player's small images: the link hand cursor (resources/hand.cur)
and the play and stop button icons (resources/play.ico, resources/stop.ico).

Run by hand from anywhere: python3 tools/make_cursors.py [output-folder]
Standard library only; the ICO/CUR binary formats are written directly.
"""

import os
import struct
import sys

SIZE = 32

# Hand cursor, one character per pixel: X black, o white, anything else transparent.
# The index fingertip is the top row; its middle pixel (6, 0) is the hot spot.
HAND_ART = """
.....XXX
....XoooX
....XoooX
....XoooX
....XoooX
....XoooX
....XoooXXX
....XoooXooXXX
....XoooXooXooXXX
....XoooXooXooXooX
....XoooXooXooXooX
.XX.XoooXooXooXooX
XooXXoooXooXooXooX
XoooXooooooooooooX
.XooXooooooooooooX
.XoooooooooooooooX
..XooooooooooooooX
..XooooooooooooooX
...XoooooooooooooX
...XooooooooooooX
....XoooooooooooX
....XoooooooooooX
.....XooooooooooX
.....XooooooooooX
.....XXXXXXXXXXXX
"""
HAND_HOTSPOT = (6, 0)

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
LIGHT_GREY = (192, 192, 192)


def hand_pixels():
    """Returns rows of 'X', 'o' or '.' padded to SIZE x SIZE."""
    rows = [line for line in HAND_ART.strip("\n").split("\n")]
    if len(rows) > SIZE or any(len(r) > SIZE for r in rows):
        raise ValueError("hand art does not fit in %d x %d" % (SIZE, SIZE))
    rows = [r.ljust(SIZE, ".") for r in rows]
    rows += ["." * SIZE] * (SIZE - len(rows))
    # The hot spot must sit on an opaque pixel, or the click lands on nothing visible.
    hx, hy = HAND_HOTSPOT
    if rows[hy][hx] not in "Xo":
        raise ValueError("hot spot is not on the hand")
    return rows


# The card buttons are about 20 pixels square and show the 32 x 32 icon centred
# and clipped, so each shape keeps to the middle 12 pixels.
def play_shape(x, y):
    # Rows 10..21 start at x = 11 and grow by 2 pixels a row towards the middle,
    # so both slanted edges are even staircases meeting in a 2-row tip at x = 22.
    if not 10 <= y <= 21:
        return False
    step = min(y - 10, 21 - y)
    return 11 <= x <= 12 + 2 * step


def stop_shape(x, y):
    return 11 <= x <= 20 and 11 <= y <= 20


def pack_rows(bit_of):
    """1-bpp bitmap rows, bottom row first, each 4 bytes (32 pixels, already DWORD-aligned)."""
    data = bytearray()
    for y in range(SIZE - 1, -1, -1):
        value = 0
        for x in range(SIZE):
            value = (value << 1) | (1 if bit_of(x, y) else 0)
        data += struct.pack(">I", value)  # leftmost pixel is the most significant bit
    return bytes(data)


def image_block(palette, xor_bit, and_bit):
    """BITMAPINFOHEADER (height doubled for XOR + AND), 2-entry palette, XOR mask, AND mask."""
    xor_mask = pack_rows(xor_bit)
    and_mask = pack_rows(and_bit)
    header = struct.pack(
        "<IiiHHIIiiII",
        40,                          # biSize
        SIZE,                        # biWidth
        SIZE * 2,                    # biHeight: XOR and AND masks stacked
        1,                           # biPlanes
        1,                           # biBitCount
        0,                           # biCompression = BI_RGB
        len(xor_mask) + len(and_mask),
        0, 0,                        # resolution, unused
        0, 0)                        # biClrUsed 0 = all 2 colours
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in palette)
    return header + quads + xor_mask + and_mask


def icon_file(resource_type, image, colour_count, field4, field6):
    """ICONDIR + one directory entry + the image. For icons field4/field6 are
    planes and bit count; for cursors they are the hot spot x and y."""
    directory = struct.pack("<HHH", 0, resource_type, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, colour_count, 0,
                        field4, field6, len(image), 6 + 16)
    return directory + entry + image


def make_cursor():
    rows = hand_pixels()
    # AND=1/XOR=0 transparent, AND=0/XOR=0 black, AND=0/XOR=1 white.
    image = image_block([BLACK, WHITE],
                        xor_bit=lambda x, y: rows[y][x] == "o",
                        and_bit=lambda x, y: rows[y][x] not in "Xo")
    hx, hy = HAND_HOTSPOT
    return icon_file(2, image, 2, hx, hy)


def make_icon(shape):
    # Palette index 0 black, 1 light grey; fully opaque (AND mask all 0).
    image = image_block([BLACK, LIGHT_GREY],
                        xor_bit=lambda x, y: not shape(x, y),
                        and_bit=lambda x, y: False)
    return icon_file(1, image, 2, 1, 1)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out_dir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources")
    outputs = {
        "hand.cur": make_cursor(),
        "play.ico": make_icon(play_shape),
        "stop.ico": make_icon(stop_shape),
    }
    for name, data in outputs.items():
        path = os.path.join(out_dir, name)
        with open(path, "wb") as f:
            f.write(data)
        print("wrote %s (%d bytes)" % (path, len(data)))


if __name__ == "__main__":
    main()
