#!/usr/bin/env python3
"""Draws the application icon and writes every file made from it.

Run from anywhere: `python3 packaging/icons/generate_icons.py [OUT_DIR]`.
With no argument it rewrites the checked-in files beside this script:

  quillfen.ico               three images: 32x32 1 bpp, 32x32 4 bpp, 16x16 4 bpp
  NxN/quillfen.png           for the Linux desktop, RGBA, at 16, 32, 48, 64,
                             128 and 256 pixels
  scalable/quillfen.svg      the picture as vector artwork
  rc/icon_group.bin          the icon group resource (identifier 1)
  rc/icon_30001.bin ...      one icon image resource per image

The resource compiler numbers the images of an .ico itself, so the Windows
resource script takes the group and image resources from rc/ as raw
resources instead; that way the identifiers are ours.

The 16 and 32 pixel PNGs are the Windows icon's drawings, pixel for pixel.
From 48 pixels up the picture is the same sheet, braces and lines drawn as
vector shapes on the 32x32 drawing's grid (ARTWORK): the SVG holds them, and
the larger PNGs are them rendered here, each pixel covered by a grid of
samples, so that edges stay smooth at every size.

Only the standard library is used.
"""

import math
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

# The Linux icon's sizes drawn pixel by pixel; the others are rendered
# from ARTWORK.
PIXEL_ART_SIZES = {16: "16", 32: "32"}
RENDERED_SIZES = (48, 64, 128, 256)
# Samples along each side of a rendered pixel.
SAMPLES = 4

# The picture as vector shapes in the 32x32 drawing's units, painted in
# order: (kind, palette entry, points or path, line width).
#   "fill":   a closed polygon.
#   "stroke": a line through the points of a path, with round ends and
#             joins; a path is points and cubic curves, ("C", c1, c2, end).
PAGE = [(3.5, 1.5), (27.5, 1.5), (30.5, 4.5), (30.5, 30.5), (3.5, 30.5)]
FOLD = [(27.5, 1.5), (27.5, 4.5), (30.5, 4.5)]
LEFT_BRACE = [(10, 5.5), ("C", (8, 5.5), (8, 6.5), (8, 8.5)), (8, 14),
              ("C", (8, 15.5), (7.5, 16.5), (6.3, 16.5)), ("C", (7.5, 16.5), (8, 17.5), (8, 19)),
              (8, 24.5), ("C", (8, 26.5), (8, 27.5), (10, 27.5))]
BRACE_MIRROR = 34  # the right brace is the left one mirrored: x becomes 34 - x


def mirrored(path):
    def flip(point):
        return (BRACE_MIRROR - point[0], point[1])
    return [("C",) + tuple(flip(p) for p in step[1:]) if step[0] == "C" else flip(step) for step in path]


ARTWORK = [
    ("fill", 7, [(x + 1, y + 1) for x, y in PAGE], 0),   # the shadow
    ("fill", 15, PAGE, 0),
    ("stroke", 8, PAGE + [PAGE[0]], 1),
    ("fill", 7, FOLD, 0),
    ("stroke", 8, FOLD + [FOLD[0]], 1),
    ("stroke", 12, LEFT_BRACE, 1.8),
    ("stroke", 12, mirrored(LEFT_BRACE), 1.8),
    # Lines of text, each as a bar with round ends.
    ("stroke", 9, [(11, 9), (21, 9)], 2),
    ("stroke", 2, [(13, 13), (21, 13)], 2),
    ("stroke", 6, [(13, 17), (19, 17)], 2),
    ("stroke", 1, [(13, 21), (21, 21)], 2),
    ("stroke", 9, [(11, 24), (17, 24)], 2),
]
ARTWORK_SIZE = 32
CURVE_STEPS = 8


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


def png_file(rows):
    """Rows of palette entries or of (r, g, b, a); None is transparent."""
    size = len(rows)
    raw = bytearray()
    for row in rows:
        raw.append(0)  # no filter
        for p in row:
            if p is None:
                raw += bytes(4)
            elif isinstance(p, tuple):
                raw += bytes(p)
            else:
                raw += bytes(PALETTE16[p]) + b"\xff"

    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))

    ihdr = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def colour_of(entry):
    return "#%02x%02x%02x" % PALETTE16[entry]


def svg_path(path, closed):
    steps = [f"M{path[0][0]:g},{path[0][1]:g}"]
    for step in path[1:]:
        if step[0] == "C":
            steps.append("C" + " ".join(f"{x:g},{y:g}" for x, y in step[1:]))
        else:
            steps.append(f"L{step[0]:g},{step[1]:g}")
    return " ".join(steps) + (" Z" if closed else "")


def svg_file():
    shapes = []
    for kind, entry, path, width in ARTWORK:
        if kind == "fill":
            shapes.append(f'  <path d="{svg_path(path, True)}" fill="{colour_of(entry)}"/>')
        else:
            shapes.append(f'  <path d="{svg_path(path, False)}" fill="none" stroke="{colour_of(entry)}" '
                          f'stroke-width="{width:g}" stroke-linecap="round" stroke-linejoin="round"/>')
    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            f'<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
            f'viewBox="0 0 {ARTWORK_SIZE} {ARTWORK_SIZE}">\n' + "\n".join(shapes) + "\n</svg>\n").encode("ascii")


def flattened(path):
    """The path as points, each curve replaced by CURVE_STEPS straight pieces."""
    points = [path[0]]
    for step in path[1:]:
        if step[0] != "C":
            points.append(step)
            continue
        start, (c1, c2, end) = points[-1], step[1:]
        for index in range(1, CURVE_STEPS + 1):
            t = index / CURVE_STEPS
            u = 1 - t
            points.append(tuple(u ** 3 * a + 3 * u * u * t * b + 3 * u * t * t * c + t ** 3 * d
                                for a, b, c, d in zip(start, c1, c2, end)))
    return points


def polygon_spans(points, y):
    """Where the horizontal line at `y` lies inside the polygon: pairs of x."""
    crossings = sorted(x1 + (y - y1) * (x2 - x1) / (y2 - y1)
                       for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]) if (y1 > y) != (y2 > y))
    return list(zip(crossings[::2], crossings[1::2]))


def line_spans(points, reach, y):
    """Where the horizontal line at `y` lies within `reach` of the line
    through `points`. Each piece of the line, with its round ends, is
    convex, so its span is the hull of those of its band and its two ends."""
    spans = []
    for (x1, y1), (x2, y2) in zip(points, points[1:]):
        pieces = []
        for cx, cy in ((x1, y1), (x2, y2)):
            if abs(y - cy) <= reach:
                half = math.sqrt(reach * reach - (y - cy) ** 2)
                pieces.append((cx - half, cx + half))
        length = math.hypot(x2 - x1, y2 - y1)
        if length:
            nx, ny = (y1 - y2) / length * reach, (x2 - x1) / length * reach
            pieces += polygon_spans([(x1 + nx, y1 + ny), (x2 + nx, y2 + ny), (x2 - nx, y2 - ny),
                                     (x1 - nx, y1 - ny)], y)
        if pieces:
            spans.append((min(a for a, _ in pieces), max(b for _, b in pieces)))
    return spans


def rendered(size):
    """ARTWORK at `size` pixels as rows of (r, g, b, a): each pixel the mean
    of SAMPLES x SAMPLES points spread over it, transparent where no shape
    covers them. Each row of points is painted shape by shape, a span at a
    time."""
    shapes = [(kind, entry, flattened(path), width / 2) for kind, entry, path, width in ARTWORK]
    step = ARTWORK_SIZE / (size * SAMPLES)
    columns = size * SAMPLES
    piece_sums = {}  # the colour sums of a pixel's samples along one row
    rows = []
    for py in range(size):
        sums = [[0, 0, 0, 0] for _ in range(size)]
        for sy in range(SAMPLES):
            y = ((py * SAMPLES + sy) + 0.5) * step
            line = [None] * columns
            for kind, entry, points, reach in shapes:
                spans = polygon_spans(points, y) if kind == "fill" else line_spans(points, reach, y)
                for start, end in spans:
                    first = max(0, math.ceil(start / step - 0.5))
                    last = min(columns - 1, math.floor(end / step - 0.5))
                    if first <= last:
                        line[first:last + 1] = [entry] * (last + 1 - first)
            for px in range(size):
                piece = tuple(line[px * SAMPLES:(px + 1) * SAMPLES])
                if piece not in piece_sums:
                    colours = [PALETTE16[entry] for entry in piece if entry is not None]
                    piece_sums[piece] = [sum(c[0] for c in colours), sum(c[1] for c in colours),
                                         sum(c[2] for c in colours), len(colours)]
                sums[px] = [a + b for a, b in zip(sums[px], piece_sums[piece])]
        count = SAMPLES * SAMPLES
        rows.append([None if covered == 0 else
                     (round(red / covered), round(green / covered), round(blue / covered),
                      round(255 * covered / count)) for red, green, blue, covered in sums])
    return rows


def outputs():
    """Every generated file, by path relative to the icons folder."""
    parts = images()
    drawings = {"16": pixels(ART16), "32": pixels(ART32)}
    files = {
        "quillfen.ico": ico_file(parts),
        "scalable/quillfen.svg": svg_file(),
        "rc/icon_group.bin": group_resource(parts),
    }
    for size, drawing in PIXEL_ART_SIZES.items():
        files[f"{size}x{size}/quillfen.png"] = png_file(drawings[drawing])
    for size in RENDERED_SIZES:
        files[f"{size}x{size}/quillfen.png"] = png_file(rendered(size))
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
