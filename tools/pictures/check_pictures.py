#!/usr/bin/env python3
"""Checks the pictures written by make_pictures.py.

Usage: check_pictures.py PICTURES_DIR

Prints one line per file and exits non-zero if any file is missing or has
the wrong size, depth or layout.
"""

import os
import struct
import sys

LIGHT_GRAY = (192, 192, 192)

# name: (width, height, bits per pixel)
BITMAPS = {
    "bitmap_153.bmp": (40, 40, 4),
    "bitmap_154.bmp": (40, 40, 4),
    "bitmap_156.bmp": (10, 10, 4),
    "bitmap_157.bmp": (10, 10, 4),
    "bitmap_180.bmp": (10, 11, 24),
    "bitmap_184.bmp": (86, 87, 24),
    "bitmap_185.bmp": (88, 93, 24),
    "bitmap_186.bmp": (86, 93, 24),
    "bitmap_187.bmp": (12, 12, 24),
    "bitmap_188.bmp": (48, 48, 24),
    "bitmap_189.bmp": (48, 48, 24),
    "bitmap_190.bmp": (66, 63, 24),
    "bitmap_191.bmp": (152, 45, 24),
    "vantora_logo.bmp": (452, 271, 24),
}
# name: sizes of its images
ICONS = {
    "icon_128.ico": [32, 16],
    "setup_icon_128.ico": [32, 16],
    "icon_177.ico": [32],
    "icon_195.ico": [32],
}
# Icons whose every pixel must be transparent (the hidden pointer).
TRANSPARENT_ICONS = {"icon_177.ico"}


def check_bitmap(data, width, height, bits):
    """Returns a list of problems with one BMP file."""
    if data[:2] != b"BM" or len(data) < 54:
        return ["not a BMP file"]
    file_size, offset = struct.unpack_from("<I4xI", data, 2)
    size, w, h, planes, bpp, compression = struct.unpack_from("<IiiHHI", data, 14)
    problems = []
    if file_size != len(data):
        problems.append(f"header says {file_size} bytes, file has {len(data)}")
    if size != 40 or planes != 1 or compression != 0:
        problems.append("not an uncompressed BITMAPINFOHEADER bitmap")
    if (w, h, bpp) != (width, height, bits):
        problems.append(f"is {w}x{h} at {bpp} bpp, want {width}x{height} at {bits} bpp")
        return problems
    stride = (w * bpp + 31) // 32 * 4
    if offset + stride * h > len(data):
        problems.append("pixel data is truncated")
    elif bits == 4:
        palette = [tuple(reversed(data[54 + 4 * i:57 + 4 * i])) for i in range(16)]
        top_left = data[offset + stride * (h - 1)] >> 4
        if palette[top_left] != LIGHT_GRAY:
            problems.append(f"pixel (0,0) is {palette[top_left]}, want {LIGHT_GRAY}")
    return problems


def check_icon(data, sizes, transparent):
    """Returns a list of problems with one .ico file."""
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1 or count != len(sizes):
        return [f"want an icon file with {len(sizes)} images"]
    problems = []
    for i, want in enumerate(sizes):
        w, h, _, _, _, bpp, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        if (w, h, bpp) != (want, want, 32):
            problems.append(f"image {i} is {w}x{h} at {bpp} bpp, want {want}x{want} at 32")
            continue
        dib_w, dib_h, _, dib_bpp = struct.unpack_from("<iiHH", data, offset + 4)
        mask_stride = (want + 31) // 32 * 4
        if (dib_w, dib_h, dib_bpp) != (want, 2 * want, 32):
            problems.append(f"image {i} header is {dib_w}x{dib_h} at {dib_bpp} bpp")
        elif length != 40 + want * want * 4 + mask_stride * want or offset + length > len(data):
            problems.append(f"image {i} has the wrong length")
        elif transparent:
            pixels = data[offset + 40:offset + 40 + want * want * 4]
            mask = data[offset + 40 + want * want * 4:offset + length]
            if any(pixels[3::4]) or any(b != 0xFF for b in mask):
                problems.append(f"image {i} is not fully transparent")
    return problems


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_pictures.py PICTURES_DIR")
    failed = False
    for name, expected in list(BITMAPS.items()) + [(icon, None) for icon in ICONS]:
        path = os.path.join(sys.argv[1], name)
        if not os.path.exists(path):
            problems = ["missing"]
        else:
            with open(path, "rb") as f:
                data = f.read()
            problems = (check_icon(data, ICONS[name], name in TRANSPARENT_ICONS)
                        if expected is None else check_bitmap(data, *expected))
        if expected is None:
            what = " + ".join(f"{s}x{s}" for s in ICONS[name]) + " 32 bpp"
        else:
            what = f"{expected[0]}x{expected[1]} {expected[2]} bpp"
        print(f"{name}: {what}: " + ("ok" if not problems else "FAIL: " + "; ".join(problems)))
        failed = failed or bool(problems)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
