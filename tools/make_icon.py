#!/usr/bin/env python3
"""Draws the application icon (a stylised rubber stamp over its red
impression) and writes it as a Windows .ico holding nine images: 48, 32 and
16 pixels square at 4, 8 and 24 bits per pixel, in that order, each an
uncompressed DIB followed by its 1-bit AND mask. The output depends only on
this script, so re-running it gives the same bytes.

Usage: tools/make_icon.py [out.ico]   (default: res/app.ico)
"""
import os
import struct
import sys

SIZES = (48, 32, 16)
DEPTHS = (4, 8, 24)
SUPERSAMPLE = 4
OUTLINE = (48, 24, 16)

# The classic 16-colour palette, so 4-bit images need no dithering tricks.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


def palette_256():
    cube = [(r, g, b) for r in range(0, 256, 51)
            for g in range(0, 256, 51) for b in range(0, 256, 51)]
    greys = [(v, v, v) for v in range(8, 248, 10)]
    pal = VGA16 + cube + greys
    assert len(pal) == 256
    return pal


def clamp(v):
    return max(0, min(255, int(round(v))))


def shade(colour, factor):
    return tuple(clamp(c * factor) for c in colour)


def sample(x, y):
    """Colour of the picture at (x, y) in the unit square, None if empty."""
    # Knob: a sphere lit from the upper left.
    dx, dy = x - 0.5, y - 0.23
    if dx * dx + dy * dy <= 0.18 * 0.18:
        hx, hy = x - 0.44, y - 0.17
        light = 1.25 - 2.2 * (hx * hx + hy * hy) ** 0.5
        return shade((230, 170, 50), max(0.6, light))
    # Neck.
    if 0.41 <= x <= 0.59 and 0.36 <= y <= 0.58:
        return shade((150, 90, 40), 1.1 - 0.8 * abs(x - 0.47))
    # Wooden block, lighter on top.
    if 0.14 <= x <= 0.86 and 0.56 <= y <= 0.76:
        return shade((170, 105, 50), 1.2 - (y - 0.56) * 2.0)
    # Rubber face under the block.
    if 0.12 <= x <= 0.88 and 0.76 <= y <= 0.82:
        return (110, 20, 25)
    # The red impression on the paper, an ellipse.
    ex, ey = (x - 0.5) / 0.46, (y - 0.90) / 0.08
    if ex * ex + ey * ey <= 1.0:
        return (220, 30, 40)
    return None


def render(size):
    """Returns rows (top first) of (r, g, b) or None for transparent."""
    n = SUPERSAMPLE
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            hits = []
            for sy in range(n):
                for sx in range(n):
                    c = sample((px + (sx + 0.5) / n) / size,
                               (py + (sy + 0.5) / n) / size)
                    if c is not None:
                        hits.append(c)
            if len(hits) * 2 < n * n:
                row.append(None)
            else:
                row.append(tuple(clamp(sum(c[i] for c in hits) / len(hits))
                                 for i in range(3)))
        rows.append(row)
    # A dark rim where the picture meets the background keeps the outline
    # readable on light and dark desktops alike.
    out = [list(r) for r in rows]
    for py in range(size):
        for px in range(size):
            if rows[py][px] is None:
                continue
            for qx, qy in ((px - 1, py), (px + 1, py), (px, py - 1), (px, py + 1)):
                if not (0 <= qx < size and 0 <= qy < size) or rows[qy][qx] is None:
                    out[py][px] = OUTLINE
                    break
    return out


def nearest(pal, colour):
    best, best_d = 0, None
    for i, p in enumerate(pal):
        d = sum((a - b) * (a - b) for a, b in zip(p, colour))
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


def stride(bits_per_row):
    return (bits_per_row + 31) // 32 * 4


def dib(size, depth):
    """BITMAPINFOHEADER, palette, XOR bitmap and AND mask, rows bottom-up."""
    rows = render(size)
    pal = {4: VGA16, 8: palette_256()}.get(depth)
    xor = bytearray()
    for row in reversed(rows):
        line = bytearray()
        if depth == 24:
            for c in row:
                r, g, b = c if c is not None else (0, 0, 0)
                line += bytes((b, g, r))
        else:
            idx = [nearest(pal, c) if c is not None else 0 for c in row]
            if depth == 8:
                line += bytes(idx)
            else:
                for i in range(0, size, 2):
                    line.append((idx[i] << 4) | idx[i + 1])
        line += bytes(stride(size * depth) - len(line))
        xor += line
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(stride(size))
        for x, c in enumerate(row):
            if c is None:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, depth, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    colours = b''.join(bytes((b, g, r, 0)) for r, g, b in (pal or []))
    return header + colours + bytes(xor) + bytes(mask)


def icon_file():
    images = [(s, d, dib(s, d)) for d in DEPTHS for s in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, depth, data in images:
        colour_count = 16 if depth == 4 else 0
        out += struct.pack('<BBBBHHII', size, size, colour_count, 0, 1, depth,
                           len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return out


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, 'res', 'app.ico')
    with open(path, 'wb') as f:
        f.write(icon_file())


if __name__ == '__main__':
    main()
