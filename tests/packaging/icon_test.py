#!/usr/bin/env python3
"""Checks the checked-in icon files: the .ico holds exactly the three images
the executable needs, the raw Windows resources are slices of it with the
right identifiers, the PNGs show the same mark at every size the desktop
asks for, drawn smooth from 48 pixels up as the scalable picture is, and
every file is what the generator writes today.

Usage: icon_test.py ICONS_DIR
"""

import importlib
import os
import struct
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
import zlib

ICONS_DIR = None

# (width, height, bits per pixel, colours) of each image, in order.
EXPECTED_IMAGES = [(32, 32, 1, 2), (32, 32, 4, 16), (16, 16, 4, 16)]
EXPECTED_IDS = [30001, 30002, 30003]
BITMAP_HEADER_SIZE = 40
# The sizes of the Linux icon, pixels: what the icon theme asks for at
# least (48), what software centres fetch (64), and up to 256.
LINUX_SIZES = [16, 32, 48, 64, 128, 256]
SVG_NAMESPACE = "{http://www.w3.org/2000/svg}"
PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


class Reader:
    """Little-endian reads over bytes; a read past the end is an error
    naming the offset."""

    def __init__(self, data, offset=0):
        self.data = data
        self.offset = offset

    def bytes(self, count):
        if count > len(self.data) - self.offset:
            raise ValueError(f"{count} bytes wanted at offset {self.offset}, "
                             f"{len(self.data) - self.offset} left")
        out = self.data[self.offset:self.offset + count]
        self.offset += count
        return out

    def u8(self):
        return self.bytes(1)[0]

    def u16(self):
        return struct.unpack("<H", self.bytes(2))[0]

    def u32(self):
        return struct.unpack("<I", self.bytes(4))[0]

    def i32(self):
        return struct.unpack("<i", self.bytes(4))[0]


def read_directory(reader, entry_tail):
    """An icon directory; `entry_tail` reads what ends each entry (the image
    offset in a file, the image identifier in a resource)."""
    if (reader.u16(), reader.u16()) != (0, 1):
        raise ValueError("not an icon directory")
    entries = []
    for _ in range(reader.u16()):
        width, height, colours, _reserved = reader.u8(), reader.u8(), reader.u8(), reader.u8()
        planes, bits, size = reader.u16(), reader.u16(), reader.u32()
        entries.append({"width": width, "height": height, "colours": colours, "planes": planes,
                        "bits": bits, "size": size, "tail": entry_tail(reader)})
    return entries


def read_ico(data):
    reader = Reader(data)
    entries = read_directory(reader, Reader.u32)
    for entry in entries:
        entry["image"] = Reader(data, entry["tail"]).bytes(entry["size"])
    return entries


def row_bytes(width, bits):
    return (width * bits + 31) // 32 * 4


def decode_image(image):
    """An icon image as rows of (r, g, b, a), top row first."""
    reader = Reader(image)
    if reader.u32() != BITMAP_HEADER_SIZE:
        raise ValueError("unexpected bitmap header size")
    width, double_height = reader.i32(), reader.i32()
    planes, bits, compression = reader.u16(), reader.u16(), reader.u32()
    reader.bytes(20)
    height = double_height // 2
    if planes != 1 or compression != 0 or double_height != 2 * height:
        raise ValueError("unexpected bitmap header")
    palette = []
    for _ in range(1 << bits):
        blue, green, red, _reserved = reader.bytes(4)
        palette.append((red, green, blue))
    colour = [reader.bytes(row_bytes(width, bits)) for _ in range(height)]
    mask = [reader.bytes(row_bytes(width, 1)) for _ in range(height)]
    if reader.offset != len(image):
        raise ValueError(f"{len(image) - reader.offset} bytes after the mask")

    def value(row, x, depth):
        bit = x * depth
        return (row[bit // 8] >> (8 - depth - bit % 8)) & ((1 << depth) - 1)

    rows = []
    for y in reversed(range(height)):
        rows.append([(0, 0, 0, 0) if value(mask[y], x, 1) else palette[value(colour[y], x, bits)] + (255,)
                     for x in range(width)])
    return width, height, bits, rows


def read_png(data):
    """An 8-bit RGBA PNG without interlacing as rows of (r, g, b, a)."""
    if data[:len(PNG_SIGNATURE)] != PNG_SIGNATURE:
        raise ValueError("not a PNG file")
    offset = len(PNG_SIGNATURE)
    header, idat = None, b""
    while offset < len(data):
        (length,) = struct.unpack(">I", Reader(data, offset).bytes(4))
        reader = Reader(data, offset + 4)
        kind, body = reader.bytes(4), reader.bytes(length)
        (crc,) = struct.unpack(">I", reader.bytes(4))
        if crc != zlib.crc32(kind + body):
            raise ValueError(f"bad checksum in chunk {kind!r}")
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        offset = reader.offset
    width, height, depth, colour_type, _, _, interlace = header
    if (depth, colour_type, interlace) != (8, 6, 0):
        raise ValueError("not 8-bit RGBA without interlacing")
    raw = zlib.decompress(idat)
    stride = 1 + 4 * width
    if len(raw) != stride * height:
        raise ValueError("pixel data of the wrong length")
    rows = []
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        if line[0] != 0:
            raise ValueError("filtered rows are not expected")
        pixels = [tuple(line[1 + 4 * x:5 + 4 * x]) for x in range(width)]
        # Fully transparent pixels carry no colour.
        rows.append([(0, 0, 0, 0) if p[3] == 0 else p for p in pixels])
    return width, height, rows


def read(name, folder=None):
    with open(os.path.join(folder or ICONS_DIR, name), "rb") as file:
        return file.read()


class IcoTest(unittest.TestCase):
    def test_has_exactly_the_three_images_with_their_sizes_and_depths(self):
        entries = read_ico(read("quillfen.ico"))
        self.assertEqual([(e["width"], e["height"], e["bits"], e["colours"]) for e in entries],
                         EXPECTED_IMAGES)
        for entry, (width, height, bits, _) in zip(entries, EXPECTED_IMAGES):
            self.assertEqual(entry["planes"], 1)
            self.assertEqual(decode_image(entry["image"])[:3], (width, height, bits))

    def test_images_follow_the_directory_without_gaps_or_overlap(self):
        data = read("quillfen.ico")
        offset = 6 + 16 * len(EXPECTED_IMAGES)
        for entry in read_ico(data):
            self.assertEqual(entry["tail"], offset)
            offset += entry["size"]
        self.assertEqual(offset, len(data))

    def test_every_image_has_ink_and_transparent_corners(self):
        for entry in read_ico(read("quillfen.ico")):
            rows = decode_image(entry["image"])[3]
            self.assertEqual(rows[0][0][3], 0)
            self.assertGreater(len({p for row in rows for p in row if p[3]}), 1)

    def test_cut_short_file_is_rejected_at_every_length(self):
        data = read("quillfen.ico")
        for length in range(len(data)):
            with self.assertRaises(ValueError, msg=length):
                for entry in read_ico(data[:length]):
                    decode_image(entry["image"])


class ResourceTest(unittest.TestCase):
    def test_group_names_the_images_by_their_identifiers(self):
        reader = Reader(read("rc/icon_group.bin"))
        group = read_directory(reader, Reader.u16)
        self.assertEqual(reader.offset, len(reader.data))
        self.assertEqual([e["tail"] for e in group], EXPECTED_IDS)
        ico = read_ico(read("quillfen.ico"))
        fields = ("width", "height", "colours", "planes", "bits", "size")
        self.assertEqual([[e[f] for f in fields] for e in group], [[e[f] for f in fields] for e in ico])

    def test_each_image_resource_is_the_image_of_the_ico(self):
        for entry, image_id in zip(read_ico(read("quillfen.ico")), EXPECTED_IDS):
            self.assertEqual(read(f"rc/icon_{image_id}.bin"), entry["image"], image_id)


class PngTest(unittest.TestCase):
    def test_pngs_show_the_sixteen_colour_images(self):
        ico = read_ico(read("quillfen.ico"))
        for size, entry in ((32, ico[1]), (16, ico[2])):
            width, height, rows = read_png(read(f"{size}x{size}/quillfen.png"))
            self.assertEqual((width, height), (size, size))
            self.assertEqual(rows, decode_image(entry["image"])[3], size)


class LargerIconTest(unittest.TestCase):
    """From 48 pixels up the icon is drawn, not enlarged: the same picture as
    the 32x32 one, with smooth edges."""

    # The share of the 32x32 picture's squares whose middle shows the same
    # colour in a larger picture: shapes drawn smooth move edges by a square
    # here and there, a different picture agrees far less.
    AGREEING = 0.8

    def test_larger_sizes_show_the_32_pixel_picture(self):
        small = read_png(read("32x32/quillfen.png"))[2]
        inks = {p for row in small for p in row if p[3]}
        for size in LINUX_SIZES[2:]:
            width, height, rows = read_png(read(f"{size}x{size}/quillfen.png"))
            self.assertEqual((width, height), (size, size))
            agreeing = 0
            for y, row in enumerate(small):
                for x, wanted in enumerate(row):
                    got = rows[(2 * y + 1) * size // 64][(2 * x + 1) * size // 64]
                    if (got[3] >= 128) == (wanted[3] == 255) and (
                            not wanted[3] or sum(abs(a - b) for a, b in zip(got[:3], wanted[:3])) < 96):
                        agreeing += 1
            self.assertGreaterEqual(agreeing / 32 ** 2, self.AGREEING, size)
            self.assertLessEqual(inks, {p for row in rows for p in row}, f"{size}: colours of the drawing missing")

    def test_larger_sizes_have_smooth_edges(self):
        for size in LINUX_SIZES[2:]:
            rows = read_png(read(f"{size}x{size}/quillfen.png"))[2]
            self.assertTrue(any(0 < p[3] < 255 for row in rows for p in row), size)

    def test_scalable_picture_is_drawn_in_the_drawing_colours(self):
        root = ElementTree.fromstring(read("scalable/quillfen.svg"))
        self.assertEqual(root.tag, f"{SVG_NAMESPACE}svg")
        self.assertEqual(root.get("viewBox"), "0 0 32 32")
        self.assertIsNone(root.get("shape-rendering"))
        colours = {p[:3] for row in read_png(read("32x32/quillfen.png"))[2] for p in row if p[3]}
        shapes = list(root)
        self.assertTrue(any("C" in shape.get("d", "") for shape in shapes), "no curves")
        for shape in shapes:
            self.assertEqual(shape.tag, f"{SVG_NAMESPACE}path")
            for paint in (shape.get("fill"), shape.get("stroke")):
                if paint not in (None, "none"):
                    self.assertIn(tuple(int(paint[i:i + 2], 16) for i in (1, 3, 5)), colours, paint)


class GeneratorTest(unittest.TestCase):
    def test_checked_in_files_are_what_the_generator_writes(self):
        sys.path.insert(0, ICONS_DIR)
        try:
            generator = importlib.import_module("generate_icons")
        finally:
            sys.path.remove(ICONS_DIR)
        with tempfile.TemporaryDirectory() as folder:
            generator.main(["generate_icons.py", folder])
            for name in generator.outputs():
                fresh, kept = read(name, folder), read(name)
                if name.endswith(".png"):
                    # Compressed bytes may differ between zlib versions.
                    self.assertEqual(read_png(fresh), read_png(kept), name)
                else:
                    self.assertEqual(fresh, kept, name)


if __name__ == "__main__":
    ICONS_DIR = sys.argv.pop(1)
    unittest.main()
