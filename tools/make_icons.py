#!/usr/bin/env python3
"""Build the program's icons (res/*.ico) from the text grids in tools/icons/.

Each tools/icons/<Name>.txt describes one icon file, res/<Name>.ico. It holds one or more
images, each introduced by a line "image <size>" and followed by <size> rows of <size>
characters, one character per pixel. tools/icons/legend.txt maps the characters to the
sixteen VGA colours; '.' is transparent. Lines starting with '#' are comments.

The icons are written as 16-colour images (4 bits per pixel, the full VGA colour table)
with a 1-bit AND mask, which is what every version of Windows reads. The output depends
only on the grids, so running the script twice gives the same bytes.

    python3 tools/make_icons.py            # rebuild every icon
    python3 tools/make_icons.py OK About   # rebuild only these
"""

import os
import struct
import sys

TOOLS = os.path.dirname(os.path.abspath(__file__))
ICON_DIR = os.path.join(TOOLS, "icons")
RES_DIR = os.path.join(os.path.dirname(TOOLS), "res")
TRANSPARENT = "."


def read_lines(path):
    """Return (line number, text) for the non-blank, non-comment lines of a file."""
    with open(path, encoding="ascii") as f:
        for number, line in enumerate(f, 1):
            text = line.rstrip("\n").rstrip()
            if text and not text.startswith("#"):
                yield number, text


def load_legend(path):
    """Return the 16 palette entries as (r, g, b) and a map from character to index."""
    palette = [None] * 16
    index_of = {}
    for number, text in read_lines(path):
        fields = text.split()
        char, index, rgb = fields[0], int(fields[1]), fields[2]
        if len(char) != 1 or char == TRANSPARENT or char in index_of:
            sys.exit("%s:%d: bad or repeated character %r" % (path, number, char))
        if not 0 <= index < 16 or palette[index] is not None:
            sys.exit("%s:%d: bad or repeated index %d" % (path, number, index))
        palette[index] = tuple(int(rgb[i:i + 2], 16) for i in (0, 2, 4))
        index_of[char] = index
    if None in palette:
        sys.exit("%s: the legend must name all 16 colours" % path)
    return palette, index_of


def load_images(path, index_of):
    """Return the images of one grid file as (size, rows) pairs, largest first."""
    images = []
    size, rows = None, None
    for number, text in read_lines(path):
        if text.startswith("image"):
            size = int(text.split()[1])
            rows = []
            images.append((size, rows))
            continue
        if rows is None:
            sys.exit("%s:%d: pixels before the first 'image' line" % (path, number))
        if len(text) != size or len(rows) == size:
            sys.exit("%s:%d: expected %d rows of %d pixels" % (path, number, size, size))
        for char in text:
            if char != TRANSPARENT and char not in index_of:
                sys.exit("%s:%d: %r is not in the legend" % (path, number, char))
        rows.append(text)
    for size, rows in images:
        if len(rows) != size:
            sys.exit("%s: image %d has %d rows" % (path, size, len(rows)))
    if not images:
        sys.exit("%s: no images" % path)
    return sorted(images, key=lambda image: -image[0])


def padded(row):
    """Pad a row of pixel or mask bytes to a multiple of four bytes."""
    return row + b"\0" * (-len(row) % 4)


def encode_image(size, rows, palette, index_of):
    """Return one icon image: BITMAPINFOHEADER, colour table, XOR bits, AND mask."""
    xor_rows, and_rows = [], []
    for text in reversed(rows):            # DIB rows run bottom-up
        indices = [0 if c == TRANSPARENT else index_of[c] for c in text]
        xor = bytearray()
        for x in range(0, size, 2):
            xor.append(indices[x] << 4 | indices[x + 1])
        mask = bytearray((size + 7) // 8)
        for x, c in enumerate(text):
            if c == TRANSPARENT:
                mask[x // 8] |= 0x80 >> (x % 8)
        xor_rows.append(padded(bytes(xor)))
        and_rows.append(padded(bytes(mask)))
    bits = b"".join(xor_rows) + b"".join(and_rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0, len(bits), 0, 0, 0, 0)
    table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + table + bits


def encode_icon(images, palette, index_of):
    """Return an .ico file: ICONDIR, one ICONDIRENTRY per image, then the images."""
    blobs = [encode_image(size, rows, palette, index_of) for size, rows in images]
    out = struct.pack("<HHH", 0, 1, len(blobs))
    offset = 6 + 16 * len(blobs)
    for (size, _), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    return out + b"".join(blobs)


def main(names):
    palette, index_of = load_legend(os.path.join(ICON_DIR, "legend.txt"))
    if not names:
        names = sorted(n[:-4] for n in os.listdir(ICON_DIR)
                       if n.endswith(".txt") and n != "legend.txt")
    for name in names:
        images = load_images(os.path.join(ICON_DIR, name + ".txt"), index_of)
        target = os.path.join(RES_DIR, name + ".ico")
        with open(target, "wb") as f:
            f.write(encode_icon(images, palette, index_of))
        print("%s: %s" % (os.path.relpath(target), ", ".join("%dx%d" % (s, s) for s, _ in images)))


if __name__ == "__main__":
    main(sys.argv[1:])
