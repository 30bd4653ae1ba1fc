#!/usr/bin/env python3
"""Draws the program's icon, a drive with a usage bar, into resources/app.ico.

Four images: 16x16 and 32x32, each at 4 bpp (the 16 VGA colours) and 8 bpp.
Everything is computed from integers, so a rerun writes the identical file.

Usage: python3 tools/make_icon.py [output path]
"""

import os
import struct
import sys

# The 16 VGA colours in the order the 4-bpp palette uses them.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Where each size puts the box: front face left/right columns, depth of the
# top and side faces, first row of the top face, last row of the front face,
# then the usage bar's frame (left, top, right, bottom), how many of its inner
# columns are filled, and the light's rectangle.
LAYOUTS = {
    16: dict(left=0, right=12, depth=3, top=3, bottom=13,
             bar=(2, 8, 8, 11), used=3, led=(10, 9, 10, 10)),
    32: dict(left=1, right=26, depth=4, top=7, bottom=26,
             bar=(4, 17, 19, 21), used=10, led=(22, 18, 23, 19)),
}


def regions(size):
    """A size x size grid of region names, None where the icon is clear."""
    lay = LAYOUTS[size]
    left, right, depth = lay["left"], lay["right"], lay["depth"]
    front_top = lay["top"] + depth
    grid = [[None] * size for _ in range(size)]

    # The top face slants one column per row, as if seen from above right.
    for k in range(1, depth + 1):
        for x in range(left + k, right + k + 1):
            grid[front_top - k][x] = "top"
    for y in range(front_top, lay["bottom"] + 1):
        for x in range(left, right + 1):
            grid[y][x] = "front"
    for k in range(1, depth + 1):
        for y in range(front_top - k, lay["bottom"] - k + 1):
            grid[y][right + k] = "side"

    # The box's silhouette edge: every painted pixel beside a clear one.
    def clear(x, y):
        return not (0 <= x < size and 0 <= y < size) or grid[y][x] is None

    edge = [(x, y) for y in range(size) for x in range(size)
            if grid[y][x] is not None
            and (clear(x - 1, y) or clear(x + 1, y) or clear(x, y - 1) or clear(x, y + 1))]
    for x, y in edge:
        grid[y][x] = "outline"

    bx0, by0, bx1, by1 = lay["bar"]
    for y in range(by0, by1 + 1):
        for x in range(bx0, bx1 + 1):
            if x in (bx0, bx1) or y in (by0, by1):
                grid[y][x] = "frame"
            else:
                grid[y][x] = "used" if x - bx0 <= lay["used"] else "free"
    lx0, ly0, lx1, ly1 = lay["led"]
    for y in range(ly0, ly1 + 1):
        for x in range(lx0, lx1 + 1):
            grid[y][x] = "led"
    return grid


def vga_colour(region):
    return VGA[{
        "outline": 0, "frame": 0, "top": 15, "front": 7, "side": 8,
        "used": 12, "free": 15, "led": 10,
    }[region]]


def lerp(a, b, t, n):
    """Integer blend from a (t = 0) to b (t = n) of two RGB triples."""
    if n <= 0:
        return a
    return tuple(p + (q - p) * t // n for p, q in zip(a, b))


def rich_colour(region, x, y, size):
    lay = LAYOUTS[size]
    front_top = lay["top"] + lay["depth"]
    if region == "outline":
        return (48, 52, 60)
    if region == "frame":
        return (36, 40, 48)
    if region == "top":
        return lerp((248, 249, 252), (214, 218, 226), x, size - 1)
    if region == "front":
        return lerp((206, 210, 218), (150, 156, 168), y - front_top, lay["bottom"] - front_top)
    if region == "side":
        return lerp((132, 138, 150), (104, 110, 122), y - lay["top"], lay["bottom"] - lay["top"])
    bx0, by0, bx1, by1 = lay["bar"]
    if region == "used":
        return lerp((72, 132, 236), (24, 72, 184), y - by0 - 1, by1 - by0 - 2)
    if region == "free":
        return lerp((255, 255, 255), (226, 230, 236), y - by0 - 1, by1 - by0 - 2)
    if region == "led":
        lx0, ly0 = lay["led"][:2]
        return (170, 255, 170) if (x, y) == (lx0, ly0) else (40, 200, 60)
    raise ValueError(region)


def icon_image(size, bits):
    """One ICONDIRENTRY's bytes: BITMAPINFOHEADER, palette, XOR and AND bitmaps."""
    grid = regions(size)
    if bits == 4:
        palette = list(VGA)
        colour = lambda region, x, y: vga_colour(region)
    else:
        # Black first: clear pixels are index 0, so the XOR leaves the screen alone.
        palette = [(0, 0, 0)]
        colour = lambda region, x, y: rich_colour(region, x, y, size)
        for y in range(size):
            for x in range(size):
                if grid[y][x] is not None:
                    rgb = colour(grid[y][x], x, y)
                    if rgb not in palette:
                        palette.append(rgb)
        if len(palette) > 256:
            raise ValueError("more than 256 colours")
        palette += [(0, 0, 0)] * (256 - len(palette))
    index = {rgb: i for i, rgb in reversed(list(enumerate(palette)))}

    xor_stride = (size * bits + 31) // 32 * 4
    and_stride = (size + 31) // 32 * 4
    xor_rows, and_rows = [], []
    for y in reversed(range(size)):  # bottom-up
        indices = [0 if grid[y][x] is None else index[colour(grid[y][x], x, y)]
                   for x in range(size)]
        if bits == 4:
            row = bytes((indices[x] << 4) | indices[x + 1] for x in range(0, size, 2))
        else:
            row = bytes(indices)
        xor_rows.append(row.ljust(xor_stride, b"\0"))
        mask = bytearray(and_stride)
        for x in range(size):
            if grid[y][x] is None:
                mask[x // 8] |= 0x80 >> (x % 8)
        and_rows.append(bytes(mask))
    xor_bits = b"".join(xor_rows)
    and_bits = b"".join(and_rows)

    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 0, 0)
    quads = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + quads + xor_bits + and_bits


FORMATS = [(16, 4), (16, 8), (32, 4), (32, 8)]


def icon_file():
    images = [icon_image(size, bits) for size, bits in FORMATS]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), image in zip(FORMATS, images):
        colours = 1 << bits if bits < 8 else 0
        out += struct.pack("<BBBBHHII", size, size, colours, 0, 1, bits, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "resources", "app.ico")
    with open(path, "wb") as f:
        f.write(icon_file())


if __name__ == "__main__":
    main()
