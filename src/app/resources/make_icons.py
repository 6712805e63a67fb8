#!/usr/bin/env python3
"""Draws Tarnwick's icons and writes them next to this script.

- tarnwick.ico: the application icon, one 32x32 image at 32 bits per pixel;
- picture.ico: the main window's picture, one 48x48 image at 32 bits per pixel;
- tarnwick-32.png, tarnwick-128.png: the application icon for the desktop.

Only the standard library is used. Shapes are drawn at 4x4 samples per pixel.
Run it again after changing a drawing and commit what it writes.
"""

import math
import pathlib
import struct
import zlib

SAMPLES = 4


def blend(under, over):
    """`over` (r, g, b, a; 0-1) drawn on `under`."""
    a = over[3] + under[3] * (1 - over[3])
    if a == 0:
        return (0.0, 0.0, 0.0, 0.0)
    return tuple((over[i] * over[3] + under[i] * under[3] * (1 - over[3])) / a
                 for i in range(3)) + (a,)


def rgb(hex_colour, alpha=1.0):
    value = int(hex_colour.lstrip("#"), 16)
    return ((value >> 16 & 255) / 255, (value >> 8 & 255) / 255,
            (value & 255) / 255, alpha)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))


def in_rounded_rect(x, y, left, top, right, bottom, radius):
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2 and \
        left <= x <= right and top <= y <= bottom


def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def application_icon(x, y):
    """The application icon at (x, y) in 0-1: a download arrow over a tray."""
    colour = (0.0, 0.0, 0.0, 0.0)
    if in_rounded_rect(x, y, 0.03, 0.03, 0.97, 0.97, 0.2):
        colour = mix(rgb("#26A69A"), rgb("#00695C"), y)
    white = rgb("#FFFFFF")
    if 0.41 <= x <= 0.59 and 0.14 <= y <= 0.50:
        colour = blend(colour, white)
    if in_triangle(x, y, (0.22, 0.46), (0.78, 0.46), (0.5, 0.72)):
        colour = blend(colour, white)
    if in_rounded_rect(x, y, 0.18, 0.76, 0.82, 0.86, 0.04):
        colour = blend(colour, rgb("#FFE082"))
    return colour


def picture_icon(x, y):
    """The picture box's icon at (x, y) in 0-1: a framed landscape."""
    colour = (0.0, 0.0, 0.0, 0.0)
    if in_rounded_rect(x, y, 0.04, 0.12, 0.96, 0.88, 0.06):
        colour = rgb("#455A64")
    if 0.10 <= x <= 0.90 and 0.18 <= y <= 0.82:
        colour = mix(rgb("#81D4FA"), rgb("#E1F5FE"), (y - 0.18) / 0.64)
        if math.hypot(x - 0.70, y - 0.34) <= 0.08:
            colour = rgb("#FFCA28")
        if in_triangle(x, y, (0.10, 0.82), (0.38, 0.40), (0.66, 0.82)):
            colour = rgb("#43A047")
        if in_triangle(x, y, (0.40, 0.82), (0.64, 0.52), (0.90, 0.82)):
            colour = rgb("#2E7D32")
    return colour


def render(draw, size):
    """Rows of (r, g, b, a) bytes, top row first."""
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            total = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    r, g, b, a = draw((px + (sx + 0.5) / SAMPLES) / size,
                                      (py + (sy + 0.5) / SAMPLES) / size)
                    total = [total[0] + r * a, total[1] + g * a,
                             total[2] + b * a, total[3] + a]
            n = SAMPLES * SAMPLES
            alpha = total[3] / n
            if alpha == 0:
                row.append((0, 0, 0, 0))
                continue
            row.append(tuple(round(total[i] / total[3] * 255) for i in range(3))
                       + (round(alpha * 255),))
        rows.append(row)
    return rows


def ico(rows):
    """A single-image icon file: a 32-bit DIB with its AND mask."""
    size = len(rows)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows)
                      for (r, g, b, a) in row)
    mask_stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    image = header + pixels + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32,
                        len(image), 6 + 16)
    return directory + entry + image


def png(rows):
    size = len(rows)

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    raw = b"".join(b"\0" + b"".join(bytes(pixel) for pixel in row)
                   for row in rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def main():
    here = pathlib.Path(__file__).resolve().parent
    (here / "tarnwick.ico").write_bytes(ico(render(application_icon, 32)))
    (here / "picture.ico").write_bytes(ico(render(picture_icon, 48)))
    for size in (32, 128):
        (here / f"tarnwick-{size}.png").write_bytes(
            png(render(application_icon, size)))


if __name__ == "__main__":
    main()
