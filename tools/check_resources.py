#!/usr/bin/env python3
"""Check the generated icons and bitmaps in res/ field by field.

Reads every file that tools/make_icons.py and tools/make_bitmaps.py write and checks the
headers, sizes, colour depth, mask layout and file length that the resource compiler and
the program rely on. Prints one line per problem and exits with status 1 if there was any.

    python3 tools/check_resources.py
"""

import os
import struct
import sys

RES_DIR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "res")

ICONS = {"Autovane": [32, 16], "Cancel": [32], "OK": [32], "About": [32]}
BITMAPS = {"AboutBackground": (341, 194), "OKU": (40, 40), "OKD": (40, 40),
           "OKF": (40, 40), "OKX": (40, 40)}

VGA = [(0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
       (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
       (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
       (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF)]

problems = []


def expect(name, what, actual, wanted):
    if actual != wanted:
        problems.append("%s: %s is %r, expected %r" % (name, what, actual, wanted))


def row_bytes(width, bits):
    return (width * bits + 31) // 32 * 4


def check_icon(name, sizes):
    data = open(os.path.join(RES_DIR, name + ".ico"), "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    expect(name, "ICONDIR reserved, type, count", (reserved, kind, count), (0, 1, len(sizes)))
    end = 6 + 16 * count
    for n, size in enumerate(sizes):
        w, h, colours, res, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * n)
        entry = "%s image %d" % (name, n)
        expect(entry, "width, height, colours, reserved, planes, bits",
               (w, h, colours, res, planes, bits), (size, size, 16, 0, 1, 4))
        expect(entry, "offset", offset, end)
        xor = row_bytes(size, 4) * size
        mask = row_bytes(size, 1) * size
        expect(entry, "length", length, 40 + 64 + xor + mask)
        header = struct.unpack_from("<IiiHHIIiiII", data, offset)
        expect(entry, "BITMAPINFOHEADER", header, (40, size, 2 * size, 1, 4, 0, xor + mask, 0, 0, 0, 0))
        table = [struct.unpack_from("<BBBB", data, offset + 40 + 4 * i) for i in range(16)]
        expect(entry, "colour table", [(r, g, b) for b, g, r, _ in table], VGA)
        expect(entry, "colour table reserved bytes", {q[3] for q in table}, {0})
        pixels = data[offset + 104:offset + 104 + xor]
        masks = data[offset + 104 + xor:offset + length]
        opaque = 0
        for y in range(size):
            for x in range(size):
                byte = pixels[y * row_bytes(size, 4) + x // 2]
                index = byte >> 4 if x % 2 == 0 else byte & 15
                transparent = masks[y * row_bytes(size, 1) + x // 8] & (0x80 >> (x % 8))
                if transparent and index != 0:
                    problems.append("%s: pixel (%d, %d) is masked but not black" % (entry, x, y))
                opaque += not transparent
        if not 0 < opaque < size * size:
            problems.append("%s: %d of %d pixels are opaque" % (entry, opaque, size * size))
        end = offset + length
    expect(name, "file length", len(data), end)


def check_bitmap(name, size):
    data = open(os.path.join(RES_DIR, name + ".bmp"), "rb").read()
    width, height = size
    image = row_bytes(width, 24) * height
    magic, file_size, r1, r2, bits_offset = struct.unpack_from("<2sIHHI", data, 0)
    expect(name, "BITMAPFILEHEADER", (magic, file_size, r1, r2, bits_offset), (b"BM", len(data), 0, 0, 54))
    header = struct.unpack_from("<IiiHHIIiiII", data, 14)
    expect(name, "BITMAPINFOHEADER", header, (40, width, height, 1, 24, 0, image, 0, 0, 0, 0))
    expect(name, "file length", len(data), 54 + image)

    def pixel(x, y):  # top-down coordinates
        at = 54 + (height - 1 - y) * row_bytes(width, 24) + 3 * x
        b, g, r = data[at:at + 3]
        return r, g, b

    if name.startswith("OK"):
        expect(name, "corner outside the circle", pixel(0, 0), (0, 0, 0))
        if pixel(20, 20) == (0, 0, 0):
            problems.append("%s: the button's centre is black" % name)
    else:
        expect(name, "the logo area's corner", pixel(width - 1, height - 1), (0, 0, 0))
        r, g, b = pixel(40, 40)
        if not (r == g == b and r >= 160):
            problems.append("%s: the text panel at (40, 40) is %r, not a light grey" % (name, (r, g, b)))


def main():
    for name, sizes in ICONS.items():
        check_icon(name, sizes)
    for name, size in BITMAPS.items():
        check_bitmap(name, size)
    for problem in problems:
        print(problem)
    print("%d icons, %d bitmaps: %s" % (len(ICONS), len(BITMAPS), "FAILED" if problems else "ok"))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
