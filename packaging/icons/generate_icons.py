#!/usr/bin/env python3
"""Draws the application icon and writes every file made from it.

Run from anywhere: `python3 packaging/icons/generate_icons.py [OUT_DIR]`.
With no argument it rewrites the checked-in files beside this script:

  quillfen.ico               three images: 32x32 1 bpp, 32x32 4 bpp, 16x16 4 bpp
  NxN/quillfen.png           for the Linux desktop, RGBA, at 16, 32, 48, 64,
                             128 and 256 pixels
  scalable/quillfen.svg      the 32x32 drawing as squares of a 32-unit grid
  rc/icon_group.bin          the icon group resource (identifier 1)
  rc/icon_30001.bin ...      one icon image resource per image

The resource compiler numbers the images of an .ico itself, so the Windows
resource script takes the group and image resources from rc/ as raw
resources instead; that way the identifiers are ours.

The larger pictures are the two drawings enlarged by whole numbers, every
square of the drawing a square of pixels, so that every size shows the
same mark as the Windows icon: 48 from the 16x16 drawing, the others from
the 32x32 one.

Only the standard library is used.
"""

import os
import struct
import sys
import zlib

# The sixteen-colour palette every 4 bpp image uses, as (red, green, blue).
PALETTE16 = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
PALETTE2 = [(0x00, 0x00, 0x00), (0xFF, 0xFF, 0xFF)]

# Letters of the drawings and the palette entries they stand for; "." is
# transparent.
INK = {
    "k": 0,   # black
    "m": 1,   # maroon
    "g": 2,   # green
    "t": 6,   # teal
    "s": 7,   # silver
    "d": 8,   # grey
    "r": 9,   # red
    "b": 12,  # blue
    "w": 15,  # white
}

# A sheet of paper with a pair of braces around lines of text.
ART32 = [
    "................................",
    "...dddddddddddddddddddddddddd...",
    "...dwwwwwwwwwwwwwwwwwwwwwwwwdd..",
    "...dwwwwwwwwwwwwwwwwwwwwwwwwdsd.",
    "...dwwwwwwwwwwwwwwwwwwwwwwwwdddd",
    "...dwwwwbbwwwwwwwwwwwwwwbbwwwwsd",
    "...dwwwbbwwwwwwwwwwwwwwwwbbwwwsd",
    "...dwwwbbwwwwwwwwwwwwwwwwbbwwwsd",
    "...dwwwbbwrrrrrrrrrrrrwwwbbwwwsd",
    "...dwwwbbwrrrrrrrrrrrrwwwbbwwwsd",
    "...dwwwbbwwwwwwwwwwwwwwwwbbwwwsd",
    "...dwwwbbwwwwwwwwwwwwwwwwbbwwwsd",
    "...dwwwbbwwwggggggggggwwwbbwwwsd",
    "...dwwwbbwwwggggggggggwwwbbwwwsd",
    "...dwwbbwwwwwwwwwwwwwwwwwwbbwwsd",
    "...dwwbwwwwwwwwwwwwwwwwwwwwbwwsd",
    "...dwwbwwwwwttttttttwwwwwwwbwwsd",
    "...dwwbbwwwwttttttttwwwwwwbbwwsd",
    "...dwwwbbwwwwwwwwwwwwwwwwbbwwwsd",
    "...dwwwbbwwwwwwwwwwwwwwwwbbwwwsd",
    "...dwwwbbwwwmmmmmmmmmmwwwbbwwwsd",
    "...dwwwbbwwwmmmmmmmmmmwwwbbwwwsd",
    "...dwwwbbwwwwwwwwwwwwwwwwbbwwwsd",
    "...dwwwbbwrrrrrrrrwwwwwwwbbwwwsd",
    "...dwwwbbwrrrrrrrrwwwwwwwbbwwwsd",
    "...dwwwbbwwwwwwwwwwwwwwwwbbwwwsd",
    "...dwwwbbwwwwwwwwwwwwwwwwbbwwwsd",
    "...dwwwwbbwwwwwwwwwwwwwwbbwwwwsd",
    "...dwwwwwwwwwwwwwwwwwwwwwwwwwwsd",
    "...dwwwwwwwwwwwwwwwwwwwwwwwwwwsd",
    "...dddddddddddddddddddddddddddsd",
    "....ssssssssssssssssssssssssssdd",
]

ART16 = [
    "................",
    ".ddddddddddddd..",
    ".dwwwwwwwwwwwdd.",
    ".dwwbwwwwwwbwwdd",
    ".dwbwrrrrwwwbwsd",
    ".dwbwwwwwwwwbwsd",
    ".dwbwwgggggwbwsd",
    ".dbwwwwwwwwwwbsd",
    ".dbwwttttwwwwbsd",
    ".dwbwwwwwwwwbwsd",
    ".dwbwmmmmmwwbwsd",
    ".dwbwwwwwwwwbwsd",
    ".dwwbwwwwwwbwwsd",
    ".dwwwwwwwwwwwwsd",
    ".ddddddddddddddd",
    "..sssssssssssssd",
]

# Palette entries that come out black in the two-colour image; the rest
# come out white. Ink is dark, paper is light.
DARK = {0, 1, 2, 3, 4, 5, 6, 8, 9, 12, 13}

GROUP_ID = 1
IMAGE_IDS = (30001, 30002, 30003)

# Each size of the Linux icon and the drawing it is enlarged from.
PNG_SIZES = {16: "16", 32: "32", 48: "16", 64: "32", 128: "32", 256: "32"}


def pixels(art):
    """The drawing as rows of palette entries, None where transparent."""
    size = len(art)
    rows = []
    for row in art:
        if len(row) != size:
            raise ValueError(f"row {row!r} is not {size} wide")
        rows.append([None if letter == "." else INK[letter] for letter in row])
    return rows


def two_colour(rows):
    return [[None if p is None else (0 if p in DARK else 1) for p in row] for row in rows]


def pack_row(values, bits):
    """Packs one row of `bits`-wide values, most significant first, padded
    to a multiple of four bytes as bitmaps require."""
    per_byte = 8 // bits
    out = bytearray()
    for start in range(0, len(values), per_byte):
        byte = 0
        chunk = values[start:start + per_byte]
        for index, value in enumerate(chunk):
            byte |= value << (8 - bits * (index + 1))
        out.append(byte)
    while len(out) % 4:
        out.append(0)
    return bytes(out)


def icon_image(rows, bits, palette):
    """One icon image as the .ico file and the icon resource hold it: a
    bitmap header, the palette, the colour bitmap and the transparency
    mask, both bottom-up."""
    size = len(rows)
    colour = b"".join(pack_row([0 if p is None else p for p in row], bits) for row in reversed(rows))
    mask = b"".join(pack_row([1 if p is None else 0 for p in row], 1) for row in reversed(rows))
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, bits, 0, len(colour) + len(mask),
                         0, 0, 0, 0)
    quads = b"".join(struct.pack("<BBBB", blue, green, red, 0) for red, green, blue in palette)
    return header + quads + colour + mask


def images():
    """The three images in resource order: (size, bits, colours, bytes)."""
    rows32 = pixels(ART32)
    rows16 = pixels(ART16)
    return [
        (32, 1, 2, icon_image(two_colour(rows32), 1, PALETTE2)),
        (32, 4, 16, icon_image(rows32, 4, PALETTE16)),
        (16, 4, 16, icon_image(rows16, 4, PALETTE16)),
    ]


def entry_fields(size, bits, colours, data):
    # Sizes of 256 are stored as 0; ours are all smaller.
    return struct.pack("<BBBBHHI", size, size, colours, 0, 1, bits, len(data))


def ico_file(parts):
    header = struct.pack("<HHH", 0, 1, len(parts))
    offset = len(header) + 16 * len(parts)
    directory = b""
    for part in parts:
        directory += entry_fields(*part) + struct.pack("<I", offset)
        offset += len(part[3])
    return header + directory + b"".join(part[3] for part in parts)


def group_resource(parts):
    out = struct.pack("<HHH", 0, 1, len(parts))
    for part, image_id in zip(parts, IMAGE_IDS):
        out += entry_fields(*part) + struct.pack("<H", image_id)
    return out


def enlarged(rows, factor):
    """Every square of the drawing as `factor` x `factor` pixels."""
    return [[p for p in row for _ in range(factor)] for row in rows for _ in range(factor)]


def png_file(rows):
    size = len(rows)
    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        for p in row:
            raw += bytes(4) if p is None else bytes(PALETTE16[p]) + b"\xff"

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def svg_file(rows):
    """The drawing as squares of a grid of its own size, one rectangle per
    run of a colour along a row."""
    size = len(rows)
    shapes = []
    for y, row in enumerate(rows):
        x = 0
        while x < size:
            p = row[x]
            end = x + 1
            while end < size and row[end] == p:
                end += 1
            if p is not None:
                colour = "#%02x%02x%02x" % PALETTE16[p]
                shapes.append(f'  <rect x="{x}" y="{y}" width="{end - x}" height="1" fill="{colour}"/>')
            x = end
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 {size} {size}" '
            'shape-rendering="crispEdges">\n' + "\n".join(shapes) + "\n</svg>\n").encode("ascii")


def outputs():
    """Every generated file, by path relative to the icons folder."""
    parts = images()
    drawings = {"16": pixels(ART16), "32": pixels(ART32)}
    files = {
        "quillfen.ico": ico_file(parts),
        "scalable/quillfen.svg": svg_file(drawings["32"]),
        "rc/icon_group.bin": group_resource(parts),
    }
    for size, drawing in PNG_SIZES.items():
        rows = drawings[drawing]
        files[f"{size}x{size}/quillfen.png"] = png_file(enlarged(rows, size // len(rows)))
    for part, image_id in zip(parts, IMAGE_IDS):
        files[f"rc/icon_{image_id}.bin"] = part[3]
    return files


def main(argv):
    out_dir = argv[1] if len(argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    for name, data in outputs().items():
        path = os.path.join(out_dir, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as file:
            file.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
