#!/usr/bin/env python3
"""Draws icon 135, the program's window and class icon: a handheld signal meter with its aerial,
a level trace on its screen and radio waves, 32 x 32 pixels in the 16 standard colours.

Writes icon_135.png (4-bit palette, the background colour transparent; the program embeds it) and
icon_135.ico (the same picture as a 16-colour icon, for the Windows executable). Standard library
only. Run it from anywhere and commit both files with it:

    python3 resources/icons/draw_icon_135.py
"""
import os
import struct
import zlib

SIZE = 32

# The 16 standard colours, by index.
PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, DARK_RED, DARK_GREEN, OLIVE, NAVY, PURPLE, TEAL, SILVER = range(8)
GRAY, RED, GREEN, YELLOW, BLUE, MAGENTA, CYAN, WHITE = range(8, 16)
TRANSPARENT = MAGENTA  # never drawn: the background


def draw():
    pixels = [[TRANSPARENT] * SIZE for _ in range(SIZE)]

    def put(x, y, colour):
        if 0 <= x < SIZE and 0 <= y < SIZE:
            pixels[y][x] = colour

    def fill(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                put(x, y, colour)

    # Aerial: a rod from the meter's top right corner, a yellow tip and waves to the left of it.
    for step in range(7):
        put(22 + step // 3, 10 - step, SILVER)
        put(23 + step // 3, 10 - step, GRAY)
    fill(24, 1, 26, 3, YELLOW)
    for x, y in [(24, 1), (26, 1), (24, 3), (26, 3)]:
        put(x, y, TRANSPARENT)
    put(25, 0, YELLOW)
    put(25, 1, WHITE)
    for x, y in [(20, 1), (19, 2), (19, 3), (20, 4), (17, 0), (16, 1), (16, 2), (16, 3), (16, 4),
                 (17, 5)]:
        put(x, y, CYAN)

    # Body: a dark grey case with a black outline and rounded corners.
    fill(4, 10, 27, 30, GRAY)
    for x in range(5, 27):
        put(x, 9, BLACK)
        put(x, 31, BLACK)
    for y in range(10, 31):
        put(3, y, BLACK)
        put(28, y, BLACK)
    for x, y in [(4, 10), (27, 10), (4, 30), (27, 30)]:
        put(x, y, BLACK)
    for x in range(5, 27):
        put(x, 10, SILVER)  # light on the top edge

    # Screen: black, with a green level trace rising to a peak and a yellow marker on it.
    fill(6, 12, 25, 22, BLACK)
    fill(6, 12, 25, 12, DARK_GREEN)
    trace = [21, 21, 20, 21, 20, 19, 18, 16, 14, 14, 15, 17, 18, 19, 20, 20, 21, 20, 21, 21]
    for offset, top in enumerate(trace):
        x = 6 + offset
        for y in range(top, 22):
            put(x, y, DARK_GREEN)
        put(x, top, GREEN)
    put(14, 13, YELLOW)
    put(15, 13, YELLOW)

    # Keys: three silver keys and a red one below the screen, and a row of navy ones.
    for x in (6, 10, 14):
        fill(x, 25, x + 2, 26, SILVER)
    fill(20, 25, 25, 26, RED)
    for x in (6, 10, 14, 18, 22):
        fill(x, 28, x + 2, 29, NAVY)
    return pixels


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def packed_rows(pixels):
    """Each row as 16 bytes, two pixels a byte, the left pixel in the high nibble."""
    return [bytes((row[x] << 4) | row[x + 1] for x in range(0, SIZE, 2)) for row in pixels]


def write_png(path, pixels):
    raw = b"".join(b"\x00" + row for row in packed_rows(pixels))
    alpha = bytes(0 if index == TRANSPARENT else 255 for index in range(16))
    data = b"\x89PNG\r\n\x1a\n"
    data += png_chunk(b"IHDR", struct.pack(">IIBBBBB", SIZE, SIZE, 4, 3, 0, 0, 0))
    data += png_chunk(b"PLTE", b"".join(bytes(colour) for colour in PALETTE))
    data += png_chunk(b"tRNS", alpha)
    data += png_chunk(b"IDAT", zlib.compress(raw, 9))
    data += png_chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(data)


def write_ico(path, pixels):
    # The colour bitmap shows black where the mask makes the icon transparent.
    shown = [[BLACK if index == TRANSPARENT else index for index in row] for row in pixels]
    colour_rows = packed_rows(shown)
    mask_rows = []
    for row in pixels:
        bits = 0
        for index in row:
            bits = (bits << 1) | (1 if index == TRANSPARENT else 0)
        mask_rows.append(struct.pack(">I", bits))
    # Bitmap rows are stored bottom-up.
    image = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 4, 0,
                        len(colour_rows) * 16 + len(mask_rows) * 4, 0, 0, 16, 0)
    image += b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE)
    image += b"".join(reversed(colour_rows)) + b"".join(reversed(mask_rows))
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 16, 0, 1, 4, len(image), 6 + 16)
    with open(path, "wb") as out:
        out.write(header + entry + image)


def main():
    folder = os.path.dirname(os.path.abspath(__file__))
    pixels = draw()
    write_png(os.path.join(folder, "icon_135.png"), pixels)
    write_ico(os.path.join(folder, "icon_135.ico"), pixels)


if __name__ == "__main__":
    main()
