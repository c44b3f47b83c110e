#!/usr/bin/env python3
"""Draw the About box's bitmaps (res/*.bmp) from the shape lists in this file.

Each picture is a function below that paints named shapes in named colours onto a
canvas: res/AboutBackground.bmp, the About box's background, and res/OKU.bmp, OKD, OKF,
OKX, the faces of its round OK button (up, down, focused, disabled). Change a
coordinate or a colour here and run the script again:

    python3 tools/make_bitmaps.py

Shapes are sets of sample points, SS x SS of them per pixel, so their edges come out
anti-aliased and they combine with set operations (a ring is a disc minus a smaller
disc). Gradients are colour functions of the pixel centre. The files are 24-bit
bottom-up BMPs with a BITMAPINFOHEADER and no colour table; only integer rounding of
the same arithmetic goes into them, so every run writes the same bytes.
"""

import math
import os
import struct

TOOLS = os.path.dirname(os.path.abspath(__file__))
RES_DIR = os.path.join(os.path.dirname(TOOLS), "res")

SS = 4  # samples per pixel along each axis


# ---------------------------------------------------------------------------------------
# Shapes: sets of (i, j) sample indices; sample (i, j) sits at ((i + 0.5) / SS, (j + 0.5) / SS).

def _sample_range(lo, hi):
    return range(max(0, math.floor(lo * SS)), math.ceil(hi * SS))


def disc(cx, cy, r):
    """A filled circle."""
    shape = set()
    for j in _sample_range(cy - r, cy + r):
        y = (j + 0.5) / SS - cy
        for i in _sample_range(cx - r, cx + r):
            x = (i + 0.5) / SS - cx
            if x * x + y * y <= r * r:
                shape.add((i, j))
    return shape


def ring(cx, cy, r, width):
    """A circle's outline, width wide, centred on radius r."""
    return disc(cx, cy, r + width / 2) - disc(cx, cy, r - width / 2)


def ellipse_points(cx, cy, rx, ry, steps=32):
    """The corners of a polygon that follows an ellipse, for stroking."""
    return [(cx + rx * math.sin(2 * math.pi * k / steps), cy - ry * math.cos(2 * math.pi * k / steps))
            for k in range(steps)]


def stroke(points, width, closed=False):
    """A polyline drawn with a round pen of the given width."""
    if closed:
        points = list(points) + [points[0]]
    half = width / 2
    shape = set()
    for (ax, ay), (bx, by) in zip(points, points[1:]):
        dx, dy = bx - ax, by - ay
        length2 = dx * dx + dy * dy or 1e-12
        for j in _sample_range(min(ay, by) - half, max(ay, by) + half):
            py = (j + 0.5) / SS
            for i in _sample_range(min(ax, bx) - half, max(ax, bx) + half):
                px = (i + 0.5) / SS
                t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length2))
                ex, ey = px - ax - t * dx, py - ay - t * dy
                if ex * ex + ey * ey <= half * half:
                    shape.add((i, j))
    return shape


def polygon(points):
    """A filled polygon (even-odd rule)."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))
    shape = set()
    for j in _sample_range(min(ys), max(ys)):
        py = (j + 0.5) / SS
        crossings = sorted(ax + (py - ay) * (bx - ax) / (by - ay)
                           for (ax, ay), (bx, by) in edges if (ay <= py) != (by <= py))
        for left, right in zip(crossings[0::2], crossings[1::2]):
            for i in _sample_range(left, right):
                if left <= (i + 0.5) / SS < right:
                    shape.add((i, j))
    return shape


def union(shapes):
    result = set()
    for shape in shapes:
        result |= shape
    return result


# ---------------------------------------------------------------------------------------
# Lettering: capitals as polylines on a grid six units high (y down), each with its width.

ROUND = 12  # corners of the polygon that stands in for a letter O

FONT = {
    "B": (4, [[(0, 6), (0, 0), (3, 0), (4, 0.8), (4, 2.2), (3, 3), (0, 3)],
              [(3, 3), (4, 3.8), (4, 5.2), (3, 6), (0, 6)]]),
    "D": (4, [[(0, 0), (0, 6), (2.2, 6), (4, 4.4), (4, 1.6), (2.2, 0), (0, 0)]]),
    "E": (3.5, [[(3.5, 0), (0, 0), (0, 6), (3.5, 6)], [(0, 3), (3, 3)]]),
    "I": (0, [[(0, 0), (0, 6)]]),
    "K": (4, [[(0, 0), (0, 6)], [(4, 0), (0, 4)], [(1.4, 2.6), (4, 6)]]),
    "L": (3.5, [[(0, 0), (0, 6), (3.5, 6)]]),
    "N": (4, [[(0, 6), (0, 0), (4, 6), (4, 0)]]),
    "O": (4, [ellipse_points(2, 3, 2, 3, ROUND) + ellipse_points(2, 3, 2, 3, ROUND)[:1]]),
    "R": (4, [[(0, 6), (0, 0), (3, 0), (4, 0.8), (4, 2.2), (3, 3), (0, 3)], [(2, 3), (4, 6)]]),
    "S": (4, [[(4, 0.8), (3, 0), (1, 0), (0, 0.8), (0, 2.2), (1, 3), (3, 3), (4, 3.8),
               (4, 5.2), (3, 6), (1, 6), (0, 5.2)]]),
    "W": (6, [[(0, 0), (1.5, 6), (3, 1.5), (4.5, 6), (6, 0)]]),
}


def text_width(text, unit, gap=2):
    return unit * (sum(FONT[c][0] for c in text) + gap * (len(text) - 1))


def lettering(text, x, y, unit, width, gap=2):
    """The strokes of text, its top-left corner at (x, y), one grid unit = unit pixels."""
    shape = set()
    for char in text:
        advance, lines = FONT[char]
        for line in lines:
            shape |= stroke([(x + px * unit, y + py * unit) for px, py in line], width)
        x += (advance + gap) * unit
    return shape


def centred_lettering(text, cx, cy, unit, width):
    return lettering(text, cx - text_width(text, unit) / 2, cy - 3 * unit, unit, width)


# ---------------------------------------------------------------------------------------
# Canvas

def mix(a, b, t):
    """The colour t of the way from a to b."""
    return tuple(p + (q - p) * t for p, q in zip(a, b))


class Canvas:
    def __init__(self, width, height, colour):
        self.width, self.height = width, height
        self.pixels = [[tuple(colour)] * width for _ in range(height)]

    def fill(self, x0, y0, x1, y1, colour):
        """Fill whole pixels x0 <= x < x1, y0 <= y < y1 with a colour or a gradient."""
        for y in range(y0, y1):
            row = self.pixels[y]
            for x in range(x0, x1):
                row[x] = colour(x + 0.5, y + 0.5) if callable(colour) else colour

    def paint(self, shape, colour, opacity=1.0):
        """Cover a shape with a colour or a gradient, blending the partly covered pixels."""
        coverage = {}
        for i, j in shape:
            key = (i // SS, j // SS)
            coverage[key] = coverage.get(key, 0) + 1
        for (x, y), count in coverage.items():
            if 0 <= x < self.width and 0 <= y < self.height:
                paint = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                self.pixels[y][x] = mix(self.pixels[y][x], paint, opacity * count / (SS * SS))

    def bmp(self):
        """The picture as a 24-bit BMP file: bottom row first, rows padded to 4 bytes."""
        row_size = (self.width * 3 + 3) & ~3
        image = bytearray()
        for row in reversed(self.pixels):
            for r, g, b in row:
                image += bytes(max(0, min(255, int(round(c)))) for c in (b, g, r))
            image += b"\0" * (row_size - self.width * 3)
        info = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0,
                           len(image), 0, 0, 0, 0)
        header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(image), 0, 0, 14 + len(info))
        return header + info + bytes(image)


# ---------------------------------------------------------------------------------------
# The About box's background, 341 x 194. The dialog writes its texts in black over the
# left part; its round OK button sits in the black part at (292, 146), 40 x 40.

BLACK = (0, 0, 0)
WHITE = (255, 255, 255)
LOGO = (255, 255, 255)
PANEL_TOP = (236, 236, 236)
PANEL_BOTTOM = (176, 176, 176)
PANEL_HIGHLIGHT = (255, 255, 255)
PANEL_SHADOW = (128, 128, 128)
PANEL_EDGE = (64, 64, 64)

ABOUT_SIZE = (341, 194)
PANEL_RIGHT = 228  # first column of the black area


def panel_gradient(x, y):
    """Light at the top left, darker toward the bottom and toward the black area."""
    down = y / ABOUT_SIZE[1]
    across = x / PANEL_RIGHT
    return mix(PANEL_TOP, PANEL_BOTTOM, 0.85 * down + 0.15 * across)


def weather_vane(cx, top):
    """The maker's logo: a weather vane on a roof ridge, in outline, about 96 x 100."""
    pen = 1.5
    arrow_y = top + 16
    cross_y = top + 54
    ridge_y = top + 84
    return union([
        disc(cx, top + 2, 2.6),                                       # finial
        stroke([(cx, top + 4), (cx, ridge_y)], pen),                  # pole
        stroke([(cx - 36, arrow_y), (cx + 34, arrow_y)], pen),        # arrow shaft
        stroke([(cx + 46, arrow_y), (cx + 33, arrow_y - 7),           # arrow head
                (cx + 33, arrow_y + 7)], pen, closed=True),
        stroke([(cx - 48, arrow_y - 11), (cx - 33, arrow_y - 11),     # tail fin
                (cx - 26, arrow_y), (cx - 33, arrow_y + 11),
                (cx - 48, arrow_y + 11), (cx - 41, arrow_y)], pen, closed=True),
        disc(cx, top + 33, 4),                                        # pivot ball
        stroke([(cx - 38, cross_y), (cx + 38, cross_y)], pen),        # west - east arm
        stroke([(cx - 20, cross_y + 11), (cx + 20, cross_y - 11)], pen),  # south - north arm
        centred_lettering("W", cx - 46, cross_y, 1.25, 1.2),
        centred_lettering("E", cx + 45, cross_y, 1.25, 1.2),
        centred_lettering("N", cx + 26, cross_y - 16, 1.25, 1.2),
        centred_lettering("S", cx - 26, cross_y + 16, 1.25, 1.2),
        stroke([(cx - 42, ridge_y + 14), (cx, ridge_y),               # roof ridge
                (cx + 42, ridge_y + 14)], pen),
    ])


def about_background():
    width, height = ABOUT_SIZE
    canvas = Canvas(width, height, BLACK)
    canvas.fill(0, 0, PANEL_RIGHT, height, panel_gradient)
    canvas.fill(0, 0, PANEL_RIGHT - 1, 1, PANEL_HIGHLIGHT)             # bevel: top
    canvas.fill(0, 0, 1, height - 1, PANEL_HIGHLIGHT)                  # left
    canvas.fill(1, height - 1, PANEL_RIGHT, height, PANEL_SHADOW)      # bottom
    canvas.fill(PANEL_RIGHT - 1, 0, PANEL_RIGHT, height, PANEL_SHADOW) # right
    canvas.fill(PANEL_RIGHT, 0, PANEL_RIGHT + 1, height, PANEL_EDGE)
    logo_x = (PANEL_RIGHT + width) // 2
    canvas.paint(weather_vane(logo_x, 10), LOGO)
    canvas.paint(centred_lettering("BRINDLEWORK", logo_x, 128, 1.5, 1.1), LOGO)
    return canvas


# ---------------------------------------------------------------------------------------
# The OK button's faces, 40 x 40: a domed button in a bevelled rim, filling the circle
# the dialog clips the button to, on black.

BUTTON_SIZE = 40
FOCUS_RING = (96, 160, 255)

# face: rim light and dark edge, dome highlight and shade, label colour, label offset
BUTTON_FACES = {
    "OKU": dict(rim=((240, 240, 240), (64, 64, 64)), dome=((232, 232, 232), (128, 128, 128)),
                label=(24, 24, 24), shift=0, focus=False),
    "OKD": dict(rim=((80, 80, 80), (248, 248, 248)), dome=((255, 255, 255), (184, 184, 184)),
                label=(24, 24, 24), shift=1, focus=False),
    "OKF": dict(rim=((240, 240, 240), (64, 64, 64)), dome=((232, 232, 232), (128, 128, 128)),
                label=(24, 24, 24), shift=0, focus=True),
    "OKX": dict(rim=((176, 176, 176), (112, 112, 112)), dome=((176, 176, 176), (150, 150, 150)),
                label=(112, 112, 112), shift=0, focus=False, etched=True),
}


def rim_gradient(light, dark):
    """Light from the top left, dark toward the bottom right."""
    def colour(x, y):
        t = ((x - 20) + (y - 20)) / (2 * 20 * math.sqrt(0.5)) / 2 + 0.5
        return mix(light, dark, max(0.0, min(1.0, t)))
    return colour


def dome_gradient(highlight, shade):
    """A sphere-like shading, brightest above and to the left of the centre."""
    def colour(x, y):
        t = math.hypot(x - 15, y - 14) / 26
        return mix(highlight, shade, max(0.0, min(1.0, t)))
    return colour


def ok_label(shift):
    """The letters O and K, centred on the button, moved down and right by shift."""
    return centred_lettering("OK", 20 + shift, 20 + shift, 1.6, 1.9)


def button_face(rim, dome, label, shift, focus, etched=False):
    canvas = Canvas(BUTTON_SIZE, BUTTON_SIZE, BLACK)
    canvas.paint(disc(20, 20, 20), rim_gradient(*rim))
    canvas.paint(disc(20, 20, 16.5), rim_gradient(rim[1], rim[0]))   # rim's inner slope
    canvas.paint(disc(20, 20, 15.5), dome_gradient(*dome))
    if focus:
        canvas.paint(ring(20, 20, 17.5, 1.6), FOCUS_RING)
    if etched:
        canvas.paint(ok_label(shift + 1), WHITE, 0.8)
    canvas.paint(ok_label(shift), label)
    return canvas


def main():
    pictures = [("AboutBackground", about_background())]
    pictures += [(name, button_face(**face)) for name, face in BUTTON_FACES.items()]
    for name, canvas in pictures:
        target = os.path.join(RES_DIR, name + ".bmp")
        with open(target, "wb") as f:
            f.write(canvas.bmp())
        print("%s: %dx%d" % (os.path.relpath(target), canvas.width, canvas.height))


if __name__ == "__main__":
    main()
