#!/usr/bin/env python3
"""Writes the program's icon in the sizes of the desktop's icon theme, from the same drawing as the
window icon (resources/icons/draw_icon_135.py):

    make_icons.py DRAWING_FOLDER OUT_FOLDER

makes OUT_FOLDER/NxN/klxr-log.png for every size below, as 8-bit RGBA PNG files. Each target pixel
averages the part of the 32 x 32 drawing it covers (colours weighted by their opacity), so whole
multiples stay crisp and the small sizes keep the drawing's outline. Standard library only.
"""
import os
import struct
import sys
import zlib

SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
ICON_NAME = "klxr-log.png"


def source_rgba(drawing):
    """The drawing as rows of (r, g, b, a), the transparent index fully transparent."""
    pixels = drawing.draw()
    return [[(0, 0, 0, 0) if index == drawing.TRANSPARENT else drawing.PALETTE[index] + (255,)
             for index in row] for row in pixels]


def overlap(start, end, cell):
    return max(0.0, min(end, cell + 1) - max(start, cell))


def scaled(rgba, size):
    source = len(rgba)
    step = source / size
    rows = []
    for y in range(size):
        y0, y1 = y * step, (y + 1) * step
        row = []
        for x in range(size):
            x0, x1 = x * step, (x + 1) * step
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(int(y0), min(source, int(y1 + 0.999999))):
                wy = overlap(y0, y1, sy)
                for sx in range(int(x0), min(source, int(x1 + 0.999999))):
                    weight = wy * overlap(x0, x1, sx)
                    r, g, b, a = rgba[sy][sx]
                    alpha = weight * a
                    total[0] += r * alpha
                    total[1] += g * alpha
                    total[2] += b * alpha
                    total[3] += alpha
            area = step * step
            if total[3] == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(c / total[3]) for c in total[:3]) +
                           (round(total[3] / area),))
        rows.append(row)
    return rows


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png(rows):
    size = len(rows)
    raw = b"".join(b"\x00" + bytes(v for pixel in row for v in pixel) for row in rows)
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) != 3:
        sys.exit("usage: make_icons.py DRAWING_FOLDER OUT_FOLDER")
    sys.path.insert(0, sys.argv[1])
    sys.dont_write_bytecode = True
    import draw_icon_135
    rgba = source_rgba(draw_icon_135)
    for size in SIZES:
        folder = os.path.join(sys.argv[2], "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, ICON_NAME), "wb") as out:
            out.write(png(scaled(rgba, size)))


if __name__ == "__main__":
    main()
