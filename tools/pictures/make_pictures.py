#!/usr/bin/env python3
"""Draws Tessaro's bitmaps and application icon from simple geometry.

Usage: make_pictures.py OUTPUT_DIR

Every picture is painted on a small canvas by testing each pixel centre
against a shape (rectangle, disc, ring, thick line, polygon), then written
as a Windows BMP (BITMAPINFOHEADER, bottom-up rows) or, for the icon, as a
.ico holding 32 x 32 and 16 x 16 BGRA images with their AND masks.
The output depends only on this file, so every run writes the same bytes.
"""

import math
import os
import struct
import sys

# The standard Windows 16-colour palette; 4-bit bitmaps may use only these.
PALETTE16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, DARK_BLUE, LIGHT_GRAY, GRAY = PALETTE16[0], PALETTE16[4], PALETTE16[7], PALETTE16[8]
RED, BLUE, CYAN, WHITE = PALETTE16[9], PALETTE16[12], PALETTE16[14], PALETTE16[15]

# Extra shades for the true-colour pictures.
BEZEL = (230, 230, 220)
BEZEL_SHADE = (160, 160, 152)
OUTLINE = (64, 64, 64)
SCREEN = (40, 90, 200)
LED = (0, 200, 0)
SKIN = (250, 205, 160)
SKIN_LINE = (150, 90, 40)
CUFF = (70, 110, 170)


# ---------------------------------------------------------------- canvas

class Canvas:
    """A grid of RGB tuples; None marks a transparent pixel (icons only)."""

    def __init__(self, width, height, background=LIGHT_GRAY):
        self.width, self.height = width, height
        self.rows = [[background] * width for _ in range(height)]

    def paint(self, inside, colour):
        """Colours every pixel whose centre satisfies inside(x, y)."""
        for y in range(self.height):
            for x in range(self.width):
                if inside(x + 0.5, y + 0.5):
                    self.rows[y][x] = colour


def rect(c, x0, y0, x1, y1, colour):
    """Fills pixels x0 <= x < x1, y0 <= y < y1."""
    c.paint(lambda x, y: x0 <= x < x1 and y0 <= y < y1, colour)


def framed_rect(c, x0, y0, x1, y1, fill, edge=OUTLINE):
    rect(c, x0, y0, x1, y1, edge)
    rect(c, x0 + 1, y0 + 1, x1 - 1, y1 - 1, fill)


def disc(c, cx, cy, r, colour):
    c.paint(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r, colour)


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)
    t = max(0.0, min(1.0, t))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def line(c, ax, ay, bx, by, width, colour):
    c.paint(lambda x, y: segment_distance(x, y, ax, ay, bx, by) <= width / 2, colour)


def polygon(c, points, colour):
    """Even-odd fill of a closed polygon."""
    def inside(x, y):
        result = False
        for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                result = not result
        return result
    c.paint(inside, colour)


def outline(c, points, colour, width=1.0):
    for a, b in zip(points, points[1:] + points[:1]):
        line(c, a[0], a[1], b[0], b[1], width, colour)


# ---------------------------------------------------------------- motifs

def target(c, cx, cy, r, ring, stripe, core, centre):
    """A calibration target of radius r: outer ring, thin stripe, disc, centre square."""
    ring_width, stripe_width = max(1.5, r * 0.22), max(1.2, r * 0.12)
    disc(c, cx, cy, r, ring)
    disc(c, cx, cy, r - ring_width, stripe)
    disc(c, cx, cy, r - ring_width - stripe_width, core)
    half = max(1.0, r * 0.2)
    rect(c, cx - half, cy - half, cx + half, cy + half, centre)


def blue_target(c, cx, cy, r):
    target(c, cx, cy, r, DARK_BLUE, WHITE, BLUE, CYAN)


def gray_target(c, cx, cy, r):
    target(c, cx, cy, r, BLACK, WHITE, GRAY, LIGHT_GRAY)


def cross(c, colour):
    """Both diagonals, leaving the outermost pixels as background."""
    lo, hi = 1.5, c.width - 1.5
    line(c, lo, lo, hi, hi, 1.6, colour)
    line(c, hi, lo, lo, hi, 1.6, colour)


# Monitor layout, relative to its top-left corner; 80 wide, 80 tall.
SCREEN_BOX = (6, 6, 74, 53)


def monitor(c, ox, oy):
    """Bezel, screen, stand and base. Returns the screen box in canvas pixels."""
    base = [(ox + 16, oy + 80), (ox + 24, oy + 71), (ox + 56, oy + 71), (ox + 64, oy + 80)]
    polygon(c, base, BEZEL)
    outline(c, base, OUTLINE)
    framed_rect(c, ox + 33, oy + 61, ox + 47, oy + 72, BEZEL)
    framed_rect(c, ox, oy, ox + 80, oy + 62, BEZEL)
    rect(c, ox + 1, oy + 58, ox + 79, oy + 61, BEZEL_SHADE)
    x0, y0, x1, y1 = SCREEN_BOX
    x0, y0, x1, y1 = ox + x0, oy + y0, ox + x1, oy + y1
    framed_rect(c, x0 - 1, y0 - 1, x1 + 1, y1 + 1, SCREEN, BLACK)
    rect(c, ox + 70, oy + 55, ox + 74, oy + 57, LED)
    return x0, y0, x1, y1


# A pointing hand drawn with the fingertip at (0, 0) and the finger pointing up.
HAND = [
    (-2.5, 2.5), (-1.5, 0.4), (0, 0), (1.5, 0.4), (2.5, 2.5),  # fingertip
    (2.5, 12), (5.5, 11), (8.5, 12), (11, 14.5),                 # knuckles
    (12, 20), (11, 26), (8, 29),                                  # back of the fist
    (-6, 29), (-9, 23), (-9, 17), (-6, 14), (-2.5, 15),          # thumb side
]
HAND_CREASES = [((2.5, 17), (11.5, 17)), ((2.5, 22), (11.5, 22))]
CUFF_BOX = [(-7, 29), (9, 29), (9, 40), (-7, 40)]


def hand(c, tip_x, tip_y, degrees):
    """Draws the hand with its fingertip at (tip_x, tip_y), tilted left by degrees."""
    a = math.radians(-degrees)

    def place(points):
        return [(tip_x + x * math.cos(a) - y * math.sin(a),
                 tip_y + x * math.sin(a) + y * math.cos(a)) for x, y in points]

    cuff = place(CUFF_BOX)
    polygon(c, cuff, CUFF)
    outline(c, cuff, OUTLINE)
    palm = place(HAND)
    polygon(c, palm, SKIN)
    outline(c, palm, SKIN_LINE)
    for crease in HAND_CREASES:
        (ax, ay), (bx, by) = place(list(crease))
        line(c, ax, ay, bx, by, 1.0, SKIN_LINE)


# ---------------------------------------------------------------- pictures

def picture_target(draw):
    c = Canvas(40, 40)
    draw(c, 20, 20, 19.5)
    return c


def picture_cross(colour):
    c = Canvas(10, 10)
    cross(c, colour)
    return c


def picture_bullet():
    c = Canvas(10, 11)
    disc(c, 5, 5.5, 3.6, (0, 0, 200))
    disc(c, 4.2, 4.6, 1.2, (110, 150, 255))
    return c


def picture_monitor(width, height, targets, touched):
    """A monitor with targets at the given fractions of the screen and a
    hand touching targets[touched]; no targets means an empty screen."""
    c = Canvas(width, height)
    x0, y0, x1, y1 = monitor(c, (width - 80) // 2, 3)
    inset = 8
    spots = [(x0 + inset + round(fx * (x1 - x0 - 2 * inset)),
              y0 + inset + round(fy * (y1 - y0 - 2 * inset))) for fx, fy in targets]
    for x, y in spots:
        blue_target(c, x, y, 6.5)
    if spots:
        hand(c, spots[touched][0] + 0.5, spots[touched][1] + 0.5, 20)
    return c


def picture_product():
    """66 x 63: a touch monitor with a finger on its screen, the Info page's picture."""
    c = Canvas(66, 63)
    framed_rect(c, 2, 2, 64, 44, BEZEL)
    framed_rect(c, 6, 6, 60, 39, SCREEN, BLACK)
    rect(c, 56, 41, 60, 43, LED)
    framed_rect(c, 27, 44, 39, 52, BEZEL)
    framed_rect(c, 15, 52, 51, 58, BEZEL)
    blue_target(c, 24, 20, 6.5)
    hand(c, 24.5, 20.5, 20)
    return c


# 5 x 7 letters of the maker's name, one string per row, "#" drawn.
LETTERS = {
    "V": ["#...#", "#...#", "#...#", "#...#", ".#.#.", ".#.#.", "..#.."],
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "N": ["#...#", "##..#", "#.#.#", "#.#.#", "#..##", "#...#", "#...#"],
    "T": ["#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."],
    "O": [".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."],
    "R": ["####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"],
}


def lettering(c, text, x, y, scale, colour):
    for letter in text:
        for row, bits in enumerate(LETTERS[letter]):
            for col, bit in enumerate(bits):
                if bit == "#":
                    rect(c, x + col * scale, y + row * scale,
                         x + (col + 1) * scale, y + (row + 1) * scale, colour)
        x += 6 * scale


def picture_logo():
    """152 x 45: the maker's name over a blue band, the Info page's banner."""
    c = Canvas(152, 45)
    framed_rect(c, 0, 0, 152, 45, WHITE, (0, 0, 128))
    rect(c, 1, 34, 151, 44, SCREEN)
    line(c, 1, 33, 151, 33, 1.0, (0, 0, 128))
    lettering(c, "VANTORA", 16, 5, 3, (0, 0, 128))
    return c


def picture_icon(size):
    c = Canvas(size, size, None)
    s = size / 32
    framed_rect(c, 1 * s, 2 * s, 31 * s, 24 * s, BEZEL)
    framed_rect(c, 4 * s, 5 * s, 28 * s, 21 * s, SCREEN, BLACK)
    framed_rect(c, 13 * s, 24 * s, 19 * s, 27 * s, BEZEL)
    framed_rect(c, 8 * s, 27 * s, 24 * s, 30 * s, BEZEL)
    if size >= 32:
        blue_target(c, 16, 13, 6.5)
    else:
        disc(c, 8, 6.5, 2.5, WHITE)
        rect(c, 7, 6, 9, 8, RED)
    return c


def picture_small_bullet():
    """The Touch Setting page's item bullet, 12 x 12."""
    c = Canvas(12, 12)
    disc(c, 6, 6, 4.2, (0, 0, 200))
    disc(c, 5, 5, 1.4, (110, 150, 255))
    return c


def picture_bulb(lit):
    """A light bulb, 48 x 48: lit yellow on light blue, or unlit grey on dark blue."""
    background = (150, 200, 255) if lit else (0, 0, 110)
    glass, edge = ((255, 230, 0), (200, 140, 0)) if lit else ((150, 150, 150), (90, 90, 90))
    c = Canvas(48, 48, background)
    if lit:
        for a in range(0, 360, 45):
            r = math.radians(a)
            line(c, 24 + 15 * math.cos(r), 19 + 15 * math.sin(r),
                 24 + 21 * math.cos(r), 19 + 21 * math.sin(r), 2.0, (255, 255, 160))
    disc(c, 24, 19, 12, edge)
    disc(c, 24, 19, 10.8, glass)
    polygon(c, [(17, 27), (31, 27), (28, 34), (20, 34)], edge)
    polygon(c, [(18.5, 27), (29.5, 27), (27, 33), (21, 33)], glass)
    line(c, 21, 17, 24, 24, 1.2, edge)
    line(c, 27, 17, 24, 24, 1.2, edge)
    for y in (35, 38, 41):
        framed_rect(c, 19, y, 29, y + 3, LIGHT_GRAY, OUTLINE)
    rect(c, 22, 44, 26, 46, OUTLINE)
    if lit:
        disc(c, 20, 14, 2.5, WHITE)
    return c


def picture_empty_icon():
    """32 x 32 with every pixel transparent: the arrow cursor made invisible."""
    return Canvas(32, 32, None)


# The arrow pointer, tip at (0, 0), pointing up and to the left.
ARROW = [(0, 0), (0, 15), (3.6, 11.6), (6.4, 17.6), (8.8, 16.6), (6.1, 10.6), (11, 10.6)]


def picture_arrow_icon():
    """32 x 32: a white arrow with a black outline whose tip is at the centre, where a cursor
    made from an icon has its hot spot."""
    c = Canvas(32, 32, None)
    points = [(16 + x, 16 + y) for x, y in ARROW]
    polygon(c, points, WHITE)
    outline(c, points, BLACK, 1.2)
    return c


def picture_setup_icon(size):
    """Setup's icon: a touch screen above an open box it is unpacked from."""
    c = Canvas(size, size, None)
    s = size / 32
    framed_rect(c, 6 * s, 1 * s, 26 * s, 15 * s, BEZEL)
    framed_rect(c, 8 * s, 3 * s, 24 * s, 13 * s, SCREEN, BLACK)
    polygon(c, [(3 * s, 18 * s), (29 * s, 18 * s), (26 * s, 31 * s), (6 * s, 31 * s)], CUFF)
    outline(c, [(3 * s, 18 * s), (29 * s, 18 * s), (26 * s, 31 * s), (6 * s, 31 * s)], OUTLINE)
    rect(c, 12 * s, 18 * s, 20 * s, 22 * s, BEZEL)
    if size >= 32:
        blue_target(c, 16, 8, 4)
    return c


# The logo keeps its own size in the wizard's picture area (259 x 163 dialog units of Verdana 8).
LOGO_WIDTH, LOGO_HEIGHT = 452, 271
LOGO_TOP, LOGO_BOTTOM = (16, 40, 96), (60, 120, 210)


def picture_wizard_logo(width, height):
    """The wizard's logo: a touch screen with a target and a touching hand on a blue sky."""
    c = Canvas(width, height)
    for y in range(height):
        t = y / (height - 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(LOGO_TOP, LOGO_BOTTOM))
        c.rows[y] = [colour] * width
    mx, my, mw, mh = width // 8, height // 6, width * 3 // 8, height * 5 // 9
    framed_rect(c, mx, my, mx + mw, my + mh, BEZEL)
    framed_rect(c, mx + 8, my + 8, mx + mw - 8, my + mh - 20, SCREEN, BLACK)
    disc(c, mx + mw - 14, my + mh - 10, 3, LED)
    framed_rect(c, mx + mw // 2 - 10, my + mh, mx + mw // 2 + 10, my + mh + 14, BEZEL)
    framed_rect(c, mx + mw // 2 - 40, my + mh + 14, mx + mw // 2 + 40, my + mh + 22, BEZEL)
    tx, ty = mx + mw // 2, my + (mh - 12) // 2
    blue_target(c, tx, ty, 18)
    hand(c, tx + 0.5, ty + 0.5, 20)
    # Three bars on the right: the steps of an installation, the last one still to come.
    for i, fill in enumerate((LED, LED, BEZEL_SHADE)):
        y0 = my + 20 + i * (mh // 3)
        framed_rect(c, width * 5 // 8, y0, width * 7 // 8, y0 + mh // 6, fill)
    return c


# ---------------------------------------------------------------- writers

def bmp_bytes(c, bits):
    """A BMP file: 4 bits per pixel with PALETTE16, or 24 bits per pixel."""
    stride = (c.width * bits + 31) // 32 * 4
    data = bytearray()
    for row in reversed(c.rows):
        if bits == 4:
            indices = [PALETTE16.index(p) for p in row] + [0]
            packed = bytes(indices[i] << 4 | indices[i + 1] for i in range(0, c.width, 2))
        else:
            packed = b"".join(bytes((b, g, r)) for r, g, b in row)
        data += packed.ljust(stride, b"\0")
    palette = b"".join(bytes((b, g, r, 0)) for r, g, b in PALETTE16) if bits == 4 else b""
    colours = 16 if bits == 4 else 0
    info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height, 1, bits, 0, len(data), 0, 0,
                       colours, colours)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    return header + info + palette + bytes(data)


def icon_image(c):
    """One icon image: a BGRA DIB of doubled height followed by the AND mask."""
    pixels = bytearray()
    mask = bytearray()
    mask_stride = (c.width + 31) // 32 * 4
    for row in reversed(c.rows):
        bits = 0
        for p in row:
            pixels += bytes((0, 0, 0, 0)) if p is None else bytes((p[2], p[1], p[0], 255))
            bits = bits << 1 | (p is None)
        mask += (bits << (mask_stride * 8 - c.width)).to_bytes(mask_stride, "big")
    info = struct.pack("<IiiHHIIiiII", 40, c.width, c.height * 2, 1, 32, 0,
                       len(pixels) + len(mask), 0, 0, 0, 0)
    return info + bytes(pixels) + bytes(mask)


def ico_bytes(canvases):
    images = [icon_image(c) for c in canvases]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for c, image in zip(canvases, images):
        entries += struct.pack("<BBBBHHII", c.width % 256, c.height % 256, 0, 0, 1, 32,
                               len(image), offset)
        offset += len(image)
    return header + entries + b"".join(images)


PICTURES = {
    "bitmap_153.bmp": lambda: bmp_bytes(picture_target(gray_target), 4),
    "bitmap_154.bmp": lambda: bmp_bytes(picture_target(blue_target), 4),
    "bitmap_156.bmp": lambda: bmp_bytes(picture_cross(RED), 4),
    "bitmap_157.bmp": lambda: bmp_bytes(picture_cross(GRAY), 4),
    "bitmap_180.bmp": lambda: bmp_bytes(picture_bullet(), 24),
    "bitmap_184.bmp": lambda: bmp_bytes(picture_monitor(86, 87, [], 0), 24),
    "bitmap_186.bmp": lambda: bmp_bytes(picture_monitor(86, 93, [(0, 0), (1, 1)], 1), 24),
    "bitmap_185.bmp": lambda: bmp_bytes(picture_monitor(
        88, 93, [(0, 0), (1, 0), (0.5, 0.5), (0, 1), (1, 1)], 2), 24),
    "bitmap_190.bmp": lambda: bmp_bytes(picture_product(), 24),
    "bitmap_191.bmp": lambda: bmp_bytes(picture_logo(), 24),
    "icon_128.ico": lambda: ico_bytes([picture_icon(32), picture_icon(16)]),
    "bitmap_187.bmp": lambda: bmp_bytes(picture_small_bullet(), 24),
    "bitmap_188.bmp": lambda: bmp_bytes(picture_bulb(True), 24),
    "bitmap_189.bmp": lambda: bmp_bytes(picture_bulb(False), 24),
    "icon_177.ico": lambda: ico_bytes([picture_empty_icon()]),
    "icon_195.ico": lambda: ico_bytes([picture_arrow_icon()]),
    "setup_icon_128.ico": lambda: ico_bytes([picture_setup_icon(32), picture_setup_icon(16)]),
    "vantora_logo.bmp": lambda: bmp_bytes(picture_wizard_logo(LOGO_WIDTH, LOGO_HEIGHT), 24),
}


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_pictures.py OUTPUT_DIR")
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, make in PICTURES.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(make())


if __name__ == "__main__":
    main()
