#!/usr/bin/env python3
"""Draws the settings dialog's resources and the desktop icons, and checks their file formats.

    make-resources.py [--out DIR] [--icons DIR]
        write TAVELLO.ico, banner.bmp and link.cur into DIR (default: the repository's
        resources/ folder), and the desktop icons into the icon folder (default:
        packaging/icons, laid out as share/icons/hicolor)
    make-resources.py --check [DIR] [--icons DIR]
        verify that the files have the fixed formats and are exactly what this script draws

The formats are fixed by the program: a 766-byte icon (one 32 x 32 image, 16 colours), an
87,070-byte banner (198 x 146, 24 bits, uncompressed) and a 32 x 32 two-colour cursor whose hot
spot is (15, 12). The desktop icons are the same 32 x 32 picture as PNG files in several sizes
and as an SVG drawing. Everything is drawn here from code; nothing is copied from elsewhere.
"""

import argparse
import math
import os
import struct
import sys
import zlib

ICON_NAME = "TAVELLO.ico"
BANNER_NAME = "banner.bmp"
CURSOR_NAME = "link.cur"

BANNER_W, BANNER_H = 198, 146
ICON_BYTES, BANNER_BYTES = 766, 87070
CURSOR_HOTSPOT = (15, 12)

# The classic 16-colour palette (R, G, B).
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# 5 x 7 capitals for the banner's lettering.
GLYPHS = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "01010", "01010", "00100"],
    " ": ["00000"] * 7,
}


class Canvas:
    """A top-down RGB pixel grid."""

    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.px = [[colour] * width for _ in range(height)]

    def set(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.px[y][x] = colour

    def rect(self, x0, y0, w, h, colour):
        for y in range(y0, y0 + h):
            for x in range(x0, x0 + w):
                self.set(x, y, colour)

    def text(self, x, y, words, scale, colour, shadow=None):
        for ch in words:
            rows = GLYPHS[ch]
            for gy, row in enumerate(rows):
                for gx, bit in enumerate(row):
                    if bit == "1":
                        if shadow:
                            self.rect(x + gx * scale + 1, y + gy * scale + 1, scale, scale, shadow)
                        self.rect(x + gx * scale, y + gy * scale, scale, scale, colour)
            x += 6 * scale

    @staticmethod
    def text_width(words, scale):
        return len(words) * 6 * scale - scale


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def draw_photo(c, x0, y0, w, h, scene):
    """A framed snapshot: white mount, thin dark edge, and a small landscape inside."""
    c.rect(x0 + 2, y0 + 2, w, h, (70, 60, 50))  # shadow
    c.rect(x0, y0, w, h, (250, 250, 245))
    ix, iy, iw, ih = x0 + 3, y0 + 3, w - 6, h - 6
    sky_top, sky_bottom, ground, sun = scene
    horizon = iy + ih * 3 // 5
    for y in range(iy, iy + ih):
        for x in range(ix, ix + iw):
            if y < horizon:
                colour = mix(sky_top, sky_bottom, (y - iy) / max(1, horizon - iy))
            else:
                colour = mix(ground, (30, 60, 30), (y - horizon) / max(1, iy + ih - horizon))
            c.set(x, y, colour)
    # A mountain ridge drawn as a sine-shaped silhouette.
    for x in range(ix, ix + iw):
        t = (x - ix) / iw
        peak = horizon - int((ih / 3) * (0.55 + 0.45 * math.sin(t * math.pi * 2.2 + scene_phase(scene))))
        for y in range(max(iy, peak), horizon):
            c.set(x, y, mix((90, 100, 120), (60, 70, 90), (y - peak) / max(1, horizon - peak)))
    # The sun or moon.
    sx, sy, r = ix + iw * 3 // 4, iy + ih // 4, max(2, ih // 8)
    for y in range(sy - r, sy + r + 1):
        for x in range(sx - r, sx + r + 1):
            if (x - sx) ** 2 + (y - sy) ** 2 <= r * r:
                c.set(x, y, sun)


def scene_phase(scene):
    return (sum(scene[0]) % 7) / 3.0


def draw_banner():
    c = Canvas(BANNER_W, BANNER_H, (0, 0, 0))
    # A soft vertical gradient that wraps: the top and bottom rows are the same colour, so the
    # upward scroll has no visible seam.
    for y in range(BANNER_H):
        t = 0.5 - 0.5 * math.cos(2 * math.pi * y / BANNER_H)
        c.rect(0, y, BANNER_W, 1, mix((32, 48, 96), (96, 40, 88), t))
    title = "TAVELLO"
    tw = Canvas.text_width(title, 3)
    c.text((BANNER_W - tw) // 2, 8, title, 3, (255, 236, 160), shadow=(20, 20, 40))
    sub = "PHOTO ALBUM"
    sw = Canvas.text_width(sub, 1)
    c.text((BANNER_W - sw) // 2, 34, sub, 1, (220, 220, 240))
    scenes = [
        ((90, 150, 230), (200, 225, 250), (90, 160, 70), (255, 240, 120)),
        ((250, 140, 80), (255, 210, 150), (120, 120, 60), (255, 250, 220)),
        ((20, 30, 80), (70, 80, 150), (40, 70, 60), (240, 240, 210)),
    ]
    draw_photo(c, 10, 52, 56, 44, scenes[0])
    draw_photo(c, 71, 58, 56, 44, scenes[1])
    draw_photo(c, 132, 52, 56, 44, scenes[2])
    draw_photo(c, 40, 106, 52, 32, scenes[2])
    draw_photo(c, 106, 106, 52, 32, scenes[0])
    return c


def bitmap_info_header(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0)


def banner_bytes():
    c = draw_banner()
    stride = (BANNER_W * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in range(BANNER_H - 1, -1, -1):  # bottom-up
        row = bytearray()
        for r, g, b in c.px[y]:
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        pixels += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    return header + bitmap_info_header(BANNER_W, BANNER_H, 24, len(pixels)) + bytes(pixels)


def nearest_vga(colour):
    return min(range(16), key=lambda i: sum((colour[k] - VGA16[i][k]) ** 2 for k in range(3)))


def draw_icon():
    """A 32 x 32 framed picture in palette indexes; None is transparent."""
    grid = [[None] * 32 for _ in range(32)]
    for y in range(3, 29):
        for x in range(2, 30):
            grid[y][x] = 8  # dark grey shadowed frame
    for y in range(2, 28):
        for x in range(1, 29):
            grid[y][x] = 3 if (x in (1, 28) or y in (2, 27)) else 11  # olive edge, gold frame
    for y in range(5, 25):
        for x in range(4, 26):
            grid[y][x] = 12 if y < 14 else (14 if y < 16 else 2)  # sky, water line, field
    for x in range(4, 26):  # hills
        top = 14 - int(5 * (0.5 + 0.5 * math.sin((x - 4) / 22 * math.pi * 2)))
        for y in range(top, 16):
            grid[y][x] = 10 if y >= 14 else 2
    for y in range(6, 11):
        for x in range(18, 23):
            if (x - 20) ** 2 + (y - 8) ** 2 <= 5:
                grid[y][x] = 15  # sun
    return grid


def icon_bytes():
    grid = draw_icon()
    xor = bytearray()
    mask = bytearray()
    for y in range(31, -1, -1):
        row = grid[y]
        for x in range(0, 32, 2):
            hi = row[x] if row[x] is not None else 0
            lo = row[x + 1] if row[x + 1] is not None else 0
            xor.append((hi << 4) | lo)
        bits = 0
        for x in range(32):
            bits = (bits << 1) | (1 if row[x] is None else 0)
        mask += struct.pack(">I", bits)
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in VGA16)
    image = bitmap_info_header(32, 64, 4, len(xor) + len(mask)) + palette + bytes(xor) + bytes(mask)
    header = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 16, 0, 1, 4, len(image), 6 + 16)
    return header + entry + image


# A pointing hand; its index fingertip is the hot spot. "#" black, "." white, " " transparent.
HAND = [
    "               ##               ",
    "              #..#              ",
    "              #..#              ",
    "              #..#              ",
    "              #..#              ",
    "              #..###            ",
    "              #..#..###         ",
    "              #..#..#..##       ",
    "           ## #..#..#..#.#      ",
    "          #..##........#..#     ",
    "          #...#...........#     ",
    "           #..#...........#     ",
    "            #.............#     ",
    "            #.............#     ",
    "             #............#     ",
    "             #...........#      ",
    "              #..........#      ",
    "              #.........#       ",
    "               #........#       ",
    "               #........#       ",
    "               ##########       ",
]


def cursor_grid():
    rows = [" " * 32] * 32
    # Place the drawing so that the fingertip's first white pixel sits on the hot spot.
    top = CURSOR_HOTSPOT[1] - 1
    for i, line in enumerate(HAND):
        if 0 <= top + i < 32:
            rows[top + i] = line
    return rows


def cursor_bytes():
    rows = cursor_grid()
    xor = bytearray()
    mask = bytearray()
    for y in range(31, -1, -1):
        colour_bits = 0
        mask_bits = 0
        for ch in rows[y]:
            colour_bits = (colour_bits << 1) | (1 if ch == "." else 0)  # 1 = white
            mask_bits = (mask_bits << 1) | (1 if ch == " " else 0)
        xor += struct.pack(">I", colour_bits)
        mask += struct.pack(">I", mask_bits)
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    image = bitmap_info_header(32, 64, 1, len(xor) + len(mask)) + palette + bytes(xor) + bytes(mask)
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", 32, 32, 2, 0, CURSOR_HOTSPOT[0], CURSOR_HOTSPOT[1], len(image), 22)
    return header + entry + image


def check_icon(data):
    assert len(data) == ICON_BYTES, f"icon is {len(data)} bytes"
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind, count) == (0, 1, 1), "not a one-image icon file"
    w, h, colours, _, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
    assert (w, h, colours, planes, bits) == (32, 32, 16, 1, 4), "icon is not 32 x 32 in 16 colours"
    assert offset + size == len(data)
    hsize, bw, bh, _, bbits, comp = struct.unpack_from("<IiiHHI", data, offset)
    assert (hsize, bw, bh, bbits, comp) == (40, 32, 64, 4, 0)


def check_banner(data):
    assert len(data) == BANNER_BYTES, f"banner is {len(data)} bytes"
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    assert magic == b"BM" and size == len(data) and offset == 54
    hsize, w, h, planes, bits, comp, image = struct.unpack_from("<IiiHHII", data, 14)
    assert (hsize, w, h, planes, bits, comp) == (40, BANNER_W, BANNER_H, 1, 24, 0)
    assert image == 596 * BANNER_H == len(data) - 54


def check_cursor(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    assert (reserved, kind, count) == (0, 2, 1), "not a one-image cursor file"
    w, h, _, _, hx, hy, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
    assert (w, h) == (32, 32) and (hx, hy) == CURSOR_HOTSPOT
    assert offset + size == len(data)
    hsize, bw, bh, _, bbits, comp = struct.unpack_from("<IiiHHI", data, offset)
    assert (hsize, bw, bh, bbits, comp) == (40, 32, 64, 1, 0), "cursor is not two-colour 32 x 32"


# The desktop icons: the program icon's picture, as the desktop's icon theme wants it.
ICON_SIZES = (16, 32, 48, 64, 128, 256)


def icon_rgba():
    """The icon as 32 rows of (r, g, b, a)."""
    return [[(0, 0, 0, 0) if i is None else VGA16[i] + (255,) for i in row] for row in draw_icon()]


def resampled(rgba, size):
    """The picture at size x size: each pixel the area-weighted mean of the pixels it covers."""
    n = len(rgba)
    step = n / size
    out = []
    for ty in range(size):
        row = []
        for tx in range(size):
            acc = [0.0] * 4
            y0, y1 = ty * step, (ty + 1) * step
            x0, x1 = tx * step, (tx + 1) * step
            for sy in range(int(y0), min(n, math.ceil(y1))):
                wy = min(y1, sy + 1) - max(y0, sy)
                for sx in range(int(x0), min(n, math.ceil(x1))):
                    w = wy * (min(x1, sx + 1) - max(x0, sx))
                    r, g, b, a = rgba[sy][sx]
                    acc[0] += r * a * w
                    acc[1] += g * a * w
                    acc[2] += b * a * w
                    acc[3] += a * w
            area = step * step
            alpha = acc[3] / area
            if alpha < 0.5:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(int(round(acc[k] / acc[3])) for k in range(3)) + (int(round(alpha)),))
        out.append(row)
    return out


def png_scanlines(rgba):
    return b"".join(b"\0" + bytes(v for px in row for v in px) for row in rgba)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_bytes(rgba):
    size = len(rgba)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(png_scanlines(rgba), 9)) + png_chunk(b"IEND", b""))


def check_png(data, rgba):
    """Compares pixels, not bytes, so another zlib's output still counts as the same icon."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "not a PNG file"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        assert struct.unpack_from(">I", data, pos + 8 + length)[0] == zlib.crc32(kind + body)
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    size = len(rgba)
    assert header == (size, size, 8, 6, 0, 0, 0), f"not a {size} x {size} RGBA PNG"
    assert zlib.decompress(idat) == png_scanlines(rgba), "differs from what the script draws"


def svg_text():
    """The 32 x 32 picture as squares, one rectangle per run of equal pixels in a row."""
    parts = ['<?xml version="1.0" encoding="UTF-8"?>\n',
             '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 32 32" shape-rendering="crispEdges">\n']
    for y, row in enumerate(icon_rgba()):
        x = 0
        while x < len(row):
            end = x
            while end < len(row) and row[end] == row[x]:
                end += 1
            r, g, b, a = row[x]
            if a:
                parts.append(f'<rect x="{x}" y="{y}" width="{end - x}" height="1" '
                             f'fill="#{r:02x}{g:02x}{b:02x}"/>\n')
            x = end
    parts.append("</svg>\n")
    return "".join(parts).encode()


def icon_files():
    """(relative path, bytes, check) for every desktop icon."""
    files = []
    for size in ICON_SIZES:
        rgba = resampled(icon_rgba(), size)
        files.append((f"hicolor/{size}x{size}/apps/tavello.png", png_bytes(rgba),
                      lambda data, rgba=rgba: check_png(data, rgba)))
    svg = svg_text()

    def check_svg(data):
        assert data == svg, "differs from what the script draws"
    files.append(("hicolor/scalable/apps/tavello.svg", svg, check_svg))
    return files


MAKERS = {ICON_NAME: (icon_bytes, check_icon), BANNER_NAME: (banner_bytes, check_banner),
          CURSOR_NAME: (cursor_bytes, check_cursor)}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_dir = os.path.join(os.path.dirname(here), "resources")
    default_icons = os.path.join(os.path.dirname(here), "packaging", "icons")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="verify instead of writing")
    parser.add_argument("--out", default=None)
    parser.add_argument("--icons", default=default_icons, help="the desktop icons' folder")
    parser.add_argument("dir", nargs="?", default=None)
    args = parser.parse_args()
    folder = args.out or args.dir or default_dir
    files = [(os.path.join(folder, name), make(), check) for name, (make, check) in MAKERS.items()]
    files += [(os.path.join(args.icons, name), data, check) for name, data, check in icon_files()]
    failures = 0
    for path, drawn, check in files:
        check(drawn)
        if not args.check:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(drawn)
            continue
        try:
            with open(path, "rb") as f:
                stored = f.read()
            check(stored)
            if path.endswith((".ico", ".bmp", ".cur")) and stored != drawn:
                raise AssertionError("differs from what the script draws; run it again")
        except (OSError, AssertionError, struct.error, zlib.error) as err:
            print(f"{path}: {err}", file=sys.stderr)
            failures += 1
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
