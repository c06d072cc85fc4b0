#!/usr/bin/env python3
"""Checks quillfen.exe from outside: a PE32 i386 program for the graphical
subsystem that imports only system DLLs, with its version record and its
icon group of three images.

Usage: executable_test.py QUILLFEN_EXE
"""

import struct
import subprocess
import sys
import unittest

EXE = None
SYSTEM_DLLS = {"comctl32.dll", "gdi32.dll", "imm32.dll", "kernel32.dll", "msvcrt.dll", "ole32.dll",
               "oleacc.dll", "oleaut32.dll", "shlwapi.dll", "user32.dll", "usp10.dll"}
LARGE_ADDRESS_AWARE = 0x0020
EXPECTED_STRINGS = {
    "ProductName": "Quillfen", "FileVersion": "1.00", "ProductVersion": "1.00",
    "InternalName": "Quillfen", "OriginalFilename": "Quillfen.exe",
}
# (width, height, colours, bits per pixel, identifier) of each icon image.
EXPECTED_ICONS = [(32, 32, 2, 1, 30001), (32, 32, 16, 4, 30002), (16, 16, 16, 4, 30003)]


def u16(data, offset):
    if offset + 2 > len(data):
        raise ValueError(f"2 bytes wanted at offset {offset}, {len(data) - offset} left")
    return struct.unpack_from("<H", data, offset)[0]


def u32(data, offset):
    if offset + 4 > len(data):
        raise ValueError(f"4 bytes wanted at offset {offset}, {len(data) - offset} left")
    return struct.unpack_from("<I", data, offset)[0]


def resource(kind, name):
    return subprocess.run(["wrestool", "-x", "--raw", f"--type={kind}", f"--name={name}", EXE],
                          check=True, capture_output=True, timeout=60).stdout


def version_blocks(data, offset, end, path, out):
    """Walks the version resource's tree of blocks: length, value length,
    type, NUL-terminated UTF-16 key, value, children; each 4-aligned."""
    while offset + 6 <= end:
        length, value_length, kind = struct.unpack_from("<HHH", data, offset)
        if length == 0 or offset + length > end:
            raise ValueError(f"block of {length} bytes at offset {offset} overruns its parent")
        key_end = offset + 6
        while u16(data, key_end) != 0:
            key_end += 2
        key = data[offset + 6:key_end].decode("utf-16-le")
        value = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if kind == 1 else value_length
        out[path + (key,)] = data[value:value + value_bytes]
        children = (value + value_bytes + 3) & ~3
        version_blocks(data, children, offset + length, path + (key,), out)
        offset = (offset + length + 3) & ~3


class Executable(unittest.TestCase):
    def test_is_pe32_for_i386_and_the_graphical_subsystem(self):
        with open(EXE, "rb") as f:
            data = f.read(4096)
        self.assertEqual(data[:2], b"MZ")
        pe = u32(data, 0x3C)
        self.assertEqual(data[pe:pe + 4], b"PE\0\0")
        self.assertEqual(u16(data, pe + 4), 0x14C, "machine i386")
        optional = pe + 24
        self.assertEqual(u16(data, optional), 0x10B, "PE32 optional header")
        self.assertEqual(u16(data, optional + 68), 2, "Windows GUI subsystem")

    def test_may_use_four_gigabytes_of_address_space(self):
        with open(EXE, "rb") as f:
            data = f.read(4096)
        pe = u32(data, 0x3C)
        characteristics = u16(data, pe + 4 + 18)
        self.assertTrue(characteristics & LARGE_ADDRESS_AWARE, hex(characteristics))

    def test_is_stripped_and_carries_no_build_time(self):
        with open(EXE, "rb") as f:
            data = f.read(4096)
        pe = u32(data, 0x3C)
        timestamp, symbols, symbol_count = struct.unpack_from("<III", data, pe + 8)
        self.assertEqual(timestamp, 0, "the header's time stamp")
        self.assertEqual((symbols, symbol_count), (0, 0), "a symbol table")
        sections = subprocess.run(["i686-w64-mingw32-objdump", "-h", EXE], check=True,
                                  capture_output=True, text=True, timeout=60).stdout
        self.assertNotIn(".debug_", sections)

    def test_imports_only_system_dlls(self):
        listing = subprocess.run(["i686-w64-mingw32-objdump", "-p", EXE], check=True,
                                 capture_output=True, text=True, timeout=60).stdout
        dlls = {line.split(":", 1)[1].strip().lower()
                for line in listing.splitlines() if "DLL Name:" in line}
        self.assertTrue(dlls)
        self.assertLessEqual(dlls, SYSTEM_DLLS)

    def test_version_record(self):
        data = resource(16, 1)
        blocks = {}
        version_blocks(data, 0, len(data), (), blocks)
        fixed = blocks[("VS_VERSION_INFO",)]
        signature, _, ms, ls, pms, pls, _, flags, os, kind = struct.unpack_from("<10I", fixed)
        self.assertEqual(signature, 0xFEEF04BD)
        self.assertEqual((ms, ls, pms, pls), (0x10000, 0, 0x10000, 0), "1.0.0.0 twice")
        self.assertEqual((flags, os, kind), (0, 4, 1))
        table = ("VS_VERSION_INFO", "StringFileInfo", "040904B0")
        for name, expected in EXPECTED_STRINGS.items():
            self.assertEqual(blocks[table + (name,)].decode("utf-16-le").rstrip("\0"), expected)
        translation = blocks[("VS_VERSION_INFO", "VarFileInfo", "Translation")]
        self.assertEqual(struct.unpack("<HH", translation), (0x0409, 1200))

    def test_icon_group_one_holds_three_images(self):
        group = resource(14, 1)
        self.assertEqual(struct.unpack_from("<HHH", group), (0, 1, 3))
        for index, expected in enumerate(EXPECTED_ICONS):
            width, height, colours, _, _, bits, size, ident = struct.unpack_from(
                "<BBBBHHIH", group, 6 + 14 * index)
            self.assertEqual((width, height, colours, bits, ident), expected)
            self.assertEqual(len(resource(3, ident)), size)


if __name__ == "__main__":
    EXE = sys.argv.pop(1)
    unittest.main()
